#include "core/prefixes/prefix_update.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <set>
#include <unordered_set>

#include "core/base/file_error.h"
#include "core/base/text_conversion.h"
#include "core/base/text_file.h"
#include "core/base/text_utils.h"
#include "core/prefixes/exact_calls.h"
#include "core/prefixes/prefix_entries.h"
#include "core/prefixes/prefix_update_messages.h"

namespace dxcc {

namespace {

namespace msg = prefix_update_messages;

// Applied in turn, only while a name is longer than the entity-name column.
constexpr std::pair<std::string_view, std::string_view> kAbbreviations[] = {
    {" and ", " & "},     {"Islands", "Is."}, {"Island", "I."}, {"Saint", "St."},
    {"Republic", "Rep."}, {"North", "N."},    {"South", "S."},
};

// What a '*' entity's name loses once its DXCC entity stands for it too:
// Asiatic Turkey is then Turkey.
constexpr std::string_view kPartNames[] = {"Asiatic ", "European "};

constexpr const char* kEntityFileHeader[] = {
    "# Entites_DXCC.txt: position, continent, CQ and ITU zones and UTC offset of each",
    "# DXCC entity, derived from the amateur radio country files (cty.csv) by",
    "# tools/make_entity_file.py; see Entites_DXCC.LICENSE.txt.",
    "# Fields (tab-separated): DXCC prefix, name, latitude (north +), longitude (east +),",
    "# continent, CQ zone, ITU zone, UTC offset in hours (local time minus UTC),",
    "# ADIF entity number (ADIF's DXCC field).",
};

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::string abbreviate(std::string name) {
    for (const auto& [from, to] : kAbbreviations) {
        if (name.size() <= kPrefixEntityNameWidth) break;
        replaceAll(name, from, to);
    }
    name.resize(std::min(name.size(), kPrefixEntityNameWidth));
    while (!name.empty() && std::string_view(" \t\r\n\v\f").find(name.back()) != std::string::npos)
        name.pop_back();
    return name;
}

// How firmly a text belongs to an entity as a prefix, strongest first: an
// alias, or only the main prefix (a label in the country files, as CE9 for
// Antarctica while CE9 calls are South Shetlands).
enum Strength { kAlias = 0, kMainPrefix = 1 };

// Zone, position, continent and time-offset overrides that follow an alias:
// (..) [..] <..> {..} ~..~
std::string withoutOverrides(std::string_view token) {
    std::string out;
    size_t i = 0;
    while (i < token.size()) {
        const char c = token[i];
        const char close = c == '('   ? ')'
                           : c == '[' ? ']'
                           : c == '<' ? '>'
                           : c == '{' ? '}'
                           : c == '~' ? '~'
                                      : '\0';
        const size_t end = close ? token.find(close, i + 1) : std::string_view::npos;
        if (end != std::string_view::npos) {
            i = end + 1;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

// What an alias token stands for: a prefix, or a whole callsign ("=").
struct Alias {
    std::string text;
    bool wholeCallsign = false;
};

// The alias a token stands for, upper case; none when it can be neither.
std::optional<Alias> aliasOf(std::string_view token) {
    Alias alias{upperCaseCp1252(withoutOverrides(token))};
    if (!alias.text.empty() && alias.text.front() == '=') {
        alias.text.erase(0, 1);
        alias.wholeCallsign = true;
    }
    if (alias.text.empty()) return std::nullopt;
    // A blank or an unseen character belongs to no callsign (a line break in
    // the middle of a token, a broken file).
    for (char c : alias.text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || (byte >= 0x80 && byte <= 0x9F)) return std::nullopt;
    }
    return alias;
}

bool fitsPrefixColumn(const std::string& text) {
    return text.size() <= kCallsignPrefixWidth && text.find('/') == std::string::npos;
}

struct Home {
    std::string name;
    std::string dxcc;
};

std::string entryLine(std::string_view prefix, const Home& home) {
    return buildPrefixEntry(prefix, home.name, home.dxcc);
}

std::string exactLine(std::string_view callsign, const Home& home) {
    return buildExactCallLine(callsign, home.name, home.dxcc);
}

std::string joined(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes += kLineEnd;
    }
    return bytes;
}

// Non-blank lines of a prefix or exact-call file, as written.
std::vector<std::string> entryLines(std::string_view bytes) {
    std::vector<std::string> lines;
    forEachLine(bytes, [&](std::string_view line) {
        if (!trimBlanks(line).empty()) lines.emplace_back(line);
    });
    return lines;
}

std::string prefixOf(std::string_view line) {
    return parsePrefixEntry(line).callsignPrefix;
}

std::string exactCallOf(std::string_view line) {
    return parseExactCallLine(line).callsignPrefix;
}

std::string utf8(std::string_view cp1252) {
    return cp1252ToUtf8(cp1252);
}

// The DXCC entities, each once, and which one stands for each entity number.
struct Homes {
    std::vector<Home> homes;
    std::map<std::string, size_t> ofNumber;
};

Homes homesOf(const std::vector<CountryEntity>& entities) {
    std::set<std::string> folded;
    for (const CountryEntity& e : entities)
        if (e.otherAwardsOnly()) folded.insert(e.number);
    Homes h;
    for (const CountryEntity& e : entities) {
        if (e.otherAwardsOnly()) continue;
        std::string name = e.name;
        if (folded.count(e.number))
            for (std::string_view part : kPartNames)
                if (name.starts_with(part)) {
                    name.erase(0, part.size());
                    break;
                }
        h.ofNumber[e.number] = h.homes.size();
        h.homes.push_back(Home{abbreviate(std::move(name)), upperCaseCp1252(e.mainPrefix)});
    }
    std::map<std::string, std::string> dxccOfName;
    for (const auto& [number, index] : h.ofNumber) {
        const Home& home = h.homes[index];
        if (!dxccOfName.emplace(home.name, home.dxcc).second)
            throw CountryFileError(std::string(msg::kNamesNotUnique) + utf8(home.name));
    }
    return h;
}

// Every entity's claims on prefixes and exact calls.
struct Claims {
    // Callsign prefix -> home -> the strongest claim of that home on it.
    std::map<std::string, std::map<size_t, Strength>> prefixes;
    // Exact call -> the homes that claim it.
    std::map<std::string, std::set<size_t>> exactCalls;
    std::set<std::string> tooLong;
};

void addClaims(const CountryEntity& e, size_t home, Claims& claims) {
    auto claimPrefix = [&](const std::string& text, Strength strength) {
        auto [at, added] = claims.prefixes[text].emplace(home, strength);
        if (!added) at->second = std::min(at->second, strength);
    };
    for (const std::string& token : e.aliases) {
        const std::optional<Alias> alias = aliasOf(token);
        if (!alias) continue;
        if (!alias->wholeCallsign) {
            if (fitsPrefixColumn(alias->text)) claimPrefix(alias->text, kAlias);
        } else if (alias->text.size() > kExactCallsignWidth) {
            claims.tooLong.insert(alias->text);
        } else {
            claims.exactCalls[alias->text].insert(home);
        }
    }
    std::string_view main = e.mainPrefix;
    while (!main.empty() && main.front() == '*') main.remove_prefix(1);
    const std::optional<Alias> alias = aliasOf(main);
    if (alias && !alias->wholeCallsign && fitsPrefixColumn(alias->text))
        claimPrefix(alias->text, kMainPrefix);
}

// A main prefix that no alias names is a label of the country files: VK0M
// for Macquarie, whose stations are all exact calls, while VK0 calls are
// Antarctica. Kept as a prefix only where no other entity's alias begins it,
// so that it takes no calls from that entity.
bool labelOnly(const std::map<size_t, Strength>& claimants) {
    return std::all_of(claimants.begin(), claimants.end(),
                       [](const auto& claim) { return claim.second == kMainPrefix; });
}

bool aliasOfAnotherBegins(const Claims& claims, const std::string& text,
                          const std::map<size_t, Strength>& claimants) {
    for (size_t length = 1; length < text.size(); ++length) {
        const auto shorter = claims.prefixes.find(text.substr(0, length));
        if (shorter == claims.prefixes.end()) continue;
        for (const auto& [home, strength] : shorter->second)
            if (strength == kAlias && !claimants.contains(home)) return true;
    }
    return false;
}

void dropLabelsInsideOtherPrefixes(Claims& claims) {
    std::erase_if(claims.prefixes, [&](const auto& entry) {
        return labelOnly(entry.second) && aliasOfAnotherBegins(claims, entry.first, entry.second);
    });
}

// One line per prefix where the files disagree: the strongest claim; among
// equals the line that sorts first, as the lookup would pick it anyway.
std::vector<std::string> prefixLines(const Claims& claims, const std::vector<Home>& homes) {
    std::vector<std::string> lines;
    for (const auto& [text, targets] : claims.prefixes) {
        Strength strongest = kMainPrefix;
        for (const auto& [home, strength] : targets) strongest = std::min(strongest, strength);
        std::optional<std::string> best;
        for (const auto& [home, strength] : targets) {
            if (strength != strongest) continue;
            std::string line = entryLine(text, homes[home]);
            if (!best || prefixLineLess(line, *best)) best = std::move(line);
        }
        lines.push_back(std::move(*best));
    }
    std::sort(lines.begin(), lines.end(), prefixLineLess);
    return lines;
}

// One line per exact call; where entities share one, the line that sorts first.
std::vector<std::string> exactCallLines(const Claims& claims, const std::vector<Home>& homes) {
    std::vector<std::string> lines;
    for (const auto& [call, targets] : claims.exactCalls) {
        std::optional<std::string> best;
        for (size_t home : targets) {
            std::string line = exactLine(call, homes[home]);
            if (!best || prefixLineLess(line, *best)) best = std::move(line);
        }
        lines.push_back(std::move(*best));
    }
    std::sort(lines.begin(), lines.end(), prefixLineLess);
    return lines;
}

// An entity number that is ADIF's (cty.csv's); 0 for the main prefixes that
// number entities without cty.csv.
int adifNumberOf(std::string_view number) {
    int value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    return error == std::errc{} && end == number.data() + number.size() && value > 0 ? value : 0;
}

std::vector<EntityInfo> entityInfos(const std::vector<CountryEntity>& entities, const Homes& h) {
    std::vector<EntityInfo> infos;
    for (const CountryEntity& e : entities) {
        if (e.otherAwardsOnly()) continue;
        const Home& home = h.homes[h.ofNumber.at(e.number)];
        // The data file's longitude is east positive and its offset local
        // time minus UTC: the opposite signs of the country files.
        infos.push_back(EntityInfo{home.dxcc, home.name, e.latitude, -e.westLongitude, e.continent,
                                   e.cqZone, e.ituZone, -e.hoursBehindUtc, adifNumberOf(e.number)});
    }
    std::stable_sort(infos.begin(), infos.end(), [](const EntityInfo& a, const EntityInfo& b) {
        const std::string ua = upperCaseCp1252(a.dxccPrefix);
        const std::string ub = upperCaseCp1252(b.dxccPrefix);
        return ua != ub ? ua < ub : a.dxccPrefix < b.dxccPrefix;
    });
    return infos;
}

}  // namespace

CountryBuild buildCountryFiles(const std::vector<CountryEntity>& entities,
                               std::vector<std::string>& leftOut) {
    const Homes h = homesOf(entities);
    Claims claims;
    for (const CountryEntity& e : entities) {
        const auto number = h.ofNumber.find(e.number);
        if (number == h.ofNumber.end())
            leftOut.push_back(e.name);
        else
            addClaims(e, number->second, claims);
    }
    dropLabelsInsideOtherPrefixes(claims);
    CountryBuild build;
    build.prefixFile = joined(prefixLines(claims, h.homes));
    build.exactFile = joined(exactCallLines(claims, h.homes));
    build.exactCallsTooLong = claims.tooLong.size();
    build.entities = entityInfos(entities, h);
    build.entityFile = entityFileText(build.entities);
    return build;
}

std::string entityFileText(const std::vector<EntityInfo>& entities) {
    std::string text;
    for (const char* line : kEntityFileHeader) {
        text += line;
        text += kLineEnd;
    }
    return text + formatEntityData(entities);
}

namespace {

// The merge of a file whose lines stand for the key that `keyOf` reads.
template <typename KeyOf>
PrefixMerge mergeByKey(std::string_view current, std::string_view base, std::string_view built,
                       KeyOf keyOf) {
    std::vector<std::string> currentLines = entryLines(current);
    const std::vector<std::string> baseLines = entryLines(base);
    // A missing or emptied file is no operator deleting every line.
    if (currentLines.empty()) currentLines = baseLines;
    const std::unordered_set<std::string> inBase(baseLines.begin(), baseLines.end());
    const std::unordered_set<std::string> inCurrent(currentLines.begin(), currentLines.end());

    PrefixMerge merge;
    std::set<std::string> operatorKeys;
    std::unordered_set<std::string> lines;
    for (const std::string& line : currentLines) {
        if (inBase.count(line) || !lines.insert(line).second) continue;
        merge.operatorLines.push_back(line);
        operatorKeys.insert(keyOf(line));
    }
    for (const std::string& line : entryLines(built)) {
        const bool deleted = inBase.count(line) && !inCurrent.count(line);
        if (!deleted && !operatorKeys.count(keyOf(line))) lines.insert(line);
    }
    merge.lines.assign(lines.begin(), lines.end());
    std::sort(merge.lines.begin(), merge.lines.end(), prefixLineLess);
    std::sort(merge.operatorLines.begin(), merge.operatorLines.end(), prefixLineLess);
    merge.fileBytes = joined(merge.lines);
    return merge;
}

}  // namespace

PrefixMerge mergeOperatorLines(std::string_view current, std::string_view base,
                               std::string_view built) {
    return mergeByKey(current, base, built, prefixOf);
}

PrefixMerge mergeOperatorExactCalls(std::string_view current, std::string_view base,
                                    std::string_view built) {
    return mergeByKey(current, base, built, exactCallOf);
}

PrefixUpdateSummary summarizePrefixUpdate(std::string_view before, std::string_view after) {
    // The first entry of each callsign prefix: the one the lookup answers.
    auto byPrefix = [](const std::vector<std::string>& lines) {
        std::map<std::string, PrefixEntry> entries;
        for (const std::string& line : lines) {
            PrefixEntry entry = parsePrefixEntry(line);
            entries.emplace(entry.callsignPrefix, std::move(entry));
        }
        return entries;
    };
    const std::vector<std::string> oldLines = entryLines(before);
    const std::vector<std::string> newLines = entryLines(after);
    const auto oldEntries = byPrefix(oldLines);
    const auto newEntries = byPrefix(newLines);

    PrefixUpdateSummary summary;
    summary.entriesBefore = oldLines.size();
    summary.entriesAfter = newLines.size();
    for (const std::string& line : newLines)
        if (!oldEntries.count(prefixOf(line))) summary.added.push_back(line);
    for (const std::string& line : oldLines)
        if (!newEntries.count(prefixOf(line))) summary.removed.push_back(line);
    std::set<std::tuple<std::string, std::string, std::string>> renames;
    for (const auto& [prefix, oldEntry] : oldEntries) {
        const auto it = newEntries.find(prefix);
        if (it == newEntries.end()) continue;
        const PrefixEntry& newEntry = it->second;
        if (oldEntry.dxccPrefix != newEntry.dxccPrefix) {
            summary.moved.push_back({prefix, oldEntry.dxccPrefix, newEntry.dxccPrefix});
            continue;
        }
        const std::string oldName(trimBlanks(oldEntry.entityName));
        const std::string newName(trimBlanks(newEntry.entityName));
        if (oldName != newName) renames.emplace(newEntry.dxccPrefix, oldName, newName);
    }
    for (const auto& [dxcc, from, to] : renames) summary.renamed.push_back({dxcc, from, to});
    return summary;
}

PrefixUpdateSummary::ExactCalls summarizeExactCallUpdate(std::string_view before,
                                                         std::string_view after) {
    // The first line of each callsign: the one the lookup answers.
    auto byCallsign = [](const std::vector<std::string>& lines) {
        std::map<std::string, PrefixEntry> entries;
        for (const std::string& line : lines) {
            PrefixEntry entry = parseExactCallLine(line);
            entries.emplace(entry.callsignPrefix, std::move(entry));
        }
        return entries;
    };
    const std::vector<std::string> oldLines = entryLines(before);
    const std::vector<std::string> newLines = entryLines(after);
    const auto oldEntries = byCallsign(oldLines);
    const auto newEntries = byCallsign(newLines);

    PrefixUpdateSummary::ExactCalls summary;
    summary.before = oldLines.size();
    summary.after = newLines.size();
    for (const std::string& line : newLines)
        if (!oldEntries.count(exactCallOf(line))) summary.added.push_back(line);
    for (const std::string& line : oldLines)
        if (!newEntries.count(exactCallOf(line))) summary.removed.push_back(line);
    for (const auto& [call, oldEntry] : oldEntries) {
        const auto it = newEntries.find(call);
        if (it != newEntries.end() && it->second.dxccPrefix != oldEntry.dxccPrefix)
            summary.moved.push_back({call, oldEntry.dxccPrefix, it->second.dxccPrefix});
    }
    return summary;
}

std::string removesManyLine(const PrefixUpdateSummary& summary) {
    std::string text;
    if (summary.removesTooManyPrefixes())
        text = std::string(msg::kRemovesMany) + std::to_string(summary.removed.size()) +
               std::string(msg::kRemovesManyOf) + std::to_string(summary.entriesBefore) +
               std::string(msg::kRemovesManyEnd);
    if (summary.removesTooManyExactCalls()) {
        if (!text.empty()) text += ' ';
        text += std::string(msg::kRemovesMany) + std::to_string(summary.exactCalls.removed.size()) +
                std::string(msg::kRemovesManyOf) + std::to_string(summary.exactCalls.before) +
                std::string(msg::kRemovesManyExactCallsEnd);
    }
    return text;
}

std::vector<std::string> summaryLines(const PrefixUpdateSummary& s,
                                      const std::filesystem::path& source, bool withCsv) {
    std::vector<std::string> out;
    if (s.removesTooMuch()) {
        out.push_back(removesManyLine(s));
        out.emplace_back();
    }
    out.push_back(std::string(msg::kSummaryTitle) + source.string());
    out.emplace_back(withCsv ? msg::kWithCsv : msg::kWithoutCsv);
    auto count = [&](std::string_view label, size_t n) {
        out.push_back(std::string(label) + std::to_string(n));
    };
    count(msg::kEntriesBefore, s.entriesBefore);
    count(msg::kEntriesAfter, s.entriesAfter);
    count(msg::kAdded, s.added.size());
    count(msg::kRemoved, s.removed.size());
    count(msg::kMoved, s.moved.size());
    count(msg::kRenamed, s.renamed.size());
    count(msg::kOperatorKept, s.operatorLines.size());
    const PrefixUpdateSummary::ExactCalls& exact = s.exactCalls;
    count(msg::kExactBefore, exact.before);
    count(msg::kExactAfter, exact.after);
    count(msg::kExactAdded, exact.added.size());
    count(msg::kExactRemoved, exact.removed.size());
    count(msg::kExactMoved, exact.moved.size());
    count(msg::kExactOperatorKept, exact.operatorLines.size());
    count(msg::kExactTooLong, exact.tooLong);
    if (exact.fromPrefixFile > 0) count(msg::kExactFromPrefixFile, exact.fromPrefixFile);
    count(msg::kLeftOut, s.leftOut.size());
    if (s.entityDataChanged) out.emplace_back(msg::kEntityDataChanged);

    auto section = [&](std::string_view label, const std::vector<std::string>& items) {
        if (items.empty()) return;
        out.emplace_back();
        out.push_back(std::string(label) + std::to_string(items.size()));
        for (const std::string& item : items) out.push_back("  " + item);
    };
    auto utf8Lines = [](const std::vector<std::string>& lines) {
        std::vector<std::string> converted;
        for (const std::string& line : lines) converted.push_back(utf8(line));
        return converted;
    };
    section(msg::kAdded, utf8Lines(s.added));
    section(msg::kRemoved, utf8Lines(s.removed));
    std::vector<std::string> moves;
    for (const auto& m : s.moved)
        moves.push_back(utf8(m.callsignPrefix + " : " + m.from + " -> " + m.to));
    section(msg::kMoved, moves);
    std::vector<std::string> renames;
    for (const auto& r : s.renamed)
        renames.push_back(utf8(r.dxccPrefix + " : " + r.from + " -> " + r.to));
    section(msg::kRenamed, renames);
    section(msg::kOperatorKept, utf8Lines(s.operatorLines));
    section(msg::kExactAdded, utf8Lines(exact.added));
    section(msg::kExactRemoved, utf8Lines(exact.removed));
    std::vector<std::string> exactMoves;
    for (const auto& m : exact.moved)
        exactMoves.push_back(utf8(m.callsignPrefix + " : " + m.from + " -> " + m.to));
    section(msg::kExactMoved, exactMoves);
    section(msg::kExactOperatorKept, utf8Lines(exact.operatorLines));
    section(msg::kLeftOut, utf8Lines(s.leftOut));
    return out;
}

namespace {

[[noreturn]] void refuse(const std::filesystem::path& path, std::string_view why) {
    throw CountryFileError(path.string() + " : " + std::string(why));
}

std::string readCountryFile(const std::filesystem::path& path) {
    try {
        return readFileBytes(path, FileLimits{kCountryFileMaxBytes, SIZE_MAX});
    } catch (const FileError& e) {
        if (e.code() == kOutOfMemory) refuse(path, msg::kTooLarge);
        if (e.code() == kPathFileAccessError) refuse(path, msg::kNotAFile);
        throw;
    }
}

// A country file read whole and parsed; its refusals name it.
template <typename Parse>
std::vector<CountryEntity> readCountryEntities(const std::filesystem::path& path, Parse&& parse) {
    const std::string bytes = readCountryFile(path);
    try {
        return parse(bytes);
    } catch (const CountryFileError& e) {
        refuse(path, e.what());
    }
}

}  // namespace

namespace {

// The files built from a country file, before any merge.
struct CountryFileBuild {
    CountryBuild build;
    bool withCsv = false;
    std::vector<std::string> leftOut;
};

CountryFileBuild buildFromCountryFile(const std::filesystem::path& ctyDat,
                                      const PrefixTable& lookup) {
    CountryFileBuild result;
    const std::vector<CountryEntity> dat = readCountryEntities(ctyDat, parseCtyDat);
    const std::filesystem::path csvPath = ctyDat.parent_path() / "cty.csv";
    std::error_code ec;
    result.withCsv = std::filesystem::exists(std::filesystem::symlink_status(csvPath, ec));
    std::vector<CountryEntity> numbered;
    if (result.withCsv) {
        const std::vector<CountryEntity> csv = readCountryEntities(csvPath, parseCtyCsv);
        try {
            numbered = joinCountryFiles(dat, csv);
        } catch (const CountryFileError& e) {
            refuse(csvPath, e.what());
        }
    } else {
        numbered = numberWithoutCsv(dat, lookup, result.leftOut);
    }
    try {
        result.build = buildCountryFiles(numbered, result.leftOut);
    } catch (const CountryFileError& e) {
        refuse(ctyDat, e.what());
    }
    if (result.build.entities.empty()) refuse(ctyDat, msg::kNoEntity);
    return result;
}

// cty.dat alone gives no ADIF numbers: each entity keeps the one the current
// entity data gives its DXCC prefix.
void keepAdifNumbers(CountryBuild& build, std::string_view currentEntities) {
    const EntityData current = EntityData::parse(currentEntities);
    for (EntityInfo& e : build.entities)
        if (const EntityInfo* known = current.find(e.dxccPrefix)) e.adifNumber = known->adifNumber;
    build.entityFile = entityFileText(build.entities);
}

std::set<std::string, std::less<>> callsignPrefixesOf(std::string_view prefixFile) {
    std::set<std::string, std::less<>> prefixes;
    forEachLine(prefixFile, [&](std::string_view line) {
        prefixes.insert(parsePrefixEntry(line).callsignPrefix);
    });
    return prefixes;
}

// The prefix file without the whole callsigns that earlier builds wrote into
// it and that are now exact calls of the same entity; `dropped` counts them.
// A text the new build keeps as a prefix stays: the country files may list it
// both ways (RM9X, a prefix in cty.dat, a whole call in cty.csv).
std::string withoutWholeCallsigns(std::string_view prefixFile, const ExactCallTable& exactCalls,
                                  std::string_view newPrefixFile, size_t& dropped) {
    const auto stillPrefixes = callsignPrefixesOf(newPrefixFile);
    std::string kept;
    forEachLine(prefixFile, [&](std::string_view line) {
        const PrefixEntry entry = parsePrefixEntry(line);
        const PrefixEntry* exact = exactCalls.find(entry.callsignPrefix);
        if (exact != nullptr && exact->dxccPrefix == entry.dxccPrefix &&
            !stillPrefixes.contains(entry.callsignPrefix)) {
            ++dropped;
            return;
        }
        kept += line;
        kept += kLineEnd;
    });
    return kept;
}

// The prefix lines the update removes that are exact calls now are no loss:
// they leave the prefix lines removed, and are counted apart.
void countWholeCallsignsMoved(PrefixUpdateSummary& summary, const ExactCallTable& exactCalls) {
    std::vector<std::string> removed;
    for (std::string& line : summary.removed) {
        if (exactCalls.find(prefixOf(line)) != nullptr)
            ++summary.exactCalls.fromPrefixFile;
        else
            removed.push_back(std::move(line));
    }
    summary.removed = std::move(removed);
}

PrefixUpdatePlan planFrom(CountryFileBuild built, const ReferenceFiles& current) {
    CountryBuild& build = built.build;
    PrefixUpdatePlan plan;
    plan.withCsv = built.withCsv;
    const PrefixMerge exactMerge =
        mergeOperatorExactCalls(current.exactFile, current.exactBase, build.exactFile);
    const ExactCallTable exactCalls = ExactCallTable::parse(exactMerge.fileBytes);

    size_t dropped = 0;
    PrefixMerge merge = mergeOperatorLines(
        withoutWholeCallsigns(current.prefixFile, exactCalls, build.prefixFile, dropped),
        current.prefixBase, build.prefixFile);
    plan.summary = summarizePrefixUpdate(current.prefixFile, merge.fileBytes);
    plan.summary.operatorLines = std::move(merge.operatorLines);
    plan.summary.leftOut = std::move(built.leftOut);
    plan.summary.exactCalls = summarizeExactCallUpdate(current.exactFile, exactMerge.fileBytes);
    plan.summary.exactCalls.operatorLines = exactMerge.operatorLines;
    plan.summary.exactCalls.tooLong = build.exactCallsTooLong;
    countWholeCallsignsMoved(plan.summary, exactCalls);

    plan.prefixFile = std::move(merge.fileBytes);
    plan.baseFile = std::move(build.prefixFile);
    plan.exactFile = exactMerge.fileBytes;
    plan.exactBaseFile = std::move(build.exactFile);
    plan.entityFile = std::move(build.entityFile);
    plan.summary.entityDataChanged = plan.entityFile != current.entityFile;
    plan.changesNothing =
        plan.prefixFile == current.prefixFile && plan.baseFile == current.prefixBase &&
        plan.exactFile == current.exactFile && plan.exactBaseFile == current.exactBase &&
        plan.entityFile == current.entityFile;
    return plan;
}

CountryFileBuild builtFor(const std::filesystem::path& ctyDat, std::string_view currentEntities,
                          const PrefixTable& lookup) {
    CountryFileBuild built = buildFromCountryFile(ctyDat, lookup);
    if (!built.withCsv) keepAdifNumbers(built.build, currentEntities);
    return built;
}

}  // namespace

PrefixUpdatePlan planPrefixUpdate(const std::filesystem::path& ctyDat,
                                  const ReferenceFiles& current, const PrefixTable& lookup) {
    PrefixUpdatePlan plan = planFrom(builtFor(ctyDat, current.entityFile, lookup), current);
    plan.source = ctyDat;
    return plan;
}

PrefixUpdatePlan planPrefixUpdate(const std::filesystem::path& ctyDat, std::string_view current,
                                  std::string_view base, std::string_view currentEntities,
                                  const PrefixTable& lookup) {
    CountryFileBuild built = builtFor(ctyDat, currentEntities, lookup);
    const std::string exactBuild = built.build.exactFile;
    PrefixUpdatePlan plan = planFrom(
        std::move(built), ReferenceFiles{current, base, exactBuild, exactBuild, currentEntities});
    plan.source = ctyDat;
    return plan;
}

}  // namespace dxcc
