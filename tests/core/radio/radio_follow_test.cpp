#include "core/radio/radio_follow.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

namespace dxcc::radio {
namespace {

constexpr std::array<std::string_view, 4> kModesToday{"SSB", "CW", "DIG", "SAT"};
constexpr std::array<std::string_view, 7> kModesWider{"SSB", "CW", "RTTY", "DIG", "FM", "AM", "SAT"};
constexpr std::array<std::string_view, 12> kBandItems{
    "1.8 Mhz", "3.5 Mhz", "7.0 Mhz", "10 Mhz ", "14 Mhz ", "18 Mhz ",
    "21 Mhz ", "24 Mhz ", "28 Mhz ", "50 Mhz ", "144 Mhz", "432 Mhz"};
constexpr size_t kSsb = 0, kCw = 1, kDig = 2;

TEST(RadioFollow, BandAndModeTheFormSelects) {
    struct Case {
        int64_t hertz;
        const char* mode;
        const char* band;
        std::optional<size_t> modeToday;
        std::optional<size_t> modeWider;
    };
    const Case cases[] = {
        {14'074'000, "PKTUSB", "14 Mhz ", kDig, 3},
        {14'195'000, "USB", "14 Mhz ", kSsb, 0},
        {7'150'000, "LSB", "7.0 Mhz", kSsb, 0},
        {7'010'000, "CWR", "7.0 Mhz", kCw, 1},
        {10'120'000, "CW", "10 Mhz ", kCw, 1},
        {14'085'000, "RTTY", "14 Mhz ", kDig, 2},
        {21'085'000, "RTTYR", "21 Mhz ", kDig, 2},
        {29'600'000, "FM", "28 Mhz ", std::nullopt, 4},  // no FM entry: the mode stays
        {3'700'000, "AM", "3.5 Mhz", std::nullopt, 5},
        {145'500'000, "FM", "144 Mhz", std::nullopt, 4},
        // Bands the box lacks: the log's own labels.
        {5'357'000, "USB", "60M", kSsb, 0},
        {70'200'000, "USB", "4M", kSsb, 0},
        {1'296'200'000, "CW", "1.3Ghz", kCw, 1},
        {6'000'000, "XYZ", "", std::nullopt, std::nullopt},  // between bands
        {0, "", "", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.hertz) + " " + c.mode);
        const RadioReading r{c.hertz, c.mode};
        EXPECT_EQ(formSelectionFor(r, kBandItems, kModesToday), (FormSelection{c.band, c.modeToday}));
        EXPECT_EQ(formSelectionFor(r, kBandItems, kModesWider).mode, c.modeWider);
    }
    EXPECT_EQ(formSelectionForSpot("60M", ModeClass::Cw, kBandItems, kModesToday),
              (FormSelection{"60M", kCw}));
    EXPECT_EQ(formSelectionForSpot("14 Mhz", ModeClass::Digital, kBandItems, kModesToday),
              (FormSelection{"14 Mhz ", kDig}));
}

TEST(RadioFollow, TheSpotsClassGivesTheRadiosMode) {
    struct Case {
        ModeClass modeClass;
        int64_t hertz;
        bool dataMode;
        std::string_view radioMode;
    };
    const Case cases[] = {
        {ModeClass::Cw, 14'025'000, true, "CW"},
        {ModeClass::Cw, 3'510'000, false, "CW"},
        {ModeClass::Phone, 14'250'000, true, "USB"},
        {ModeClass::Phone, 10'000'000, false, "USB"},  // from 10 MHz up
        {ModeClass::Phone, 9'999'999, false, "LSB"},
        {ModeClass::Phone, 7'150'000, false, "LSB"},
        {ModeClass::Digital, 7'074'000, true, "PKTUSB"},  // data on USB even below 10 MHz
        {ModeClass::Digital, 14'074'000, false, "USB"},
        {ModeClass::Satellite, 145'900'000, true, ""},
        {ModeClass::None, 14'000'000, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.hertz));
        EXPECT_EQ(radioModeForSpot(c.modeClass, c.hertz, c.dataMode), c.radioMode);
    }
}

TEST(RadioFollow, FrequenciesNoRadioCanBeOnAreNoReading) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double hertz;
        std::optional<int64_t> taken;
    };
    const Case cases[] = {
        {14'074'000.0, 14'074'000},
        {14'074'000.4, 14'074'000},
        {0.0, 0},
        {-0.0, 0},
        {300e9, 300'000'000'000},
        {std::nextafter(300e9, inf), std::nullopt},
        {-1.0, std::nullopt},
        {9.2e18, std::nullopt},
        {1e300, std::nullopt},
        {nan, std::nullopt},
        {-nan, std::nullopt},
        {inf, std::nullopt},
        {-inf, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hertz);
        EXPECT_EQ(radioHertz(c.hertz), c.taken);
    }
}

