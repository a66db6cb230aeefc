#pragma once

#include <span>
#include <string>
#include <string_view>

// Small text helpers over the data files' Windows-1252 bytes, defined once.
namespace dxcc {

// Columns first..first+width-1 (1-based) of a fixed-column line; shorter, or
// empty, where the line is.
inline std::string_view columnsOf(std::string_view line, size_t first, size_t width) {
    if (first == 0 || line.size() < first) return {};
    return line.substr(first - 1, width);
}

// Blanks trimmed at both ends.
std::string_view trimBlanks(std::string_view s);

// `s` padded on the right with blanks to `width` (never cut).
std::string padRight(std::string_view s, size_t width);

// A count as the classic number text: a leading blank for zero and positive
// values, a '-' for negative ones (" 62", "-1").
std::string numberText(long long value);

// One Windows-1252 character in upper case: a-z and the accented small letters.
char upperCaseCp1252(char c);
// Upper case in the Windows-1252 code page: a-z and the accented small letters.
std::string upperCaseCp1252(std::string_view text);

// Whether `text` holds a control character (CR, LF, tab, any byte below 32,
// DEL). No stored field may hold one: a line break would split a log line.
bool hasControlCharacter(std::string_view text);

// 0-based position of the item of `items` that `text` names once blanks are
// trimmed and letter case ignored ("18 MHZ" names "18 Mhz "); -1 when none does.
int listItemIndex(std::string_view text, std::span<const std::string_view> items);

}  // namespace dxcc
