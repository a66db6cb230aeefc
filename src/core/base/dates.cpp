#include "core/base/dates.h"

#include <cstdio>
#include <initializer_list>

#include "core/base/text_utils.h"

namespace dxcc {

namespace {

int twoDigits(std::string_view s, size_t pos) {
    return (s[pos] - '0') * 10 + (s[pos + 1] - '0');
}

std::string twoDigitText(int v) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02d", ((v % 100) + 100) % 100);
    return buf;
}

bool digitsAt(std::string_view s, std::initializer_list<size_t> positions) {
    for (size_t p : positions)
        if (!isAsciiDigit(s[p])) return false;
    return true;
}

}  // namespace

std::string formatDate(const DateTimeParts& t) {
    return twoDigitText(t.day) + "/" + twoDigitText(t.month) + "/" + twoDigitText(t.year);
}

std::string formatTime(const DateTimeParts& t) {
    return twoDigitText(t.hour) + ":" + twoDigitText(t.minute) + ":" + twoDigitText(t.second);
}

int checkDate(std::string_view text) {
    if (text.size() != 8) return 1;
    if (!digitsAt(text, {0, 1, 3, 4, 6, 7})) return 1;
    if (text[2] != '/' || text[5] != '/') return 1;
    if (twoDigits(text, 0) > 31 || twoDigits(text, 3) > 12) return 1;
    return 0;
}

int checkTime(std::string_view text) {
    if (text.size() != 5) return 1;
    if (!digitsAt(text, {0, 1, 3, 4})) return 1;
    if (text[2] != ':') return 1;
    if (twoDigits(text, 0) > 23 || twoDigits(text, 3) > 59) return 1;
    return 0;
}

std::optional<LogDate> readLogDate(std::string_view text) {
    if (checkDate(text) != 0) return std::nullopt;
    return LogDate{twoDigits(text, 0), twoDigits(text, 3), twoDigits(text, 6)};
}

std::optional<int> readLogTime(std::string_view text) {
    if (checkTime(text) != 0) return std::nullopt;
    return twoDigits(text, 0) * 60 + twoDigits(text, 3);
}

int widenLogYear(int twoDigitYear) {
    return twoDigitYear >= 50 ? 1900 + twoDigitYear : 2000 + twoDigitYear;
}

int widenImportYear(int twoDigitYear) {
    return twoDigitYear > 50 ? 1900 + twoDigitYear : 2000 + twoDigitYear;
}

// Howard Hinnant's days_from_civil and civil_from_days: 400-year eras of
// 146097 days, each year counted from 1 March so that the leap day comes last.
int64_t dayNumber(int year, int month, int day) {
    const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t monthFromMarch = (month + 9) % 12;
    const int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate dateOfDay(int64_t day) {
    day += 719468;
    const int64_t era = (day >= 0 ? day : day - 146096) / 146097;
    const int64_t dayOfEra = day - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    const int month =
        static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    return CivilDate{static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0)), month,
                     static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1)};
}

int yearOfDay(int64_t day) {
    return dateOfDay(day).year;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isCalendarDate(const CivilDate& date) {
    return date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= daysInMonth(date.year, date.month);
}

}  // namespace dxcc
