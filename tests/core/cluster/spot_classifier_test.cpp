#include "core/cluster/spot_classifier.h"

#include <gtest/gtest.h>

#include <map>

#include "core/prefixes/prefix_table.h"

namespace dxcc::cluster {
namespace {

// Statuses by key: "F" for the entity, "F|14 Mhz" for a band, "F|CW" for a class.
struct TableLookup : NeededLookup {
    std::map<std::string, Need, std::less<>> table;
    Need at(const std::string& key) const {
        auto it = table.find(key);
        return it == table.end() ? Need::Never : it->second;
    }
    Need entity(std::string_view p) const override { return at(std::string(p)); }
    Need band(std::string_view p, std::string_view b) const override {
        return at(std::string(p) + "|" + std::string(b));
    }
    // A spot of no class has no mode status: the lookup is never asked for None.
    Need mode(std::string_view p, ModeClass c) const override {
        EXPECT_NE(c, ModeClass::None);
        return at(std::string(p) + "|" + std::string(modeClassText(c)));
    }
};

PrefixTable prefixes() {
    std::string file;
    for (auto [call, name, dxcc] : {std::tuple{"F", "France", "F"},
                                    {"JA", "Japan", "JA"},
                                    {"VP8", "Falkland Islands", "VP8"},
                                    {"3B8", "Mauritius", "3B8"}})
        file += buildPrefixEntry(call, name, dxcc) + "\r\n";
    return PrefixTable::parse(file);
}

Spot spotAt(const char* dx, double khz, const char* comment = "") {
    Spot s;
    s.dx = dx;
    s.kilohertz = khz;
    s.frequencyText = std::to_string(khz);
    s.comment = comment;
    s.time = "1200";
    return s;
}

TEST(SpotMode, CommentWordsFirstThenTheBandPlan) {
    struct Case {
        const char* comment;
        double khz;
        ModeClass expected;
        const char* word;  // the mode the comment names
    };
    const Case cases[] = {
        {"CW 599", 14200, ModeClass::Cw, "CW"},  // the comment beats the segment
        {"ft8 -12dB", 14025, ModeClass::Digital, "FT8"},
        {"up 5 USB", 7010, ModeClass::Phone, "USB"},
        {"LSB", 3700, ModeClass::Phone, "LSB"},
        {"RTTY contest", 14085, ModeClass::Digital, "RTTY"},
        {"psk31", 14070.5, ModeClass::Digital, "PSK31"},
        {"FM", 145500, ModeClass::Phone, "FM"},
        {"(FT4)", 7047.5, ModeClass::Digital, "FT4"},
        {"CWOP SSBX", 14025, ModeClass::Cw, ""},  // no whole word: the plan says CW
        {"", 14025, ModeClass::Cw, ""},
        {"", 14074, ModeClass::Digital, ""},
        {"", 14100, ModeClass::None, ""},  // beacons
        {"", 14195, ModeClass::Phone, ""},
        {"", 1820, ModeClass::Cw, ""},
        {"", 3573, ModeClass::Digital, ""},
        {"", 10136, ModeClass::Digital, ""},
        {"", 28495, ModeClass::Phone, ""},
        {"", 50313, ModeClass::Digital, ""},
        {"", 144300, ModeClass::Phone, ""},
        {"", 6000, ModeClass::None, ""},  // out of the bands
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.comment) + " " + std::to_string(c.khz));
        const CommentMode named = modeOfComment(c.comment);
        EXPECT_EQ(named.word, c.word);
        EXPECT_EQ(
            named.modeClass != ModeClass::None ? named.modeClass : modeClassOfFrequency(c.khz),
            c.expected);
    }
}

