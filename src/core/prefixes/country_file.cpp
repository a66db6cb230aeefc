#include "core/prefixes/country_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>

#include "core/base/text_utils.h"
#include "core/prefixes/prefix_update_messages.h"

namespace dxcc {

namespace {

namespace msg = prefix_update_messages;

constexpr std::string_view kWhitespace = " \t\r\n\v\f";

std::string_view strip(std::string_view s) {
    return trimmed(s, kWhitespace, kWhitespace);
}

// The files are Latin-1; the data files Windows-1252, where 0x80-0x9F are
// other characters: those control codes become '?', as a conversion would
// make them. Other control characters (a tab would split an entity data
// line) become blanks.
std::string windowsText(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte <= 0x9F)
            c = '?';
        else if (byte < 0x20 || byte == 0x7F)
            c = ' ';
    }
    return out;
}

// A main prefix is a callsign prefix ("3D2/c"), a '*' before it for an entity
// of other awards: it stands in a column of the prefix file and starts a line
// of the entity data.
bool plainPrefix(std::string_view prefix) {
    if (!prefix.empty() && prefix.front() == '*') prefix.remove_prefix(1);
    if (prefix.empty()) return false;
    return std::all_of(prefix.begin(), prefix.end(),
                       [](char c) { return isAsciiLetter(c) || isAsciiDigit(c) || c == '/'; });
}

