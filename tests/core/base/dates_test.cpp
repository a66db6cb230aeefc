#include "core/base/dates.h"

#include <gtest/gtest.h>

#include <optional>

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

// The two readings of a two-digit year differ at 50 only: the log's date
// order puts 50 in 1950, the import reads it as 2050.
TEST(TwoDigitYears, TheLogsRuleAndTheImportsSideBySide) {
    struct Case {
        int twoDigits;
        int logYear;
        int importYear;
    };
    const Case cases[] = {
        {0, 2000, 2000},  {8, 2008, 2008},  {49, 2049, 2049},
        {50, 1950, 2050}, {51, 1951, 1951}, {99, 1999, 1999},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(widenLogYear(c.twoDigits), c.logYear) << c.twoDigits;
        EXPECT_EQ(widenImportYear(c.twoDigits), c.importYear) << c.twoDigits;
    }
}

TEST(LogDates, ReadAsWrittenWhenTheChecksPass) {
    const std::optional<LogDate> d = readLogDate("31/04/05");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->day, 31);
    EXPECT_EQ(d->month, 4);
    EXPECT_EQ(d->twoDigitYear, 5);
    EXPECT_TRUE(readLogDate("00/00/00"));
    EXPECT_FALSE(readLogDate("32/01/08"));
    EXPECT_FALSE(readLogDate("1/2/2008"));
    EXPECT_EQ(readLogTime("23:59"), 23 * 60 + 59);
    EXPECT_EQ(readLogTime("00:00"), 0);
    EXPECT_FALSE(readLogTime("24:00"));
    EXPECT_FALSE(readLogTime("12h30"));
}

TEST(DayNumbers, KnownDatesAndTheWayBack) {
    EXPECT_EQ(dayNumber(1970, 1, 1), 0);
    EXPECT_EQ(dayNumber(2000, 3, 1), 11017);
    EXPECT_EQ(dayNumber(1969, 12, 31), -1);
    EXPECT_EQ(dayNumber(1, 1, 1), -719162);
    // Past the month's end the count goes on; day 0 is the day before the 1st.
    EXPECT_EQ(dayNumber(2005, 4, 31), dayNumber(2005, 5, 1));
    EXPECT_EQ(dayNumber(2024, 3, 0), dayNumber(2024, 2, 29));
    for (int64_t day = dayNumber(1899, 12, 25); day < dayNumber(2101, 1, 5); day += 17) {
        const CivilDate date = dateOfDay(day);
        ASSERT_TRUE(isCalendarDate(date)) << day;
        ASSERT_EQ(dayNumber(date), day);
        ASSERT_EQ(yearOfDay(day), date.year);
    }
    EXPECT_EQ(dateOfDay(dayNumber(2000, 2, 29)), (CivilDate{2000, 2, 29}));
    EXPECT_EQ(dateOfDay(-1), (CivilDate{1969, 12, 31}));
}

TEST(DayNumbers, DaysOfTheCalendar) {
    EXPECT_EQ(daysInMonth(2024, 2), 29);
    EXPECT_EQ(daysInMonth(2023, 2), 28);
    EXPECT_EQ(daysInMonth(1900, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(daysInMonth(2024, 4), 30);
    EXPECT_EQ(daysInMonth(2024, 12), 31);
    for (CivilDate no : {CivilDate{2023, 2, 29}, CivilDate{2024, 4, 31}, CivilDate{2024, 0, 1},
                         CivilDate{2024, 13, 1}, CivilDate{2024, 1, 0}})
        EXPECT_FALSE(isCalendarDate(no)) << no.year << "-" << no.month << "-" << no.day;
    EXPECT_TRUE(isCalendarDate({2024, 2, 29}));
}

}  // namespace
}  // namespace dxcc
