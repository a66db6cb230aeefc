#include "core/digital/decode_classifier.h"

#include <gtest/gtest.h>

#include "core/digital/worked_callsigns.h"
#include "core/prefixes/entity_data.h"
#include "station_log.h"

namespace dxcc::digital {
namespace {

using testing_support::loggedLine;

// A log of three contacts: the United States confirmed in FT8 on 20 m,
// France worked in SSB on 40 m, England worked in FT8 on 20 m unconfirmed.
struct Fixture {
    Fixture() {
        station.log.createEmptyLog("F6XYZ");
        for (const std::string& line :
             {loggedLine("K1ABC", "", "01/02/24", "10:00", "FT8", "14 Mhz ", "-5", "-7", '*'),
              loggedLine("F5AAA", "", "02/02/24", "10:00", "SSB", "7.0 Mhz", "59", "59", ' '),
              loggedLine("G4ABC", "", "03/02/24", "10:00", "FT8", "14 Mhz ", "-9", "-3", ' ')})
            station.log.appendRecord(line);
        needed.rebuild(station.log);
        worked.bringUpToDate(station.log);
    }
    ClassifiedDecode classify(const std::string& message, uint64_t dialHz,
                              std::optional<geo::LatLon> here = std::nullopt) const {
        Status status;
        status.dialFrequencyHz = dialHz;
        status.mode = "FT8";
        Decode decode;
        decode.mode = "~";
        decode.message = message;
        decode.time = 45'296'000;  // 12:34:56
        decode.snr = -12;
        const DecodeContext context{testing_support::adifTestPrefixes(), needed, entities, here,
                                    worked};
        return classifyDecode(decode, tuningOf(status), context);
    }

