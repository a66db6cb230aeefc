#include "core/awards/prefix_statistics.h"

#include <algorithm>

#include "core/awards/prefix_statistics_messages.h"
#include "core/logbook/logbook.h"
#include "core/record/qso_record.h"
#include "core/base/text_file.h"
#include "core/prefixes/prefix_table.h"

namespace dxcc {

// The heading names the row captions' column, then each band column.
static_assert(prefix_statistics_messages::kGridHeading.size() == kStatisticsBandColumns + 1);

int statisticsBandColumn(std::string_view band) {
    band = trimBlanks(band);
    const auto it = std::find(kStatisticsBands.begin(), kStatisticsBands.end(), band);
    return it == kStatisticsBands.end() ? -1 : static_cast<int>(it - kStatisticsBands.begin());
}

int statisticsModeRow(std::string_view mode) {
    const ModeClass modeClass = modeClassOf(mode);
    const auto it = std::find(kStatisticsRows.begin(), kStatisticsRows.end(), modeClass);
    return it == kStatisticsRows.end() ? -1 : static_cast<int>(it - kStatisticsRows.begin());
}

StatisticsGrid confirmedGrid(const Logbook& log, std::string_view dxccPrefix) {
    StatisticsGrid grid;
    if (dxccPrefix.empty()) return grid;
    for (size_t i = 0; i < log.size(); ++i) {
        const std::string_view record = log.record(i);
        if (!recordConfirmed(record)) continue;
        if (trimBlanks(recordField(record, Field::DxccPrefix)) != dxccPrefix) continue;
        const int column = statisticsBandColumn(recordField(record, Field::Band));
        const int row = statisticsModeRow(recordField(record, Field::Mode));
        if (column >= 0 && row >= 0)
            grid.cells[StatisticsGrid::cellIndex(static_cast<size_t>(column),
                                                 static_cast<size_t>(row))] = true;
    }
    return grid;
}

StatisticsEntity findStatisticsEntity(std::string_view prefixFileBytes,
                                      std::string_view callsignPrefix) {
    for (std::string_view line : splitLines(prefixFileBytes)) {
        PrefixEntry entry = parsePrefixEntry(line);
        if (entry.callsignPrefix != callsignPrefix) continue;
        return StatisticsEntity{std::move(entry.dxccPrefix),
                                std::string(trimBlanks(entry.entityName))};
    }
    return {};
}

std::optional<std::string_view> checkStatisticsPrefix(std::string_view text) {
    namespace msg = prefix_statistics_messages;
    if (text.empty()) return msg::kPrefixEmpty;
    if (text.size() > kStatisticsPrefixMax) return msg::kPrefixTooLong;
    return std::nullopt;
}

PrefixStatistics prefixStatistics(const Logbook& log, const std::filesystem::path& prefixFile,
                                  std::string_view callsignPrefix) {
    PrefixStatistics result;
    std::string bytes;
    try {
        bytes = readFileBytes(prefixFile, kPrefixFileLimits);
    } catch (const FileError& e) {
        result.prefixFileError = e;
        return result;
    }
    result.entity = findStatisticsEntity(bytes, callsignPrefix);
    result.grid = confirmedGrid(log, result.entity.dxccPrefix);
    return result;
}

}  // namespace dxcc