TEST(SpotMode, TheWindowCallsDataModesDigitalAndShowsTheModeNamed) {
    const PrefixTable table = prefixes();
    TableLookup needed;
    struct Case {
        Spot spot;
        const char* shown;
    };
    const Case cases[] = {
        {spotAt("JA1ABC", 14074, "FT8 -12dB"), "Numérique (FT8)"},
        {spotAt("JA1ABC", 7047.5, "ft4"), "Numérique (FT4)"},
        {spotAt("JA1ABC", 14085, "RTTY"), "Numérique (RTTY)"},
        {spotAt("JA1ABC", 14074), "Numérique"},  // from the band plan: no mode named
        {spotAt("JA1ABC", 14025, "CW 599"), "CW"},
        {spotAt("JA1ABC", 14195, "SSB"), "SSB"},
        {spotAt("JA1ABC", 14195, "USB up 5"), "SSB (USB)"},
        {spotAt("JA1ABC", 14100), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        const ClassifiedSpot s = classifySpot(c.spot, table, needed);
        EXPECT_EQ(spotModeText(s), c.shown);
    }
    // The command line's report keeps the award's name of the class.
    const ClassifiedSpot ft8 = classifySpot(spotAt("JA1ABC", 14074, "FT8"), table, needed);
    EXPECT_NE(spotReportLine(ft8).find("\tRTTY\t"), std::string::npos);
}

TEST(SpotClassification, EntityBandClassAndColour) {
    const PrefixTable table = prefixes();
    TableLookup needed;
    needed.table = {{"JA", Need::Confirmed},     {"JA|14 Mhz", Need::Confirmed},
                    {"JA|CW", Need::Confirmed},  {"JA|7.0 Mhz", Need::Worked},
                    {"JA|SSB", Need::Confirmed}, {"F", Need::Worked},
                    {"F|14 Mhz", Need::Worked},  {"F|CW", Need::Worked},
                    {"VP8", Need::Confirmed},    {"VP8|14 Mhz", Need::Confirmed}};
    struct Case {
        Spot spot;
        const char* line;
        NeedColour colour;
    };
    const Case cases[] = {
        {spotAt("JA1ABC", 14025, "CW"),
         "1200\t14025.000000\tJA1ABC\t14 Mhz\tCW\tJA\tJapan\tC\tC\tC", NeedColour::Confirmed},
        {spotAt("JA1ABC", 7150, "SSB"),
         "1200\t7150.000000\tJA1ABC\t7.0 Mhz\tSSB\tJA\tJapan\tC\tW\tC", NeedColour::ToConfirm},
        {spotAt("F5XYZ", 14020), "1200\t14020.000000\tF5XYZ\t14 Mhz\tCW\tF\tFrance\tW\tW\tW",
         NeedColour::ToConfirm},
        {spotAt("VP8/G3XYZ", 14074),
         "1200\t14074.000000\tVP8/G3XYZ\t14 Mhz\tRTTY\tVP8\tFalkland Islands\tC\tC\tN",
         NeedColour::NewSlot},
        {spotAt("3B8CF", 10136, "FT8"),
         "1200\t10136.000000\t3B8CF\t10 Mhz\tRTTY\t3B8\tMauritius\tN\tN\tN", NeedColour::NewEntity},
        // Beacons: no class, so no mode status.
        {spotAt("JA1ABC", 14100), "1200\t14100.000000\tJA1ABC\t14 Mhz\t\tJA\tJapan\tC\tC\t",
         NeedColour::Confirmed},
        // A callsign the prefix file does not know: no entity, no statuses.
        {spotAt("QQ1ABC", 14025), "1200\t14025.000000\tQQ1ABC\t14 Mhz\tCW\t\t\t\t\t",
         NeedColour::Unknown},
        // Outside every band.
        {spotAt("JA1ABC", 6000), "1200\t6000.000000\tJA1ABC\t\t\tJA\tJapan\tC\t\t",
         NeedColour::Confirmed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const ClassifiedSpot s = classifySpot(c.spot, table, needed);
        EXPECT_EQ(spotReportLine(s), c.line);
        EXPECT_EQ(s.colour, c.colour);
        EXPECT_EQ(s.needed(), c.colour == NeedColour::NewEntity || c.colour == NeedColour::NewSlot);
    }
}

// A spot already classified; by default a CW spot on 14 MHz whose entity is
// confirmed.
ClassifiedSpot classified(const char* dx, const char* band = "14 Mhz",
                          ModeClass modeClass = ModeClass::Cw, bool needed = false) {
    ClassifiedSpot s;
    s.spot.dx = dx;
    s.band = band;
    s.modeClass = modeClass;
    s.dxccPrefix = "X";
    s.entityNeed = needed ? Need::Never : Need::Confirmed;
    return s;
}

TEST(SpotFilter, NeededBandsAndClasses) {
    const ClassifiedSpot cw20 = classified("A1A", "14 Mhz", ModeClass::Cw, true);
    const ClassifiedSpot ssb40 = classified("B1B", "7.0 Mhz", ModeClass::Phone, false);
    const ClassifiedSpot none = classified("C1C", "", ModeClass::None, true);
    SpotFilter all;
    SpotFilter needed;
    needed.neededOnly = true;
    SpotFilter band20;
    band20.bands = "|14 Mhz|";
    SpotFilter cwOrDigital;
    cwOrDigital.classes = uint8_t(1u << int(ModeClass::Cw) | 1u << int(ModeClass::Digital));
    for (auto [filter, expected] : {std::pair{all, std::array{true, true, true}},
                                    {needed, {true, false, true}},
                                    {band20, {true, false, false}},
                                    {cwOrDigital, {true, false, false}}}) {
        EXPECT_EQ(filter.accepts(cw20), expected[0]);
        EXPECT_EQ(filter.accepts(ssb40), expected[1]);
        EXPECT_EQ(filter.accepts(none), expected[2]);
    }
    // One label never matches inside another.
    SpotFilter band4;
    band4.bands = "|4 Mhz|";
    EXPECT_FALSE(band4.accepts(cw20));
    const ClassifiedSpot odd = classified("D1D", "4 Mhz", ModeClass::Cw, false);
    EXPECT_FALSE(band20.accepts(odd));
}

TEST(SpotList, SameCallOnSameBandWithinTenMinutesUpdatesItsRow) {
    SpotList list(3);
    auto spot = [](const char* dx, const char* band, const char* comment) {
        ClassifiedSpot s = classified(dx, band, ModeClass::Cw, false);
        s.spot.comment = comment;
        return s;
    };
    EXPECT_FALSE(list.add(spot("A1A", "14 Mhz", "first"), 0).updated);
    EXPECT_FALSE(list.add(spot("B1B", "14 Mhz", ""), 10).updated);
    EXPECT_FALSE(list.add(spot("A1A", "7.0 Mhz", ""), 20).updated);  // another band
    const auto again = list.add(spot("A1A", "14 Mhz", "second"), 599);
    EXPECT_TRUE(again.updated);
    EXPECT_EQ(again.row, 2u);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list.at(0).spot.comment, "second");
    EXPECT_EQ(list.at(1).band, "7.0 Mhz");
    EXPECT_EQ(list.at(2).spot.dx, "B1B");
    // Ten minutes after its last sighting, a spot is a new row; the oldest goes.
    const auto later = list.add(spot("A1A", "14 Mhz", "third"), 599 + 601);
    EXPECT_FALSE(later.updated);
    EXPECT_TRUE(later.dropped);
    EXPECT_EQ(list.size(), 3u);
    EXPECT_EQ(list.at(0).spot.comment, "third");
    EXPECT_EQ(list.at(1).spot.comment, "second");
    EXPECT_EQ(list.at(2).band, "7.0 Mhz");
}

TEST(SpotList, ClassifiesItsSpotsAgainWhenTheLogChanges) {
    const PrefixTable table = prefixes();
    TableLookup needed;
    SpotList list;
    list.add(classifySpot(spotAt("JA1ABC", 14025, "CW"), table, needed), 0);
    list.add(classifySpot(spotAt("F5XYZ", 7010), table, needed), 1);
    EXPECT_EQ(list.at(0).colour, NeedColour::NewEntity);
    // France is worked on 7 MHz in CW: its row is now only to confirm.
    needed.table = {{"F", Need::Worked}, {"F|7.0 Mhz", Need::Worked}, {"F|CW", Need::Worked}};
    list.reclassify(table, needed);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.at(0).spot.dx, "F5XYZ");
    EXPECT_EQ(list.at(0).colour, NeedColour::ToConfirm);
    EXPECT_EQ(list.at(1).colour, NeedColour::NewEntity);
    // The rows keep what makes a sighting the same spot.
    EXPECT_TRUE(list.add(classifySpot(spotAt("F5XYZ", 7011), table, needed), 2).updated);
}

