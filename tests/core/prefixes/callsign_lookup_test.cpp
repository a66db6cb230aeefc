#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/base/text_file.h"
#include "core/base/text_utils.h"
#include "core/prefixes/callsign_slashes.h"
#include "core/prefixes/exact_calls.h"
#include "core/prefixes/prefix_table.h"

namespace dxcc {
namespace {

// The shipped prefix and exact-call files, built from the country files.
const PrefixTable& shipped() {
    static const PrefixTable table =
        PrefixTable::parse(readFileBytes(VEL_SOURCE_DIR "/data/Prefixe_DXCC.txt"),
                           readFileBytes(VEL_SOURCE_DIR "/data/Exceptions_DXCC.txt"));
    return table;
}

struct LookupCase {
    const char* callsign;
    const char* dxccPrefix;  // empty: no entity
    MatchKind kind;
};

// Real calls of each kind, with the entity the country files give them.
const LookupCase kLookupCases[] = {
    // Exact calls of the country file, slash calls and long ones included.
    {"AH6P", "K", MatchKind::Exact},
    {"3D2AG/P", "3D2/R", MatchKind::Exact},
    {"9M6/LA6VM", "1S", MatchKind::Exact},
    {"TO8FTDM", "FG", MatchKind::Exact},
    {"3Y0X", "3Y/P", MatchKind::Exact},
    {"KC4AAA", "CE9", MatchKind::Exact},
    {"2E0GWD/P/LH", "G", MatchKind::Exact},
    // Calls that merely begin with an exact call go by their prefix.
    {"KH6ABD", "KH6", MatchKind::Prefix},
    {"AH6PZ", "KH6", MatchKind::Prefix},
    {"KC4AAAB", "K", MatchKind::Prefix},
    // The place before or after the call.
    {"EA8/F5ABC", "EA8", MatchKind::Prefix},
    {"F5ABC/EA8", "EA8", MatchKind::Prefix},
    {"VP2E/W1AW", "VP2E", MatchKind::Prefix},
    {"W1ABC/VP2E", "VP2E", MatchKind::Prefix},
    {"W1AW/VP2E", "K", MatchKind::Prefix},  // equal lengths: the first part
    {"KH6/W1ABC", "KH6", MatchKind::Prefix},
    {"W1ABC/KH6", "KH6", MatchKind::Prefix},
    {"F/G4ABC", "F", MatchKind::Prefix},
    {"G4ABC/F", "F", MatchKind::Prefix},
    // Suffixes that say how, not where.
    {"DL1ABC/P", "DL", MatchKind::Prefix},
    {"F5ABC/M", "F", MatchKind::Prefix},
    {"G4ABC/QRP", "G", MatchKind::Prefix},
    {"G4ABC/QRPP", "G", MatchKind::Prefix},
    {"F5ABC/LH", "F", MatchKind::Prefix},
    {"DL0ABC/B", "DL", MatchKind::Prefix},
    {"KH6AB/P", "K", MatchKind::Exact},  // the exact call once the suffix is gone
    // Maritime and aeronautical mobile count for no entity.
    {"F5ABC/MM", "", MatchKind::MaritimeMobile},
    {"W1ABC/AM", "", MatchKind::MaritimeMobile},
    {"F5ABC/P/MM", "", MatchKind::MaritimeMobile},
    {"EA8/F5ABC/MM", "", MatchKind::MaritimeMobile},
    // As first part, MM and AM are prefixes (Scotland, Spain).
    {"MM/F5ABC", "GM", MatchKind::Prefix},
    {"AM/F5ABC", "EA", MatchKind::Prefix},
    // A digit takes the place of the call's own area digit.
    {"UA9ABC/3", "UA", MatchKind::Prefix},
    {"UA3ABC/9", "UA9", MatchKind::Prefix},
    {"W1ABC/6", "K", MatchKind::Prefix},
    {"RX6DL/8/P/QRP", "UA9", MatchKind::Exact},  // RX6DL/8 once the suffixes are gone
    {"RX6DL/9/QRP", "UA9", MatchKind::Prefix},
    // Two slashes: the suffix goes, the place stays.
    {"EA8/F5ABC/P", "EA8", MatchKind::Prefix},
    {"F5ABC/EA8/P", "EA8", MatchKind::Prefix},
    {"F5ABC/P/EA8", "EA8", MatchKind::Prefix},
    {"SV5/LY1DF/LGT", "SV5", MatchKind::Prefix},  // too long for an exact call
    // A suffix that names no place leaves the call's own entity.
    {"W1ABC/A", "K", MatchKind::Prefix},
    // Plain calls; blanks around the call are no part of it.
    {"F5XYZ", "F", MatchKind::Prefix},
    {"  3D2AG/P  ", "3D2/R", MatchKind::Exact},
    {"F5ABC//P", "F", MatchKind::Prefix},
    {"Q1ABC", "", MatchKind::None},
    {"", "", MatchKind::None},
    {"/", "", MatchKind::None},
    {"f5abc/mm", "", MatchKind::None},  // letter case matters, as for prefixes
};

TEST(CallsignLookup, EachKindOfCallGetsTheCountryFilesEntity) {
    for (const LookupCase& c : kLookupCases) {
        SCOPED_TRACE(c.callsign);
        const Resolution r = shipped().resolve(c.callsign);
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.entry ? r.entry->dxccPrefix : std::string(), c.dxccPrefix);
        EXPECT_EQ(shipped().match(c.callsign), r.entry);
        const LookupResult result = shipped().lookup(c.callsign);
        EXPECT_EQ(result.kind, c.kind);
        EXPECT_EQ(result.dxccPrefix, c.dxccPrefix);
        EXPECT_EQ(result.found(), r.entry != nullptr);
    }
}

TEST(CallsignLookup, ResultSaysWhatMatched) {
    const LookupResult exact = shipped().lookup("3D2AG/P");
    EXPECT_EQ(exact.matchedPrefix, "3D2AG/P");
    EXPECT_EQ(exact.entityName, "Rotuma Island" + std::string(20, ' '));
    EXPECT_TRUE(exact.found());

    const LookupResult place = shipped().lookup("F5ABC/EA8");
    EXPECT_EQ(place.matchedPrefix, "EA8");
    EXPECT_EQ(trimBlanks(place.entityName), "Canary Islands");

    const LookupResult mobile = shipped().lookup("F5ABC/MM");
    EXPECT_TRUE(mobile.maritimeMobile());
    EXPECT_FALSE(mobile.found());
    EXPECT_EQ(mobile.entityName + mobile.dxccPrefix + mobile.matchedPrefix, "");
}

// What a call would be without its own exact line: the build compares this
// with the exact line to tell what the line changes.
TEST(CallsignLookup, ByRulesLeavesOutTheExactLineOfTheCallItself) {
    EXPECT_EQ(shipped().resolveByRules("3D2AG/P").entry->dxccPrefix, "3D2");
    EXPECT_EQ(shipped().resolveByRules("TO8FTDM").entry->dxccPrefix, "F");
    EXPECT_EQ(shipped().resolveByRules("KH6AB/P").kind, MatchKind::Exact);
}

// An operator's table: the exact calls come first, whatever the prefixes say.
TEST(CallsignLookup, ExactCallsComeBeforeEveryPrefix) {
    const PrefixTable table = PrefixTable::parse(
        joinLines({buildPrefixEntry("F", "France", "F"), buildPrefixEntry("TO", "France", "F")}),
        joinLines({buildExactCallLine("TO5A", "Guadeloupe", "FG"),
                   buildExactCallLine("F/TO5A", "Martinique", "FM")}));
    EXPECT_EQ(table.lookup("TO5A").dxccPrefix, "FG");
    EXPECT_EQ(table.lookup("TO5AB").dxccPrefix, "F");
    EXPECT_EQ(table.lookup("F/TO5A").dxccPrefix, "FM");
    EXPECT_EQ(table.lookup("TO5A/P").dxccPrefix, "FG");
    EXPECT_EQ(table.lookup("TO5A/P").kind, MatchKind::Exact);
    EXPECT_EQ(table.lookup("TO5A/F").dxccPrefix, "F");
}

struct SlashCase {
    const char* callsign;
    SlashReading::Kind kind;
    const char* withoutSuffixes;
    const char* place;
    const char* other;
};

const SlashCase kSlashCases[] = {
    {"F5ABC", SlashReading::Kind::Plain, "", "F5ABC", ""},
    {"F5ABC/P", SlashReading::Kind::Slashed, "F5ABC", "F5ABC", ""},
    {"P/F5ABC", SlashReading::Kind::Slashed, "", "P", "F5ABC"},
    {"F5ABC/P/EA8", SlashReading::Kind::Slashed, "F5ABC/EA8", "EA8", "F5ABC"},
    {"EA8/F5ABC", SlashReading::Kind::Slashed, "", "EA8", "F5ABC"},
    {"F5AB/EA8A", SlashReading::Kind::Slashed, "", "F5AB", "EA8A"},  // equal: the first
    {"/F5ABC/", SlashReading::Kind::Slashed, "F5ABC", "F5ABC", ""},
    {"F5ABC/MM/P", SlashReading::Kind::MaritimeMobile, "", "", ""},
    {"//", SlashReading::Kind::Slashed, "", "", ""},
    {"UA9ABC/3", SlashReading::Kind::Slashed, "", "UA3ABC", "UA9ABC"},
    {"ABC/3", SlashReading::Kind::Slashed, "", "ABC", "ABC"},
    {"W1ABC/36", SlashReading::Kind::Slashed, "", "36", "W1ABC"},
    // Too long for an exact call: no exact text; the place is cut where the
    // prefixes no longer look.
    {"F5ABCDEFGHIJK/P", SlashReading::Kind::Slashed, "", "F5ABCDEFGHIJK", ""},
    {"F5ABCDEFGHIJ/P", SlashReading::Kind::Slashed, "F5ABCDEFGHIJ", "F5ABCDEFGHIJ", ""},
    {"W1ABCDEFGHIJKLMNOPQ/6", SlashReading::Kind::Slashed, "", "W6ABCDEFGHIJKLMN",
     "W1ABCDEFGHIJKLMNOPQ"},
};

TEST(SlashReadingTest, PartsThatNameThePlace) {
    for (const SlashCase& c : kSlashCases) {
        SCOPED_TRACE(c.callsign);
        SlashBuffers buffers;
        const SlashReading r = readSlashes(c.callsign, buffers);
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.withoutSuffixes, c.withoutSuffixes);
        EXPECT_EQ(r.place, c.place);
        EXPECT_EQ(r.other, c.other);
    }
}

}  // namespace
}  // namespace dxcc
