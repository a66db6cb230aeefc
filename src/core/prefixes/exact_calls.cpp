#include "core/prefixes/exact_calls.h"

#include <algorithm>
#include <bit>

#include "core/base/text_file.h"
#include "core/base/text_utils.h"

namespace dxcc {

namespace {

// Bytes [from, from + count) of `text`, byte i in bits 8i..8i+7.
uint64_t packBytes(std::string_view text, size_t from, size_t count) {
    uint64_t word = 0;
    for (size_t i = 0; i < count; ++i)
        word |= uint64_t{static_cast<unsigned char>(text[from + i])} << (8 * i);
    return word;
}

std::string fixedField(std::string_view text, size_t width) {
    return padRight(text.substr(0, width), width);
}

}  // namespace

PrefixEntry parseExactCallLine(std::string_view line) {
    return PrefixEntry{
        std::string(trimBlanks(columnsOf(line, 1, kExactCallsignWidth))),
        std::string(columnsOf(line, kExactEntityNameColumn, kExactEntityNameWidth)),
        std::string(trimBlanks(columnsOf(line, kExactDxccColumn, kExactDxccWidth))),
    };
}

std::string buildExactCallLine(std::string_view callsign, std::string_view entityName,
                               std::string_view dxccPrefix) {
    std::string line;
    line.reserve(kExactCallLength);
    line += fixedField(callsign, kExactCallsignWidth);
    line += ' ';
    line += fixedField(entityName, kExactEntityNameWidth);
    line += ' ';
    line += fixedField(dxccPrefix, kExactDxccWidth);
    line += " /";
    return line;
}

ExactCallTable ExactCallTable::parse(std::string_view fileBytes) {
    ExactCallTable table;
    table.entries_.reserve(countLines(fileBytes));
    forEachLine(fileBytes,
                [&](std::string_view line) { table.entries_.push_back(parseExactCallLine(line)); });
    table.buildIndex();
    return table;
}

ExactCallTable::Key ExactCallTable::keyOf(std::string_view callsign) {
    const size_t low = std::min<size_t>(callsign.size(), 8);
    return Key{packBytes(callsign, 0, low),
               packBytes(callsign, low, callsign.size() - low) | uint64_t{callsign.size()} << 56};
}

uint64_t ExactCallTable::hashOf(const Key& key) {
    uint64_t h = key.low * 0x9E3779B97F4A7C15ull ^ key.high * 0xC2B2AE3D27D4EB4Full;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 32);
}

void ExactCallTable::buildIndex() {
    keys_.clear();
    keys_.reserve(entries_.size());
    size_t keyed = 0;
    for (const PrefixEntry& e : entries_) {
        const bool fits =
            !e.callsignPrefix.empty() && e.callsignPrefix.size() <= kExactCallsignWidth;
        keys_.push_back(fits ? keyOf(e.callsignPrefix) : Key{});
        keyed += fits ? 1 : 0;
    }
    if (keyed == 0) return;
    // At most three quarters full: a miss, the common case, ends within a
    // cache line or two.
    const size_t capacity = std::bit_ceil(std::max<size_t>(16, keyed + keyed / 3 + 1));
    slots_.assign(capacity, Slot{});
    hashShift_ = 64 - static_cast<unsigned>(std::countr_zero(capacity));
    const size_t mask = capacity - 1;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (keys_[i] == Key{}) continue;
        const uint64_t hash = hashOf(keys_[i]);
        const auto check = static_cast<uint32_t>(hash);
        for (size_t s = hash >> hashShift_;; s = (s + 1) & mask) {
            const Slot slot = slots_[s];
            if (slot.entryPlusOne == 0) {
                slots_[s] = Slot{check, static_cast<uint32_t>(i + 1)};
                break;
            }
            // An earlier line keeps its callsign.
            if (slot.check == check && keys_[slot.entryPlusOne - 1] == keys_[i]) break;
        }
    }
}

const PrefixEntry* ExactCallTable::find(std::string_view callsign) const {
    if (slots_.empty() || callsign.empty() || callsign.size() > kExactCallsignWidth) return nullptr;
    const Key key = keyOf(callsign);
    const uint64_t hash = hashOf(key);
    const auto check = static_cast<uint32_t>(hash);
    const size_t mask = slots_.size() - 1;
    for (size_t s = hash >> hashShift_;; s = (s + 1) & mask) {
        const Slot slot = slots_[s];
        if (slot.entryPlusOne == 0) return nullptr;
        if (slot.check == check && keys_[slot.entryPlusOne - 1] == key)
            return &entries_[slot.entryPlusOne - 1];
    }
}

}  // namespace dxcc
