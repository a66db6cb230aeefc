#include "core/prefixes/exact_calls.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/base/text_file.h"

namespace dxcc {
namespace {

TEST(ExactCallLine, HasTheColumnsOfAPrefixEntryWithATwelveCharacterCallsign) {
    const std::string line = buildExactCallLine("3D2AG/P", "Rotuma Island", "3D2/R");
    EXPECT_EQ(line, "3D2AG/P      Rotuma Island                     3D2/R  /");
    ASSERT_EQ(line.size(), kExactCallLength);
    // Too long a field is cut rather than shifting the columns after it.
    const std::string cut = buildExactCallLine("ABCDEFGHIJKLM", std::string(40, 'x'), "1234567");
    ASSERT_EQ(cut.size(), kExactCallLength);
    EXPECT_EQ(cut.substr(0, 13), "ABCDEFGHIJKL ");
    EXPECT_EQ(cut.substr(47), "123456 /");
}

TEST(ExactCallTableParse, CutsFieldsByColumnAndNeverRejectsALine) {
    const ExactCallTable table =
        ExactCallTable::parse(joinLines({buildExactCallLine("TO8FTDM", "Guadeloupe", "FG"), "",
                                         "  KH6AB", "AH6P         United St", "\xff\x01 /x"}));
    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table.callsign(0), "TO8FTDM");
    EXPECT_EQ(table.entity(0).entityName, "Guadeloupe" + std::string(23, ' '));
    EXPECT_EQ(table.entity(0).dxccPrefix, "FG");
    EXPECT_EQ(table.callsign(1), "");
    EXPECT_EQ(table.callsign(2), "KH6AB");
    EXPECT_EQ(table.entity(2).entityName, "");
    EXPECT_EQ(table.entity(3).entityName, "United St");
    EXPECT_EQ(table.entity(3).dxccPrefix, "");
    EXPECT_EQ(table.callsign(4), "\xff\x01 /x");
    EXPECT_EQ(table.findLine("KH6AB"), 2u);
    EXPECT_EQ(table.find("KH6AB"), &table.entity(2));
    EXPECT_EQ(table.findLine("\xff\x01 /x"), 4u);
    // The lines of one entity share its name and prefix.
    EXPECT_EQ(table.entities().size(), 3u);
    EXPECT_EQ(&table.entity(1), &table.entity(2));
}

TEST(ExactCallTableFind, TheWholeCallsignOnlyAndTheFirstLineOfIt) {
    const ExactCallTable table = ExactCallTable::parse(
        joinLines({buildExactCallLine("KH6AB", "United States", "K"),
                   buildExactCallLine("KH6AB", "Hawaii", "KH6"),
                   buildExactCallLine("A60STAYHOME1", "United Arab Emirates", "A6"),
                   buildExactCallLine("K", "One letter", "X")}));
    EXPECT_EQ(table.find("KH6AB")->dxccPrefix, "K");
    for (const char* other : {"KH6ABD", "KH6A", "kh6ab", "KH6AB ", "", "KH6AB/P"})
        EXPECT_EQ(table.find(other), nullptr) << other;
    EXPECT_EQ(table.find("A60STAYHOME1")->dxccPrefix, "A6");
    EXPECT_EQ(table.find("A60STAYHOME1X"), nullptr);
    EXPECT_EQ(table.find("K")->dxccPrefix, "X");
    // "K" followed by a NUL byte is another text.
    EXPECT_EQ(table.find(std::string_view("K\0", 2)), nullptr);
    EXPECT_EQ(ExactCallTable().find("KH6AB"), nullptr);
}

// The index must give what a scan of the lines gives, over many callsigns
// that share their beginnings.
TEST(ExactCallTableFind, AgreesWithAScanOverManyLines) {
    std::mt19937 rng(2718);
    auto randomCall = [&] {
        static constexpr std::string_view kAlphabet = "AB1/";
        std::string s(std::uniform_int_distribution<size_t>(0, 13)(rng), ' ');
        for (char& c : s) c = kAlphabet[rng() % kAlphabet.size()];
        return s;
    };
    std::vector<std::string> lines;
    for (int i = 0; i < 3000; ++i)
        lines.push_back(buildExactCallLine(randomCall(), "E" + std::to_string(i % 300), "D"));
    const ExactCallTable table = ExactCallTable::parse(joinLines(lines));
    EXPECT_EQ(table.entities().size(), 300u);
    for (int i = 0; i < 5000; ++i) {
        const std::string call = randomCall();
        size_t scanned = ExactCallTable::kNoLine;
        for (size_t line = 0; line < table.size() && !call.empty(); ++line)
            if (table.callsign(line) == call) {
                scanned = line;
                break;
            }
        ASSERT_EQ(table.findLine(call), scanned) << '"' << call << '"';
        if (scanned != ExactCallTable::kNoLine) {
            EXPECT_EQ(table.find(call)->entityName, parseExactCallLine(lines[scanned]).entityName);
        }
    }
}

}  // namespace
}  // namespace dxcc