std::vector<std::string_view> split(std::string_view s, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = s.find(separator, start);
        parts.push_back(s.substr(start, at == std::string_view::npos ? s.npos : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

bool readDouble(std::string_view text, double& value) {
    const std::string s(strip(text));
    if (s.empty()) return false;
    char* end = nullptr;
    value = std::strtod(s.c_str(), &end);
    return end == s.c_str() + s.size() && std::isfinite(value);
}

// Continent, zones and position from their five texts, in the files' order.
bool readPlace(std::string_view continent, std::string_view cq, std::string_view itu,
               std::string_view lat, std::string_view lon, std::string_view offset,
               CountryEntity& e) {
    e.continent = windowsText(strip(continent));
    return readNumber(strip(cq), e.cqZone) && readNumber(strip(itu), e.ituZone) &&
           readDouble(lat, e.latitude) && readDouble(lon, e.westLongitude) &&
           readDouble(offset, e.hoursBehindUtc);
}

// Keeps the first place of a main prefix listed twice, with the last values.
void addEntity(std::vector<CountryEntity>& entities, std::map<std::string, size_t>& index,
               CountryEntity e) {
    const auto [at, added] = index.emplace(e.mainPrefix, entities.size());
    if (added)
        entities.push_back(std::move(e));
    else
        entities[at->second] = std::move(e);
}

std::string shown(std::string_view line) {
    constexpr size_t kShown = 80;
    return windowsText(line.substr(0, kShown));
}

// One CSV record (quoted fields, doubled quotes) from `pos`; false at the end.
bool csvRecord(std::string_view bytes, size_t& pos, std::vector<std::string>& fields) {
    fields.clear();
    if (pos >= bytes.size()) return false;
    std::string field;
    bool quoted = false;
    bool fieldStart = true;
    while (pos < bytes.size()) {
        const char c = bytes[pos++];
        if (quoted) {
            if (c == '"' && pos < bytes.size() && bytes[pos] == '"') {
                field += '"';
                ++pos;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
            continue;
        }
        if (c == '"' && fieldStart) {
            quoted = true;
            fieldStart = false;
        } else if (c == ',') {
            fields.push_back(std::move(field));
            field.clear();
            fieldStart = true;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && pos < bytes.size() && bytes[pos] == '\n') ++pos;
            break;
        } else {
            field += c;
            fieldStart = false;
        }
    }
    if (!fields.empty() || !field.empty()) fields.push_back(std::move(field));
    return true;
}

}  // namespace

std::vector<CountryEntity> parseCtyDat(std::string_view bytes) {
    std::vector<CountryEntity> entities;
    std::map<std::string, size_t> index;
    // A file cut short (a download that stopped) ends inside a record: the
    // entities after it would seem to have gone from the list. The records
    // before it are read first, so text that is no country file says so.
    std::vector<std::string_view> records = split(bytes, ';');
    const bool cut = !strip(records.back()).empty();
    if (records.size() > 1) records.pop_back();
    for (std::string_view record : records) {
        record = strip(record);
        if (record.empty()) continue;
        const size_t newline = record.find('\n');
        const std::string_view header = record.substr(0, newline);
        const std::string_view body =
            newline == std::string_view::npos ? std::string_view{} : record.substr(newline + 1);
        const std::vector<std::string_view> fields = split(header, ':');
        CountryEntity e;
        if (fields.size() < 8 || !plainPrefix(strip(fields[7])) ||
            !readPlace(fields[3], fields[1], fields[2], fields[4], fields[5], fields[6], e))
            throw CountryFileError(std::string(msg::kBadEntityLine) + shown(header));
        e.name = windowsText(strip(fields[0]));
        e.mainPrefix = windowsText(strip(fields[7]));
        // The aliases run over several lines; a line break is a blank.
        std::string aliases(body);
        std::replace(aliases.begin(), aliases.end(), '\n', ' ');
        for (std::string_view token : split(aliases, ',')) {
            token = strip(token);
            if (!token.empty()) e.aliases.emplace_back(token);
        }
        addEntity(entities, index, std::move(e));
    }
    if (cut) throw CountryFileError(std::string(msg::kUnterminated));
    if (entities.empty()) throw CountryFileError(std::string(msg::kNoEntity));
    return entities;
}

std::vector<CountryEntity> parseCtyCsv(std::string_view bytes) {
    std::vector<CountryEntity> entities;
    std::map<std::string, size_t> index;
    std::vector<std::string> row;
    size_t pos = 0;
    bool terminated = true;
    while (csvRecord(bytes, pos, row)) {
        if (row.empty()) continue;
        CountryEntity e;
        if (row.size() < 10 || !plainPrefix(row[0]) ||
            !readPlace(row[3], row[4], row[5], row[6], row[7], row[8], e)) {
            std::string line;
            for (const std::string& f : row) line += (line.empty() ? "" : ",") + f;
            throw CountryFileError(std::string(msg::kBadCsvLine) + shown(line));
        }
        e.mainPrefix = windowsText(row[0]);
        e.name = windowsText(row[1]);
        e.number = windowsText(row[2]);
        std::string_view aliases = row[9];
        while (!aliases.empty() && aliases.back() == ';') aliases.remove_suffix(1);
        size_t start = 0;
        while ((start = aliases.find_first_not_of(kWhitespace, start)) != std::string_view::npos) {
            const size_t end = aliases.find_first_of(kWhitespace, start);
            e.aliases.emplace_back(aliases.substr(start, end - start));
            start = end;
        }
        addEntity(entities, index, std::move(e));
        // Each line ends its aliases with ';': the last one without was cut.
        terminated = strip(row[9]).ends_with(';');
    }
    if (!terminated) throw CountryFileError(std::string(msg::kUnterminated));
    return entities;
}

std::vector<CountryEntity> joinCountryFiles(const std::vector<CountryEntity>& dat,
                                            const std::vector<CountryEntity>& csv) {
    std::map<std::string_view, const CountryEntity*> datByMain;
    for (const CountryEntity& e : dat) datByMain[e.mainPrefix] = &e;
    if (datByMain.size() != csv.size()) throw CountryFileError(std::string(msg::kDatCsvDisagree));
    std::vector<CountryEntity> joined;
    joined.reserve(csv.size());
    for (const CountryEntity& e : csv) {
        const auto it = datByMain.find(e.mainPrefix);
        if (it == datByMain.end()) throw CountryFileError(std::string(msg::kDatCsvDisagree));
        CountryEntity both = e;
        both.aliases.insert(both.aliases.end(), it->second->aliases.begin(),
                            it->second->aliases.end());
        joined.push_back(std::move(both));
    }
    return joined;
}

namespace {

// An alias token without its "=" and its zone and position overrides.
std::string aliasText(std::string_view token) {
    if (!token.empty() && token.front() == '=') token.remove_prefix(1);
    return upperCaseCp1252(token.substr(0, token.find_first_of("([<{~")));
}

// The DXCC prefix the current files give an entity that counts for other
// awards only: that of its main prefix when a line names it whole; else that
// of the first of its aliases a line names whole (the Vienna centre has only
// exact calls, which are Austria's too); else the longest prefix's.
std::string currentHomeOf(const CountryEntity& e, const std::string& mainPrefix,
                          const PrefixTable& current) {
    const LookupResult main = current.lookup(mainPrefix);
    if (main.found() && main.matchedPrefix == mainPrefix) return main.dxccPrefix;
    for (const std::string& token : e.aliases) {
        const std::string text = aliasText(token);
        const LookupResult alias = current.lookup(text);
        if (!text.empty() && alias.found() && alias.matchedPrefix == text) return alias.dxccPrefix;
    }
    return main.dxccPrefix;
}

}  // namespace

std::vector<CountryEntity> numberWithoutCsv(const std::vector<CountryEntity>& dat,
                                            const PrefixTable& current,
                                            std::vector<std::string>& leftOut) {
    // Main prefix in upper case -> the DXCC entity's number.
    std::map<std::string, std::string> dxccByMain;
    for (const CountryEntity& e : dat)
        if (!e.otherAwardsOnly()) dxccByMain.emplace(upperCaseCp1252(e.mainPrefix), e.mainPrefix);

    std::vector<CountryEntity> numbered;
    numbered.reserve(dat.size());
    for (const CountryEntity& e : dat) {
        CountryEntity n = e;
        if (!e.otherAwardsOnly()) {
            n.number = e.mainPrefix;
            numbered.push_back(std::move(n));
            continue;
        }
        std::string prefix = upperCaseCp1252(std::string_view(e.mainPrefix).substr(1));
        prefix = prefix.substr(0, prefix.find('/'));
        const std::string dxcc = upperCaseCp1252(currentHomeOf(e, prefix, current));
        auto home = dxccByMain.find(dxcc);
        if (dxcc.empty() || home == dxccByMain.end()) {
            home = dxccByMain.end();
            for (size_t length = prefix.size(); length > 0 && home == dxccByMain.end(); --length)
                home = dxccByMain.find(prefix.substr(0, length));
        }
        if (home == dxccByMain.end()) {
            leftOut.push_back(e.name);
            continue;
        }
        n.number = home->second;
        numbered.push_back(std::move(n));
    }
    return numbered;
}

}  // namespace dxcc
