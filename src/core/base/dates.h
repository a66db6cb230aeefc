#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dxcc {

// A calendar date and time of day, as read from a clock.
struct DateTimeParts {
    int year = 2000;  // four digits
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "dd/mm/yy": two-digit day, month and the year's last two digits.
std::string formatDate(const DateTimeParts& t);
// "hh:mm:ss", 24-hour clock.
std::string formatTime(const DateTimeParts& t);

// 0 when `text` is a JJ/MM/AA date (day up to 31, month up to 12; 00 passes), 1 otherwise.
int checkDate(std::string_view text);
// 0 when `text` is an HH:MM time (hours up to 23, minutes up to 59), 1 otherwise.
int checkTime(std::string_view text);

// Two-digit year to four digits: 50-99 are 1950-1999, 00-49 are 2000-2049.
int widenYear(int twoDigitYear);

// Sort key (minutes since year 0) of a record's date (columns 30-37) and time
// (columns 39-43); nothing when either cannot be read.
std::optional<int64_t> recordDateTimeKey(std::string_view record);

}  // namespace dxcc