// The rows of a list as "DX band comment", top first.
std::vector<std::string> rowsOf(const SpotList& list) {
    std::vector<std::string> rows;
    for (size_t i = 0; i < list.size(); ++i)
        rows.push_back(list.at(i).spot.dx + " " + list.at(i).band + " " + list.at(i).spot.comment);
    return rows;
}

void addBatch(SpotList& list, std::vector<ClassifiedSpot> spots, int64_t at,
              std::vector<bool>* newRow = nullptr) {
    const SpotList::BatchPlan plan = list.planBatch(spots, at);
    for (const auto& [first, count] : plan.removedRuns()) list.removeRows(first, count);
    std::vector<ClassifiedSpot> top;
    for (size_t i : plan.top) top.push_back(spots[i]);
    list.addOnTop(std::move(top), at);
    if (newRow) *newRow = plan.newRow;
}

TEST(SpotList, ABatchEndsAsTheSameSpotsAddedOneByOne) {
    uint32_t seed = 99;
    const auto random = [&seed](uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 16) % n;
    };
    const char* calls[] = {"A1A", "B1B", "C1C", "D1D", "E1E", "F1F", "G1G"};
    const char* bands[] = {"14 Mhz", "7.0 Mhz"};
    for (size_t capacity : {3u, 5u, 50u}) {
        SpotList oneByOne(capacity), batched(capacity);
        int64_t at = 0;
        for (int round = 0; round < 300; ++round) {
            at += random(400);  // now and then more than ten minutes apart
            std::vector<ClassifiedSpot> batch(random(8));
            for (ClassifiedSpot& s : batch) {
                s = classified(calls[random(7)], bands[random(2)], ModeClass::Cw, false);
                s.spot.comment = std::to_string(round);
            }
            for (const ClassifiedSpot& s : batch) oneByOne.add(s, at);
            addBatch(batched, batch, at);
            ASSERT_EQ(rowsOf(batched), rowsOf(oneByOne))
                << "capacity " << capacity << " round " << round;
        }
    }
}

