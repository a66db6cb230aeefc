#include "core/record/record_dates.h"

#include "core/record/qso_record.h"

namespace dxcc {

std::optional<RecordDateTime> recordDateTime(std::string_view record) {
    const std::optional<LogDate> date = readLogDate(recordField(record, Field::Date));
    if (!date) return std::nullopt;
    const std::optional<int> minute = readLogTime(recordField(record, Field::Time));
    if (!minute) return std::nullopt;
    return RecordDateTime{*date, *minute};
}

std::optional<int64_t> recordDateTimeKey(std::string_view record) {
    const std::optional<RecordDateTime> when = recordDateTime(record);
    if (!when) return std::nullopt;
    const LogDate& d = when->date;
    // Months of 32 days, months and days as written: a day past the month's
    // end (31/04) still comes before the next month's first.
    const int64_t days = (int64_t{widenLogYear(d.twoDigitYear)} * 12 + d.month) * 32 + d.day;
    return days * 24 * 60 + when->minuteOfDay;
}

std::optional<int64_t> recordDay(std::string_view record) {
    const std::optional<LogDate> date = readLogDate(recordField(record, Field::Date));
    if (!date) return std::nullopt;
    const CivilDate day{widenLogYear(date->twoDigitYear), date->month, date->day};
    if (!isCalendarDate(day)) return std::nullopt;
    return dayNumber(day);
}

}  // namespace dxcc
