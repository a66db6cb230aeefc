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

// The key of an ADIF QSO_DATE (YYYYMMDD) and TIME_ON (HHMM or HHMMSS), as they
// stand in the file; nothing when either is not a date or time.
std::optional<MergeKey> adifMergeKey(std::string_view qsoDate, std::string_view timeOn);

// The key of a log line's date and time, the two-digit year read by the
// import's rule (see widenImportYear); nothing when either cannot be read.
std::optional<MergeKey> logLineMergeKey(std::string_view line);

// The 0-based line index before which the block goes: the first line whose key
// is equal to or later than `key`. Lines without a readable date never take
// the block. Without a key, or when every line is earlier, the block goes at
// the end (the index is the number of lines).
size_t mergeIndex(const std::vector<std::string_view>& lines, std::optional<MergeKey> key);
size_t mergeIndex(const Logbook& log, std::optional<MergeKey> key);

}  // namespace dxcc::adif
