#include "core/awards/award_evaluation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "award_test_log.h"
#include "core/record/mode_table.h"
#include "core/record/qso_record.h"

namespace dxcc {
namespace {

using testing_support::AwardLog;
using testing_support::AwardQso;
using testing_support::awardRecord;

// Where the display line's columns stand in an entity line: one column to the
// left for the single blank before the callsign, and the number of six.
constexpr size_t kLinePrefixAt = 78;
constexpr size_t kLineBandAt = 60;

// The entity line expected for `ordinalText` and the QSO that represents it.
std::string listed(const std::string& ordinalText, const AwardQso& q) {
    return ordinalText + " " + buildDisplayLine(awardRecord(q), 1).substr(8);
}

// The entities of a result, by their DXCC prefixes, blank-separated.
std::string prefixesOf(const AwardResult& r) {
    std::string out;
    for (const std::string& line : r.lines) {
        if (line.empty()) continue;
        if (!out.empty()) out += ' ';
        out += trimBlanks(std::string_view(line).substr(kLinePrefixAt, kDxccPrefixWidth));
    }
    return out;
}

class AwardEvaluationTest : public ::testing::Test {
protected:
    AwardResult evaluate(const char* award, Basis basis = Basis::Confirmed) {
        const AwardDefinition* definition = findAward(award);
        EXPECT_NE(definition, nullptr) << award;
        return evaluateAward(station.log, *definition, basis);
    }

