#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/base/text_file.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"

namespace dxcc {
namespace {

class ShippedPrefixFile : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        bytes_ = new std::string(readFileBytes(VEL_SOURCE_DIR "/data/Prefixe_DXCC.txt"));
        exactBytes_ = new std::string(readFileBytes(VEL_SOURCE_DIR "/data/Exceptions_DXCC.txt"));
        table_ = new PrefixTable(PrefixTable::parse(*bytes_, *exactBytes_));
    }
    static void TearDownTestSuite() {
        delete table_;
        delete exactBytes_;
        delete bytes_;
    }

    static std::string* bytes_;
    static std::string* exactBytes_;
    static PrefixTable* table_;
};

std::string* ShippedPrefixFile::bytes_ = nullptr;
std::string* ShippedPrefixFile::exactBytes_ = nullptr;
PrefixTable* ShippedPrefixFile::table_ = nullptr;

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

TEST_F(ShippedPrefixFile, EveryLineIsAFullEntryEndingInCrLf) {
    const auto lines = splitLines(*bytes_);
    ASSERT_GT(lines.size(), 1000u);
    EXPECT_EQ(bytes_->size(), lines.size() * (kPrefixEntryLength + kLineEnd.size()));
    for (std::string_view line : lines) {
        ASSERT_EQ(line.size(), kPrefixEntryLength) << line;
        EXPECT_EQ(line.substr(6, 1), " ") << line;
        EXPECT_EQ(line.substr(40, 1), " ") << line;
        EXPECT_EQ(line.substr(47), " /") << line;
    }
    for (const PrefixEntry& e : table_->entries()) {
        EXPECT_FALSE(e.callsignPrefix.empty());
        EXPECT_EQ(e.callsignPrefix.find('/'), std::string::npos) << e.callsignPrefix;
        EXPECT_FALSE(e.dxccPrefix.empty()) << e.callsignPrefix;
        EXPECT_EQ(e.callsignPrefix, upper(e.callsignPrefix));
        EXPECT_EQ(e.dxccPrefix, upper(e.dxccPrefix));
    }
}

TEST_F(ShippedPrefixFile, EveryExactCallIsAFullLineEndingInCrLf) {
    const auto lines = splitLines(*exactBytes_);
    ASSERT_GT(lines.size(), 15000u);
    EXPECT_EQ(exactBytes_->size(), lines.size() * (kExactCallLength + kLineEnd.size()));
    size_t withSlash = 0;
    for (std::string_view line : lines) {
        ASSERT_EQ(line.size(), kExactCallLength) << line;
        EXPECT_EQ(line.substr(12, 1), " ") << line;
        EXPECT_EQ(line.substr(46, 1), " ") << line;
        EXPECT_EQ(line.substr(53), " /") << line;
    }
    const ExactCallTable& exact = table_->exactCalls();
    for (size_t line = 0; line < exact.size(); ++line) {
        const std::string_view call = exact.callsign(line);
        EXPECT_FALSE(call.empty());
        EXPECT_FALSE(exact.entity(line).dxccPrefix.empty()) << call;
        EXPECT_EQ(call, upper(call));
        withSlash += call.find('/') != std::string::npos ? 1 : 0;
    }
    EXPECT_GT(withSlash, 7000u);
}

TEST_F(ShippedPrefixFile, AreInTheEditorsSortedOrderWithoutRepeatedKeys) {
    for (const std::string* bytes : {bytes_, exactBytes_}) {
        const auto lines = splitLines(*bytes);
        EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end(),
                                   [](auto a, auto b) { return upper(a) < upper(b); }));
    }
    std::set<std::string> prefixes;
    for (const PrefixEntry& e : table_->entries())
        EXPECT_TRUE(prefixes.insert(e.callsignPrefix).second) << e.callsignPrefix;
    const ExactCallTable& exact = table_->exactCalls();
    for (size_t line = 0; line < exact.size(); ++line)
        EXPECT_EQ(exact.findLine(exact.callsign(line)), line) << exact.callsign(line);
}

// Some entities have no prefix of their own (Peter 1 Island, Conway Reef):
// the exact calls alone name them.
TEST_F(ShippedPrefixFile, HoldEachDxccEntityOnceUnderOneName) {
    std::map<std::string, std::string> nameOf;
    std::set<std::string> names;
    std::vector<PrefixEntry> all = table_->entries();
    const std::vector<PrefixEntry>& exactEntities = table_->exactCalls().entities();
    all.insert(all.end(), exactEntities.begin(), exactEntities.end());
    for (const PrefixEntry& e : all) {
        auto [it, added] = nameOf.emplace(e.dxccPrefix, e.entityName);
        if (added) {
            EXPECT_TRUE(names.insert(e.entityName).second) << e.entityName;
        } else {
            EXPECT_EQ(it->second, e.entityName) << e.dxccPrefix;
        }
    }
    EXPECT_GE(nameOf.size(), 330u);
    EXPECT_LE(nameOf.size(), 350u);
}

TEST_F(ShippedPrefixFile, ResolvesCallsignsAsADxccChaserExpects) {
    const std::map<std::string, std::pair<std::string, std::string>> expected{
        {"F5XYZ", {"France", "F"}},
        {"FR5XY", {"Reunion Island", "FR"}},
        {"TM1Q", {"France", "F"}},
        {"KH6XYZ", {"Hawaii", "KH6"}},
        {"KL7XYZ", {"Alaska", "KL"}},
        {"K1XYZ", {"United States", "K"}},
        {"VP8XYZ", {"Falkland Islands", "VP8"}},
        {"EA8XYZ", {"Canary Islands", "EA8"}},
        {"IT9XYZ", {"Italy", "I"}},
        {"JD1XYZ", {"Ogasawara", "JD/O"}},
        {"VK9NXY", {"Norfolk Island", "VK9N"}},
        {"3Y0X", {"Peter 1 Island", "3Y/P"}},
        {"3D2AG/P", {"Rotuma Island", "3D2/R"}},
        {"KH6ABD", {"Hawaii", "KH6"}},
        {"F5ABC/EA8", {"Canary Islands", "EA8"}},
        {"4U1ITU", {"ITU HQ", "4U1I"}},
        {"4U1UN", {"United Nations HQ", "4U1U"}},
        {"DL1ABC", {"Fed. Rep. of Germany", "DL"}},
        {"G4ABC", {"England", "G"}},
        {"GM4ABC", {"Scotland", "GM"}},
        {"JA1ABC", {"Japan", "JA"}},
        {"VE3ABC", {"Canada", "VE"}},
        {"ZL2ABC", {"New Zealand", "ZL"}},
        {"UA9ABC", {"Asiatic Russia", "UA9"}},
        {"TA1ABC", {"Turkey", "TA"}},
        {"4U1VIC", {"Austria", "OE"}},
        // Short whole callsigns of the country files must not capture ordinary calls.
        {"N0JAB", {"United States", "K"}},
        {"K4WAB", {"United States", "K"}},
        {"D8AAB", {"Republic of Korea", "HL"}},
    };
    for (const auto& [call, entity] : expected) {
        const LookupResult r = table_->lookup(call);
        EXPECT_EQ(trimBlanks(r.entityName), entity.first) << call;
        EXPECT_EQ(r.dxccPrefix, entity.second) << call;
    }
}

}  // namespace
}  // namespace dxcc
