#include "core/digital/worked_callsigns.h"

#include "core/base/text_utils.h"
#include "core/record/qso_record.h"

namespace dxcc::digital {

namespace {

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

void WorkedCallsigns::addRecord(std::string_view record) {
    keys_.insert(keyOf(recordField(record, Field::Callsign), recordField(record, Field::Band)));
}

void WorkedCallsigns::rebuild(const Logbook& log) {
    keys_.clear();
    keys_.reserve(log.size());
    for (size_t row = 0; row < log.size(); ++row) addRecord(log.record(row));
}

void WorkedCallsigns::follow(const Logbook& log, const LogChange& change) {
    if (change.kind != LogChange::Kind::Inserted || change.reloaded) return rebuild(log);
    for (size_t row = change.row; row < change.row + change.count && row < log.size(); ++row)
        addRecord(log.record(row));
}

bool WorkedCallsigns::contains(std::string_view callsign, std::string_view bandLabel) const {
    return keys_.contains(keyOf(callsign, bandLabel));
}

}  // namespace dxcc::digital
