#include "core/prefixes/prefix_table.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/base/text_file.h"

namespace dxcc {
namespace {

std::string fileOf(const std::vector<std::string>& lines) {
    return joinLines(lines);
}

const std::string kFrance = buildPrefixEntry("F", "France", "F");
const std::string kReunion = buildPrefixEntry("FR", "Reunion Island", "FR");
const std::string kTm = buildPrefixEntry("TM", "France", "F");

TEST(PrefixEntryLine, HasTheEditorsColumns) {
    const std::string line = buildPrefixEntry("TM", "France", "F");
    EXPECT_EQ(line, "TM     France                            F      /");
    ASSERT_EQ(line.size(), kPrefixEntryLength);
    // Too long a field is cut rather than shifting the columns after it.
    const std::string cut = buildPrefixEntry("ABCDEFG", std::string(40, 'x'), "1234567");
    ASSERT_EQ(cut.size(), kPrefixEntryLength);
    EXPECT_EQ(cut.substr(0, 7), "ABCDEF ");
    EXPECT_EQ(cut.substr(41), "123456 /");
}

TEST(PrefixTableParse, CutsFieldsByColumnAndKeepsTheNameUntrimmed) {
    const PrefixTable table = PrefixTable::parse(fileOf({kTm, "", "XX", "  F5   Short"}));
    const auto& e = table.entries();
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].callsignPrefix, "TM");
    EXPECT_EQ(e[0].entityName, "France" + std::string(27, ' '));
    EXPECT_EQ(e[0].dxccPrefix, "F");
    EXPECT_EQ(e[1].callsignPrefix, "");  // an empty line is an entry too
    EXPECT_EQ(e[2].callsignPrefix, "XX");
    EXPECT_EQ(e[2].entityName, "");
    EXPECT_EQ(e[3].callsignPrefix, "F5");
    EXPECT_EQ(e[3].entityName, "Short");
    EXPECT_EQ(e[3].dxccPrefix, "");
}

TEST(PrefixTableParse, AcceptsBareLineFeeds) {
    const PrefixTable table = PrefixTable::parse(kFrance + "\n" + kReunion + "\n");
    ASSERT_EQ(table.entries().size(), 2u);
    EXPECT_EQ(table.lookup("FR5AB").dxccPrefix, "FR");
}

TEST(PrefixLookup, LongestPrefixWinsWhateverTheFileOrder) {
    for (const auto& lines : {std::vector{kFrance, kReunion}, std::vector{kReunion, kFrance}}) {
        const PrefixTable table = PrefixTable::parse(fileOf(lines));
        const LookupResult reunion = table.lookup("FR5AB");
        EXPECT_EQ(reunion.dxccPrefix, "FR");
        EXPECT_EQ(reunion.matchedPrefix, "FR");
        EXPECT_EQ(reunion.entityName, "Reunion Island" + std::string(19, ' '));
        const LookupResult france = table.lookup("F5ABC");
        EXPECT_EQ(france.dxccPrefix, "F");
        EXPECT_EQ(france.matchedPrefix, "F");
        EXPECT_TRUE(france.found());
    }
}

TEST(PrefixLookup, FirstOfEquallyLongPrefixesWins) {
    const PrefixTable table = PrefixTable::parse(
        fileOf({buildPrefixEntry("TM", "France", "F"), buildPrefixEntry("TM", "Other", "X")}));
    EXPECT_EQ(table.lookup("TM1Q").dxccPrefix, "F");
}

TEST(PrefixLookup, CallsignEqualToAPrefixMatchesButAShorterOneDoesNot) {
    const PrefixTable table = PrefixTable::parse(fileOf({kTm}));
    EXPECT_EQ(table.lookup("TM").matchedPrefix, "TM");
    EXPECT_FALSE(table.lookup("T").found());
    EXPECT_FALSE(table.lookup("").found());
}

TEST(PrefixLookup, NoMatchGivesThreeEmptyTexts) {
    const LookupResult r = PrefixTable::parse(fileOf({kFrance, kTm})).lookup("DL1ABC");
    EXPECT_FALSE(r.found());
    EXPECT_EQ(r.entityName, "");
    EXPECT_EQ(r.dxccPrefix, "");
    EXPECT_EQ(r.matchedPrefix, "");
}

