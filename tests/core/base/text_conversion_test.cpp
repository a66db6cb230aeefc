#include "core/base/text_conversion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dxcc {
namespace {

struct TextCase {
    const char* what;
    std::string value;
    std::string log;  // Windows-1252 bytes
};

TEST(TextConversion, AdifValuesBecomeUpperCaseWindows1252) {
    const std::vector<TextCase> cases{
        {"ASCII, trimmed", "  f5abc  ", "F5ABC"},
        {"UTF-8 accents", "C\xC3\xB4t\xC3\xA9 h\xC3\xA9lio", "C\xD4T\xC9 H\xC9LIO"},
        {"one-byte accents", "C\xF4t\xE9", "C\xD4T\xC9"},
        {"UTF-8 with the letters of 0x80-0x9F", "\xC5\xA1\xC5\x93\xC5\xBE\xC3\xBF\xE2\x82\xAC",
         "\x8A\x8C\x8E\x9F\x80"},
        {"one-byte small letters of 0x80-0x9F", "\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"},
        {"letters without a capital stay", "\xC3\x9F\xC2\xB5", "\xDF\xB5"},
        {"base letters for what Windows-1252 lacks", "\xC5\x81ukasz Dvo\xC5\x99\xC3\xA1k",
         "LUKASZ DVOR\xC1K"},
        {"Romanian comma below", "\xC8\x99t\xC8\x9B", "STT"},
        {"a combining accent composes with its letter", "Jose\xCC\x81", "JOS\xC9"},
        {"small letters compose too",
         "c\xCC\xA7"
         "a n\xCC\x83"
         "o y\xCC\x88 s\xCC\x8C",
         "\xC7"
         "A \xD1"
         "O \x9F \x8A"},
        {"an accent Windows-1252 cannot compose is dropped",
         "g\xCC\x81"
         "e\xCC\x81\xCC\x81",
         "G\xC9"},
        {"no base letter", "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD \xE7\x8E\x8B", "???? ?"},
        {"control characters become blanks", "a\tb\r\nc\n", "A B  C"},
        {"bytes Windows-1252 leaves undefined", "a\x81", "A?"},
        {"a broken UTF-8 sequence is read as one-byte text", "\xC3(", "\xC3("},
    };
    for (const TextCase& c : cases) EXPECT_EQ(logText(c.value), c.log) << c.what;
}

TEST(TextConversion, Windows1252ToUtf8ForMessages) {
    EXPECT_EQ(cp1252ToUtf8("F5ABC"), "F5ABC");
    EXPECT_EQ(cp1252ToUtf8("C\xD4T\xC9"), "C\xC3\x94T\xC3\x89");
    EXPECT_EQ(cp1252ToUtf8("\x80\x8A\x9F"), "\xE2\x82\xAC\xC5\xA0\xC5\xB8");
    EXPECT_EQ(cp1252ToUtf8("\x81"), "?");
    EXPECT_TRUE(isValidUtf8(cp1252ToUtf8("\xA0\xFF\x99")));
}

// The one Windows-1252 table, both ways: every byte 0x80-0x9F the code page
// assigns comes back from its character.
TEST(TextConversion, TheWindows1252TableBothWays) {
    int assigned = 0;
    for (unsigned b = 0x80; b <= 0x9F; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        if (!cp1252Assigned(byte)) {
            EXPECT_EQ(cp1252Character(byte), char32_t(b)) << b;
            continue;
        }
        ++assigned;
        EXPECT_EQ(cp1252HighByte(cp1252Character(byte)), byte) << b;
    }
    EXPECT_EQ(assigned, 27);
    EXPECT_EQ(cp1252Character(0x80), U'\u20AC');
    EXPECT_EQ(cp1252Character(0xE9), U'\u00E9');
    EXPECT_EQ(cp1252HighByte(U'\u0178'), 0x9F);
    EXPECT_EQ(cp1252HighByte(U'\u00E9'), 0);  // Latin-1 is its own byte
    EXPECT_EQ(cp1252HighByte(U'\u0141'), 0);  // Ł has none
}

TEST(TextConversion, Utf8CharactersOneAtATime) {
    struct Case {
        std::string bytes;
        size_t length;
        char32_t code;
    };
    const Case cases[] = {
        {"A", 1, U'A'},
        {"\xC3\xA9", 2, U'\u00E9'},
        {"\xE2\x82\xAC", 3, U'\u20AC'},
        {"\xF0\x9F\x93\xBB", 4, U'\U0001F4FB'},
        {"\xC0\x80", 0, 0},          // overlong
        {"\xED\xA0\x80", 0, 0},      // a surrogate
        {"\xF4\x90\x80\x80", 0, 0},  // beyond U+10FFFF
        {"\xE2\x82", 0, 0},          // cut short
        {"\x80", 0, 0},
    };
    for (const Case& c : cases) {
        const Utf8Character read = utf8CharacterAt(c.bytes, 0);
        EXPECT_EQ(read.length, c.length) << c.bytes;
        EXPECT_EQ(read.code, c.code) << c.bytes;
        if (c.length == 0) continue;
        std::string back;
        appendUtf8(back, read.code);
        EXPECT_EQ(back, c.bytes);
    }
}

}  // namespace
}  // namespace dxcc