    testing_support::StationLog station;
    NeededIndex needed;
    WorkedCallsigns worked;
    EntityData entities = EntityData::parse(
        "K\tUnited States\t37.53\t-91.67\tNA\t5\t8\t-5\t291\n"
        "VP8\tFalkland Is.\t-51.63\t-58.72\tSA\t13\t16\t-4\t141\n"
        "F\tFrance\t46\t2\tEU\t14\t27\t1\t227\n");
};

TEST(DecodeClassification, GivesTheStationItsEntityStatusesAndColour) {
    const Fixture f;
    struct Case {
        const char* message;
        uint64_t dial;
        const char* call;
        const char* prefix;
        const char* continent;
        const char* needs;  // entity, band, mode letters ("" where none)
        NeedColour colour;
        bool workedBefore;
    };
    const Case cases[] = {
        {"CQ VP8LP GD18", 14'074'000, "VP8LP", "VP8", "SA", "NNN", NeedColour::NewEntity, false},
        // France worked in phone on 40 m: a new band and a new class on 20 m.
        {"CQ DX F5ABC JN18", 14'074'000, "F5ABC", "F", "EU", "WNN", NeedColour::NewSlot, false},
        {"K1ABC F5AAA -09", 7'074'000, "F5AAA", "F", "EU", "WWN", NeedColour::NewSlot, true},
        {"W1AW K1ABC RR73", 14'074'000, "K1ABC", "K", "NA", "CCC", NeedColour::Confirmed, true},
        {"CQ K9XYZ EN52", 7'074'000, "K9XYZ", "K", "NA", "CNC", NeedColour::NewSlot, false},
        {"CQ G4XYZ IO91", 14'074'000, "G4XYZ", "G", "", "WWW", NeedColour::ToConfirm, false},
        // A dial outside the bands: no band status, the rest still said.
        {"CQ G4XYZ IO91", 123'000, "G4XYZ", "G", "", "WW", NeedColour::ToConfirm, false},
        {"CQ 3Y0J JD15", 14'074'000, "3Y0J", "", "", "", NeedColour::Unknown, false},
        {"TNX BOB 73 GL          ", 14'074'000, "", "", "", "", NeedColour::Unknown, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const ClassifiedDecode d = f.classify(c.message, c.dial);
        EXPECT_EQ(d.callsign(), c.call);
        EXPECT_EQ(d.dxccPrefix, c.prefix);
        EXPECT_EQ(d.continent, c.continent);
        std::string needs;
        for (const auto& n : {d.entityNeed, d.bandNeed, d.modeNeed})
            if (n) needs += static_cast<char>(*n);
        EXPECT_EQ(needs, c.needs);
        EXPECT_EQ(d.colour, c.colour);
        EXPECT_EQ(d.workedBefore, c.workedBefore);
        EXPECT_EQ(d.needed(), needs.find('N') != std::string::npos);
    }
}

TEST(DecodeClassification, PlacesTheStationByItsGridElseByItsEntity) {
    const Fixture f;
    const geo::LatLon paris = *geo::locatorCenter("JN18du");
    const ClassifiedDecode byGrid = f.classify("CQ K1ABC FN42", 14'074'000, paris);
    const ClassifiedDecode byEntity = f.classify("F5AAA K1ABC -09", 14'074'000, paris);
    ASSERT_TRUE(byGrid.km && byEntity.km);
    // FN42 (Boston) lies some 5,500 km away, north-west; the entity's centre
    // (Missouri) further, more to the west.
    EXPECT_NEAR(*byGrid.km, 5530, 60);
    EXPECT_NEAR(*byGrid.heading, 292, 2);
    EXPECT_NEAR(*byEntity.km, 7300, 150);
    EXPECT_NEAR(*byEntity.heading, 299, 2);
    EXPECT_FALSE(f.classify("CQ K1ABC FN42", 14'074'000).km) << "no station locator";
}

TEST(DecodeClassification, ReportLineHasTheDocumentedColumns) {
    const Fixture f;
    EXPECT_EQ(decodeReportLine(f.classify("CQ DX F5ABC JN18", 14'074'000)),
              "123456\t-12\t14 Mhz\tFT8\tF5ABC\tJN18\tF\tFrance\tW\tN\tN");
    EXPECT_EQ(decodeReportLine(f.classify("TNX BOB 73 GL", 0)), "123456\t-12\t\tFT8\t\t\t\t\t\t\t");
    EXPECT_EQ(decodeTimeText(0), "000000");
    EXPECT_EQ(decodeTimeText(86'399'999), "235959");
    EXPECT_EQ(decodeTimeText(kInvalidTime), "");
}

TEST(DecoderTuning, BandOfTheDialAndModeOfTheSymbolFirst) {
    struct Case {
        uint64_t dial;
        const char* band;
    };
    for (const Case& c : {Case{14'074'000, "14 Mhz"}, Case{7'074'000, "7.0 Mhz"},
                          Case{50'313'000, "50 Mhz"}, Case{0, ""}, Case{999, ""}}) {
        Status s;
        s.dialFrequencyHz = c.dial;
        EXPECT_EQ(tuningOf(s).band, c.band) << c.dial;
    }
    Status ft8;
    ft8.mode = "FT8";
    const DecoderTuning tuning = tuningOf(ft8);
    Decode d;
    d.mode = "+";
    EXPECT_EQ(decodeMode(d, tuning), "FT4");
    d.mode = "?";
    EXPECT_EQ(decodeMode(d, tuning), "FT8");
    EXPECT_EQ(classOfDecoderMode("JT65"), ModeClass::Digital);
    EXPECT_EQ(classOfDecoderMode(""), ModeClass::None);
}

TEST(WorkedCallsigns, BuiltOnFirstUseFollowsInsertionsAndGoesStaleOnRemovals) {
    Fixture f;
    WorkedCallsigns lazy;
    EXPECT_FALSE(lazy.contains("K1ABC", "14 Mhz"));
    // A change seen before the first use is no reason for a pass.
    lazy.follow(f.station.log, LogChange{});
    EXPECT_TRUE(lazy.stale());
    lazy.bringUpToDate(f.station.log);
    EXPECT_TRUE(lazy.contains("G4ABC", "14 Mhz"));
    // Many contacts added one by one (merged into the array on the way).
    for (int i = 0; i < 5000; ++i) {
        const std::string call = "W" + std::to_string(i);
        f.station.log.appendRecord(
            loggedLine(call, "", "04/02/24", "10:00", "FT8", "14 Mhz ", "-1", "-2", ' '));
        lazy.follow(f.station.log,
                    LogChange{LogChange::Kind::Inserted, f.station.log.size() - 1, 1});
    }
    EXPECT_EQ(lazy.size(), 5003u);
    EXPECT_TRUE(lazy.contains("W0", "14 Mhz") && lazy.contains("W4999", "14 Mhz"));
    EXPECT_FALSE(lazy.contains("W5000", "14 Mhz"));
}

TEST(WorkedCallsigns, FollowsInsertionsAloneAndRemovalsByANewPass) {
    Fixture f;
    EXPECT_TRUE(f.worked.contains("K1ABC", "14 Mhz"));
    EXPECT_TRUE(f.worked.contains(" K1ABC ", "14 Mhz "));
    EXPECT_FALSE(f.worked.contains("K1ABC", "7.0 Mhz"));
    EXPECT_FALSE(f.worked.contains("K1AB", "14 Mhz"));
    const LogChange added = f.station.log.insertInDateOrder(
        loggedLine("VP8LP", "", "01/01/24", "09:00", "FT8", "7.0 Mhz", "-1", "-2", ' '));
    f.worked.follow(f.station.log, added);
    EXPECT_TRUE(f.worked.contains("VP8LP", "7.0 Mhz"));
    const LogChange removed = f.station.log.removeAt(0, f.station.log.record(0));
    f.worked.follow(f.station.log, removed);
    EXPECT_TRUE(f.worked.stale());
    f.worked.bringUpToDate(f.station.log);
    EXPECT_FALSE(f.worked.contains("VP8LP", "7.0 Mhz"));
    EXPECT_EQ(f.worked.size(), 3u);
}

}  // namespace
}  // namespace dxcc::digital
