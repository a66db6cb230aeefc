#include "core/base/dates.h"

#include <cstdio>

namespace dxcc {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

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
        if (!isDigit(s[p])) return false;
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

int widenYear(int twoDigitYear) {
    return twoDigitYear >= 50 ? 1900 + twoDigitYear : 2000 + twoDigitYear;
}

std::optional<int64_t> recordDateTimeKey(std::string_view record) {
    if (record.size() < 43) return std::nullopt;
    std::string_view date = record.substr(29, 8);
    std::string_view time = record.substr(38, 5);
    if (checkDate(date) != 0 || checkTime(time) != 0) return std::nullopt;
    int64_t year = widenYear(twoDigits(date, 6));
    int64_t days = (year * 12 + twoDigits(date, 3)) * 32 + twoDigits(date, 0);
    return days * 24 * 60 + twoDigits(time, 0) * 60 + twoDigits(time, 3);
}

}  // namespace dxcc
