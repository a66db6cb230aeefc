#include "core/prefixes/entity_data.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/base/text_file.h"
#include "core/base/text_utils.h"
#include "core/prefixes/prefix_table.h"

namespace dxcc {
namespace {

TEST(EntityDataTest, ReadsLinesSkipsBadOnesAndFindsByPrefix) {
    const std::string text =
        "# comment\r\n"
        "F\tFrance\t46.00\t2.00\tEU\t14\t27\t1.00\r\n"
        "\r\n"
        "K\tUnited States\t37.60\t-91.87\tNA\t5\t8\t-5.00\n"
        "3D2/C\tConway Reef\t-22.00\t175.00\tOC\t32\t56\t12.00\r\n"
        "BAD\tToo few\t1\t2\tEU\t1\t2\r\n"
        "NAN\tNot a number\tabc\t2\tEU\t1\t2\t0\r\n"
        "FAR\tOff the globe\t95\t2\tEU\t1\t2\t0\r\n"
        "F\tSecond France\t0\t0\tEU\t1\t1\t0\r\n"
        "VK\tAustralia\t-23.70\t132.33\tOC\t30\t59\t10.00";
    const EntityData data = EntityData::parse(text);
    EXPECT_EQ(data.entities().size(), 5u);
    struct Row {
        const char* query;
        const char* name;  // null: not found
        double lat, lon;
        const char* continent;
        int cq, itu;
        double offset;
    };
    const Row rows[] = {
        {"F", "France", 46.0, 2.0, "EU", 14, 27, 1.0},
        {" f ", "France", 46.0, 2.0, "EU", 14, 27, 1.0},
        {"K", "United States", 37.6, -91.87, "NA", 5, 8, -5.0},
        {"3d2/c", "Conway Reef", -22.0, 175.0, "OC", 32, 56, 12.0},
        {"VK", "Australia", -23.7, 132.33, "OC", 30, 59, 10.0},
        {"BAD", nullptr, 0, 0, "", 0, 0, 0},
        {"NAN", nullptr, 0, 0, "", 0, 0, 0},
        {"FAR", nullptr, 0, 0, "", 0, 0, 0},
        {"", nullptr, 0, 0, "", 0, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.query);
        const EntityInfo* e = data.find(r.query);
        if (!r.name) {
            EXPECT_EQ(e, nullptr);
            continue;
        }
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->name, r.name);
        EXPECT_DOUBLE_EQ(e->latitude, r.lat);
        EXPECT_DOUBLE_EQ(e->longitude, r.lon);
        EXPECT_EQ(e->continent, r.continent);
        EXPECT_EQ(e->cqZone, r.cq);
        EXPECT_EQ(e->ituZone, r.itu);
        EXPECT_DOUBLE_EQ(e->utcOffsetHours, r.offset);
    }
    EXPECT_EQ(EntityData::parse(formatEntityData(data.entities())).entities().size(), 5u);
    EXPECT_TRUE(EntityData::load("/nonexistent/Entites_DXCC.txt").empty());
}

// The shipped file covers every DXCC prefix of the shipped prefix file, with
// longitudes east positive (the country files write them west positive).
TEST(EntityDataTest, ShippedFileMatchesThePrefixFileWithEastLongitudes) {
    const std::string dir = std::string(VEL_SOURCE_DIR) + "/data/";
    const EntityData data = EntityData::load(dir + "Entites_DXCC.txt");
    const PrefixTable table = PrefixTable::parse(readFileBytes(dir + "Prefixe_DXCC.txt"));
    std::set<std::string> prefixes;
    for (const PrefixEntry& e : table.entries()) prefixes.insert(e.dxccPrefix);
    EXPECT_EQ(data.entities().size(), prefixes.size());
    for (const std::string& p : prefixes) EXPECT_NE(data.find(p), nullptr) << p;
    struct Row {
        const char* prefix;
        double lon, offset;
        const char* continent;
    };
    const Row rows[] = {{"F", 2.0, 1.0, "EU"}, {"K", -91.87, -5.0, "NA"}, {"JA", 138.38, 9.0, "AS"}};
    for (const Row& r : rows) {
        const EntityInfo* e = data.find(r.prefix);
        ASSERT_NE(e, nullptr) << r.prefix;
        EXPECT_NEAR(e->longitude, r.lon, 0.01) << r.prefix;
        EXPECT_DOUBLE_EQ(e->utcOffsetHours, r.offset) << r.prefix;
        EXPECT_EQ(e->continent, r.continent);
    }
}

}  // namespace
}  // namespace dxcc
