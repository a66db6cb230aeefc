#include "core/adif/adif_merge.h"

#include "core/base/text_conversion.h"
#include "core/base/text_utils.h"
#include "core/logbook/logbook.h"
#include "core/record/record_dates.h"

namespace dxcc::adif {

namespace {

int digitsValue(std::string_view s) {
    int v = 0;
    for (char c : s) v = v * 10 + (c - '0');
    return v;
}

// A month or day 00, which the date check lets through, counts as 01.
MergeKey keyOf(int year, int month, int day, int minuteOfDay) {
    return dayNumber(year, month < 1 ? 1 : month, day < 1 ? 1 : day) * 24 * 60 + minuteOfDay;
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

}  // namespace

std::optional<MergeKey> adifMergeKey(std::string_view qsoDateValue, std::string_view timeOnValue) {
    const std::string qsoDate = logText(qsoDateValue), timeOn = logText(timeOnValue);
    if (qsoDate.size() != 8 || !allDigits(qsoDate)) return std::nullopt;
    if ((timeOn.size() != 4 && timeOn.size() != 6) || !allDigits(timeOn)) return std::nullopt;
    const std::string_view date = qsoDate, time = timeOn;
    const int month = digitsValue(date.substr(4, 2)), day = digitsValue(date.substr(6, 2));
    const int hour = digitsValue(time.substr(0, 2)), minute = digitsValue(time.substr(2, 2));
    if (month > 12 || day > 31 || hour > 23 || minute > 59) return std::nullopt;
    return keyOf(digitsValue(date.substr(0, 4)), month, day, hour * 60 + minute);
}

std::optional<MergeKey> logLineMergeKey(std::string_view line) {
    const std::optional<RecordDateTime> when = recordDateTime(line);
    if (!when) return std::nullopt;
    const LogDate& d = when->date;
    return keyOf(widenImportYear(d.twoDigitYear), d.month, d.day, when->minuteOfDay);
}

size_t mergeIndex(const std::vector<std::string_view>& lines, std::optional<MergeKey> key) {
    return firstAtOrAfter(lines.size(), key, [&](size_t i) { return lines[i]; });
}

size_t mergeIndex(const Logbook& log, std::optional<MergeKey> key) {
    return firstAtOrAfter(log.size(), key, [&](size_t i) { return log.record(i); });
}

}  // namespace dxcc::adif