    AwardLog station;
};

TEST(AwardListTest, EveryAwardWithItsWindowNameSplashAndTable) {
    struct Row {
        const char* name;
        AwardFamily family;
        const char* shownName;
        const char* splash;
        const StickerTable* table;
    };
    const Row rows[] = {
        {"Mixed", AwardFamily::Mixed, "Mixed", "diplôme DXCC Mixed", &kStickerTable150},
        {"SSB", AwardFamily::Mode, "SSB", "diplôme DXCC Mode SSB", &kStickerTable150},
        {"RTTY", AwardFamily::Mode, "RTTY", "diplôme DXCC Mode RTTY", &kStickerTable150},
        {"1.8 Mhz", AwardFamily::Band, "1.8 Mhz", "diplôme DXCC bande 1.8 Mhz", &kStickerTable125},
        {"3.5 Mhz", AwardFamily::Band, "3.5 Mhz", "diplôme DXCC bande 3.5 Mhz", &kStickerTable125},
        {"7.0 Mhz", AwardFamily::Band, "7.0 Mhz", "diplôme DXCC bande 7.0 Mhz", &kStickerTable150},
        {"10 Mhz", AwardFamily::Band, "10 Mhz ", "diplôme DXCC bande 10 Mhz ", &kStickerTable150},
        {"28 Mhz", AwardFamily::Band, "28 Mhz ", "diplôme DXCC bande 28 Mhz ", &kStickerTable150},
        {"50 Mhz ", AwardFamily::Band, "50 Mhz ", "diplôme DXCC bande 50 Mhz ", &kStickerTable125},
        {"144 Mhz", AwardFamily::Band, "144 Mhz", "diplôme DXCC bande 144 Mhz", &kStickerTable125},
        {"5 bandes", AwardFamily::FiveBand, "5 bandes", "diplôme DXCC 5 bandes ", nullptr},
        {"Satellite", AwardFamily::Satellite, "Satellite", "diplôme DXCC Satellite",
         &kStickerTable125},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const AwardDefinition* a = findAward(r.name);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->family, r.family);
        EXPECT_EQ(a->shownName, r.shownName);
        EXPECT_EQ(a->splashText, r.splash);
        EXPECT_EQ(a->table, r.table);
    }
    EXPECT_EQ(allAwards().size(), 17u);
    EXPECT_EQ(findAward("432 Mhz"), nullptr);
    std::vector<std::string> modes, bands;
    for (const AwardDefinition* a : awardsOfFamily(AwardFamily::Mode))
        modes.push_back(a->shownName);
    for (const AwardDefinition* a : awardsOfFamily(AwardFamily::Band))
        bands.push_back(a->shownName);
    EXPECT_EQ(modes, (std::vector<std::string>{"SSB", "CW", "RTTY"}));
    EXPECT_EQ(bands, (std::vector<std::string>{"1.8 Mhz", "3.5 Mhz", "7.0 Mhz", "10 Mhz ",
                                               "14 Mhz ", "18 Mhz ", "21 Mhz ", "24 Mhz ",
                                               "28 Mhz ", "50 Mhz ", "144 Mhz"}));
}

TEST(ModeClassesTest, LoggedModesFallIntoOneClassCaseCounting) {
    struct Row {
        const char* mode;
        ModeClass expected;
    };
    const Row rows[] = {
        {"SSB", ModeClass::Phone},     {"USB", ModeClass::Phone},   {"LSB", ModeClass::Phone},
        {"AM", ModeClass::Phone},      {"FM ", ModeClass::Phone},   {"CW", ModeClass::Cw},
        {"CW ", ModeClass::Cw},        {"RTT", ModeClass::Digital}, {"PSK", ModeClass::Digital},
        {"HEL", ModeClass::Digital},   {"MFS", ModeClass::Digital}, {"DIG", ModeClass::Digital},
        {"FT8", ModeClass::Digital},   {"FT4", ModeClass::Digital}, {"JT6", ModeClass::Digital},
        {"Q65", ModeClass::Digital},   {"OLI", ModeClass::Digital}, {"THR", ModeClass::Digital},
        {"SAT", ModeClass::Satellite}, {"ssb", ModeClass::None},    {"cw", ModeClass::None},
        {"", ModeClass::None},         {"XXX", ModeClass::None},    {"RTTY", ModeClass::None},
    };
    for (const Row& r : rows) EXPECT_EQ(modeClassOf(r.mode), r.expected) << '"' << r.mode << '"';
}

TEST_F(AwardEvaluationTest, EmptyLogGivesNoEntityAndTheFirstLabels) {
    station.set({});
    struct Row {
        const char* award;
        Basis basis;
        const char* label1;
        const char* label4;
    };
    const Row rows[] = {
        {"Mixed", Basis::Confirmed,
         " 0 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC Mixed",
         "Il vous manque 100 préfixes confirmés"},
        {"Mixed", Basis::Contacted, " 0 préfixes contactés,", ""},
        {"CW", Basis::Confirmed,
         " 0 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC CW",
         "Il vous manque 100 préfixes confirmés"},
        {"CW", Basis::Contacted, " 0 préfixes contactés", ""},
        {"144 Mhz", Basis::Confirmed, "Vous ne pouvez pas encore obtenir le diplôme DXCC 144 Mhz",
         "Il vous manque  100 préfixes confirmés"},
        {"Satellite", Basis::Contacted, " 0 préfixes contactés,", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.award);
        const AwardResult result = evaluate(r.award, r.basis);
        EXPECT_TRUE(result.lines.empty());
        EXPECT_EQ(result.count, 0u);
        EXPECT_EQ(result.label1, r.label1);
        EXPECT_EQ(result.label4, r.label4);
    }
    const AwardResult fiveBand = evaluate("5 bandes");
    EXPECT_EQ(fiveBand.lines, std::vector<std::string>(5));
    EXPECT_EQ(fiveBand.label1, "Vous ne pouvez pas encore obtenir le diplôme DXCC 5 bandes");
    EXPECT_EQ(fiveBand.label4,
              "Il manque  100 QSL sur 3.5 Mhz  100 QSL sur 7 Mhz  100 QSL sur 14 Mhz  100 QSL "
              "sur 21 Mhz  100 QSL sur 28 Mhz");
}

TEST_F(AwardEvaluationTest, EachEntityShowsItsFirstQsoInCaseInsensitiveListOrder) {
    const AwardQso f5b{"F5BBB", "F"}, f5a{"F5AAA", "F"}, f5c{"F5CCC", "F"};
    // "g4a" sorts before "G4B" only when case is ignored.
    const AwardQso g4b{"G4B", "G"}, g4a{"g4a", "G"};
    // Same callsign: the date text decides.
    const AwardQso later{"K1A", "K", "SSB", "14 Mhz ", '*', "02/01/08"};
    const AwardQso earlier{"K1A", "K", "SSB", "14 Mhz ", '*', "01/02/08"};
    station.set({f5b, f5a, f5c, g4b, g4a, later, earlier});
    const AwardResult r = evaluate("Mixed");
    EXPECT_EQ(r.lines, (std::vector<std::string>{listed("     1", f5a), listed("     2", g4a),
                                                 listed("     3", earlier)}));
    EXPECT_EQ(r.lines[0].size(), 123u);
    EXPECT_EQ(r.lines[0].substr(0, 12), "     1 F5AAA");
    EXPECT_EQ(r.count, 3u);
}

TEST_F(AwardEvaluationTest, ConfirmedBasisTakesStarredQsosAndBlankPrefixesNeverCount) {
    const AwardQso unconfirmed{"F5AAA", "F", "SSB", "14 Mhz ", ' '};
    const AwardQso confirmed{"F5BBB", "F"};
    station.set({unconfirmed, confirmed, {"ZZ1AA", ""}, {"ZZ2AA", "      "}, {"ZZ3AA", " "}});
    const AwardResult contacted = evaluate("Mixed", Basis::Contacted);
    EXPECT_EQ(contacted.lines, std::vector<std::string>{listed("     1", unconfirmed)});
    EXPECT_EQ(contacted.label1, " 1 préfixes contactés,");
    const AwardResult confirmedOnly = evaluate("Mixed", Basis::Confirmed);
    EXPECT_EQ(confirmedOnly.lines, std::vector<std::string>{listed("     1", confirmed)});
    EXPECT_EQ(confirmedOnly.count, 1u);
}

TEST_F(AwardEvaluationTest, EntitiesAreExactPrefixesOrderedWithoutRegardToCase) {
    // A case-insensitive sort of whole lines puts f's QSO between F's two: each
    // entity must still be counted once, F before f.
    station.set({{"B1", "F"},
                 {"A1", "f"},
                 {"C1", "F"},
                 {"X1", "B"},
                 {"X2", "a"},
                 {"X3", "EA"},
                 {"X4", "\xC9"},  // É sorts after E and before F
                 {"X5", "E"},
                 {"X6", " F"}});  // blanks around a prefix are not part of it
    const AwardResult r = evaluate("Mixed", Basis::Contacted);
    EXPECT_EQ(prefixesOf(r), "a B E EA \xC9 F f");
    EXPECT_EQ(r.count, 7u);
    EXPECT_EQ(r.lines[5].substr(0, 9), "     6 B1");
    EXPECT_EQ(r.lines[6].substr(0, 9), "     7 A1");
}

TEST_F(AwardEvaluationTest, ModeAwardsCountTheirModeClass) {
    station.set({{"A1", "A", "SSB", "14 Mhz ", ' '},
                 {"A2", "A", "CW"},
                 {"B1", "B", "PSK"},
                 {"B2", "B", "RTT"},
                 {"C1", "C", "DIG"},
                 {"D1", "D", "FT8"},
                 {"E1", "E", "ssb"},
                 {"G1", "G", "SAT"},
                 {"H1", "H", "USB"},
                 {"I1", "I", "FM"}});
    struct Row {
        const char* award;
        Basis basis;
        const char* prefixes;
    };
    const Row rows[] = {
        {"SSB", Basis::Confirmed, "H I"},    {"SSB", Basis::Contacted, "A H I"},
        {"CW", Basis::Confirmed, "A"},       {"CW", Basis::Contacted, "A"},
        {"RTTY", Basis::Confirmed, "B C D"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.award) + (r.basis == Basis::Confirmed ? " confirmed" : ""));
        EXPECT_EQ(prefixesOf(evaluate(r.award, r.basis)), r.prefixes);
    }
}

