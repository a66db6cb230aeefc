#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Every date rule of the program: the log's JJ/MM/AA and HH:MM texts, the two
// readings of a two-digit year, and the one day number.
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

// A JJ/MM/AA date as written: the year as its two digits. A day or month 00
// and a day past the month's end pass, as the date check lets them.
struct LogDate {
    int day = 0;
    int month = 0;
    int twoDigitYear = 0;
};
// Nothing when checkDate refuses the text.
std::optional<LogDate> readLogDate(std::string_view text);
// Minutes since midnight of an HH:MM time; nothing when checkTime refuses it.
std::optional<int> readLogTime(std::string_view text);

// The log's dates carry two-digit years, read two ways; the two differ only
// at 50.
//
// The log's own rule, for its date order and the awards' days: 50-99 are
// 1950-1999, 00-49 are 2000-2049.
int widenLogYear(int twoDigitYear);
// The ADIF import's rule, for where an imported block goes, the confirmations'
// times and the export: 51-99 are 1951-1999, 00-50 are 2000-2050, so that the
// classic import's end-of-log marker dated 01/01/50 reads as 2050 and stays
// after every contact.
int widenImportYear(int twoDigitYear);

// A date of the proleptic Gregorian calendar.
struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const CivilDate&) const = default;
};

// Days since 1 January 1970 of a date; a day past the month's end counts on
// into the next month, day 0 is the last day of the month before.
int64_t dayNumber(int year, int month, int day);
inline int64_t dayNumber(const CivilDate& date) {
    return dayNumber(date.year, date.month, date.day);
}
// The date of a day number, and its year.
CivilDate dateOfDay(int64_t day);
int yearOfDay(int64_t day);

bool isLeapYear(int year);
// Days in a month (1 to 12) of a year.
int daysInMonth(int year, int month);
// Whether the date is a day of the calendar: month 1 to 12, day 1 to the
// month's last.
bool isCalendarDate(const CivilDate& date);

}  // namespace dxcc