TEST(RadioFollow, FrequencyTexts) {
    EXPECT_EQ(frequencyText(14'074'000), "14 074,000 kHz");
    EXPECT_EQ(frequencyText(1'830'500), "1 830,500 kHz");
    EXPECT_EQ(frequencyText(145'500'000), "145 500,000 kHz");
    EXPECT_EQ(frequencyText(999), "0,999 kHz");
    EXPECT_EQ(frequencyText(0), "0,000 kHz");
    EXPECT_EQ(frequencyText(300'000'000'000), "300 000 000,000 kHz");
    // Never reached through a radio, still no undefined arithmetic.
    EXPECT_EQ(frequencyText(std::numeric_limits<int64_t>::min()), "-9 223 372 036 854 775,808 kHz");
    EXPECT_EQ(hertzOfKilohertz(14025.1), 14'025'100);
    EXPECT_EQ(hertzOfKilohertz(7013), 7'013'000);
}

// The form's side of a radio: readings in, what the form selects out, on a
// clock the test moves.
class FollowTest : public testing::Test {
protected:
    using Time = RadioFollow::Time;
    FormSelection read(int64_t hertz, const char* mode) {
        return follow.reading({hertz, mode}, now);
    }

    RadioFollow follow{kBandItems, kModesToday};
    Time now{100'000};
};

TEST_F(FollowTest, TheModeFollowsTheRadiosChangesOnly) {
    EXPECT_EQ(read(14'195'000, "USB"), (FormSelection{"14 Mhz ", kSsb}));
    // A frequency change alone leaves the form's mode (perhaps chosen by hand).
    EXPECT_EQ(read(14'200'000, "USB"), (FormSelection{"14 Mhz ", std::nullopt}));
    EXPECT_EQ(read(7'010'000, "CW"), (FormSelection{"7.0 Mhz", kCw}));
    EXPECT_EQ(read(5'357'000, "CW"), (FormSelection{"60M", std::nullopt}));
}

TEST_F(FollowTest, ReadingsTakenBeforeTheRadioGotThereAreIgnored) {
    struct Case {
        const char* what;
        int64_t spotHertz;
        const char* askedMode;
        // The readings that follow the request, each `after` ms later.
        struct Step {
            int after;
            int64_t hertz;
            const char* mode;
            FormSelection selected;
        };
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"CW spot, radio in USB: the stale USB reading is ignored, CW ends the hold",
         14'025'000,
         "CW",
         {{10, 14'195'000, "USB", {}},
          {10, 14'025'000, "USB", {}},
          {10, 14'025'000, "CW", {"14 Mhz ", std::nullopt}},
          {10, 14'195'000, "USB", {"14 Mhz ", kSsb}}}},
        {"the old band with the right mode is still the old frequency",
         7'013'500,
         "CW",
         {{10, 14'025'000, "CW", {}}, {10, 7'013'500, "CW", {"7.0 Mhz", std::nullopt}}}},
        {"a radio that never takes the mode is followed once the hold is over",
         14'025'000,
         "CW",
         {{10, 14'025'000, "USB", {}},
          {2'989, 14'025'000, "USB", {}},
          {1, 14'025'000, "USB", {"14 Mhz ", kSsb}}}},
        {"a data spot on a radio without data mode stays digital in USB",
         14'074'000,
         "USB",
         {{10, 14'074'000, "USB", {"14 Mhz ", std::nullopt}},
          {5'000, 14'075'000, "USB", {"14 Mhz ", std::nullopt}},
          {10, 14'074'000, "PKTUSB", {"14 Mhz ", kDig}}}},
        {"a data spot in the data mode",
         7'074'000,
         "PKTUSB",
         {{10, 7'074'000, "PKTUSB", {"7.0 Mhz", std::nullopt}}}},
        {"a radio that does not tell its mode agrees on the band alone",
         21'074'000,
         "PKTUSB",
         {{10, 14'074'000, "", {}}, {10, 21'074'000, "", {"21 Mhz ", std::nullopt}}}},
        {"no mode asked: the band alone is awaited",
         145'900'000,
         "",
         {{10, 14'200'000, "USB", {}}, {10, 145'900'000, "FM", {"144 Mhz", std::nullopt}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RadioFollow f{kBandItems, kModesToday};
        Time t{50'000};
        f.reading({14'195'000, "USB"}, t);
        f.requested(c.spotHertz, c.askedMode, t);
        for (const auto& step : c.steps) {
            t += Time(step.after);
            SCOPED_TRACE(std::to_string(t.count()) + " " + std::to_string(step.hertz));
            EXPECT_EQ(f.reading({step.hertz, step.mode}, t), step.selected);
        }
    }
}

}  // namespace
}  // namespace dxcc::radio