TEST_F(AwardEvaluationTest, BandAwardsMatchTrimmedLabelsAndGradeWithTheirTable) {
    station.set({{"A1", "A", "SSB", "14 Mhz "},
                 {"B1", "B", "SSB", "14 Mhz ", ' '},
                 {"C1", "C", "SSB", "14 Mhz ", ' '},
                 {"C2", "C", "SSB", "21 Mhz "},
                 {"D1", "D", "CW", "50 Mhz "},
                 {"E1", "E", "CW", "432 Mhz"}});
    struct Row {
        const char* award;
        Basis basis;
        const char* prefixes;
        const char* label1;
        const char* label4;
    };
    const Row rows[] = {
        {"14 Mhz ", Basis::Confirmed, "A",
         " 1 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC 14 Mhz ",
         "Il vous manque 99 préfixes confirmés"},
        {"14 Mhz ", Basis::Contacted, "A B C", " 3 préfixes contactés", ""},
        {"21 Mhz ", Basis::Confirmed, "C",
         " 1 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC 21 Mhz ",
         "Il vous manque 99 préfixes confirmés"},
        {"50 Mhz ", Basis::Confirmed, "D",
         "Vous ne pouvez pas encore obtenir le diplôme DXCC 50 Mhz ",
         "Il vous manque  99 préfixes confirmés"},
        {"7.0 Mhz", Basis::Confirmed, "",
         " 0 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC 7.0 Mhz",
         "Il vous manque 100 préfixes confirmés"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.award);
        const AwardResult result = evaluate(r.award, r.basis);
        EXPECT_EQ(prefixesOf(result), r.prefixes);
        EXPECT_EQ(result.label1, r.label1);
        EXPECT_EQ(result.label4, r.label4);
    }
}

