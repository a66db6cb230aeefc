#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The data files keep Windows-1252 text; ADIF values, the command line and
// the program's own texts are UTF-8 or one-byte text. These conversions sit
// between the two.
namespace dxcc {

// Windows-1252 bytes 0x80-0x9F: the characters beyond Latin-1 they stand for;
// 0 for the five bytes the code page leaves unassigned.
inline constexpr std::array<char16_t, 32> kCp1252HighBytes{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Whether the code page gives the byte a character: all but 0x81, 0x8D,
// 0x8F, 0x90 and 0x9D.
constexpr bool cp1252Assigned(unsigned char byte) {
    return byte < 0x80 || byte > 0x9F || kCp1252HighBytes[byte - 0x80] != 0;
}
// The character of a Windows-1252 byte; an unassigned byte stands for the C1
// control of its number.
constexpr char32_t cp1252Character(unsigned char byte) {
    return cp1252Assigned(byte) && byte >= 0x80 && byte <= 0x9F ? kCp1252HighBytes[byte - 0x80]
                                                                : byte;
}
// The byte 0x80-0x9F of a character beyond Latin-1 ("€" is 0x80); 0 for any
// other character.
constexpr unsigned char cp1252HighByte(char32_t character) {
    if (character < 0x100) return 0;
    for (size_t i = 0; i < kCp1252HighBytes.size(); ++i)
        if (kCp1252HighBytes[i] == character) return static_cast<unsigned char>(0x80 + i);
    return 0;
}

// An ADIF value as the log stores it: decoded (UTF-8 when the bytes are valid
// UTF-8, else Windows-1252), upper-cased (accented letters included), control
// characters made blanks, blanks trimmed at both ends. A character that
// Windows-1252 lacks becomes its base letter when it has one, else "?";
// combining accents are dropped.
std::string logText(std::string_view value);

// The same, keeping the first `width` characters, into `out`: leading blanks
// skipped, trailing ones dropped. `cut` tells that more than blanks was left.
struct CutText {
    size_t size = 0;
    bool cut = false;
};
CutText logTextCut(std::string_view value, char* out, size_t width);

// Whether `bytes` is well-formed UTF-8 (plain ASCII is).
bool isValidUtf8(std::string_view bytes);

// Bytes taken by the first `characters` UTF-8 characters of `bytes` (a byte
// that starts no well-formed sequence counts as one character); all of
// `bytes` when it holds fewer.
size_t utf8PrefixBytes(std::string_view bytes, size_t characters);

// Windows-1252 text as UTF-8, for messages built from log texts; an
// unassigned byte becomes "?".
std::string cp1252ToUtf8(std::string_view text);

// The UTF-8 character at `bytes[at]`: its length in bytes and its code;
// length 0 when the bytes there are no well-formed character (overlong, a
// surrogate, beyond U+10FFFF, cut short).
struct Utf8Character {
    size_t length = 0;
    char32_t code = 0;
};
Utf8Character utf8CharacterAt(std::string_view bytes, size_t at);

// A character appended as UTF-8.
void appendUtf8(std::string& out, char32_t code);

}  // namespace dxcc
