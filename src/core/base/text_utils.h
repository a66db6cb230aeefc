#pragma once

#include <charconv>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

// Small text helpers over the data files' Windows-1252 bytes, defined once.
namespace dxcc {

// Columns first..first+width-1 (1-based) of a fixed-column line; shorter, or
// empty, where the line is.
inline std::string_view columnsOf(std::string_view line, size_t first, size_t width) {
    if (first == 0 || line.size() < first) return {};
    return line.substr(first - 1, width);
}

// Blanks trimmed at both ends.
constexpr std::string_view trimBlanks(std::string_view s) {
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}
// Blanks trimmed at the end.
constexpr std::string_view trimTrailingBlanks(std::string_view s) {
    const size_t last = s.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}
// `s` without the characters of `leading` at its start and those of
// `trailing` at its end.
constexpr std::string_view trimmed(std::string_view s, std::string_view leading,
                                   std::string_view trailing) {
    const size_t first = s.find_first_not_of(leading);
    if (first == std::string_view::npos) return {};
    s.remove_prefix(first);
    const size_t last = s.find_last_not_of(trailing);
    return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

// ASCII character classes: the protocols' and the file formats' letters and
// digits, whatever the locale.
constexpr bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
constexpr bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
// A blank or a tab: what parts the words of a server's or a decoder's line.
constexpr bool isBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}
// Whether every character is a digit (an empty text is).
constexpr bool allDigits(std::string_view s) {
    for (char c : s)
        if (!isAsciiDigit(c)) return false;
    return true;
}
// Whether every byte is ASCII (below 0x80).
constexpr bool isAsciiText(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}
// A number as the data files write it, the whole text: digits with a sign
// ('+' too) and, for a decimal number, a point; false for anything else.
template <class Number>
bool readNumber(std::string_view text, Number& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

// a-z in capitals, every other byte as it is.
constexpr char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// `s` padded on the right with blanks to `width` (never cut).
std::string padRight(std::string_view s, size_t width);

// A count as the classic number text: a leading blank for zero and positive
// values, a '-' for negative ones (" 62", "-1").
std::string numberText(long long value);

// One Windows-1252 character in upper case: a-z and the accented small letters.
constexpr char upperCaseCp1252(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') return static_cast<char>(u - 0x20);
    // à..þ sit 0x20 above À..Þ; ÷ (0xF7) is no letter.
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 0x20);
    switch (u) {
        case 0x9A:  // š
            return static_cast<char>(0x8A);
        case 0x9C:  // œ
            return static_cast<char>(0x8C);
        case 0x9E:  // ž
            return static_cast<char>(0x8E);
        case 0xFF:  // ÿ
            return static_cast<char>(0x9F);
        default:
            return c;
    }
}
// Upper case in the Windows-1252 code page: a-z and the accented small letters.
std::string upperCaseCp1252(std::string_view text);

// Whether `text` holds a control character (CR, LF, tab, any byte below 32,
// DEL). No stored field may hold one: a line break would split a log line.
bool hasControlCharacter(std::string_view text);

// 0-based position of the item of `items` that `text` names once blanks are
// trimmed and letter case ignored ("18 MHZ" names "18 Mhz "); -1 when none does.
int listItemIndex(std::string_view text, std::span<const std::string_view> items);

}  // namespace dxcc