TEST_F(AwardEvaluationTest, FiveBandListsOneSectionPerBandAndNamesWhatIsMissing) {
    const int counts[] = {40, 120, 99, 100, 100};
    std::vector<AwardQso> qsos;
    for (size_t b = 0; b < 5; ++b) {
        const std::string band = padRight(fiveBandParts()[b].band, kBandWidth);
        for (int i = 0; i < counts[b]; ++i)
            qsos.push_back({"X" + std::to_string(i), "P" + std::to_string(1000 + i), "CW", band});
    }
    // Not counted: unconfirmed, no prefix, bands of no section.
    qsos.push_back({"Y1", "NEW", "CW", "3.5 Mhz", ' '});
    qsos.push_back({"Y2", "", "CW", "3.5 Mhz"});
    qsos.push_back({"Y3", "TEN", "CW", "10 Mhz "});
    qsos.push_back({"Y4", "SIX", "CW", "50 Mhz "});
    station.set(qsos);
    const AwardResult r = evaluate("5 bandes");
    EXPECT_EQ(r.sectionCounts, (std::vector<size_t>{40, 120, 99, 100, 100}));
    ASSERT_EQ(r.lines.size(), 459u + 5u);
    for (size_t end : {40, 161, 261, 362, 463}) EXPECT_EQ(r.lines[end], "") << end;
    EXPECT_EQ(r.lines[41].substr(0, 6), "     1");
    EXPECT_EQ(r.lines[41].substr(kLineBandAt, kBandWidth), "7.0 Mhz");
    EXPECT_EQ(r.label1, "Vous ne pouvez pas encore obtenir le diplôme DXCC 5 bandes");
    EXPECT_EQ(r.label4, "Il manque  60 QSL sur 3.5 Mhz  1 QSL sur 14 Mhz ");
}

TEST_F(AwardEvaluationTest, FiveBandShowsAnEntityOncePerBandWithThatBandsQso) {
    std::vector<AwardQso> qsos;
    for (const FiveBandPart& part : fiveBandParts())
        qsos.push_back({"F" + std::string(part.band.substr(0, 2)), "F", "SSB",
                        padRight(part.band, kBandWidth)});
    station.set(qsos);
    const AwardResult r = evaluate("5 bandes");
    ASSERT_EQ(r.lines.size(), 10u);
    for (size_t b = 0; b < 5; ++b) {
        EXPECT_EQ(r.lines[2 * b], listed("     1", qsos[b]));
        EXPECT_EQ(r.lines[2 * b + 1], "");
    }
}

