#include "core/base/dates.h"

#include <gtest/gtest.h>

namespace dxcc {
namespace {

TEST(CheckDate, AcceptsTheFullForm) {
    for (const char* ok : {"01/01/08", "00/00/00", "31/02/08", "31/12/99"})
        EXPECT_EQ(checkDate(ok), 0) << ok;
    for (const char* bad :
         {"32/01/08", "01/13/08", "1/01/08", "01/01/2008", "01-01-08", "", "aa/bb/cc", "01/01/0 "})
        EXPECT_EQ(checkDate(bad), 1) << bad;
}

TEST(CheckTime, AcceptsTheFullForm) {
    for (const char* ok : {"23:59", "00:00", "12:35"}) EXPECT_EQ(checkTime(ok), 0) << ok;
    for (const char* bad : {"24:00", "12:60", "9:30", "12:300", "12h30", "", " 9:30"})
        EXPECT_EQ(checkTime(bad), 1) << bad;
}

TEST(ClockTexts, TwoDigitFields) {
    DateTimeParts t{2009, 1, 1, 0, 5, 0};
    EXPECT_EQ(formatDate(t), "01/01/09");
    EXPECT_EQ(formatTime(t), "00:05:00");
    EXPECT_EQ(formatDate({2010, 12, 31, 23, 59, 7}), "31/12/10");
}

TEST(RecordKey, CenturyPivotAndUnreadableLines) {
    auto rec = [](const char* date, const char* time) {
        return std::string(29, ' ') + date + " " + time + std::string(64, ' ');
    };
    EXPECT_EQ(widenYear(49), 2049);
    EXPECT_EQ(widenYear(50), 1950);
    EXPECT_LT(*recordDateTimeKey(rec("31/12/99", "23:59")),
              *recordDateTimeKey(rec("01/01/00", "00:00")));
    EXPECT_LT(*recordDateTimeKey(rec("01/01/50", "00:00")),
              *recordDateTimeKey(rec("31/12/49", "00:00")));
    EXPECT_LT(*recordDateTimeKey(rec("01/02/08", "12:34")),
              *recordDateTimeKey(rec("01/02/08", "12:35")));
    EXPECT_LT(*recordDateTimeKey(rec("31/01/08", "23:59")),
              *recordDateTimeKey(rec("01/02/08", "00:00")));
    EXPECT_FALSE(recordDateTimeKey(rec("xx/02/08", "12:35")));
    EXPECT_FALSE(recordDateTimeKey("F5ABC"));
}

}  // namespace
}  // namespace dxcc
