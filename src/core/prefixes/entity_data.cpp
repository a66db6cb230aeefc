#include "core/prefixes/entity_data.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <sstream>

#include "core/base/text_utils.h"

namespace dxcc {

namespace {

std::string upperKey(std::string_view prefix) {
    return upperCaseCp1252(trimBlanks(prefix));
}

std::vector<std::string_view> splitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(
            line.substr(start, tab == std::string_view::npos ? line.npos : tab - start));
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    return fields;
}

bool parseLine(std::string_view line, EntityInfo& info) {
    const std::vector<std::string_view> f = splitTabs(line);
    if (f.size() != 8 && f.size() != 9) return false;
    info.dxccPrefix = std::string(trimBlanks(f[0]));
    info.name = std::string(trimBlanks(f[1]));
    info.continent = std::string(trimBlanks(f[4]));
    if (info.dxccPrefix.empty()) return false;
    if (!readNumber(trimBlanks(f[2]), info.latitude) ||
        !readNumber(trimBlanks(f[3]), info.longitude) ||
        !readNumber(trimBlanks(f[5]), info.cqZone) || !readNumber(trimBlanks(f[6]), info.ituZone) ||
        !readNumber(trimBlanks(f[7]), info.utcOffsetHours))
        return false;
    if (f.size() == 9 && !trimBlanks(f[8]).empty() &&
        (!readNumber(f[8], info.adifNumber) || info.adifNumber <= 0))
        return false;
    return info.latitude >= -90 && info.latitude <= 90 && info.longitude >= -180 &&
           info.longitude <= 180 && info.utcOffsetHours >= -14 && info.utcOffsetHours <= 14;
}

std::string numberText(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    // A value that rounds to zero has no sign.
    return std::string_view(buffer) == "-0.00" ? "0.00" : buffer;
}

}  // namespace

EntityData EntityData::parse(std::string_view bytes) {
    EntityData data;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        EntityInfo info;
        if (parseLine(line, info)) data.entities_.push_back(std::move(info));
    }
    data.buildIndex();
    return data;
}

EntityData EntityData::load(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return parse(text.str());
}

void EntityData::buildIndex() {
    order_.resize(entities_.size());
    std::iota(order_.begin(), order_.end(), size_t{0});
    keys_.clear();
    for (const EntityInfo& e : entities_) keys_.push_back(upperKey(e.dxccPrefix));
    // The first line of a prefix wins: a stable sort keeps file order.
    std::stable_sort(order_.begin(), order_.end(),
                     [&](size_t a, size_t b) { return keys_[a] < keys_[b]; });
}

const EntityInfo* EntityData::find(std::string_view dxccPrefix) const {
    const std::string key = upperKey(dxccPrefix);
    if (key.empty()) return nullptr;
    const auto it = std::lower_bound(order_.begin(), order_.end(), key,
                                     [&](size_t i, const std::string& k) { return keys_[i] < k; });
    if (it == order_.end() || keys_[*it] != key) return nullptr;
    return &entities_[*it];
}

std::string formatEntityData(const std::vector<EntityInfo>& entities) {
    std::string text;
    for (const EntityInfo& e : entities) {
        text += e.dxccPrefix + '\t' + e.name + '\t' + numberText(e.latitude) + '\t' +
                numberText(e.longitude) + '\t' + e.continent + '\t' + std::to_string(e.cqZone) +
                '\t' + std::to_string(e.ituZone) + '\t' + numberText(e.utcOffsetHours) + '\t' +
                (e.adifNumber > 0 ? std::to_string(e.adifNumber) : std::string()) + "\r\n";
    }
    return text;
}

}  // namespace dxcc
