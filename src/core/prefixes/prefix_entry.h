#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dxcc {

// Columns of a prefix entry, 1-based, as the editor writes them.
inline constexpr size_t kPrefixEntryLength = 49;
inline constexpr size_t kCallsignPrefixWidth = 6;
inline constexpr size_t kPrefixEntityNameColumn = 8;
inline constexpr size_t kPrefixEntityNameWidth = 33;
inline constexpr size_t kPrefixDxccColumn = 42;
inline constexpr size_t kPrefixDxccWidth = 6;

// One line of the prefix file, cut apart by column. A short line gives short or
// empty fields; no line is rejected.
struct PrefixEntry {
    std::string callsignPrefix;  // columns 1-6, blanks trimmed
    std::string entityName;      // columns 8-40 as stored, trailing blanks kept
    std::string dxccPrefix;      // columns 42-47, blanks trimmed
};

// A line of the prefix file or of the exact-call file: the callsign or prefix
// in its columns (`callsignWidth` of them), a blank, the entity name, a blank,
// the DXCC prefix, a blank and "/". The two files differ only in that width.
PrefixEntry parseEntityLine(std::string_view line, size_t callsignWidth);
std::string buildEntityLine(std::string_view callsign, std::string_view entityName,
                            std::string_view dxccPrefix, size_t callsignWidth);

// Cuts one line of the prefix file apart by column.
PrefixEntry parsePrefixEntry(std::string_view line);

// The 49-character entry the editor writes: callsign prefix padded to 6, a blank,
// entity name padded to 33, a blank, DXCC prefix padded to 6, a blank and "/".
// A field longer than its columns is cut so that every column stays in place.
std::string buildPrefixEntry(std::string_view callsignPrefix, std::string_view entityName,
                             std::string_view dxccPrefix);

}  // namespace dxcc
