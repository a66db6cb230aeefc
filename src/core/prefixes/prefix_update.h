#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/prefixes/country_file.h"
#include "core/prefixes/entity_data.h"
#include "core/prefixes/prefix_table.h"

namespace dxcc {

// The prefix file and the entity data built from the country files.
struct CountryBuild {
    // One 49-column entry per callsign prefix of every DXCC entity, in the
    // editor's order, CR LF after each line (Windows-1252).
    std::string prefixFile;
    // The entity data file's text (see EntityData).
    std::string entityFile;
    std::vector<EntityInfo> entities;
};

// Builds both files from numbered entities (joinCountryFiles or
// numberWithoutCsv). The prefixes of an entity are its main prefix and every
// alias, overrides stripped; a whole callsign ("=") only where it fits the
// prefix column, holds no '/' and changes the answer of the lookup. A '*'
// entity's prefixes go to the DXCC entity of the same number, whose name then
// loses "Asiatic " or "European ". A '*' entity numbered after no DXCC entity
// is left out, its name added to `leftOut`. Throws CountryFileError when two
// entities get the same name once abbreviated to the name column.
CountryBuild buildCountryFiles(const std::vector<CountryEntity>& entities,
                               std::vector<std::string>& leftOut);

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
    bool entityDataChanged = false;    // positions, zones or offsets differ

    bool changesNothing() const {
        return added.empty() && removed.empty() && moved.empty() && renamed.empty();
    }
    // More than a tenth of the entries would go: a country file cut short
    // looks like that, and the operator must accept it knowingly.
    bool removesTooMuch() const { return removed.size() * 10 > entriesBefore; }
};

// What an update that removes too much would remove (UTF-8).
std::string removesManyLine(const PrefixUpdateSummary& summary);

// Compares the prefix files by callsign prefix: a prefix that only one holds
// is added or removed, one whose DXCC prefix differs moved, one whose entity
// name differs renames its entity.
PrefixUpdateSummary summarizePrefixUpdate(std::string_view before, std::string_view after);

// The summary as text lines (UTF-8): the counts first, then each list; an
// update that removes too much says so before anything else.
std::vector<std::string> summaryLines(const PrefixUpdateSummary& summary,
                                      const std::filesystem::path& source, bool withCsv);

// Everything an update would write, built and not yet saved.
struct PrefixUpdatePlan {
    std::filesystem::path source;  // the cty.dat chosen
    bool withCsv = false;          // a cty.csv beside it gave the entity numbers
    std::string prefixFile;        // the merged prefix file
    std::string baseFile;          // the new build, kept as the next update's base
    std::string entityFile;
    PrefixUpdateSummary summary;
    // The prefix file, its base and the entity data already hold this.
    bool changesNothing = false;
};

// The most a country file may hold: the real one is a third of a megabyte.
inline constexpr size_t kCountryFileMaxBytes = size_t{16} << 20;

// Reads `ctyDat` (and the cty.csv beside it, when there is one) and plans the
// update of the prefix file `current` (its bytes), whose last build is
// `base`. `lookup` is the current prefix file's, for cty.dat alone. Throws
// CountryFileError (the file is no plain file, too large, or no country
// file) and FileError (it cannot be read).
PrefixUpdatePlan planPrefixUpdate(const std::filesystem::path& ctyDat, std::string_view current,
                                  std::string_view base, std::string_view currentEntities,
                                  const PrefixTable& lookup);

}  // namespace dxcc
