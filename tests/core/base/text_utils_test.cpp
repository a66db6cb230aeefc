#include "core/base/text_utils.h"

#include <gtest/gtest.h>

#include <string>

namespace dxcc {
namespace {

TEST(TextUtils, Trimming) {
    struct Case {
        std::string_view text, blanks, trailingBlanks, line;
    };
    const Case cases[] = {
        {"  F5ABC  ", "F5ABC", "  F5ABC", "F5ABC"},
        {"\tF5 ABC \t\r\n", "\tF5 ABC \t\r\n", "\tF5 ABC \t\r\n", "F5 ABC"},
        // Line ends go only at the end.
        {"\r\nDX de", "\r\nDX de", "\r\nDX de", "\r\nDX de"},
        {"   ", "", "", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(trimBlanks(c.text), c.blanks) << c.text;
        EXPECT_EQ(trimTrailingBlanks(c.text), c.trailingBlanks) << c.text;
        EXPECT_EQ(trimmed(c.text, " \t", " \t\r\n"), c.line) << c.text;
    }
    static_assert(trimBlanks(" 14 Mhz ") == "14 Mhz");
}

TEST(TextUtils, AsciiClassesAndCapitals) {
    EXPECT_TRUE(allDigits("0123456789"));
    EXPECT_TRUE(allDigits(""));
    EXPECT_FALSE(allDigits("12a"));
    EXPECT_TRUE(isAsciiText("F5ABC <EOR>"));
    EXPECT_FALSE(isAsciiText("C\xF4t\xE9"));
    EXPECT_TRUE(isBlankOrTab('\t'));
    EXPECT_FALSE(isBlankOrTab('\r'));
    EXPECT_FALSE(isAsciiLetter('\xE9'));
    // ASCII capitals leave the accented letters alone; Windows-1252 ones do not.
    EXPECT_EQ(upperAscii('a'), 'A');
    EXPECT_EQ(upperAscii('\xE9'), '\xE9');
    EXPECT_EQ(upperCaseCp1252('\xE9'), '\xC9');
    EXPECT_EQ(upperCaseCp1252("c\xF4t\xE9 \x9C\xFF \xF7"), "C\xD4T\xC9 \x8C\x9F \xF7");
}

TEST(TextUtils, NumbersOfTheDataFiles) {
    int whole = 0;
    double decimal = 0;
    EXPECT_TRUE(readNumber("+14", whole));
    EXPECT_EQ(whole, 14);
    EXPECT_TRUE(readNumber("-3", whole));
    EXPECT_EQ(whole, -3);
    EXPECT_TRUE(readNumber("48.85", decimal));
    EXPECT_DOUBLE_EQ(decimal, 48.85);
    for (const char* bad : {"", "+", " 14", "14 ", "14a", "1.5", "99999999999"})
        EXPECT_FALSE(readNumber(bad, whole)) << '"' << bad << '"';
    EXPECT_FALSE(readNumber("4x", decimal));
}

}  // namespace
}  // namespace dxcc
