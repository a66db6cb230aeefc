#include "core/awards/needed_report.h"

#include <gtest/gtest.h>

#include "award_test_log.h"

namespace dxcc {
namespace {

using testing_support::AwardQso;

std::string qso(const char* call, const char* date, const char* band, const char* mode) {
    AwardQso q{call, "G"};
    q.date = date;
    q.band = band;
    q.mode = mode;
    return testing_support::awardRecord(q);
}

// The callsign's contacts as the entry panel shows them: the latest first,
// and the latest on the band and mode chosen.
TEST(CallsignHistory, LatestFirstAndTheLatestOnTheBandAndMode) {
    testing_support::AwardLog log;
    log.setRecords({
        qso("G3AAA", "12/03/24", "14 Mhz ", "USB"),   // row 0
        qso("G3AAAB", "13/03/24", "14 Mhz ", "SSB"),  // another callsign
        qso("G3AA", "13/03/24", "14 Mhz ", "SSB"),    // and another
        qso("G3AAA", "01/02/08", "14 Mhz ", "SSB"),   // row 3
        qso("G3AAA", "05/03/24", "7.0 Mhz", "CW "),   // row 4
        qso("G3AAA", "12/03/24", "60M", "FT8"),       // row 5, same date as row 0
        qso("G3AAA", "xx/03/24", "14 Mhz ", "CW "),   // row 6, unreadable date
    });
    const std::vector<size_t> rows = callsignRows(log.log, " G3AAA ");
    EXPECT_EQ(rows, (std::vector<size_t>{5, 0, 4, 3, 6}));
    EXPECT_TRUE(callsignRows(log.log, "").empty());
    EXPECT_TRUE(callsignRows(log.log, "G3AAAAAAAAAAAAAAA").empty());

    const auto listed = earlierQsos(log.log, rows, 2);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].band, "60M");
    EXPECT_EQ(listed[1].mode, "USB");
    EXPECT_EQ(earlierQsos(log.log, rows, 10).size(), 5u);

    struct Case {
        const char* band;
        const char* mode;
        std::optional<std::string> date;
    };
    const Case cases[] = {
        {"14 Mhz ", "SSB", "12/03/24"},  // the mode's class: the USB of row 0
        {"14 Mhz", "SSB ", "12/03/24"},  // blanks do not count
        {"14 Mhz ", "CW", "xx/03/24"},
        {"7.0 Mhz", "CW", "05/03/24"},
        {"7.0 Mhz", "SSB", std::nullopt},
        {"60M", "DIG", "12/03/24"},  // the form's digital entry takes FT8
        {"60M", "RTT", "12/03/24"},
        {"21 Mhz ", "SSB", std::nullopt},
        {"14 Mhz ", "ZZZ", std::nullopt},  // a mode of no class: the same text only
        {"", "SSB", std::nullopt},
        {"14 Mhz ", "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.band) + "/" + c.mode);
        EXPECT_EQ(lastWorkedOnBandAndMode(log.log, rows, c.band, c.mode), c.date);
    }
}

TEST(CallsignHistory, PanelLine) {
    EXPECT_EQ(workedOnBandAndModeLine(std::string("12/03/24")),
              "Déjà contacté sur cette bande et ce mode : le 12/03/24");
    EXPECT_EQ(workedOnBandAndModeLine(std::nullopt), "");
    // A damaged date cannot break the line's UTF-8.
    EXPECT_EQ(workedOnBandAndModeLine(std::string("12/0\xE9/24")),
              "Déjà contacté sur cette bande et ce mode : le 12/0?/24");
}

}  // namespace
}  // namespace dxcc
