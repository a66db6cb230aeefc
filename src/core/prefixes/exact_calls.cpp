#include "core/prefixes/exact_calls.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <unordered_map>

#include "core/base/text_file.h"
#include "core/base/text_utils.h"

namespace dxcc {

// The exact-call line is the prefix entry's layout with a wider callsign.
static_assert(kExactEntityNameColumn == kExactCallsignWidth + 2);
static_assert(kExactDxccColumn == kExactEntityNameColumn + kExactEntityNameWidth + 1);
static_assert(kExactCallLength == kExactDxccColumn + kExactDxccWidth + 1);

PrefixEntry parseExactCallLine(std::string_view line) {
    return parseEntityLine(line, kExactCallsignWidth);
}

std::string buildExactCallLine(std::string_view callsign, std::string_view entityName,
                               std::string_view dxccPrefix) {
    return buildEntityLine(callsign, entityName, dxccPrefix, kExactCallsignWidth);
}

ExactCallTable ExactCallTable::parse(std::string_view fileBytes) {
    ExactCallTable table;
    table.lines_.reserve(countLines(fileBytes));
    // The columns after the callsign, as they stand, name the entity.
    std::unordered_map<std::string_view, uint32_t> entityOf;
    forEachLine(fileBytes, [&](std::string_view line) {
        const std::string_view callsign = trimBlanks(columnsOf(line, 1, kExactCallsignWidth));
        const std::string_view rest =
            columnsOf(line, kExactEntityNameColumn,
                      kExactDxccColumn + kExactDxccWidth - kExactEntityNameColumn);
        const auto [at, added] =
            entityOf.emplace(rest, static_cast<uint32_t>(table.entities_.size()));
        if (added) {
            PrefixEntry entity = parseExactCallLine(line);
            entity.callsignPrefix.clear();
            table.entities_.push_back(std::move(entity));
        }
        table.lines_.push_back(Line{keyOf(callsign), at->second});
    });
    table.buildIndex();
    return table;
}

ExactCallTable::Key ExactCallTable::keyOf(std::string_view callsign) {
    Key key;
    if (callsign.size() > kExactCallsignWidth) return key;
    std::copy(callsign.begin(), callsign.end(), key.bytes.begin());
    key.bytes.back() = static_cast<char>(callsign.size());
    return key;
}

uint64_t ExactCallTable::hashOf(const Key& key) {
    uint64_t low = 0;
    uint64_t high = 0;
    std::memcpy(&low, key.bytes.data(), 8);
    std::memcpy(&high, key.bytes.data() + 8, 8);
    uint64_t h = low * 0x9E3779B97F4A7C15ull ^ high * 0xC2B2AE3D27D4EB4Full;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 32);
}

std::string_view ExactCallTable::callsign(size_t line) const {
    const Key& key = lines_[line].key;
    return {key.bytes.data(), static_cast<size_t>(key.bytes.back())};
}

void ExactCallTable::buildIndex() {
    const size_t keyed = static_cast<size_t>(std::count_if(
        lines_.begin(), lines_.end(), [](const Line& l) { return l.key.bytes.back() != 0; }));
    if (keyed == 0) return;
    // At most three quarters full: a miss, the common case, ends within a
    // cache line or two.
    const size_t capacity = std::bit_ceil(std::max<size_t>(16, keyed + keyed / 3 + 1));
    slots_.assign(capacity, Slot{});
    hashShift_ = 64 - static_cast<unsigned>(std::countr_zero(capacity));
    const size_t mask = capacity - 1;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const Key& key = lines_[i].key;
        if (key.bytes.back() == 0) continue;
        const uint64_t hash = hashOf(key);
        const auto check = static_cast<uint32_t>(hash);
        for (size_t s = hash >> hashShift_;; s = (s + 1) & mask) {
            const Slot slot = slots_[s];
            if (slot.linePlusOne == 0) {
                slots_[s] = Slot{check, static_cast<uint32_t>(i + 1)};
                break;
            }
            // An earlier line keeps its callsign.
            if (slot.check == check && lines_[slot.linePlusOne - 1].key == key) break;
        }
    }
}

size_t ExactCallTable::findLine(std::string_view callsign) const {
    if (slots_.empty() || callsign.empty() || callsign.size() > kExactCallsignWidth) return kNoLine;
    const Key key = keyOf(callsign);
    const uint64_t hash = hashOf(key);
    const auto check = static_cast<uint32_t>(hash);
    const size_t mask = slots_.size() - 1;
    for (size_t s = hash >> hashShift_;; s = (s + 1) & mask) {
        const Slot slot = slots_[s];
        if (slot.linePlusOne == 0) return kNoLine;
        if (slot.check == check && lines_[slot.linePlusOne - 1].key == key)
            return slot.linePlusOne - 1;
    }
}

const PrefixEntry* ExactCallTable::find(std::string_view callsign) const {
    const size_t line = findLine(callsign);
    return line == kNoLine ? nullptr : &entity(line);
}

}  // namespace dxcc