TEST(PrefixLookup, EmptyOrBlankPrefixMatchesNothingAndHidesNothing) {
    const PrefixTable table =
        PrefixTable::parse(fileOf({"", "      Blank prefix", kFrance, kReunion}));
    EXPECT_FALSE(table.lookup("DL1ABC").found());
    EXPECT_EQ(table.lookup("FR5AB").dxccPrefix, "FR");
}

TEST(PrefixLookup, IsCaseSensitive) {
    const PrefixTable table = PrefixTable::parse(fileOf({kFrance, kTm}));
    EXPECT_FALSE(table.lookup("f5abc").found());
    EXPECT_FALSE(table.lookup("tm1q").found());
}

TEST(PrefixLookup, ShortLineMatchesWithWhatItHas) {
    const PrefixTable table = PrefixTable::parse(fileOf({"3Y0X   Peter 1", kFrance}));
    const LookupResult r = table.lookup("3Y0X");
    EXPECT_TRUE(r.found());
    EXPECT_EQ(r.entityName, "Peter 1");
    EXPECT_EQ(r.dxccPrefix, "");
}

TEST(PrefixLookup, SixCharacterPrefixAndLongCallsigns) {
    const PrefixTable table = PrefixTable::parse(
        fileOf({buildPrefixEntry("4U1ITU", "ITU HQ", "4U1I"), buildPrefixEntry("4U", "UN", "4U")}));
    EXPECT_EQ(table.lookup("4U1ITU").dxccPrefix, "4U1I");
    EXPECT_EQ(table.lookup("4U1ITUXYZ/P").dxccPrefix, "4U1I");
    EXPECT_EQ(table.lookup("4U1IT").dxccPrefix, "4U");
}

// The index must give exactly what a scan of every line gives.
const PrefixEntry* scanForLongest(const std::vector<PrefixEntry>& entries, std::string_view call) {
    const PrefixEntry* best = nullptr;
    for (const PrefixEntry& e : entries) {
        const std::string& p = e.callsignPrefix;
        if (p.empty() || !call.starts_with(p)) continue;
        if (best == nullptr || p.size() > best->callsignPrefix.size()) best = &e;
    }
    return best;
}

TEST(PrefixLookup, AgreesWithAScanOverManyOverlappingPrefixes) {
    std::mt19937 rng(12345);
    auto randomText = [&](size_t minLength, size_t maxLength) {
        static constexpr std::string_view kAlphabet = "AB1 /";
        std::string s(std::uniform_int_distribution<size_t>(minLength, maxLength)(rng), ' ');
        for (char& c : s) c = kAlphabet[rng() % kAlphabet.size()];
        return s;
    };
    std::vector<std::string> lines;
    for (int i = 0; i < 1000; ++i) {
        const std::string entity = std::string("E").append(std::to_string(i));
        lines.push_back(buildPrefixEntry(randomText(0, 6), entity, "D"));
    }
    const PrefixTable table = PrefixTable::parse(fileOf(lines));
    for (int i = 0; i < 5000; ++i) {
        const std::string call = randomText(0, 9);
        ASSERT_EQ(table.matchPrefix(call), scanForLongest(table.entries(), call))
            << '"' << call << '"';
    }
}

class PrefixFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir_ = std::filesystem::temp_directory_path() /
               ("prefix_file_" + std::to_string(::getpid()) + "_" + test);
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path file() const { return dir_ / "Prefixe_DXCC.txt"; }
    std::filesystem::path exactFile() const { return dir_ / "Exceptions_DXCC.txt"; }
    void save(const std::vector<std::string>& lines) const {
        rewriteFile(file(), dir_ / "Temporaire.txt", fileOf(lines));
    }
    void saveExact(const std::vector<std::string>& lines) const {
        rewriteFile(exactFile(), dir_ / "Temporaire.txt", fileOf(lines));
    }

    std::filesystem::path dir_;
};

