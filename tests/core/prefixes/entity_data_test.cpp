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

// The ADIF entity number closes the line; a file written before it existed
// ends with the UTC offset and reads as before, its numbers unknown.
TEST(EntityDataTest, ReadsTheAdifNumberWhenTheLineHasOne) {
    const std::string text =
        "F\tFrance\t46.00\t2.00\tEU\t14\t27\t1.00\t227\r\n"
        "G\tEngland\t52.77\t-1.47\tEU\t14\t27\t0.00\r\n"
        "K\tUnited States\t37.60\t-91.87\tNA\t5\t8\t-5.00\t\r\n"
        "X1\tWord\t0\t0\tEU\t1\t1\t0\tabc\r\n"
        "X2\tNegative\t0\t0\tEU\t1\t1\t0\t-3\r\n"
        "X3\tTen fields\t0\t0\tEU\t1\t1\t0\t1\t2\r\n";
    const EntityData data = EntityData::parse(text);
    EXPECT_EQ(data.entities().size(), 3u);
    const std::pair<const char*, int> numbers[] = {{"F", 227}, {"G", 0}, {"K", 0}};
    for (const auto& [prefix, number] : numbers) {
        ASSERT_NE(data.find(prefix), nullptr) << prefix;
        EXPECT_EQ(data.find(prefix)->adifNumber, number) << prefix;
    }
    EXPECT_EQ(formatEntityData(data.entities()),
              "F\tFrance\t46.00\t2.00\tEU\t14\t27\t1.00\t227\r\n"
              "G\tEngland\t52.77\t-1.47\tEU\t14\t27\t0.00\t\r\n"
              "K\tUnited States\t37.60\t-91.87\tNA\t5\t8\t-5.00\t\r\n");
}

// The shipped file covers every DXCC prefix of the shipped prefix and
// exact-call files, with longitudes east positive (the country files write
// them west positive) and ADIF's entity numbers.
TEST(EntityDataTest, ShippedFileMatchesThePrefixFilesWithEastLongitudes) {
    const std::string dir = std::string(VEL_SOURCE_DIR) + "/data/";
    const EntityData data = EntityData::load(dir + "Entites_DXCC.txt");
    const PrefixTable table = PrefixTable::parse(readFileBytes(dir + "Prefixe_DXCC.txt"),
                                                 readFileBytes(dir + "Exceptions_DXCC.txt"));
    std::set<std::string> prefixes;
    for (const PrefixEntry& e : table.entries()) prefixes.insert(e.dxccPrefix);
    for (const PrefixEntry& e : table.exactCalls().entities()) prefixes.insert(e.dxccPrefix);
    EXPECT_EQ(data.entities().size(), prefixes.size());
    for (const std::string& p : prefixes) EXPECT_NE(data.find(p), nullptr) << p;
    std::set<int> numbers;
    for (const EntityInfo& e : data.entities()) numbers.insert(e.adifNumber);
    EXPECT_EQ(numbers.size(), data.entities().size());
    EXPECT_FALSE(numbers.count(0));
    struct Row {
        const char* prefix;
        double lon, offset;
        const char* continent;
        int number;
    };
    const Row rows[] = {{"F", 2.0, 1.0, "EU", 227},
                        {"K", -91.87, -5.0, "NA", 291},
                        {"JA", 138.38, 9.0, "AS", 339},
                        {"3Y/P", -90.58, -4.0, "SA", 199}};
    for (const Row& r : rows) {
        const EntityInfo* e = data.find(r.prefix);
        ASSERT_NE(e, nullptr) << r.prefix;
        EXPECT_NEAR(e->longitude, r.lon, 0.01) << r.prefix;
        EXPECT_DOUBLE_EQ(e->utcOffsetHours, r.offset) << r.prefix;
        EXPECT_EQ(e->continent, r.continent);
        EXPECT_EQ(e->adifNumber, r.number) << r.prefix;
    }
}

}  // namespace
}  // namespace dxcc
