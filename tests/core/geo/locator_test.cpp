#include "core/geo/locator.h"

#include <gtest/gtest.h>

#include <cmath>

namespace dxcc::geo {
namespace {

TEST(LocatorTest, ValidatesAndNormalizesFourAndSixCharacters) {
    struct Row {
        const char* text;
        bool valid;
        const char* normalized;
    };
    const Row rows[] = {
        {"JN18du", true, "JN18du"}, {"jn18DU", true, "JN18du"}, {" JN18 ", true, "JN18"},
        {"RR99xx", true, "RR99xx"}, {"AA00aa", true, "AA00aa"}, {"SN18du", false, ""},
        {"JN18dy", false, ""},      {"JN1", false, ""},         {"JN18d", false, ""},
        {"JN18du1", false, ""},     {"J N18d", false, ""},      {"18JNdu", false, ""},
        {"", false, ""},            {"------", false, ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(isValidLocator(r.text), r.valid) << r.text;
        EXPECT_EQ(normalizedLocator(r.text), r.normalized) << r.text;
        EXPECT_EQ(locatorCenter(r.text).has_value(), r.valid) << r.text;
    }
}

TEST(LocatorTest, CentreOfSquareAndSubsquareAndBack) {
    struct Row {
        const char* locator;
        double lat, lon;
    };
    const Row rows[] = {
        {"JN18", 48.5, 3.0},
        {"JN18du", 48.8542, 2.2917},  // Paris
        {"AA00aa", -89.9792, -179.9583},
        {"RR99xx", 89.9792, 179.9583},
        {"FN20", 40.5, -75.0},
        {"QF56", -33.5, 151.0},
    };
    for (const Row& r : rows) {
        const auto c = locatorCenter(r.locator);
        ASSERT_TRUE(c) << r.locator;
        EXPECT_NEAR(c->latitude, r.lat, 1e-3) << r.locator;
        EXPECT_NEAR(c->longitude, r.lon, 1e-3) << r.locator;
        if (std::string_view(r.locator).size() == 6) {
            EXPECT_EQ(locatorOf(*c), r.locator);
        }
    }
    EXPECT_EQ(locatorOf({48.8566, 2.3522}), "JN18eu");
}

TEST(GreatCircleTest, HeadingsAndDistancesBetweenKnownPlaces) {
    const LatLon paris{48.8566, 2.3522}, newYork{40.7128, -74.0060}, sydney{-33.8688, 151.2093},
        tokyo{35.6762, 139.6503}, north{90, 0};
    struct Row {
        const char* name;
        LatLon from, to;
        double heading, km;
    };
    const Row rows[] = {
        {"Paris-New York", paris, newYork, 291.8, 5837},
        {"New York-Paris", newYork, paris, 53.7, 5837},
        {"Paris-Sydney", paris, sydney, 68.6, 16960},
        {"Paris-Tokyo", paris, tokyo, 33.5, 9712},
        {"due north", paris, north, 0.0, 4576},
        {"across the date line", LatLon{0, 179}, LatLon{0, -179}, 90.0, 222.4},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_NEAR(shortPathHeading(r.from, r.to), r.heading, 0.5);
        EXPECT_NEAR(distanceKm(r.from, r.to), r.km, r.km * 0.003);
        EXPECT_NEAR(longPathHeading(r.from, r.to), std::fmod(r.heading + 180, 360), 0.5);
        EXPECT_NEAR(distanceKm(r.from, r.to) + longPathDistanceKm(r.from, r.to), 40030.2, 0.5);
    }
    EXPECT_EQ(shortPathHeading(paris, paris), 0.0);
    EXPECT_EQ(distanceKm(paris, paris), 0.0);
    const double h = shortPathHeading({0, 0}, {0, -10});
    EXPECT_TRUE(h >= 0 && h < 360);
    EXPECT_NEAR(h, 270, 1e-9);
}

TEST(SunTimesTest, SunriseAndSunsetInUtcAndPolarDays) {
    struct Row {
        const char* name;
        LatLon place;
        int year, month, day;
        int rise, set;  // minutes UTC, -1 when none
        bool polarDay, polarNight;
    };
    const Row rows[] = {
        // Published times, to within a few minutes.
        {"Paris midsummer", {48.8566, 2.3522}, 2024, 6, 21, 3 * 60 + 47, 19 * 60 + 58, false, false},
        {"Paris midwinter", {48.8566, 2.3522}, 2024, 12, 21, 7 * 60 + 42, 15 * 60 + 56, false, false},
        {"equator equinox", {0, 0}, 2024, 3, 20, 6 * 60 + 4, 18 * 60 + 11, false, false},
        // Sydney's sunset falls before its sunrise in UTC.
        {"Sydney", {-33.8688, 151.2093}, 2024, 1, 1, 18 * 60 + 46, 9 * 60 + 9, false, false},
        {"New York", {40.7128, -74.006}, 2024, 7, 4, 9 * 60 + 29, 0 * 60 + 31, false, false},
        {"Longyearbyen summer", {78.22, 15.65}, 2024, 6, 21, -1, -1, true, false},
        {"Longyearbyen winter", {78.22, 15.65}, 2024, 12, 21, -1, -1, false, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const SunTimes t = sunTimes(r.place, r.year, r.month, r.day);
        EXPECT_EQ(t.polarDay, r.polarDay);
        EXPECT_EQ(t.polarNight, r.polarNight);
        ASSERT_EQ(t.sunrise.has_value(), r.rise >= 0);
        ASSERT_EQ(t.sunset.has_value(), r.set >= 0);
        if (r.rise >= 0) {
            EXPECT_NEAR(*t.sunrise, r.rise, 4);
        }
        if (r.set >= 0) {
            EXPECT_NEAR(*t.sunset, r.set, 4);
        }
    }
}

TEST(SunTimesTest, MinutesText) {
    EXPECT_EQ(minutesText(0), "00:00");
    EXPECT_EQ(minutesText(9 * 60 + 5), "09:05");
    EXPECT_EQ(minutesText(1439), "23:59");
    EXPECT_EQ(minutesText(1440 + 61), "01:01");
    EXPECT_EQ(minutesText(-1), "23:59");
}

}  // namespace
}  // namespace dxcc::geo
