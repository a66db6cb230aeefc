#include "core/adif/adif_merge.h"

#include "core/base/dates.h"
#include "core/base/text_conversion.h"
#include "core/logbook/logbook.h"

namespace dxcc::adif {

namespace {

int digitsValue(std::string_view s) {
    int v = 0;
    for (char c : s) v = v * 10 + (c - '0');
    return v;
}

// Days since 1 January 1970 of a date of the proleptic Gregorian calendar.
// A month or day 00, which the date check lets through, counts as 01.
int64_t daysFromCivil(int year, int month, int day) {
    month = month < 1 ? 1 : month;
    day = day < 1 ? 1 : day;
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return int64_t{era} * 146097 + dayOfEra - 719468;
}

MergeKey keyOf(int year, int month, int day, int hour, int minute) {
    return daysFromCivil(year, month, day) * 24 * 60 + hour * 60 + minute;
}

template <typename LineAt>
size_t firstAtOrAfter(size_t count, std::optional<MergeKey> key, LineAt lineAt) {
    if (!key) return count;
    for (size_t i = 0; i < count; ++i) {
        const std::optional<MergeKey> k = logLineMergeKey(lineAt(i));
        if (k && *k >= *key) return i;
    }
    return count;
}

bool allDigits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

int widenImportYear(int twoDigitYear) {
    return twoDigitYear > 50 ? 1900 + twoDigitYear : 2000 + twoDigitYear;
}

std::optional<MergeKey> adifMergeKey(std::string_view qsoDateValue, std::string_view timeOnValue) {
    const std::string qsoDate = logText(qsoDateValue), timeOn = logText(timeOnValue);
    if (qsoDate.size() != 8 || !allDigits(qsoDate)) return std::nullopt;
    if ((timeOn.size() != 4 && timeOn.size() != 6) || !allDigits(timeOn)) return std::nullopt;
    const std::string_view date = qsoDate, time = timeOn;
    const int month = digitsValue(date.substr(4, 2)), day = digitsValue(date.substr(6, 2));
    const int hour = digitsValue(time.substr(0, 2)), minute = digitsValue(time.substr(2, 2));
    if (month > 12 || day > 31 || hour > 23 || minute > 59) return std::nullopt;
    return keyOf(digitsValue(date.substr(0, 4)), month, day, hour, minute);
}

std::optional<MergeKey> logLineMergeKey(std::string_view line) {
    if (line.size() < 43) return std::nullopt;
    const std::string_view date = line.substr(29, 8), time = line.substr(38, 5);
    if (checkDate(date) != 0 || checkTime(time) != 0) return std::nullopt;
    return keyOf(widenImportYear(digitsValue(date.substr(6, 2))), digitsValue(date.substr(3, 2)),
                 digitsValue(date.substr(0, 2)), digitsValue(time.substr(0, 2)),
                 digitsValue(time.substr(3, 2)));
}

size_t mergeIndex(const std::vector<std::string_view>& lines, std::optional<MergeKey> key) {
    return firstAtOrAfter(lines.size(), key, [&](size_t i) { return lines[i]; });
}

size_t mergeIndex(const Logbook& log, std::optional<MergeKey> key) {
    return firstAtOrAfter(log.size(), key, [&](size_t i) { return log.record(i); });
}

}  // namespace dxcc::adif
