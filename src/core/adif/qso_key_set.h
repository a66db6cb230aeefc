#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "core/record/qso_record.h"

// Which QSOs an import already has: the log's and the file's earlier records.
namespace dxcc::adif {

// What tells one QSO from another: the callsign, then the date, time, mode and
// band, which stand side by side in the record; blanks where a short line
// lacks them.
constexpr size_t kKeyTail = kRecordFieldOffsets[static_cast<size_t>(dxcc::Field::Band)] +
                            kBandWidth -
                            kRecordFieldOffsets[static_cast<size_t>(dxcc::Field::Date)];
static_assert(kRecordFieldOffsets[static_cast<size_t>(dxcc::Field::Time)] >
                  kRecordFieldOffsets[static_cast<size_t>(dxcc::Field::Date)] &&
              kRecordFieldOffsets[static_cast<size_t>(dxcc::Field::Band)] >
                  kRecordFieldOffsets[static_cast<size_t>(dxcc::Field::Mode)]);
constexpr size_t kKeyBytes = 40;
static_assert(kCallsignWidth + kKeyTail <= kKeyBytes);

struct QsoKey {
    std::array<uint64_t, kKeyBytes / 8> words{};

    explicit QsoKey(std::string_view record) {
        std::array<char, kKeyBytes> bytes;
        bytes.fill(' ');
        const size_t tail = kRecordFieldOffsets[static_cast<size_t>(dxcc::Field::Date)];
        if (record.size() >= tail + kKeyTail) {
            std::memcpy(bytes.data(), record.data(), kCallsignWidth);
            std::memcpy(bytes.data() + kCallsignWidth, record.data() + tail, kKeyTail);
        } else {
            std::memcpy(bytes.data(), record.data(), std::min(record.size(), kCallsignWidth));
            if (record.size() > tail)
                std::memcpy(bytes.data() + kCallsignWidth, record.data() + tail,
                            record.size() - tail);
        }
        std::memcpy(words.data(), bytes.data(), kKeyBytes);
    }
    bool operator==(const QsoKey&) const = default;
    uint64_t hash() const {
        uint64_t h = 0x9E3779B97F4A7C15ull;
        for (uint64_t w : words) h = (h ^ w) * 0xFF51AFD7ED558CCDull, h ^= h >> 32;
        return h;
    }
};

// The QSOs seen so far, by key: each slot holds 32 bits of the key's hash and
// the QSO's reference, so a million QSOs take a few megabytes and a new QSO
// is told from them without reading any record; the records are compared only
// when the hashes agree. The slot's place comes from the hash bits it holds,
// so growing the table reads no record either.
//
// A set may hold one share of the keys only (those whose hash's lowest bits
// give its share): equal keys have equal hashes, so sets of distinct shares,
// each fed every QSO in the same order, find the same repeats as one set would,
// each on its own processor.
class QsoKeySet {
public:
    QsoKeySet(size_t expected, unsigned share = 0, unsigned shares = 1)
        : share_(share), shareMask_(shares - 1) {
        reserve(expected / shares);
    }

    // Room for `expected` QSOs in all.
    void reserve(size_t expected) {
        size_t size = 1024;
        while (size < expected * 2) size *= 2;
        if (size <= slots_.size()) return;
        std::vector<uint64_t> old = std::move(slots_);
        slots_.assign(size, 0);
        bits_ = static_cast<unsigned>(std::countr_zero(size));
        mask_ = size - 1;
        for (uint64_t slot : old) {
            if (slot == 0) continue;
            size_t s = home(slot >> 32);
            while (slots_[s] != 0) s = (s + 1) & mask_;
            slots_[s] = slot;
        }
    }

    // Adds, in order, the QSOs `first` to `end` - 1 of this set's share that
    // `skip(ref)` does not refuse (asked of this share's QSOs only); calls `repeated(ref)` for each
    // equal to one added before, which is not added. `recordAt(ref)` gives a QSO's record. Their
    // keys are worked out a few at a time and their slots fetched from memory together, instead of
    // waiting for memory once a QSO: a million of them miss the cache.
    template <typename RecordAt, typename Skip, typename Repeated>
    void addRange(uint32_t first, uint32_t end, const RecordAt& recordAt, const Skip& skip,
                  const Repeated& repeated) {
        constexpr uint32_t kBatch = 16;
        uint64_t tags[kBatch];
        uint32_t refs[kBatch];
        for (uint32_t from = first; from < end; from += std::min(kBatch, end - from)) {
            const uint32_t to = from + std::min(kBatch, end - from);
            size_t n = 0;
            for (uint32_t ref = from; ref < to; ++ref) {
                // The share first: another set may be marking the others' records.
                const uint64_t hash = QsoKey(recordAt(ref)).hash();
                if ((hash & shareMask_) != share_ || skip(ref)) continue;
                tags[n] = hash >> 32;
                refs[n++] = ref;
                __builtin_prefetch(&slots_[home(hash >> 32)]);
            }
            for (size_t i = 0; i < n; ++i)
                if (!addTagged(QsoKey(recordAt(refs[i])), tags[i], refs[i], recordAt))
                    repeated(refs[i]);
        }
    }

private:
    template <typename RecordAt>
    bool addTagged(const QsoKey& key, uint64_t tag, uint32_t ref, const RecordAt& recordAt) {
        if ((count_ + 1) * 2 > slots_.size()) reserve(slots_.size());
        for (size_t s = home(tag);; s = (s + 1) & mask_) {
            const uint64_t slot = slots_[s];
            if (slot == 0) {
                slots_[s] = tag << 32 | (uint64_t{ref} + 1);
                ++count_;
                return true;
            }
            if (slot >> 32 == tag && QsoKey(recordAt(static_cast<uint32_t>(slot) - 1)) == key)
                return false;
        }
    }

    size_t home(uint64_t tag) const {
        return static_cast<size_t>((tag * 0x9E3779B97F4A7C15ull) >> (64 - bits_)) & mask_;
    }

    uint64_t share_;
    uint64_t shareMask_;
    std::vector<uint64_t> slots_;
    unsigned bits_ = 0;
    size_t mask_ = 0;
    size_t count_ = 0;
};

}  // namespace dxcc::adif
