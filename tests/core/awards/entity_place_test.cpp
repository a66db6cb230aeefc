#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/awards/needed_report.h"

namespace dxcc {
namespace {

EntityInfo japan() {
    EntityInfo e;
    e.dxccPrefix = "JA";
    e.name = "Japan";
    e.latitude = 36.40;
    e.longitude = 138.38;
    e.continent = "AS";
    e.cqZone = 25;
    e.ituZone = 45;
    e.utcOffsetHours = 9;
    return e;
}

// What the entry panel says of where an entity lies: each line only when it
// can be said, the local time wrapped into the day.
TEST(EntityPlace, HeadingZonesLocalTimeAndSunAsThePanelShowsThem) {
    const EntityInfo jp = japan();
    const geo::LatLon paris{48.85, 2.35};
    const DateTimeParts noonJune{2024, 6, 21, 20, 30, 15};
    const std::vector<std::string> lines = entityPlaceLines(&jp, paris, noonJune);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Cap 34° (long 214°) · 9589 km");
    // 20:30 UTC is 05:30 the next day in Japan.
    EXPECT_EQ(lines[1], "AS · CQ 25 · ITU 45 · heure locale 05:30");
    EXPECT_TRUE(lines[2].starts_with("Soleil (UTC) : là-bas ")) << lines[2];
    EXPECT_NE(lines[2].find(" · ici "), std::string::npos) << lines[2];

    // Without the station's locator: no heading, no sun here.
    const std::vector<std::string> noStation = entityPlaceLines(&jp, std::nullopt, noonJune);
    ASSERT_EQ(noStation.size(), 2u);
    EXPECT_EQ(noStation[0], lines[1]);
    EXPECT_EQ(noStation[1].find(" · ici "), std::string::npos);
    // Without the entity's data: nothing at all.
    EXPECT_TRUE(entityPlaceLines(nullptr, paris, noonJune).empty());

    // West of Greenwich, before midnight UTC; a continent that is no plain
    // text keeps the line UTF-8; the pole in June never sees the sun set.
    EntityInfo odd = jp;
    odd.continent = "N\xC9";
    odd.utcOffsetHours = -10;
    odd.latitude = 89;
    const std::vector<std::string> west =
        entityPlaceLines(&odd, std::nullopt, {2024, 6, 21, 3, 5, 0});
    ASSERT_EQ(west.size(), 2u);
    EXPECT_EQ(west[0], "N? · CQ 25 · ITU 45 · heure locale 17:05");
    EXPECT_EQ(west[1], "Soleil (UTC) : là-bas jour polaire");
}

TEST(EntityPlace, AnEarlierQsoKeepsItsColumns) {
    EXPECT_EQ(earlierQsoLine({"12/03/24", "10:05", "14 Mhz", "CW", '*', 0}),
              "12/03/24 10:05  14 Mhz  CW  *");
    EXPECT_EQ(earlierQsoLine({"01/02/08", "23:59", "144 Mhz", "SSB", ' ', 3}),
              "01/02/08 23:59  144 Mhz SSB  ");
}

}  // namespace
}  // namespace dxcc