TEST(FiveBandLabelsTest, AwardWhenEveryBandHasAHundred) {
    struct Row {
        std::vector<size_t> counts;
        const char* label1;
        const char* label4;
    };
    const char* notYet = "Vous ne pouvez pas encore obtenir le diplôme DXCC 5 bandes";
    const Row rows[] = {
        {{100, 100, 100, 100, 100}, "Bravo vous pouvez obtenir le diplôme DXCC 5 bandes", ""},
        {{150, 340, 101, 100, 999}, "Bravo vous pouvez obtenir le diplôme DXCC 5 bandes", ""},
        {{100, 100, 100, 100, 99}, notYet, "Il manque  1 QSL sur 28 Mhz"},
        {{0, 100, 100, 100, 100}, notYet, "Il manque  100 QSL sur 3.5 Mhz "},
    };
    for (const Row& r : rows) {
        const AwardLabels labels = fiveBandLabels(r.counts);
        EXPECT_EQ(labels.label1, r.label1);
        EXPECT_EQ(labels.label4, r.label4);
    }
}

TEST_F(AwardEvaluationTest, SatelliteTakesSatInAnyCaseAndResultsDependOnlyOnTheLog) {
    station.set({{"A1", "A", "SAT", "144 Mhz"},
                 {"B1", "B", "sat", "432 Mhz"},
                 {"C1", "C", "Sat", "144 Mhz", ' '},
                 {"D1", "D", "SSB", "144 Mhz"}});
    const AwardResult first = evaluate("Satellite", Basis::Contacted);
    const AwardResult confirmed = evaluate("Satellite", Basis::Confirmed);
    const AwardResult again = evaluate("Satellite", Basis::Contacted);
    EXPECT_EQ(prefixesOf(first), "A B C");
    EXPECT_EQ(first.label1, " 3 préfixes contactés,");
    EXPECT_EQ(prefixesOf(confirmed), "A B");
    EXPECT_EQ(confirmed.label1, "Vous ne pouvez pas encore obtenir le diplôme DXCC Satellite");
    EXPECT_EQ(confirmed.label4, "Il vous manque  98 préfixes confirmés");
    EXPECT_EQ(again.lines, first.lines);
    EXPECT_EQ(again.label1, first.label1);
}

TEST_F(AwardEvaluationTest, EveryLineOfALongLogIsEvaluated) {
    // Beyond what a list indexed with 16-bit numbers could hold.
    std::vector<std::string> records(40000, awardRecord({"F5AAA", "F"}));
    records[35000] = awardRecord({"AA1A", "AA", "SSB", "14 Mhz ", ' '});
    records.back() = awardRecord({"ZZ1Z", "ZZ"});
    station.setRecords(records);
    EXPECT_EQ(prefixesOf(evaluate("Mixed", Basis::Contacted)), "AA F ZZ");
    EXPECT_EQ(prefixesOf(evaluate("Mixed", Basis::Confirmed)), "F ZZ");
}

}  // namespace
}  // namespace dxcc

namespace dxcc {
namespace {

TEST_F(AwardEvaluationTest, HeadingWordsStandOverTheFieldsOfTheEntityLine) {
    const AwardQso q{"F5ABC", "F", "CW", "14 Mhz ", '*', "01/02/08"};
    station.set({q});
    const std::string line = evaluate("Mixed").lines.at(0);
    const std::string heading = entityListHeading();
    // 0-based character position of `word` in the UTF-8 heading.
    auto positionOf = [&](std::string_view word) {
        const size_t byte = heading.find(word);
        EXPECT_NE(byte, std::string::npos) << word;
        size_t chars = 0;
        for (size_t i = 0; i < byte; ++i)
            if ((static_cast<unsigned char>(heading[i]) & 0xC0) != 0x80) ++chars;
        return chars;
    };
    struct Row {
        std::string_view word;
        std::string_view fieldText;
    };
    const Row rows[] = {{"Indicatif", "F5ABC"}, {"Prénom", "JEAN"},        {"Date", "01/02/08"},
                        {"QTR", "12:35"},       {"Mode", "CW "},           {"QRG", "14 Mhz"},
                        {"Préfixe", "F     "},  {"Contrée DXCC", "France"}};
    for (const Row& r : rows) EXPECT_EQ(positionOf(r.word), line.find(r.fieldText)) << r.word;
    // "QSL" is centred over the mark, "N°" ends over the ordinal's last digit.
    EXPECT_EQ(positionOf("QSL") + 1, line.rfind('*'));
    EXPECT_EQ(positionOf("N°") + 1, line.find("1 F5ABC"));
}

}  // namespace
}  // namespace dxcc
