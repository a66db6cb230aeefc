#include "adif/adif_merge.h"

#include "adif/adif_text.h"
#include "logbook/dates.h"
#include "logbook/logbook.h"

namespace dxcc::adif {

namespace {

int digitsValue(std::string_view s) {
    int v = 0;
    for (char c : s) v = v * 10 + (c - '0');
    return v;
}

MergeKey keyOf(int year, int month, int day, int hour, int minute) {
    const int64_t days = (int64_t{year} * 12 + month) * 32 + day;
    return days * 24 * 60 + hour * 60 + minute;
}

// The import's year rule, which differs from the insert's at 50.
int widenImportYear(int twoDigitYear) {
    return twoDigitYear > 50 ? 1900 + twoDigitYear : 2000 + twoDigitYear;
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