TEST(SpotList, RemovedRowsGoAsRunsFromTheBottomUp) {
    SpotList::BatchPlan plan;
    plan.removed = {0, 1, 2, 5, 7, 8};
    EXPECT_EQ(plan.removedRuns(), (std::vector<std::pair<size_t, size_t>>{{7, 2}, {5, 1}, {0, 3}}));
    plan.removed.clear();
    EXPECT_TRUE(plan.removedRuns().empty());
}

TEST(SpotList, ABatchSaysWhichSpotsTookARowOfTheirOwn) {
    SpotList list(4);
    list.add(classified("A1A"), 0);
    list.add(classified("B1B"), 0);
    std::vector<bool> newRow;
    // A1A is seen again, C1C is new and seen twice in the batch.
    addBatch(list, {classified("C1C"), classified("A1A"), classified("C1C")}, 60, &newRow);
    EXPECT_EQ(newRow, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(rowsOf(list),
              (std::vector<std::string>{"C1C 14 Mhz ", "A1A 14 Mhz ", "B1B 14 Mhz "}));
    // More new spots than the list holds: the newest stay, the others took no row.
    addBatch(list,
             {classified("D1D"), classified("E1E"), classified("F1F"), classified("G1G"),
              classified("H1H")},
             120, &newRow);
    EXPECT_EQ(newRow, (std::vector<bool>{false, true, true, true, true}));
    EXPECT_EQ(rowsOf(list), (std::vector<std::string>{"H1H 14 Mhz ", "G1G 14 Mhz ", "F1F 14 Mhz ",
                                                      "E1E 14 Mhz "}));
    // The rows that went are forgotten: C1C is new again.
    addBatch(list, {classified("C1C")}, 130, &newRow);
    EXPECT_EQ(newRow, std::vector<bool>{true});
}

TEST(SpotList, KeepsTheNewestTwoThousand) {
    SpotList list;
    for (int i = 0; i < 5000; ++i) list.add(classified(("K" + std::to_string(i) + "A").c_str()), i);
    ASSERT_EQ(list.size(), SpotList::kDefaultCapacity);
    EXPECT_EQ(list.at(0).spot.dx, "K4999A");
    EXPECT_EQ(list.at(1999).spot.dx, "K3000A");
    // A spot that went with the oldest rows is new again; one still listed is found.
    EXPECT_FALSE(list.add(classified("K2999A"), 5000).updated);
    EXPECT_TRUE(list.add(classified("K4500A"), 5000).updated);
    EXPECT_TRUE(list.add(classified("K2999A"), 5001).updated);
}

}  // namespace
}  // namespace dxcc::cluster
