// The generated logs that the benchmark measures must be logs the program could
// have written itself.
#if __has_include("synthetic_log.h")  // the generator is built with the benchmark

#include "synthetic_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "core/base/dates.h"
#include "core/base/program_constants.h"
#include "core/base/text_file.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "core/record/record_dates.h"
#include "temp_dir.h"

namespace {

using testing_support::TempDir;

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> out;
    for (std::string_view l : dxcc::splitLines(bytes)) out.emplace_back(l);
    return out;
}

TEST(SyntheticLog, EveryLineIsARecordInDateOrderOverTwentyYears) {
    TempDir dir;
    const size_t n = 5000;
    synth::writeSyntheticLog(dir / "log", n, nullptr, synth::builtInCallsigns(300, 7));
    const std::string bytes = dir.read("log");
    ASSERT_EQ(bytes.size(), n * (dxcc::kRecordLength + 2));
    const auto lines = linesOf(bytes);
    ASSERT_EQ(lines.size(), n);

    std::set<std::string> bands, modes;
    size_t confirmed = 0;
    int64_t previous = 0;
    for (size_t i = 0; i < n; ++i) {
        const std::string& r = lines[i];
        ASSERT_EQ(r.size(), dxcc::kRecordLength) << "line " << i + 1;
        // Columns 108-109 are CR LF: each record is cut off exactly there.
        EXPECT_EQ(bytes.substr(i * 109 + 107, 2), "\r\n");
        const dxcc::QsoFields f = dxcc::parseRecord(r);
        ASSERT_EQ(dxcc::checkDate(f.date), 0) << r;
        ASSERT_EQ(dxcc::checkTime(f.time), 0) << r;
        const int64_t key = *dxcc::recordDateTimeKey(r);
        EXPECT_GE(key, previous) << "line " << i + 1;
        previous = key;
        EXPECT_EQ(dxcc::buildRecord(f), r);  // the fields sit at their columns
        bands.insert(f.band);
        modes.insert(std::string(dxcc::trimBlanks(f.mode)));
        confirmed += f.confirmed();
        EXPECT_TRUE(f.qslMark == '*' || f.qslMark == ' ');
    }
    EXPECT_EQ(dxcc::parseRecord(lines.front()).date.substr(6), "06");
    EXPECT_EQ(dxcc::parseRecord(lines.back()).date.substr(6), "25");
    EXPECT_EQ(bands.size(), dxcc::kBands.size());
    EXPECT_EQ(modes.size(), dxcc::kModes.size());
    EXPECT_GT(confirmed, n * 45 / 100);
    EXPECT_LT(confirmed, n * 55 / 100);
}

TEST(SyntheticLog, SameSeedSameBytesOtherSeedOtherLog) {
    TempDir dir;
    const auto pool = synth::builtInCallsigns(100, 1);
    synth::writeSyntheticLog(dir / "a", 2000, nullptr, pool, 3);
    synth::writeSyntheticLog(dir / "b", 2000, nullptr, pool, 3);
    synth::writeSyntheticLog(dir / "c", 2000, nullptr, pool, 4);
    EXPECT_EQ(dir.read("a"), dir.read("b"));
    EXPECT_NE(dir.read("a"), dir.read("c"));
    EXPECT_EQ(synth::builtInCallsigns(100, 1), pool);
}

TEST(SyntheticLog, DxccFieldsComeFromTheLookup) {
    TempDir dir;
    const dxcc::PrefixTable table = dxcc::PrefixTable::parse(dxcc::joinLines({
        dxcc::buildPrefixEntry("F", "France", "F"),
        dxcc::buildPrefixEntry("FR", "Reunion Island", "FR"),
        dxcc::buildPrefixEntry("VK9N", "Norfolk Island", "VK9N"),
    }));
    synth::writeSyntheticLog(dir / "log", 300, &table, {"F5ABC", "FR5XY", "VK9NXY", "ZZ9ZZ"});
    std::set<std::string> seen;
    for (const std::string& r : linesOf(dir.read("log"))) {
        const dxcc::QsoFields f = dxcc::parseRecord(r);
        const std::string call(dxcc::trimBlanks(f.callsign));
        seen.insert(call);
        const dxcc::LookupResult expected = table.lookup(call);
        EXPECT_EQ(dxcc::trimBlanks(f.dxccPrefix), expected.dxccPrefix) << r;
        EXPECT_EQ(dxcc::trimBlanks(f.entityName), dxcc::trimBlanks(expected.entityName)) << r;
    }
    EXPECT_EQ(seen.size(), 4u);
}

TEST(SyntheticLog, BuiltInCallsignsAreDistinctAndPlausible) {
    const auto calls = synth::builtInCallsigns(5000, 9);
    EXPECT_EQ(std::set<std::string>(calls.begin(), calls.end()).size(), calls.size());
    for (const std::string& c : calls) {
        ASSERT_LE(c.size(), dxcc::kCallsignWidth) << c;
        ASSERT_GE(c.size(), 3u) << c;
        EXPECT_TRUE(std::any_of(c.begin(), c.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
            << c;
        EXPECT_TRUE(c.back() >= 'A' && c.back() <= 'Z') << c;
    }
}

TEST(SyntheticLog, CallsignListSkipsCommentsAndWhatCannotBeACallsign) {
    TempDir dir;
    dir.write("calls",
              "# header\r\nf5abc\r\nDL1XYZ\nTOOLONGCALLSIGN1\r\nBAD-CALL\r\n\r\nK1A/P\r\n");
    EXPECT_EQ(synth::readCallsignList(dir / "calls"),
              (std::vector<std::string>{"F5ABC", "DL1XYZ", "K1A/P"}));
    EXPECT_TRUE(synth::readCallsignList(dir / "missing").empty());
}

TEST(SyntheticFirstNames, OneLinePerDistinctCallsignNamePaddedAtColumn17) {
    TempDir dir;
    synth::writeSyntheticFirstNames(dir / "names", 2000, 5);
    const std::string bytes = dir.read("names");
    const auto lines = linesOf(bytes);
    ASSERT_EQ(lines.size(), 2000u);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'),
              std::count(bytes.begin(), bytes.end(), '\r'));
    const auto calls = synth::syntheticFirstNameCalls(2000, 5);
    std::set<std::string> distinct;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        ASSERT_GT(l.size(), 16u) << l;
        EXPECT_EQ(dxcc::trimBlanks(l.substr(0, 16)), calls[i]);
        EXPECT_EQ(l[15], ' ');
        const std::string name = l.substr(16);
        EXPECT_LE(name.size(), 15u);
        EXPECT_EQ(name.find(' '), std::string::npos);
        EXPECT_TRUE(
            std::none_of(name.begin(), name.end(), [](char c) { return c >= 'a' && c <= 'z'; }));
        distinct.insert(calls[i]);
    }
    EXPECT_EQ(distinct.size(), 2000u);
}

}  // namespace

#endif
