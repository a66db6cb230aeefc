#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/logbook/need.h"
#include "core/record/mode_table.h"

namespace dxcc {

class PrefixTable;
class NeededIndex;
class EntityData;

// The table's columns, in order: Mixed, SSB, CW, RTTY, Satellite, then the bands
// of the per-band award window in its order (labels trimmed: "1.8 Mhz").
const std::vector<std::string>& dxccTableColumns();

// Index of the first band column: after Mixed and the classes.
inline constexpr size_t kFirstBandColumn = 1 + kModeClasses.size();

// One entity before its cells are filled in.
struct TableEntity {
    std::string prefix;     // DXCC prefix, trimmed, as the log stores it
    std::string entity;     // entity name, trimmed (Windows-1252)
    std::string continent;  // two letters, empty when unknown
};

// The entities of the table: each DXCC prefix of the prefix file, then of the
// exact calls, once (named after its first line), then every prefix in
// `workedPrefixes` that the files lack (an entity worked under a prefix since
// deleted still shows), unnamed.
std::vector<TableEntity> tableEntities(const PrefixTable& prefixes,
                                       const std::vector<std::string>& workedPrefixes);

struct DxccTableRow {
    TableEntity entity;
    std::vector<Need> cells;  // where the entity stands, one per column
};

struct DxccTable {
    std::vector<std::string> columns;
    std::vector<DxccTableRow> rows;
    std::vector<size_t> confirmed;  // per column: cells marked C
    std::vector<size_t> worked;     // per column: cells marked W or C
};

// The table over `entities`, each cell answered by `cell(prefix, column)`.
using CellLookup = std::function<Need(std::string_view prefix, size_t column)>;
DxccTable buildDxccTable(std::vector<TableEntity> entities, const CellLookup& cell);

// The cells of the needed-status engine: Mixed, the classes of modes, the bands.
CellLookup neededCells(const NeededIndex& needed);

// The table of every entity from the needed-status engine: the prefix file's
// entities and the worked ones it lacks, continents from the entity data.
DxccTable dxccTableOf(const PrefixTable& prefixes, const NeededIndex& needed,
                      const EntityData& entityData);

// An entity to draw on the map: where it lies and where it stands (Mixed).
struct MapEntity {
    std::string prefix;
    std::string entity;  // Windows-1252
    double latitude = 0;
    double longitude = 0;
    Need mark = Need::Never;
};

// The table's entities whose position the entity data knows.
std::vector<MapEntity> mapEntities(const DxccTable& table, const EntityData& entityData);

// The confirmation report's line naming the entities confirmed after a change
// for a column (an award or a band) they were not confirmed for before:
// "Nouvelles contrées confirmées : F France (Mixed, CW), JA Japan (14 Mhz)"
// (Windows-1252); empty when there are none. Entities are matched by prefix.
std::string newlyConfirmedLine(const DxccTable& before, const DxccTable& after);

enum class TableOrder { Prefix, Entity, Continent };

// The rows to show, in `order` (entity names and prefixes by the program's
// collation; the continent order breaks ties by prefix). With `missingIn` set
// to a column, only the rows without a C in that column; -1 shows every row.
std::vector<size_t> tableRowOrder(const DxccTable& table, TableOrder order, int missingIn = -1);

// The rows as comma-separated text: a heading line ("Préfixe,Contrée,
// Continent" and the columns), one line per row in the given order, then the
// two totals lines.
// Fields that hold a comma, a quote or a line break are quoted. Windows-1252
// bytes, CR LF line ends.
std::string dxccTableCsv(const DxccTable& table, const std::vector<size_t>& rows);

}  // namespace dxcc
