#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace dxcc {
class Logbook;
}

// Where an imported block goes in the log: before the first log line dated at
// or after the first imported record. The block is never split or sorted.
namespace dxcc::adif {

// A point in time comparable across the ADIF file and the log: minutes since
// 1 January 1970, so that the difference of two keys is a true duration.
using MergeKey = int64_t;

// The import's year rule for a log line's two-digit year: 51-99 are
// 1951-1999, 00-50 are 2000-2050 (the insert's rule differs at 50).
int widenImportYear(int twoDigitYear);

// The key of an ADIF QSO_DATE (YYYYMMDD) and TIME_ON (HHMM or HHMMSS), as they
// stand in the file; nothing when either is not a date or time.
std::optional<MergeKey> adifMergeKey(std::string_view qsoDate, std::string_view timeOn);

// The key of a log line's date (columns 30-37, JJ/MM/AA) and time (columns
// 39-43), the two-digit year read as 1951-1999 for 51-99 and 2000-2050 for
// 00-50; nothing when either cannot be read.
std::optional<MergeKey> logLineMergeKey(std::string_view line);

// The 0-based line index before which the block goes: the first line whose key
// is equal to or later than `key`. Lines without a readable date never take
// the block. Without a key, or when every line is earlier, the block goes at
// the end (the index is the number of lines).
size_t mergeIndex(const std::vector<std::string_view>& lines, std::optional<MergeKey> key);
size_t mergeIndex(const Logbook& log, std::optional<MergeKey> key);

}  // namespace dxcc::adif
