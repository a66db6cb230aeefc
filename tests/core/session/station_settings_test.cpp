#include "core/session/station_settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "core/base/program_constants.h"
#include "memory_settings.h"

namespace dxcc {
namespace {

using testing_support::MemorySettings;

struct Stored {
    std::shared_ptr<MemorySettings> store = std::make_shared<MemorySettings>();
    StationSettings settings{store};
    Stored() { settings.follow("F6XYZ_P"); }
};

// A settings file of an earlier run reads as it was written: every key where
// the program has always kept it, a value that cannot be read gives the
// default.
TEST(StationSettings, ReadEachValueFromItsKeyOrItsDefault) {
    struct Case {
        const char* section;
        const char* key;
        const char* value;  // nullptr: not stored
        std::function<std::string(const StationSettings&)> read;
        const char* expected;
    };
    const Case cases[] = {
        {"Setup ", "Indicatif Station", "F6ABC", [](auto& s) { return s.chosenStation(); },
         "F6ABC"},
        {"Setup ", "Indicatif Station", nullptr, [](auto& s) { return s.chosenStation(); },
         "FXXXX"},
        {"Setup ", "Fenetre Principale", "AdnQyw==", [](auto& s) { return s.mainWindowGeometry(); },
         "AdnQyw=="},
        {"Setup ", "Cluster Hote", " dxc.example.org ", [](auto& s) { return s.cluster().host; },
         "dxc.example.org"},
        {"Setup ", "Cluster Port", "7373", [](auto& s) { return std::to_string(s.cluster().port); },
         "7373"},
        {"Setup ", "Cluster Port", "0", [](auto& s) { return std::to_string(s.cluster().port); },
         "7300"},
        {"Setup ", "Cluster Port", "70000",
         [](auto& s) { return std::to_string(s.cluster().port); }, "7300"},
        {"Setup ", "Cluster Port", "x", [](auto& s) { return std::to_string(s.cluster().port); },
         "7300"},
        {"Setup ", "Cluster Indicatif", "F5ZZZ", [](auto& s) { return s.cluster().login; },
         "F5ZZZ"},
        // No login of its own: the station's callsign, as it is written.
        {"Setup ", "Cluster Indicatif", nullptr, [](auto& s) { return s.cluster().login; },
         "F6XYZ/P"},
        {"Setup ", "Cluster Indicatif", "  ", [](auto& s) { return s.cluster().login; }, "F6XYZ/P"},
        {"Setup ", "Cluster Sonnerie", "Oui",
         [](auto& s) { return std::string(s.cluster().bell ? "on" : "off"); }, "on"},
        {"Setup ", "Cluster Sonnerie", "oui",
         [](auto& s) { return std::string(s.cluster().bell ? "on" : "off"); }, "off"},
        {"Setup ", "Cluster Connecte", "Oui",
         [](auto& s) { return std::string(s.cluster().connected ? "on" : "off"); }, "on"},
        {"Setup ", "Cluster Connecte", nullptr,
         [](auto& s) { return std::string(s.cluster().connected ? "on" : "off"); }, "off"},
        {"Setup ", "Rig Modele", "1035", [](auto& s) { return std::to_string(s.radio().model); },
         "1035"},
        {"Setup ", "Rig Modele", "abc", [](auto& s) { return std::to_string(s.radio().model); },
         "0"},
        {"Setup ", "Rig Port", "/dev/ttyUSB0", [](auto& s) { return s.radio().port; },
         "/dev/ttyUSB0"},
        {"Setup ", "Rig Vitesse", "9600", [](auto& s) { return std::to_string(s.radio().speed); },
         "9600"},
        {"Setup ", "WSJTX Adresse", nullptr, [](auto& s) { return s.digitalLink().address; },
         "127.0.0.1"},
        {"Setup ", "WSJTX Adresse", "224.0.0.1", [](auto& s) { return s.digitalLink().address; },
         "224.0.0.1"},
        {"Setup ", "WSJTX Port", nullptr,
         [](auto& s) { return std::to_string(s.digitalLink().port); }, "2237"},
        {"Setup ", "WSJTX Port", "2238",
         [](auto& s) { return std::to_string(s.digitalLink().port); }, "2238"},
        {"Setup ", "WSJTX Port", "70000",
         [](auto& s) { return std::to_string(s.digitalLink().port); }, "2237"},
        // The switches that are on unless the operator turned them off.
        {"Setup ", "WSJTX Surlignage", nullptr,
         [](auto& s) { return std::string(s.digitalLink().highlights ? "on" : "off"); }, "on"},
        {"Setup ", "WSJTX Surlignage", "Non",
         [](auto& s) { return std::string(s.digitalLink().highlights ? "on" : "off"); }, "off"},
        {"Setup ", "WSJTX Son", "n'importe",
         [](auto& s) { return std::string(s.digitalLink().sound ? "on" : "off"); }, "on"},
        {"Setup ", "WSJTX Suivre DX", "Non",
         [](auto& s) { return std::string(s.digitalLink().followDxCall ? "on" : "off"); }, "off"},
        // Those that are off unless turned on.
        {"Setup ", "WSJTX Demander", nullptr,
         [](auto& s) { return std::string(s.digitalLink().askBeforeLogging ? "on" : "off"); },
         "off"},
        {"Setup ", "WSJTX Demander", "Oui",
         [](auto& s) { return std::string(s.digitalLink().askBeforeLogging ? "on" : "off"); },
         "on"},
        {"Setup ", "WSJTX Ecoute", "Oui",
         [](auto& s) { return std::string(s.digitalLink().listening ? "on" : "off"); }, "on"},
        {"Setup ", "WSJTX Ecoute", "oui",
         [](auto& s) { return std::string(s.digitalLink().listening ? "on" : "off"); }, "off"},
        {"Setup F6XYZ_P", "Date Auto", "Non",
         [](auto& s) { return std::string(s.automaticDate() ? "auto" : "manual"); }, "manual"},
        {"Setup F6XYZ_P", "Date Auto", nullptr,
         [](auto& s) { return std::string(s.automaticDate() ? "auto" : "manual"); }, "auto"},
        // Another station's setting is not this one's.
        {"Setup F1AAA", "Date Auto", "Non",
         [](auto& s) { return std::string(s.automaticDate() ? "auto" : "manual"); }, "auto"},
        {"Setup F6XYZ_P", "Locator", "JN18du", [](auto& s) { return s.locator(); }, "JN18du"},
        {"Setup F6XYZ_P", "bande Utilisee", "4", [](auto& s) { return std::string(s.bandLabel()); },
         "14 Mhz "},
        {"Setup F6XYZ_P", "Mode Utilise", "1", [](auto& s) { return std::string(s.modeLabel()); },
         "CW"},
        // A typed band or mode of none of the lists: the lists' first.
        {"Setup F6XYZ_P", "bande Utilisee", "-1",
         [](auto& s) { return std::string(s.bandLabel()); }, "1.8 Mhz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key + " = " + (c.value ? c.value : "(none)"));
        Stored s;
        if (c.value) s.store->set(c.section, c.key, c.value);
        EXPECT_EQ(c.read(s.settings), c.expected);
    }
    // Without a store, every value is its default and nothing fails.
    StationSettings none;
    EXPECT_EQ(none.chosenStation(), kNoStation);
    none.setAutomaticDate(false);
    EXPECT_TRUE(none.automaticDate());
    EXPECT_EQ(none.cluster().port, 7300);
}

TEST(StationSettings, WriteEachValueUnderItsKey) {
    Stored s;
    s.settings.setChosenStation("F6XYZ_P");
    s.settings.setMainWindowGeometry("AdnQyw==");
    s.settings.setClusterServer(" dxc.example.org ", 7373, " F5ZZZ ");
    s.settings.setClusterBell(true);
    s.settings.setClusterConnected(false);
    s.settings.setRadio({2, "127.0.0.1:4532 ", 0});
    s.settings.setDigitalLink({"127.0.0.1", 2238, false, true, false, true, true});
    s.settings.setDigitalListening(true);
    s.settings.setAutomaticDate(false);
    s.settings.noteRevision();
    s.settings.startNewStation("F1NEW");
    s.settings.setProgramDirectory(std::filesystem::path(u8"/home/jérôme/VEL_DXCC"));
    EXPECT_EQ(s.store->values, (std::map<std::string, std::string>{
                                   {"Setup /Indicatif Station", "F6XYZ_P"},
                                   {"Setup /Fenetre Principale", "AdnQyw=="},
                                   {"Setup /Cluster Hote", "dxc.example.org"},
                                   {"Setup /Cluster Port", "7373"},
                                   {"Setup /Cluster Indicatif", "F5ZZZ"},
                                   {"Setup /Cluster Sonnerie", "Oui"},
                                   {"Setup /Cluster Connecte", "Non"},
                                   {"Setup /Rig Modele", "2"},
                                   {"Setup /Rig Port", "127.0.0.1:4532"},
                                   {"Setup /Rig Vitesse", "0"},
                                   {"Setup /WSJTX Adresse", "127.0.0.1"},
                                   {"Setup /WSJTX Port", "2238"},
                                   {"Setup /WSJTX Surlignage", "Non"},
                                   {"Setup /WSJTX Son", "Oui"},
                                   {"Setup /WSJTX Suivre DX", "Non"},
                                   {"Setup /WSJTX Demander", "Oui"},
                                   {"Setup /WSJTX Ecoute", "Oui"},
                                   {"Setup F6XYZ_P/Date Auto", "Non"},
                                   {"Setup F6XYZ_P/Revision", std::string(kRevision)},
                                   {"Setup F1NEW/bande Utilisee", "0"},
                                   {"Setup F1NEW/Mode Utilise", "0"},
                                   {"Setup /Chemin Repertoire", "/home/jérôme/VEL_DXCC"},
                               }));
}

// The stored position of the band and mode boxes: -1 is a text of none of the
// list; anything else outside the list, or unreadable, the first entry.
TEST(StationSettings, StoredPositionsOutsideTheListsSelectTheFirstEntry) {
    const std::pair<const char*, int> values[] = {
        {"0", 0}, {"11", 11}, {"-1", -1}, {"12", 0},          {"-2", 0},
        {"", 0},  {"abc", 0}, {"3x", 0},  {"99999999999", 0},
    };
    for (const auto& [value, band] : values) {
        SCOPED_TRACE(value);
        Stored s;
        s.store->set("Setup F6XYZ_P", "bande Utilisee", value);
        s.store->set("Setup F6XYZ_P", "Mode Utilise", value);
        EXPECT_EQ(s.settings.bandPosition(), band);
        // Four modes: 11 is outside their list.
        EXPECT_EQ(s.settings.modePosition(), band == 11 ? 0 : band);
    }
}

// Leaving a box after looking at a logged line or at the radio's band is not
// choosing; Enter on an entry of the list is, and so is any other key.
TEST(StationSettings, OnlyAChoiceOfTheOperatorIsStoredAsTheBoxPosition) {
    struct Case {
        BoxChoice choice;
        std::optional<int> position;
    };
    const Case cases[] = {
        {{"14 Mhz ", false, false, false}, 4},      {{"14 MHZ", false, false, true}, 4},
        {{"60M", false, false, true}, -1},          {{"14 Mhz ", true, false, false}, std::nullopt},
        {{"14 Mhz ", true, false, true}, 4},        {{"60M", true, false, true}, std::nullopt},
        {{"60M", false, true, true}, std::nullopt}, {{"14 Mhz ", false, true, false}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.choice.text) + (c.choice.showsLoggedLine ? " line" : "") +
                     (c.choice.showsRadioBand ? " radio" : "") + (c.choice.enter ? " enter" : ""));
        EXPECT_EQ(chosenPosition(c.choice, kBands), c.position);
        Stored s;
        s.store->set("Setup F6XYZ_P", "bande Utilisee", "9");
        EXPECT_EQ(s.settings.chooseBand(c.choice), c.position.has_value());
        EXPECT_EQ(s.settings.bandPosition(), c.position.value_or(9));
    }
    Stored s;
    EXPECT_TRUE(s.settings.chooseMode({"cw", false, false, true}));
    EXPECT_EQ(s.store->get("Setup F6XYZ_P", "Mode Utilise", ""), "1");
}

// The locator is stored in its normal form, a malformed one refused; giving
// the station up forgets its locator and no other station's.
TEST(StationSettings, TheLocatorIsCheckedStoredAndForgottenWithItsStation) {
    Stored s;
    EXPECT_FALSE(s.settings.stationPosition());
    EXPECT_TRUE(s.settings.setLocator(" jn18DU "));
    EXPECT_EQ(s.store->get("Setup F6XYZ_P", "Locator", ""), "JN18du");
    ASSERT_TRUE(s.settings.stationPosition());
    EXPECT_NEAR(s.settings.stationPosition()->latitude, 48.854, 0.001);
    for (const char* bad : {"JN1", "ZZ99zz", "JN18du7"}) {
        EXPECT_FALSE(s.settings.setLocator(bad)) << bad;
        EXPECT_EQ(s.settings.locator(), "JN18du") << bad;
    }
    // A hand-edited value the program would not store places nothing.
    s.store->set("Setup F6XYZ_P", "Locator", "JN1");
    EXPECT_FALSE(s.settings.stationPosition());

    s.settings.setLocator("JN18du");
    s.store->set("Setup F1AAA", "Locator", "IO91wm");
    s.settings.setChosenStation("F6XYZ_P");
    s.settings.forgetStation();
    EXPECT_EQ(s.settings.chosenStation(), kNoStation);
    EXPECT_EQ(s.settings.locator(), "");
    EXPECT_EQ(s.store->get("Setup F1AAA", "Locator", ""), "IO91wm");
    EXPECT_TRUE(s.settings.setLocator(""));
    EXPECT_EQ(s.store->get("Setup F6XYZ_P", "Locator", "none"), "");
}

}  // namespace
}  // namespace dxcc
