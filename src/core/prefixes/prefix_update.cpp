#include "core/prefixes/prefix_update.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_set>

#include "core/base/file_error.h"
#include "core/base/text_conversion.h"
#include "core/base/text_file.h"
#include "core/base/text_utils.h"
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
    "# continent, CQ zone, ITU zone, UTC offset in hours (local time minus UTC).",
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

// How firmly a text belongs to an entity, strongest first: an alias prefix, a
// whole callsign, or only the main prefix (a label in the country files, as
// CE9 for Antarctica while CE9 calls are South Shetlands).
enum Strength { kAlias = 0, kWholeCallsign = 1, kMainPrefix = 2 };

struct Claim {
    std::string text;
    Strength strength;
};

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

// The callsign prefix an alias token stands for; none when it cannot be an entry.
std::optional<Claim> callsignPrefixOf(std::string_view token) {
    Claim claim{upperCaseCp1252(withoutOverrides(token)), kAlias};
    if (!claim.text.empty() && claim.text.front() == '=') {
        claim.text.erase(0, 1);
        claim.strength = kWholeCallsign;
    }
    if (claim.text.empty() || claim.text.size() > kCallsignPrefixWidth ||
        claim.text.find('/') != std::string::npos)
        return std::nullopt;
    // A blank or an unseen character belongs to no callsign (a line break in
    // the middle of a token, a broken file).
    for (char c : claim.text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || (byte >= 0x80 && byte <= 0x9F)) return std::nullopt;
    }
    return claim;
}

struct Home {
    std::string name;
    std::string dxcc;
};

std::string entryLine(std::string_view prefix, const Home& home) {
    return buildPrefixEntry(prefix, home.name, home.dxcc);
}

std::string joined(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes += kLineEnd;
    }
    return bytes;
}

// Non-blank lines of a prefix file, as written.
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

std::string utf8(std::string_view cp1252) {
    return cp1252ToUtf8(cp1252);
}

}  // namespace

CountryBuild buildCountryFiles(const std::vector<CountryEntity>& entities,
                               std::vector<std::string>& leftOut) {
    std::set<std::string> folded;
    for (const CountryEntity& e : entities)
        if (e.otherAwardsOnly()) folded.insert(e.number);

    std::vector<Home> homes;
    std::map<std::string, size_t> homeOfNumber;
    for (const CountryEntity& e : entities) {
        if (e.otherAwardsOnly()) continue;
        std::string name = e.name;
        if (folded.count(e.number))
            for (std::string_view part : kPartNames)
                if (name.starts_with(part)) {
                    name.erase(0, part.size());
                    break;
                }
        homeOfNumber[e.number] = homes.size();
        homes.push_back(Home{abbreviate(std::move(name)), upperCaseCp1252(e.mainPrefix)});
    }
    std::map<std::string, std::string> dxccOfName;
    for (const auto& [number, index] : homeOfNumber) {
        const auto [at, added] = dxccOfName.emplace(homes[index].name, homes[index].dxcc);
        if (!added)
            throw CountryFileError(std::string(msg::kNamesNotUnique) + utf8(homes[index].name));
    }

    // Callsign prefix -> home -> the strongest claim of that home on it.
    std::map<std::string, std::map<size_t, Strength>> found;
    for (const CountryEntity& e : entities) {
        const auto number = homeOfNumber.find(e.number);
        if (number == homeOfNumber.end()) {
            leftOut.push_back(e.name);
            continue;
        }
        std::vector<Claim> claims;
        for (const std::string& token : e.aliases)
            if (auto claim = callsignPrefixOf(token)) claims.push_back(std::move(*claim));
        std::string_view main = e.mainPrefix;
        while (!main.empty() && main.front() == '*') main.remove_prefix(1);
        if (auto claim = callsignPrefixOf(main)) claims.push_back(Claim{claim->text, kMainPrefix});
        for (const Claim& claim : claims) {
            auto [at, added] = found[claim.text].emplace(number->second, claim.strength);
            if (!added) at->second = std::min(at->second, claim.strength);
        }
    }

    // One home per prefix where the files disagree: the strongest claim, a
    // prefix before a whole callsign of the same text; among equals the line
    // that sorts first, as the lookup would pick it anyway.
    std::map<std::string, std::pair<size_t, Strength>> chosen;
    for (const auto& [text, targets] : found) {
        Strength strongest = kMainPrefix;
        for (const auto& [home, strength] : targets) strongest = std::min(strongest, strength);
        std::optional<size_t> best;
        std::string bestLine;
        for (const auto& [home, strength] : targets) {
            if (strength != strongest) continue;
            std::string line = entryLine(text, homes[home]);
            if (!best || prefixLineLess(line, bestLine)) {
                best = home;
                bestLine = std::move(line);
            }
        }
        chosen.emplace(text, std::pair{*best, strongest});
    }

    // The file knows no "this callsign only": a whole callsign stands for
    // every call that begins with it. One the prefixes already resolve to its
    // entity adds nothing; a short one that resolves elsewhere would capture
    // blocks of ordinary calls, so it is kept only when long or for an entity
    // with no prefix of its own.
    std::map<std::string, size_t> prefixes;
    std::set<size_t> homesWithPrefix;
    for (const auto& [text, choice] : chosen) {
        if (choice.second == kWholeCallsign) continue;
        prefixes.emplace(text, choice.first);
        homesWithPrefix.insert(choice.first);
    }
    auto longestMatch = [&](const std::string& call) -> std::optional<size_t> {
        for (size_t length = std::min(call.size(), kCallsignPrefixWidth); length > 0; --length) {
            const auto it = prefixes.find(call.substr(0, length));
            if (it != prefixes.end()) return it->second;
        }
        return std::nullopt;
    };
    std::map<std::string, size_t> kept = prefixes;
    for (const auto& [text, choice] : chosen) {
        if (choice.second != kWholeCallsign || longestMatch(text) == choice.first) continue;
        if (text.size() >= 5 || !homesWithPrefix.count(choice.first))
            kept.emplace(text, choice.first);
    }

    std::vector<std::string> lines;
    lines.reserve(kept.size());
    for (const auto& [text, home] : kept) lines.push_back(entryLine(text, homes[home]));
    std::sort(lines.begin(), lines.end(), prefixLineLess);

    CountryBuild build;
    build.prefixFile = joined(lines);
    for (const CountryEntity& e : entities) {
        if (e.otherAwardsOnly()) continue;
        const Home& home = homes[homeOfNumber.at(e.number)];
        // The data file's longitude is east positive and its offset local
        // time minus UTC: the opposite signs of the country files.
        build.entities.push_back(EntityInfo{home.dxcc, home.name, e.latitude, -e.westLongitude,
                                            e.continent, e.cqZone, e.ituZone, -e.hoursBehindUtc});
    }
    std::stable_sort(build.entities.begin(), build.entities.end(),
                     [](const EntityInfo& a, const EntityInfo& b) {
                         const std::string ua = upperCaseCp1252(a.dxccPrefix);
                         const std::string ub = upperCaseCp1252(b.dxccPrefix);
                         return ua != ub ? ua < ub : a.dxccPrefix < b.dxccPrefix;
                     });
    for (const char* line : kEntityFileHeader) {
        build.entityFile += line;
        build.entityFile += kLineEnd;
    }
    build.entityFile += formatEntityData(build.entities);
    return build;
}

