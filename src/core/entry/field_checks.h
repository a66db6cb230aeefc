#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/logbook/logbook.h"

namespace dxcc {

// The entry fields that carry a check, in their order of entry.
enum class EntryField {
    Band,
    Mode,
    Callsign,
    FirstName,
    Date,
    Time,
    RstReceived,
    RstSent,
    DxccPrefix,
    EntityName,
};

// Longest text each field accepts.
inline constexpr size_t kBandFieldMax = 7;
inline constexpr size_t kModeFieldMax = 6;  // more than the record keeps: cut on commit

// The texts of the entry fields (Windows-1252 bytes, one byte per character).
struct EntryTexts {
    std::string band;
    std::string mode;
    std::string callsign;
    std::string firstName;
    std::string date;
    std::string time;
    std::string rstReceived;
    std::string rstSent;
    std::string dxccPrefix;
    std::string entityName;
    bool qsl = false;
};

// The message refusing `text` in `field`, or nothing when the field accepts it.
// The DXCC prefix and the entity name arrive padded from the prefix file, so
// their trailing blanks do not count.
std::optional<std::string_view> checkEntryField(EntryField field, std::string_view text);

struct FieldRefusal {
    EntryField field;
    std::string_view message;
};

// Every field checked again, in the order of entry; the first refusal. A commit
// can come without Enter having been pressed in every field.
std::optional<FieldRefusal> checkEntryTexts(const EntryTexts& texts);

// The 107-character record from texts that passed checkEntryTexts: each field
// padded to its width, the mode cut to its 3 columns, trailing blanks beyond a
// column dropped. Throws std::invalid_argument on a control character, the last
// guard against a line break splitting the log line.
std::string buildEntryRecord(const EntryTexts& texts);

// `text` as the list item it names, or unchanged when it names none.
std::string asListItem(std::string_view text, std::span<const std::string_view> items);

// Whether a record's callsign (columns 1-12) begins with `matchedPrefix`.
bool recordHasPrefix(std::string_view record, std::string_view matchedPrefix);

// True when no logged callsign begins with `matchedPrefix`, the callsign
// prefix of the prefix entry that resolved the new callsign. An unresolved
// callsign (empty prefix) is never new.
bool isNewPrefix(const Logbook& log, std::string_view matchedPrefix);

}  // namespace dxcc
