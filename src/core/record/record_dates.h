#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/base/dates.h"

// The date and time of a stored record, read at the columns of the record's
// table.
namespace dxcc {

// A record's date (JJ/MM/AA) and time (HH:MM) as written.
struct RecordDateTime {
    LogDate date;
    int minuteOfDay = 0;
};
// Nothing when the date or the time does not read (a short line included).
std::optional<RecordDateTime> recordDateTime(std::string_view record);

// The key the log keeps its lines in date order by: minutes, comparable only
// with each other, the two-digit year read by the log's rule. Dates compare
// by year, month and day as written, so a date the calendar lacks (00/00/00,
// 31/04/05) keeps a place of its own. Nothing when the date or the time does
// not read.
std::optional<int64_t> recordDateTimeKey(std::string_view record);

// The day number of a record's date, the two-digit year read by the log's
// rule; nothing when the date does not read or is no day of the calendar.
std::optional<int64_t> recordDay(std::string_view record);

}  // namespace dxcc
