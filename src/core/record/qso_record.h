#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "core/base/text_utils.h"

namespace dxcc {

// One contact, one fixed-width line of the station log file.
inline constexpr size_t kRecordLength = 107;
// One line of the main list: line number, then the record's fields spaced out.
inline constexpr size_t kDisplayLineLength = 124;

// Field widths of the record.
inline constexpr size_t kCallsignWidth = 12;
inline constexpr size_t kFirstNameWidth = 15;
inline constexpr size_t kDateWidth = 8;
inline constexpr size_t kTimeWidth = 5;
inline constexpr size_t kModeWidth = 3;
inline constexpr size_t kBandWidth = 7;
inline constexpr size_t kRstWidth = 3;
inline constexpr size_t kDxccPrefixWidth = 6;
inline constexpr size_t kEntityNameWidth = 35;

struct QsoFields {
    std::string callsign;
    std::string firstName;
    std::string date;  // JJ/MM/AA, written as given
    std::string time;  // HH:MM, written as given
    std::string mode;
    std::string band;
    std::string rstReceived;
    std::string rstSent;
    std::string dxccPrefix;
    std::string entityName;
    char qslMark = ' ';  // '*' when confirmed

    bool confirmed() const { return qslMark == '*'; }
    bool operator==(const QsoFields&) const = default;
};

// The record's fields in column order.
enum class Field {
    Callsign,
    FirstName,
    Date,
    Time,
    Mode,
    Band,
    RstReceived,
    RstSent,
    DxccPrefix,
    EntityName,
};

// Where each field stands in a stored record (in Field order): its 0-based
// offset and its width; the QSL mark follows the entity name.
inline constexpr std::array<size_t, 10> kRecordFieldOffsets{0, 13, 29, 38, 44, 48, 56, 60, 64, 71};
inline constexpr std::array<size_t, 10> kRecordFieldWidths{
    kCallsignWidth, kFirstNameWidth, kDateWidth, kTimeWidth,       kModeWidth,
    kBandWidth,     kRstWidth,       kRstWidth,  kDxccPrefixWidth, kEntityNameWidth};
inline constexpr size_t kRecordQslOffset = kRecordLength - 1;

// One field of a stored record, as its bytes (untrimmed; short or empty when the
// line is short). Allocates nothing, for scans of the whole log.
std::string_view recordField(std::string_view record, Field field);
// The QSL mark of a stored record ('*' when confirmed; blank when missing).
char recordQslMark(std::string_view record);
inline bool recordConfirmed(std::string_view record) {
    return recordQslMark(record) == '*';
}

// Builds the record: each field padded with blanks to its width, single blanks
// between fields, the QSL mark right after the entity name. Date and time are
// taken as they are. The caller guarantees the widths.
std::string buildRecord(const QsoFields& f);

// Cuts a record apart by column. Short lines give short or empty trailing
// fields; nothing is rejected. Fields keep their padding blanks.
QsoFields parseRecord(std::string_view record);

// Builds the display line for a record and its 1-based line number.
std::string buildDisplayLine(std::string_view record, size_t lineNumber);

// The line-number column of a display line: right-aligned in six columns; a
// number of seven digits also takes the first blank so the callsign stays at
// column 9.
std::string lineNumberText(size_t lineNumber);

// Cuts a display line into the record's fields (untrimmed).
QsoFields parseDisplayLine(std::string_view displayLine);

// Rebuilds the exact stored record from a display line.
std::string recordFromDisplayLine(std::string_view displayLine);

// Path of a station's log file: data directory, callsign (stored form), "_DXCC.log".
std::filesystem::path logFilePath(const std::filesystem::path& dataDir,
                                  std::string_view stationCallsign);

}  // namespace dxcc

namespace dxcc {

// One word of a heading line and the 1-based column it starts at.
struct ColumnHeading {
    size_t column;
    std::string_view text;  // UTF-8
};

// The words laid out at their columns, counted in characters (UTF-8), so each
// stands over its column of a list shown in a fixed-pitch font.
std::string headingLine(std::span<const ColumnHeading> headings);

// Where each word of a heading over display lines starts (1-based): line
// number, callsign, first name, date, time, mode, band, the two reports, DXCC
// prefix, entity name, QSL mark. "N°" stands right-aligned over the line
// number; the report headings are one wider than their columns and start one
// to the left so they never touch.
inline constexpr std::array<size_t, 12> kDisplayHeadingColumns{5,  9,  23, 40, 50, 57,
                                                               62, 70, 75, 80, 88, 123};

// Column headings of the main list, each word over its column of the display
// line (UTF-8, for the heading label).
std::string displayHeading();

}  // namespace dxcc
