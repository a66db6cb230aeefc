#include "core/awards/prefix_statistics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "award_test_log.h"
#include "core/awards/prefix_statistics_messages.h"
#include "core/prefixes/prefix_table.h"

namespace dxcc {
namespace {

using testing_support::AwardLog;
using testing_support::AwardQso;

// The check box (1-33) of each marked cell.
std::vector<size_t> markedBoxes(const StatisticsGrid& grid) {
    std::vector<size_t> boxes;
    for (size_t i = 0; i < grid.cells.size(); ++i)
        if (grid.cells[i]) boxes.push_back(i + 1);
    return boxes;
}

TEST(PrefixStatisticsTest, ConfirmedQsosOfTheEntityMarkTheirBandAndModeCell) {
    struct Row {
        AwardQso qso;
        std::vector<size_t> boxes;
    };
    const Row rows[] = {
        {{"F1", "F", "FM", "14 Mhz "}, {13}},
        {{"F1", "F", "PSK", "7.0 Mhz"}, {9}},
        {{"F1", "F", "DIG", "14 Mhz "}, {15}},  // the digital row, like the RTTY award
        {{"F1", "F", "SAT", "14 Mhz "}, {}},
        {{"F1", "F", "SSB", "10 Mhz "}, {10}},
        {{"F1", "F", "CW", "1.8 Mhz"}, {2}},
        {{"F1", "F", "CW", "144 Mhz"}, {32}},
        {{"F1", "F", "CW", "432 Mhz"}, {}},
        {{"F1", "F", "CW", "14 Mhz ", ' '}, {}},  // not confirmed
        {{"F1", "", "CW", "14 Mhz "}, {}},        // no entity
        {{"F1", "FR", "CW", "14 Mhz "}, {}},      // another entity
        {{"F1", " F", "CW", "14 Mhz "}, {14}},    // blanks around the prefix
    };
    AwardLog station;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.qso.mode + " " + r.qso.band + " " + r.qso.dxccPrefix);
        station.set({r.qso});
        EXPECT_EQ(markedBoxes(confirmedGrid(station.log, "F")), r.boxes);
    }
    station.set({{"F1", "F", "CW", "14 Mhz "}, {"F2", "F", "CW", "14 Mhz "}, {"", "", "", ""}});
    EXPECT_EQ(markedBoxes(confirmedGrid(station.log, "F")), std::vector<size_t>{14});
    EXPECT_TRUE(markedBoxes(confirmedGrid(station.log, "")).empty());
}

TEST(PrefixStatisticsTest, EntityIsTheFirstLineWhoseWholePrefixIsTyped) {
    const std::string file = buildPrefixEntry("T", "Nowhere", "T0") + "\r\n" +
                             buildPrefixEntry("tm", "Lower case", "L") + "\r\n" +
                             buildPrefixEntry("TM", "France", "F") + "\r\n" +
                             buildPrefixEntry("TM", "Second line", "S") + "\r\n" + "TK\r\n";
    struct Row {
        const char* typed;
        const char* dxccPrefix;
        const char* entityName;
    };
    const Row rows[] = {
        {"TM", "F", "France"},                   // not the line of T, a beginning of it
        {"T", "T0", "Nowhere"}, {"TK", "", ""},  // a short line gives empty fields
        {"TMX", "", ""},        {"FR", "", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        const StatisticsEntity e = findStatisticsEntity(file, r.typed);
        EXPECT_EQ(e.dxccPrefix, r.dxccPrefix);
        EXPECT_EQ(e.entityName, r.entityName);
    }
}

TEST(PrefixStatisticsTest, DisplayCountsEveryQsoOfTheEntityAndReportsAnUnreadableFile) {
    AwardLog station;
    station.set({{"F5ABC", "F", "SSB", "14 Mhz "}, {"TM5X", "F", "CW", "7.0 Mhz"}});
    const std::filesystem::path prefixFile = station.dir / "Prefixe_DXCC.txt";

    const PrefixStatistics missing = prefixStatistics(station.log, prefixFile, "TM");
    ASSERT_TRUE(missing.prefixFileError.has_value());
    EXPECT_EQ(missing.prefixFileError->code(), kFileNotFound);
    EXPECT_NE(std::string(missing.prefixFileError->what()).find("Prefixe_DXCC.txt"),
              std::string::npos);

    station.dir.write("Prefixe_DXCC.txt", buildPrefixEntry("TM", "France", "F") + "\r\n");
    const PrefixStatistics found = prefixStatistics(station.log, prefixFile, "TM");
    EXPECT_FALSE(found.prefixFileError.has_value());
    EXPECT_EQ(found.entity.entityName, "France");
    EXPECT_EQ(markedBoxes(found.grid), (std::vector<size_t>{8, 13}));
}

TEST(PrefixStatisticsTest, EnterRefusesAnEmptyOrOverLongPrefix) {
    namespace msg = prefix_statistics_messages;
    EXPECT_EQ(checkStatisticsPrefix(""), msg::kPrefixEmpty);
    EXPECT_EQ(checkStatisticsPrefix("ABCDEFG"), msg::kPrefixTooLong);
    EXPECT_FALSE(checkStatisticsPrefix("ABCDEF"));
    EXPECT_FALSE(checkStatisticsPrefix("F"));
}

}  // namespace
}  // namespace dxcc
