#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/prefixes/country_file.h"
#include "core/prefixes/entity_data.h"
#include "core/prefixes/prefix_table.h"

namespace dxcc {

// The prefix file, the exact-call file and the entity data built from the
// country files.
struct CountryBuild {
    // One 49-column entry per callsign prefix of every DXCC entity, in the
    // editor's order, CR LF after each line (Windows-1252).
    std::string prefixFile;
    // One 55-column line per exact call, in the editor's order, CR LF after
    // each line (Windows-1252).
    std::string exactFile;
    // Exact calls longer than the log's callsign field, left out.
    size_t exactCallsTooLong = 0;
    // The entity data file's text (see EntityData).
    std::string entityFile;
    std::vector<EntityInfo> entities;
};

// Builds the three files from numbered entities (joinCountryFiles or
// numberWithoutCsv). The prefixes of an entity are its main prefix and every
// alias that is no whole callsign, overrides stripped; a prefix holds no '/'
// and fits the prefix column. The whole callsigns ("=") are its exact calls,
// up to 12 characters, '/' included. A '*' entity's prefixes and calls go to
// the DXCC entity of the same number, whose name then loses "Asiatic " or
// "European ". Where entities share a prefix or a call, the strongest claim
// (an alias before a bare main prefix) and then the line that sorts first
// keep it. An entity's ADIF number is its number when that is one (cty.csv
// gives it). A '*' entity numbered after no DXCC entity is left out, its name
// added to `leftOut`. Throws CountryFileError when two entities get the same
// name once abbreviated to the name column.
CountryBuild buildCountryFiles(const std::vector<CountryEntity>& entities,
                               std::vector<std::string>& leftOut);

// The entity data file's text: its comment lines, then one line per entity.
std::string entityFileText(const std::vector<EntityInfo>& entities);

// The new prefix file: the new build, with what the operator did to the
// previous one. The operator's lines are those of `current` that `base` (the
// build `current` started from) lacks: each is kept, and takes the place of
// the new build's lines for its callsign prefix. A line of `base` the
// operator deleted stays deleted where the new build still holds it as it
// was. Lines in the editor's order, CR LF after each.
struct PrefixMerge {
    std::string fileBytes;
    std::vector<std::string> lines;
    std::vector<std::string> operatorLines;  // kept, in the editor's order
};
PrefixMerge mergeOperatorLines(std::string_view current, std::string_view base,
                               std::string_view built);
// The same for the exact-call file, whose lines stand for their callsign.
PrefixMerge mergeOperatorExactCalls(std::string_view current, std::string_view base,
                                    std::string_view built);

// What the update changes in the prefix file, for the operator to read first.
struct PrefixUpdateSummary {
    size_t entriesBefore = 0;
    size_t entriesAfter = 0;
    std::vector<std::string> added;    // the new lines
    std::vector<std::string> removed;  // the lines gone
    struct Move {
        std::string callsignPrefix;
        std::string from;  // DXCC prefixes
        std::string to;
    };
    std::vector<Move> moved;
    struct Rename {
        std::string dxccPrefix;
        std::string from;  // entity names, trimmed
        std::string to;
    };
    std::vector<Rename> renamed;
    std::vector<std::string> operatorLines;
    std::vector<std::string> leftOut;  // names of the '*' entities left out
    bool entityDataChanged = false;    // positions, zones, offsets or numbers differ

    // What the update changes in the exact-call file, compared by callsign.
    struct ExactCalls {
        size_t before = 0;
        size_t after = 0;
        std::vector<std::string> added;    // the new lines
        std::vector<std::string> removed;  // the lines gone
        std::vector<Move> moved;           // callsign, DXCC prefixes
        std::vector<std::string> operatorLines;
        size_t tooLong = 0;  // left out of the build: longer than a logged callsign
        // Lines of the prefix file holding a whole callsign, as earlier
        // builds wrote them, that are exact calls now: not counted as removed.
        size_t fromPrefixFile = 0;

