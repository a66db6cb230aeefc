#include "core/record/record_dates.h"

#include <gtest/gtest.h>

#include <string>

namespace dxcc {
namespace {

std::string record(const char* date, const char* time) {
    return std::string(29, ' ') + date + " " + time + std::string(64, ' ');
}

TEST(RecordDates, TheLogsOrderKeyReadsTheYearByTheLogsRule) {
    const auto key = [](const char* date, const char* time) {
        return *recordDateTimeKey(record(date, time));
    };
    EXPECT_LT(key("31/12/99", "23:59"), key("01/01/00", "00:00"));
    EXPECT_LT(key("01/01/50", "00:00"), key("31/12/49", "00:00"));
    EXPECT_LT(key("01/02/08", "12:34"), key("01/02/08", "12:35"));
    EXPECT_LT(key("31/01/08", "23:59"), key("01/02/08", "00:00"));
    // A date the calendar lacks keeps its own place, as written.
    EXPECT_LT(key("31/04/05", "12:00"), key("01/05/05", "00:00"));
    EXPECT_LT(key("00/05/05", "23:59"), key("01/05/05", "00:00"));
    EXPECT_LT(key("00/00/00", "00:00"), key("15/12/99", "10:00"));
    EXPECT_FALSE(recordDateTimeKey(record("xx/02/08", "12:35")));
    EXPECT_FALSE(recordDateTimeKey(record("01/02/08", "24:00")));
    EXPECT_FALSE(recordDateTimeKey("F5ABC"));
    // Cut just after the time: still read.
    EXPECT_TRUE(recordDateTimeKey(record("01/02/08", "12:35").substr(0, 43)));
    EXPECT_FALSE(recordDateTimeKey(record("01/02/08", "12:35").substr(0, 42)));
}

TEST(RecordDates, DateAndTimeAsWritten) {
    const std::optional<RecordDateTime> when = recordDateTime(record("00/13/24", "07:05"));
    EXPECT_FALSE(when);  // month 13
    const std::optional<RecordDateTime> read = recordDateTime(record("00/12/24", "07:05"));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->date.day, 0);
    EXPECT_EQ(read->date.month, 12);
    EXPECT_EQ(read->date.twoDigitYear, 24);
    EXPECT_EQ(read->minuteOfDay, 7 * 60 + 5);
}

TEST(RecordDates, DayNumbersOnlyForDaysOfTheCalendar) {
    struct Case {
        const char* date;
        std::optional<int64_t> day;
    };
    const Case cases[] = {
        {"01/02/08", dayNumber(2008, 2, 1)},  {"31/12/99", dayNumber(1999, 12, 31)},
        {"29/02/24", dayNumber(2024, 2, 29)}, {"01/01/50", dayNumber(1950, 1, 1)},
        {"29/02/23", std::nullopt},           {"31/04/10", std::nullopt},
        {"00/01/10", std::nullopt},           {"01/13/10", std::nullopt},
        {"1/2/2008", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(recordDay(record(c.date, "12:00")), c.day) << c.date;
}

}  // namespace
}  // namespace dxcc
