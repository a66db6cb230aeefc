#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/prefixes/prefix_entry.h"

namespace dxcc {

// Columns of a line of the exact-call file, 1-based: the prefix entry's layout
// with the callsign as wide as the log's callsign field.
inline constexpr size_t kExactCallLength = 55;
inline constexpr size_t kExactCallsignWidth = 12;
inline constexpr size_t kExactEntityNameColumn = 14;
inline constexpr size_t kExactEntityNameWidth = kPrefixEntityNameWidth;
inline constexpr size_t kExactDxccColumn = 48;
inline constexpr size_t kExactDxccWidth = kPrefixDxccWidth;

// One line of the exact-call file, cut apart by column: callsign (columns
// 1-12, trimmed) in `callsignPrefix`, entity name (14-46, as stored), DXCC
// prefix (48-53, trimmed). A short line gives short or empty fields; no line
// is rejected.
PrefixEntry parseExactCallLine(std::string_view line);

// The 55-character line: callsign padded to 12, a blank, entity name padded
// to 33, a blank, DXCC prefix padded to 6, a blank and "/". A field longer
// than its columns is cut so that every column stays in place.
std::string buildExactCallLine(std::string_view callsign, std::string_view entityName,
                               std::string_view dxccPrefix);

// The exact-call file's lines with an index by whole callsign. Immutable.
class ExactCallTable {
public:
    ExactCallTable() = default;
    static ExactCallTable parse(std::string_view fileBytes);

    // The first line, in file order, whose callsign is `callsign` itself
    // (bytes compared exactly); null when none is. Allocates nothing.
    const PrefixEntry* find(std::string_view callsign) const;

    const std::vector<PrefixEntry>& entries() const { return entries_; }

private:
    // A callsign of at most 12 bytes in two words: bytes 0-7, then bytes 8-11
    // and the length in the top byte.
    struct Key {
        uint64_t low = 0;
        uint64_t high = 0;
        bool operator==(const Key&) const = default;
    };
    // Open addressing: a slot holds a check value from the hash and the entry's
    // number plus one (zero marks a free slot), so most probes read no key.
    struct Slot {
        uint32_t check = 0;
        uint32_t entryPlusOne = 0;
    };

    static Key keyOf(std::string_view callsign);
    static uint64_t hashOf(const Key& key);
    void buildIndex();

    std::vector<PrefixEntry> entries_;
    std::vector<Key> keys_;  // one per entry
    std::vector<Slot> slots_;
    unsigned hashShift_ = 64;
};

}  // namespace dxcc
