#pragma once

#include <array>
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
//
// Twenty thousand lines name some three hundred entities: each line keeps its
// callsign and the number of its entity, each entity its name and DXCC prefix
// once, so the table costs some 35 bytes a line.
class ExactCallTable {
public:
    static constexpr size_t kNoLine = SIZE_MAX;

    ExactCallTable() = default;
    static ExactCallTable parse(std::string_view fileBytes);

    // The first line, in file order, whose callsign is `callsign` itself
    // (bytes compared exactly); kNoLine when none is. Allocates nothing.
    size_t findLine(std::string_view callsign) const;
    // The entity of that line; null when there is none.
    const PrefixEntry* find(std::string_view callsign) const;

    // Every line of the file, blank ones included.
    size_t size() const { return lines_.size(); }
    // A line's callsign (columns 1-12, trimmed).
    std::string_view callsign(size_t line) const;
    // A line's entity name (columns 14-46, as stored) and DXCC prefix (48-53,
    // trimmed). Its `callsignPrefix` is empty: the lines of an entity share it.
    const PrefixEntry& entity(size_t line) const { return entities_[lines_[line].entity]; }
    // Each entity of the file once, in the order of its first line.
    const std::vector<PrefixEntry>& entities() const { return entities_; }

private:
    // A callsign of at most 12 bytes and its length, in 16 bytes that compare
    // and hash as two words.
    struct Key {
        std::array<char, 16> bytes{};
        bool operator==(const Key&) const = default;
    };
    struct Line {
        Key key;
        uint32_t entity = 0;
    };
    // Open addressing: a slot holds a check value from the hash and the line's
    // number plus one (zero marks a free slot), so most probes read no key.
    struct Slot {
        uint32_t check = 0;
        uint32_t linePlusOne = 0;
    };

    static Key keyOf(std::string_view callsign);
    static uint64_t hashOf(const Key& key);
    void buildIndex();

    std::vector<Line> lines_;
    std::vector<PrefixEntry> entities_;
    std::vector<Slot> slots_;
    unsigned hashShift_ = 64;
};

}  // namespace dxcc
