#include "core/radio/radio_follow.h"

#include <gtest/gtest.h>

#include <array>

namespace dxcc::radio {
namespace {

constexpr std::array<std::string_view, 4> kModesToday{"SSB", "CW", "DIG", "SAT"};
constexpr std::array<std::string_view, 7> kModesWider{"SSB", "CW", "RTTY", "DIG", "FM", "AM", "SAT"};
constexpr std::array<std::string_view, 12> kBandItems{
    "1.8 Mhz", "3.5 Mhz", "7.0 Mhz", "10 Mhz ", "14 Mhz ", "18 Mhz ",
    "21 Mhz ", "24 Mhz ", "28 Mhz ", "50 Mhz ", "144 Mhz", "432 Mhz"};

TEST(RadioFollow, BandAndModeTheFormSelects) {
    struct Case {
        int64_t hertz;
        const char* mode;
        std::optional<size_t> band;
        std::optional<size_t> modeToday;
        std::optional<size_t> modeWider;
    };
    const Case cases[] = {
        {14'074'000, "PKTUSB", 4, 2, 3},
        {14'195'000, "USB", 4, 0, 0},
        {7'150'000, "LSB", 2, 0, 0},
        {7'010'000, "CWR", 2, 1, 1},
        {10'120'000, "CW", 3, 1, 1},
        {14'085'000, "RTTY", 4, 2, 2},
        {21'085'000, "RTTYR", 6, 2, 2},
        {29'600'000, "FM", 8, std::nullopt, 4},   // no FM entry: the mode stays
        {3'700'000, "AM", 1, std::nullopt, 5},
        {145'500'000, "FM", 10, std::nullopt, 4},
        {5'357'000, "USB", std::nullopt, 0, 0},   // 60 m: no box entry
        {6'000'000, "XYZ", std::nullopt, std::nullopt, std::nullopt},
        {0, "", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.hertz) + " " + c.mode);
        const RadioReading r{c.hertz, c.mode};
        EXPECT_EQ(formSelectionFor(r, kBandItems, kModesToday), (FormSelection{c.band, c.modeToday}));
        EXPECT_EQ(formSelectionFor(r, kBandItems, kModesWider).mode, c.modeWider);
    }
}

TEST(RadioFollow, FrequencyTexts) {
    EXPECT_EQ(frequencyText(14'074'000), "14 074,000 kHz");
    EXPECT_EQ(frequencyText(1'830'500), "1 830,500 kHz");
    EXPECT_EQ(frequencyText(145'500'000), "145 500,000 kHz");
    EXPECT_EQ(frequencyText(999), "0,999 kHz");
    EXPECT_EQ(hertzOfKilohertz(14025.1), 14'025'100);
    EXPECT_EQ(hertzOfKilohertz(7013), 7'013'000);
}

}  // namespace
}  // namespace dxcc::radio