        bool changesNothing() const { return added.empty() && removed.empty() && moved.empty(); }
    };
    ExactCalls exactCalls;

    bool changesNothing() const {
        return added.empty() && removed.empty() && moved.empty() && renamed.empty() &&
               exactCalls.changesNothing();
    }
    bool removesTooManyPrefixes() const { return removed.size() * 10 > entriesBefore; }
    bool removesTooManyExactCalls() const {
        return exactCalls.removed.size() * 10 > exactCalls.before;
    }
    // More than a tenth of the entries or of the exact calls would go: a
    // country file cut short looks like that, and the operator must accept it
    // knowingly.
    bool removesTooMuch() const { return removesTooManyPrefixes() || removesTooManyExactCalls(); }
};

// What an update that removes too much would remove (UTF-8).
std::string removesManyLine(const PrefixUpdateSummary& summary);

// Compares the prefix files by callsign prefix: a prefix that only one holds
// is added or removed, one whose DXCC prefix differs moved, one whose entity
// name differs renames its entity.
PrefixUpdateSummary summarizePrefixUpdate(std::string_view before, std::string_view after);

// Compares the exact-call files by callsign: a callsign that only one holds is
// added or removed, one whose DXCC prefix differs moved.
PrefixUpdateSummary::ExactCalls summarizeExactCallUpdate(std::string_view before,
                                                         std::string_view after);

// The summary as text lines (UTF-8): the counts first, then each list; an
// update that removes too much says so before anything else.
std::vector<std::string> summaryLines(const PrefixUpdateSummary& summary,
                                      const std::filesystem::path& source, bool withCsv);

// Everything an update would write, built and not yet saved: five files
// that change together.
struct PrefixUpdatePlan {
    std::filesystem::path source;  // the cty.dat chosen
    bool withCsv = false;          // a cty.csv beside it gave the entity numbers
    std::string prefixFile;        // the merged prefix file
    std::string baseFile;          // the new build, kept as the next update's base
    std::string exactFile;         // the merged exact-call file
    std::string exactBaseFile;     // the new build of it, the next update's base
    std::string entityFile;
    PrefixUpdateSummary summary;
    // The five files already hold this.
    bool changesNothing = false;
};

// The reference files of the data folder, as they are: their bytes, empty
// when a file is missing. For a missing base copy the caller passes the
// shipped file, which the folder's file started from.
struct ReferenceFiles {
    std::string_view prefixFile;
    std::string_view prefixBase;
    std::string_view exactFile;
    std::string_view exactBase;
    std::string_view entityFile;
};

// The most a country file may hold: the real one is a third of a megabyte.
inline constexpr size_t kCountryFileMaxBytes = size_t{16} << 20;

// Reads `ctyDat` (and the cty.csv beside it, when there is one) and plans the
// update of the data folder's reference files. The operator's own prefix
// lines and exact calls are kept (mergeOperatorLines); a whole callsign that
// an earlier build put into the prefix file goes, once it is an exact call of
// the same entity. Without cty.csv, an entity keeps the ADIF number that the
// current entity data gives it. `lookup` is the current prefix file's, for
// cty.dat alone. Throws CountryFileError (the file is no plain file, too
// large, or no country file) and FileError (it cannot be read).
PrefixUpdatePlan planPrefixUpdate(const std::filesystem::path& ctyDat,
                                  const ReferenceFiles& current, const PrefixTable& lookup);

// The plan for a caller that writes the prefix file, its base and the entity
// data only: the exact-call files count as already holding the new build, so
// they change nothing in the summary nor in `changesNothing`.
PrefixUpdatePlan planPrefixUpdate(const std::filesystem::path& ctyDat, std::string_view current,
                                  std::string_view base, std::string_view currentEntities,
                                  const PrefixTable& lookup);

}  // namespace dxcc
