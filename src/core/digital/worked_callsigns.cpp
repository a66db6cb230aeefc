#include "core/digital/worked_callsigns.h"

#include <algorithm>

#include "core/base/text_utils.h"
#include "core/record/qso_record.h"

namespace dxcc::digital {

namespace {

// Contacts added one by one beyond which they are merged into the array.
constexpr size_t kMaxAdded = 4096;

uint64_t mix(uint64_t hash, std::string_view bytes) {
    // FNV-1a over the bytes, then a final scramble.
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    return hash;
}

}  // namespace

uint64_t WorkedCallsigns::keyOf(std::string_view callsign, std::string_view bandLabel) {
    uint64_t hash = mix(0xCBF29CE484222325ull, trimBlanks(callsign));
    hash = mix(hash ^ 0xFF, trimBlanks(bandLabel));
    hash ^= hash >> 31;
    return hash * 0x9E3779B97F4A7C15ull;
}

uint64_t WorkedCallsigns::keyOfRecord(std::string_view record) {
    return keyOf(recordField(record, Field::Callsign), recordField(record, Field::Band));
}

void WorkedCallsigns::addRecord(std::string_view record) {
    const uint64_t key = keyOfRecord(record);
    if (std::binary_search(sorted_.begin(), sorted_.end(), key)) return;
    added_.insert(key);
    if (added_.size() < kMaxAdded) return;
    sorted_.insert(sorted_.end(), added_.begin(), added_.end());
    std::sort(sorted_.begin(), sorted_.end());
    added_.clear();
}

void WorkedCallsigns::rebuild(const Logbook& log) {
    added_.clear();
    sorted_.clear();
    sorted_.reserve(log.size());
    for (size_t row = 0; row < log.size(); ++row) sorted_.push_back(keyOfRecord(log.record(row)));
    std::sort(sorted_.begin(), sorted_.end());
    sorted_.erase(std::unique(sorted_.begin(), sorted_.end()), sorted_.end());
    sorted_.shrink_to_fit();
    stale_ = false;
}

void WorkedCallsigns::bringUpToDate(const Logbook& log) {
    if (stale_) rebuild(log);
}

void WorkedCallsigns::markStale() {
    stale_ = true;
    sorted_ = {};
    added_ = {};
}

void WorkedCallsigns::follow(const Logbook& log, const LogChange& change) {
    if (stale_) return;
    if (change.kind != LogChange::Kind::Inserted || change.reloaded) return markStale();
    for (size_t row = change.row; row < change.row + change.count && row < log.size(); ++row)
        addRecord(log.record(row));
}

bool WorkedCallsigns::contains(std::string_view callsign, std::string_view bandLabel) const {
    const uint64_t key = keyOf(callsign, bandLabel);
    return std::binary_search(sorted_.begin(), sorted_.end(), key) || added_.contains(key);
}

}  // namespace dxcc::digital
