#include "core/digital/decode_rows.h"

#include <algorithm>
#include <unordered_set>

#include "core/base/text_utils.h"
#include "core/prefixes/entity_data.h"
#include "core/prefixes/prefix_table.h"

namespace dxcc::digital {

std::uint32_t periodOf(std::string_view mode) {
    if (mode == "FT4") return 7'500;
    if (mode == "JT65" || mode == "JT9" || mode == "JT4") return 60'000;
    if (mode == "WSPR") return 120'000;
    return 15'000;
}

std::string DecodeRows::keyOf(const DecodeRow& row) {
    const ClassifiedDecode& d = row.decode;
    if (d.callsign().empty() || d.decode.time == kInvalidTime) return {};
    const std::uint32_t period = d.decode.time / periodOf(d.mode);
    return row.decoderId + '\n' + d.callsign() + '\n' + std::to_string(period);
}

std::size_t DecodeRows::newRowsOf(const std::vector<DecodeRow>& batch) const {
    std::unordered_set<std::string> seen;
    std::size_t count = 0;
    for (const DecodeRow& row : batch) {
        std::string key = keyOf(row);
        if (key.empty()) {
            ++count;
        } else if (!serials_.contains(key) && seen.insert(std::move(key)).second) {
            ++count;
        }
    }
    return count;
}

std::vector<std::size_t> DecodeRows::add(std::vector<DecodeRow> batch) {
    const std::uint64_t firstNew = nextSerial_;
    std::vector<std::uint64_t> updated;
    for (DecodeRow& row : batch) {
        std::string key = keyOf(row);
        if (auto found = key.empty() ? serials_.end() : serials_.find(key);
            found != serials_.end()) {
            Stored& stored = rows_[rows_.front().serial - found->second];
            stored.row = std::move(row);
            if (found->second < firstNew) updated.push_back(found->second);
            continue;
        }
        const std::uint64_t serial = nextSerial_++;
        if (!key.empty()) serials_.emplace(key, serial);
        rows_.push_front({std::move(row), serial, std::move(key)});
    }
    std::sort(updated.begin(), updated.end());
    updated.erase(std::unique(updated.begin(), updated.end()), updated.end());
    std::vector<std::size_t> rows;
    rows.reserve(updated.size());
    for (std::uint64_t serial : updated) rows.push_back(rows_.front().serial - serial);
    return rows;
}

void DecodeRows::trim() {
    while (rows_.size() > kMaxRows) {
        const Stored& last = rows_.back();
        if (auto found = serials_.find(last.key);
            !last.key.empty() && found != serials_.end() && found->second == last.serial)
            serials_.erase(found);
        rows_.pop_back();
    }
}

void DecodeRows::clear() {
    rows_.clear();
    serials_.clear();
}

bool DecodeFilter::accepts(const DecodeRow& row) const {
    const ClassifiedDecode& d = row.decode;
    if (cqOnly && !d.reading.isCq()) return false;
    if (neededOnly && !d.needed()) return false;
    if (!band.empty() && trimBlanks(d.band) != band) return false;
    if (!hiddenContinent.empty() && d.continent == hiddenContinent) return false;
    return true;
}

std::string continentOfStation(std::string_view callsign, const PrefixTable& prefixes,
                               const EntityData& entities) {
    const PrefixEntry* entry = prefixes.match(trimBlanks(callsign));
    if (!entry || entry->dxccPrefix.empty()) return {};
    const EntityInfo* entity = entities.find(entry->dxccPrefix);
    return entity ? entity->continent : std::string();
}

}  // namespace dxcc::digital
