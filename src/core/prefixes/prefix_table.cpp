#include "core/prefixes/prefix_table.h"

#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <exception>
#include <utility>

#include "core/base/program_constants.h"
#include "core/base/text_file.h"
#include "core/base/text_utils.h"
#include "core/prefixes/callsign_slashes.h"

namespace dxcc {

namespace {

// The first `size` bytes (at most 6) of `text`, byte i in bits 8i..8i+7.
uint64_t packBytes(std::string_view text, size_t size) {
    uint64_t word = 0;
    for (size_t i = 0; i < size; ++i) {
        word |= uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
    }
    return word;
}

// A callsign prefix and its length in one word; bytes alone would not tell "F"
// from "F" followed by a NUL byte.
uint64_t withLength(uint64_t bytes, size_t length) {
    return bytes | (uint64_t{length} << 56);
}

uint64_t lowBytes(uint64_t word, size_t count) {
    return word & ((uint64_t{1} << (8 * count)) - 1);
}

// Fibonacci hashing: the top bits of the product spread similar keys apart.
size_t homeSlot(uint64_t key, unsigned shift) {
    return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> shift);
}

// The first two bytes of a text (the second 0 when it has one byte).
size_t headIndex(std::string_view text) {
    const size_t second = text.size() > 1 ? static_cast<unsigned char>(text[1]) : 0;
    return static_cast<unsigned char>(text[0]) | second << 8;
}

}  // namespace

PrefixTable PrefixTable::parse(std::string_view prefixFileBytes,
                               std::string_view exactCallFileBytes) {
    PrefixTable table;
    table.entries_.reserve(countLines(prefixFileBytes));
    forEachLine(prefixFileBytes,
                [&](std::string_view line) { table.entries_.push_back(parsePrefixEntry(line)); });
    table.buildIndex();
    table.exact_ = ExactCallTable::parse(exactCallFileBytes);
    return table;
}

void PrefixTable::buildIndex() {
    const auto keyed = std::count_if(entries_.begin(), entries_.end(), [](const PrefixEntry& e) {
        return !e.callsignPrefix.empty();
    });
    if (keyed == 0) return;
    // At most half full, so every probe sequence reaches a free slot quickly.
    const size_t capacity = std::bit_ceil(std::max<size_t>(8, 2 * static_cast<size_t>(keyed)));
    slots_.assign(capacity, Slot{});
    hashShift_ = 64 - static_cast<unsigned>(std::countr_zero(capacity));
    const size_t mask = capacity - 1;
    lengthsByHead_.assign(256 * 256, 0);
    for (size_t i = 0; i < entries_.size(); ++i) {
        const std::string& prefix = entries_[i].callsignPrefix;
        if (prefix.empty()) continue;
        const uint8_t lengthBit = static_cast<uint8_t>(1u << (prefix.size() - 1));
        if (prefix.size() == 1) {
            for (size_t second = 0; second < 256; ++second)
                lengthsByHead_[headIndex(prefix) | second << 8] |= lengthBit;
        } else {
            lengthsByHead_[headIndex(prefix)] |= lengthBit;
        }
        const uint64_t key = withLength(packBytes(prefix, prefix.size()), prefix.size());
        for (size_t s = homeSlot(key, hashShift_);; s = (s + 1) & mask) {
            if (slots_[s].key == key) break;  // an earlier line keeps the prefix
            if (slots_[s].key == 0) {
                slots_[s] = Slot{key, static_cast<uint32_t>(i)};
                break;
            }
        }
    }
}

const PrefixTable::Slot* PrefixTable::findSlot(uint64_t key) const {
    const size_t mask = slots_.size() - 1;
    for (size_t s = homeSlot(key, hashShift_);; s = (s + 1) & mask) {
        if (slots_[s].key == key) return &slots_[s];
        if (slots_[s].key == 0) return nullptr;
    }
}

const PrefixEntry* PrefixTable::matchPrefix(std::string_view callsign) const {
    if (slots_.empty()) return nullptr;
    const size_t longest = std::min(callsign.size(), kCallsignPrefixWidth);
    if (longest == 0) return nullptr;
    const uint64_t head = packBytes(callsign, longest);
    unsigned lengths = lengthsByHead_[headIndex(callsign)] & ((1u << longest) - 1);
    while (lengths != 0) {
        const size_t length = static_cast<size_t>(std::bit_width(lengths));
        if (const Slot* slot = findSlot(withLength(lowBytes(head, length), length))) {
            return &entries_[slot->entry];
        }
        lengths &= ~(1u << (length - 1));
    }
    return nullptr;
}