PrefixMerge mergeOperatorLines(std::string_view current, std::string_view base,
                               std::string_view built) {
    std::vector<std::string> currentLines = entryLines(current);
    const std::vector<std::string> baseLines = entryLines(base);
    // A missing or emptied file is no operator deleting every line.
    if (currentLines.empty()) currentLines = baseLines;
    const std::unordered_set<std::string> inBase(baseLines.begin(), baseLines.end());
    const std::unordered_set<std::string> inCurrent(currentLines.begin(), currentLines.end());

    PrefixMerge merge;
    std::set<std::string> operatorPrefixes;
    std::unordered_set<std::string> lines;
    for (const std::string& line : currentLines) {
        if (inBase.count(line) || !lines.insert(line).second) continue;
        merge.operatorLines.push_back(line);
        operatorPrefixes.insert(prefixOf(line));
    }
    for (const std::string& line : entryLines(built)) {
        const bool deleted = inBase.count(line) && !inCurrent.count(line);
        if (!deleted && !operatorPrefixes.count(prefixOf(line))) lines.insert(line);
    }
    merge.lines.assign(lines.begin(), lines.end());
    std::sort(merge.lines.begin(), merge.lines.end(), prefixLineLess);
    std::sort(merge.operatorLines.begin(), merge.operatorLines.end(), prefixLineLess);
    merge.fileBytes = joined(merge.lines);
    return merge;
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

std::string removesManyLine(const PrefixUpdateSummary& summary) {
    return std::string(msg::kRemovesMany) + std::to_string(summary.removed.size()) +
           std::string(msg::kRemovesManyOf) + std::to_string(summary.entriesBefore) +
           std::string(msg::kRemovesManyEnd);
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

PrefixUpdatePlan planPrefixUpdate(const std::filesystem::path& ctyDat, std::string_view current,
                                  std::string_view base, std::string_view currentEntities,
                                  const PrefixTable& lookup) {
    PrefixUpdatePlan plan;
    plan.source = ctyDat;
    const std::vector<CountryEntity> dat = readCountryEntities(ctyDat, parseCtyDat);
    const std::filesystem::path csvPath = ctyDat.parent_path() / "cty.csv";
    std::error_code ec;
    plan.withCsv = std::filesystem::exists(std::filesystem::symlink_status(csvPath, ec));
    std::vector<std::string> leftOut;
    std::vector<CountryEntity> numbered;
    if (plan.withCsv) {
        const std::vector<CountryEntity> csv = readCountryEntities(csvPath, parseCtyCsv);
        try {
            numbered = joinCountryFiles(dat, csv);
        } catch (const CountryFileError& e) {
            refuse(csvPath, e.what());
        }
    } else {
        numbered = numberWithoutCsv(dat, lookup, leftOut);
    }
    CountryBuild build;
    try {
        build = buildCountryFiles(numbered, leftOut);
    } catch (const CountryFileError& e) {
        refuse(ctyDat, e.what());
    }
    if (build.entities.empty()) refuse(ctyDat, msg::kNoEntity);

    PrefixMerge merge = mergeOperatorLines(current, base, build.prefixFile);
    plan.summary = summarizePrefixUpdate(current, merge.fileBytes);
    plan.summary.operatorLines = std::move(merge.operatorLines);
    plan.summary.leftOut = std::move(leftOut);
    plan.prefixFile = std::move(merge.fileBytes);
    plan.baseFile = std::move(build.prefixFile);
    plan.entityFile = std::move(build.entityFile);
    plan.summary.entityDataChanged = plan.entityFile != currentEntities;
    plan.changesNothing =
        plan.prefixFile == current && plan.baseFile == base && plan.entityFile == currentEntities;
    return plan;
}

}  // namespace dxcc
