#include "core/geo/map_projection.h"

#include "core/geo/locator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace dxcc {
namespace {

constexpr LatLon kParis{48.85, 2.35};

TEST(MapProjectionTest, AzimuthalPutsHeadingsAsDirectionsAndDistancesAsRadii) {
    const MapProjection az(Projection::Azimuthal, kParis);
    struct Case {
        LatLon place;
        double x, y;
    };
    const Case cases[] = {
        {kParis, 0, 0},
        {{-48.85, -177.65}, 0, -1},  // antipode: on the rim (the heading there is arbitrary)
        {{90, 0}, 0, -(90 - 48.85) / 180},  // north pole: straight up
        {{0, 2.35}, 0, 48.85 / 180},        // due south on the equator: straight down
    };
    for (const Case& c : cases) {
        const MapXY p = az.project(c.place);
        if (c.y == -1) {
            EXPECT_NEAR(std::hypot(p.x, p.y), 1.0, 1e-6);
            continue;
        }
        EXPECT_NEAR(p.x, c.x, 1e-9) << c.place.lat;
        EXPECT_NEAR(p.y, c.y, 1e-9) << c.place.lat;
    }
    // A place to the east is drawn right of the centre, at its heading.
    const LatLon tokyo{35.68, 139.69};
    const MapXY t = az.project(tokyo);
    const geo::LatLon from{kParis.lat, kParis.lon}, to{tokyo.lat, tokyo.lon};
    const double heading = geo::shortPathHeading(from, to);
    EXPECT_NEAR(heading, 33.0, 1.5);  // Paris to Tokyo: north-east over Siberia
    EXPECT_NEAR(std::atan2(t.x, -t.y) * 180 / 3.14159265358979, heading, 1e-6);
    EXPECT_NEAR(std::hypot(t.x, t.y) * kHalfCircumferenceKm, geo::distanceKm(from, to), 1.0);
}

TEST(MapProjectionTest, PlainMapIsEquirectangularWithWrappedLongitudes) {
    const MapProjection plain(Projection::Plain, kParis);
    struct Case {
        LatLon place;
        double x, y;
    };
    const Case cases[] = {
        {{0, 0}, 0, 0},       {{90, 180}, -1, -0.5}, {{-90, -180}, -1, 0.5},
        {{45, 90}, 0.5, -0.25}, {{0, 270}, -0.5, 0},
    };
    for (const Case& c : cases) {
        const MapXY p = plain.project(c.place);
        EXPECT_NEAR(p.x, c.x, 1e-9) << c.place.lon;
        EXPECT_NEAR(p.y, c.y, 1e-9) << c.place.lat;
    }
}

TEST(MapProjectionTest, LinesBreakWhereTheyWrapRoundTheMap) {
    const MapProjection plain(Projection::Plain, kParis);
    // Across the date line: two pieces, none drawn across the whole map.
    const auto pieces = plain.projectLine({{60, 170}, {61, 179}, {62, -179}, {63, -170}});
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].size(), 2u);
    EXPECT_EQ(pieces[1].size(), 2u);
    // An ordinary coast stays whole.
    EXPECT_EQ(plain.projectLine({{48, -5}, {47, -2}, {46, -1}}).size(), 1u);
    // A lone point left over by a break is dropped.
    EXPECT_EQ(plain.projectLine({{0, 179}, {0, -179}, {0, -178}}).size(), 1u);

    // Near the antipode of the azimuthal centre, neighbours land far apart on the rim.
    const MapProjection az(Projection::Azimuthal, {0, 0});
    EXPECT_EQ(az.projectLine({{1, 178}, {1, -178}}).size(), 0u);
    EXPECT_EQ(az.projectLine({{10, 10}, {11, 12}, {12, 13}}).size(), 1u);
}

TEST(MapProjectionTest, OutlineFileSkipsCommentsAndBadPairs) {
    const auto outlines = parseWorldOutline(
        "# comment 1,2 3,4\n"
        "100,200 300,-400\r\n"
        "\n"
        "5,5\n"                            // one point: dropped
        "x,1 1,y 18001,0 0,9001 7,8 9,10\n"  // bad pairs skipped
        "1,2,3 4,5");
    ASSERT_EQ(outlines.size(), 2u);
    ASSERT_EQ(outlines[0].size(), 2u);
    EXPECT_DOUBLE_EQ(outlines[0][0].lon, 1.0);
    EXPECT_DOUBLE_EQ(outlines[0][0].lat, 2.0);
    EXPECT_DOUBLE_EQ(outlines[0][1].lat, -4.0);
    ASSERT_EQ(outlines[1].size(), 2u);
    EXPECT_DOUBLE_EQ(outlines[1][0].lon, 0.07);
    EXPECT_DOUBLE_EQ(outlines[1][1].lat, 0.1);
}

TEST(MapProjectionTest, ShippedOutlineFileReadsWhole) {
    FILE* f = std::fopen(VEL_SOURCE_DIR "/data/world_outline.txt", "rb");
    ASSERT_NE(f, nullptr);
    std::string text;
    char buf[65536];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
    std::fclose(f);
    const auto outlines = parseWorldOutline(text);
    size_t points = 0;
    for (const auto& o : outlines) points += o.size();
    EXPECT_GT(outlines.size(), 100u);
    // Every pair of every data line is read: pairs = blanks + one per data line.
    size_t pairs = 0, lines = 0;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        if (text[at] != '#') {
            ++lines;
            pairs += std::count(text.begin() + at, text.begin() + end, ' ') + 1;
        }
        at = end + 1;
    }
    EXPECT_EQ(outlines.size(), lines);
    EXPECT_EQ(points, pairs);
    EXPECT_GT(points, 4000u);
}

}  // namespace
}  // namespace dxcc