Resolution PrefixTable::exactCall(std::string_view callsign) const {
    const size_t line = exact_.findLine(callsign);
    if (line == ExactCallTable::kNoLine) return {};
    return {&exact_.entity(line), MatchKind::Exact, exact_.callsign(line)};
}

Resolution PrefixTable::prefixOf(std::string_view text) const {
    const PrefixEntry* entry = matchPrefix(text);
    if (entry == nullptr) return {};
    return {entry, MatchKind::Prefix, entry->callsignPrefix};
}

Resolution PrefixTable::resolve(std::string_view callsign) const {
    callsign = trimBlanks(callsign);
    if (Resolution exact = exactCall(callsign); exact.entry) return exact;
    return resolveByRules(callsign);
}

Resolution PrefixTable::resolveByRules(std::string_view callsign) const {
    callsign = trimBlanks(callsign);
    SlashBuffers buffers;
    const SlashReading reading = readSlashes(callsign, buffers);
    if (reading.kind == SlashReading::Kind::MaritimeMobile)
        return {nullptr, MatchKind::MaritimeMobile, {}};
    if (Resolution exact = exactCall(reading.withoutSuffixes); exact.entry) return exact;
    if (Resolution place = prefixOf(reading.place); place.entry) return place;
    // A part after the callsign that names no place ("/A") leaves the callsign's own.
    if (Resolution exact = exactCall(reading.other); exact.entry) return exact;
    return prefixOf(reading.other);
}

LookupResult PrefixTable::lookup(std::string_view callsign) const {
    const Resolution found = resolve(callsign);
    if (found.entry == nullptr) return LookupResult{{}, {}, {}, found.kind};
    const PrefixEntry& e = *found.entry;
    return LookupResult{e.entityName, e.dxccPrefix, std::string(found.matched), found.kind};
}

PrefixFile::PrefixFile(std::filesystem::path file, std::chrono::milliseconds recheckInterval)
    : file_(std::move(file)),
      exactFile_(file_.parent_path() / kExactCallFileName),
      recheckInterval_(recheckInterval) {}

LookupResult PrefixFile::lookup(std::string_view callsign) {
    refreshWhenDue();
    return table_.lookup(callsign);
}

const PrefixTable& PrefixFile::table() {
    refreshWhenDue();
    return table_;
}

void PrefixFile::refresh() {
    lastCheck_ = std::chrono::steady_clock::now();
    const Versions seen = currentVersions();
    if (!loaded_ || seen != loadedVersions_) load(seen);
}

void PrefixFile::refreshWhenDue() {
    if (!loaded_ || std::chrono::steady_clock::now() - lastCheck_ >= recheckInterval_) refresh();
}

PrefixFile::Fingerprint PrefixFile::fingerprintOf(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return Fingerprint{};
    // The editor replaces a file by renaming a new one over it, so the inode
    // changes even where modification times are coarse.
    return Fingerprint{
        true,
        static_cast<uint64_t>(st.st_dev),
        static_cast<uint64_t>(st.st_ino),
        static_cast<int64_t>(st.st_size),
        static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
    };
}

PrefixFile::Versions PrefixFile::currentVersions() const {
    return Versions{fingerprintOf(file_), fingerprintOf(exactFile_)};
}

// `seen` was taken before reading: should a file change in between, the next
// look finds a different fingerprint and reads it again.
void PrefixFile::load(const Versions& seen) {
    loaded_ = true;
    loadedVersions_ = seen;
    std::string exactCalls;
    exactUnreadable_ = false;
    if (seen.exactCalls.exists) {
        try {
            exactCalls = readFileBytes(exactFile_, kPrefixFileLimits);
        } catch (const std::exception&) {
            exactUnreadable_ = true;
        }
    }
    try {
        table_ = PrefixTable::parse(readFileBytes(file_, kPrefixFileLimits), exactCalls);
        unreadable_ = false;
    } catch (const std::exception&) {
        table_ = PrefixTable();
        unreadable_ = true;
    }
}

}  // namespace dxcc
