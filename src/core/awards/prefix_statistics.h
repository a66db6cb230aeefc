#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/record/mode_table.h"
#include "core/base/file_error.h"
#include "core/base/program_constants.h"

namespace dxcc {

class Logbook;

// The statistics grid: a column for every band of the list but 432 MHz, by
// three mode rows.
inline constexpr size_t kStatisticsBandColumns = kBand70cm;
inline constexpr size_t kStatisticsModeRows = 3;

// The band of each column, blanks trimmed ("10 Mhz" matches a stored "10 Mhz ").
inline constexpr std::array<std::string_view, kStatisticsBandColumns> kStatisticsBands = [] {
    std::array<std::string_view, kStatisticsBandColumns> bands{};
    for (size_t i = 0; i < bands.size(); ++i) bands[i] = bandName(i);
    return bands;
}();
// The mode class of each row: SSB, CW, RTTY.
inline constexpr std::array<ModeClass, kStatisticsModeRows> kStatisticsRows{
    ModeClass::Phone, ModeClass::Cw, ModeClass::Digital};

// The window's caption after a display: this, the typed prefix, three blanks and
// the entity name (UTF-8; the prefix and the name are Windows-1252 data).
inline constexpr std::string_view kStatisticsCaptionLead = "Statistiques du préfixe ";
inline constexpr std::string_view kStatisticsCaptionGap = "   ";

// Column of a band (blanks trimmed here), row of a mode; -1 when it has none.
int statisticsBandColumn(std::string_view band);
int statisticsModeRow(std::string_view mode);

struct StatisticsGrid {
    // Cell of band column b and mode row r at 3 * b + r, so the check box of a
    // cell is `cellIndex + 1`.
    std::array<bool, kStatisticsBandColumns * kStatisticsModeRows> cells{};

    static size_t cellIndex(size_t bandColumn, size_t modeRow) {
        return kStatisticsModeRows * bandColumn + modeRow;
    }
    bool marked(size_t bandColumn, size_t modeRow) const {
        return cells[cellIndex(bandColumn, modeRow)];
    }
    bool operator==(const StatisticsGrid&) const = default;
};

// The cells in which the log holds a confirmed QSO of the entity with this DXCC
// prefix (exact, blanks around the record's prefix ignored). An empty prefix
// marks nothing.
StatisticsGrid confirmedGrid(const Logbook& log, std::string_view dxccPrefix);

// The entity that a callsign prefix belongs to, from the prefix file.
struct StatisticsEntity {
    std::string dxccPrefix;  // blanks trimmed; empty when no line has the prefix
    std::string entityName;  // blanks trimmed
};

// The first line of the prefix file whose callsign prefix (columns 1-6, blanks
// trimmed) is exactly `callsignPrefix`: whole-text, case-sensitive equality,
// unlike the callsign lookup that matches a beginning.
StatisticsEntity findStatisticsEntity(std::string_view prefixFileBytes,
                                      std::string_view callsignPrefix);

struct PrefixStatistics {
    // The prefix file could not be read (53 when it does not exist; the error's
    // text names the file). The entity and the grid are then empty: no
    // confirmed contact can be told apart from no readable prefix file.
    std::optional<FileError> prefixFileError;
    StatisticsEntity entity;
    StatisticsGrid grid;
};

// Longest callsign prefix the window accepts: the prefix file's column.
inline constexpr size_t kStatisticsPrefixMax = 6;

// The refusal of the typed prefix on Enter (empty, or longer than the
// column); nothing when the display may run.
std::optional<std::string_view> checkStatisticsPrefix(std::string_view text);

// The display of the statistics window for the prefix the operator typed.
PrefixStatistics prefixStatistics(const Logbook& log, const std::filesystem::path& prefixFile,
                                  std::string_view callsignPrefix);

}  // namespace dxcc