TEST_F(PrefixFileTest, MissingFileGivesEmptyResultsUntilItAppears) {
    PrefixFile prefixes(file(), std::chrono::milliseconds(0));
    EXPECT_TRUE(prefixes.unreadable());
    EXPECT_FALSE(prefixes.lookup("F5ABC").found());
    EXPECT_TRUE(prefixes.table().entries().empty());

    save({kFrance});
    EXPECT_EQ(prefixes.lookup("F5ABC").dxccPrefix, "F");
    EXPECT_FALSE(prefixes.unreadable());
}

TEST_F(PrefixFileTest, UnreadableFileGivesEmptyResults) {
    std::filesystem::create_directory(file());
    PrefixFile prefixes(file(), std::chrono::milliseconds(0));
    EXPECT_TRUE(prefixes.unreadable());
    EXPECT_FALSE(prefixes.lookup("F5ABC").found());
}

TEST_F(PrefixFileTest, ReloadsWhenTheFileIsReplaced) {
    save({kFrance, kTm});
    PrefixFile prefixes(file(), std::chrono::milliseconds(0));
    EXPECT_EQ(prefixes.lookup("TM1Q").dxccPrefix, "F");

    // Same size, so only the file's identity or time tells the versions apart.
    save({kFrance, buildPrefixEntry("TM", "Other", "X")});
    EXPECT_EQ(prefixes.lookup("TM1Q").dxccPrefix, "X");

    std::filesystem::remove(file());
    EXPECT_FALSE(prefixes.lookup("TM1Q").found());
    EXPECT_TRUE(prefixes.unreadable());
}

TEST_F(PrefixFileTest, BetweenChecksOnlyRefreshSeesAChange) {
    save({kFrance});
    PrefixFile prefixes(file(), std::chrono::hours(1));
    EXPECT_EQ(prefixes.lookup("FR5AB").dxccPrefix, "F");  // first use reads the file
    save({kFrance, kReunion});
    EXPECT_EQ(prefixes.lookup("FR5AB").dxccPrefix, "F");
    prefixes.refresh();
    EXPECT_EQ(prefixes.lookup("FR5AB").dxccPrefix, "FR");
}

// The exact-call file beside the prefix file is read, and read again, with it.
TEST_F(PrefixFileTest, TheExactCallFileBesideItComesAndGoesWithoutARestart) {
    save({kFrance, kTm});
    PrefixFile prefixes(file(), std::chrono::milliseconds(0));
    EXPECT_EQ(prefixes.exactCallPath(), exactFile());
    EXPECT_EQ(prefixes.lookup("TM5A").kind, MatchKind::Prefix);
    EXPECT_FALSE(prefixes.exactCallsUnreadable());

    saveExact({buildExactCallLine("TM5A", "Guadeloupe", "FG")});
    LookupResult r = prefixes.lookup("TM5A");
    EXPECT_EQ(r.dxccPrefix, "FG");
    EXPECT_EQ(r.kind, MatchKind::Exact);
    EXPECT_EQ(prefixes.table().exactCalls().size(), 1u);

    // Same size: only the file's identity or time tells the versions apart.
    saveExact({buildExactCallLine("TM5A", "Martinique", "FM")});
    EXPECT_EQ(prefixes.lookup("TM5A").dxccPrefix, "FM");

    std::filesystem::remove(exactFile());
    EXPECT_EQ(prefixes.lookup("TM5A").dxccPrefix, "F");
    EXPECT_FALSE(prefixes.exactCallsUnreadable());
}

TEST_F(PrefixFileTest, AnUnreadableExactCallFileIsToldAndThePrefixesStillAnswer) {
    save({kFrance});
    std::filesystem::create_directory(exactFile());
    PrefixFile prefixes(file(), std::chrono::milliseconds(0));
    EXPECT_EQ(prefixes.lookup("F5ABC").dxccPrefix, "F");
    EXPECT_TRUE(prefixes.exactCallsUnreadable());
    EXPECT_FALSE(prefixes.unreadable());
}

}  // namespace
}  // namespace dxcc
