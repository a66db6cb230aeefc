#include "core/awards/dxcc_table.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/prefixes/prefix_table.h"

namespace dxcc {
namespace {

std::string prefixesIn(const DxccTable& t, const std::vector<size_t>& rows) {
    std::string out;
    for (size_t i : rows) out += (out.empty() ? "" : " ") + t.rows[i].entity.prefix;
    return out;
}

// Cells given as one string per prefix: one character per column, blank for none.
DxccTable tableOf(std::vector<TableEntity> entities, std::map<std::string, std::string> marks) {
    return buildDxccTable(std::move(entities), [&](std::string_view prefix, size_t column) {
        const std::string& m = marks[std::string(prefix)];
        return column < m.size() && m[column] != ' ' ? static_cast<Need>(m[column]) : Need::Never;
    });
}

TEST(DxccTableTest, ColumnsAreTheAwardsThenTheBandWindowsBandsInOrder) {
    const std::vector<std::string>& c = dxccTableColumns();
    ASSERT_EQ(c.size(), kFirstBandColumn + 11);
    EXPECT_EQ(std::vector<std::string>(c.begin(), c.begin() + kFirstBandColumn),
              (std::vector<std::string>{"Mixed", "SSB", "CW", "RTTY", "Satellite"}));
    EXPECT_EQ(c[kFirstBandColumn], "1.8 Mhz");
    EXPECT_EQ(c.back(), "144 Mhz");
}

TEST(DxccTableTest, EntitiesAreEachFilePrefixOnceThenWorkedPrefixesTheFilesLack) {
    const PrefixTable file = PrefixTable::parse(
        buildPrefixEntry("F", "France", "F") + "\r\n" + buildPrefixEntry("TM", "France", "F") +
            "\r\n" + buildPrefixEntry("DL", "Germany", "DL") + "\r\n" +
            buildPrefixEntry("Y2", "Germany", "DL") + "\r\n",
        buildExactCallLine("3Y0X", "Peter 1 Island", "3Y/P") + "\r\n" +
            buildExactCallLine("TM5X", "France", "F") + "\r\n");
    const std::vector<TableEntity> e = tableEntities(file, {"DL", " Y9 ", "Y9", ""});
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].prefix, "F");
    EXPECT_EQ(e[0].entity, "France");
    EXPECT_EQ(e[1].prefix, "DL");
    EXPECT_EQ(e[1].entity, "Germany");
    EXPECT_EQ(e[2].prefix, "3Y/P");  // an entity of exact calls only
    EXPECT_EQ(e[2].entity, "Peter 1 Island");
    EXPECT_EQ(e[3].prefix, "Y9");  // worked under a prefix since deleted
    EXPECT_EQ(e[3].entity, "");
}

TEST(DxccTableTest, TotalsCountConfirmedAndWorkedPerColumn) {
    const DxccTable t =
        tableOf({{"F", "France", "EU"}, {"K", "USA", "NA"}, {"VK", "Australia", "OC"}},
                {{"F", "CC W"}, {"K", "WW C"}, {"VK", ""}});
    EXPECT_EQ(t.confirmed[0], 1u);
    EXPECT_EQ(t.worked[0], 2u);
    EXPECT_EQ(t.confirmed[1], 1u);
    EXPECT_EQ(t.worked[1], 2u);
    EXPECT_EQ(t.confirmed[2], 0u);
    EXPECT_EQ(t.worked[2], 0u);
    EXPECT_EQ(t.confirmed[3], 1u);
    EXPECT_EQ(t.worked[3], 2u);
    EXPECT_EQ(t.rows[2].cells, std::vector<Need>(t.columns.size(), Need::Never));
}

TEST(DxccTableTest, OrdersAndTheMissingFilter) {
    const DxccTable t = tableOf({{"VK", "Australia", "OC"},
                                 {"F", "France", "EU"},
                                 {"K", "United States", "NA"},
                                 {"DL", "Germany", "EU"},
                                 {"Y9", "", ""},
                                 {"EA",
                                  "\xC9"
                                  "tat",
                                  "EU"}},
                                {{"F", "C C"}, {"K", "W"}, {"DL", "CW"}});
    struct Case {
        TableOrder order;
        int missing;
        const char* expected;
    };
    const Case cases[] = {
        {TableOrder::Prefix, -1, "DL EA F K VK Y9"},
        // Accented capitals sort with their base letter, the unnamed first.
        {TableOrder::Entity, -1, "Y9 VK EA F DL K"},
        // Continents, then prefixes; no continent last.
        {TableOrder::Continent, -1, "DL EA F K VK Y9"},
        {TableOrder::Prefix, 0, "EA K VK Y9"},
        {TableOrder::Prefix, 1, "DL EA F K VK Y9"},
        {TableOrder::Prefix, 2, "DL EA K VK Y9"},
        {TableOrder::Entity, 0, "Y9 VK EA K"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(prefixesIn(t, tableRowOrder(t, c.order, c.missing)), c.expected)
            << static_cast<int>(c.order) << " " << c.missing;
}

TEST(DxccTableTest, CsvQuotesWhereNeededAndEndsWithTotals) {
    const DxccTable t = tableOf({{"F", "France", "EU"}, {"3D2/C", "Conway Reef, \"Fiji\"", "OC"}},
                                {{"F", "CW"}, {"3D2/C", "W"}});
    const std::string csv = dxccTableCsv(t, {1, 0});
    std::string heading =
        "Pr\xE9"
        "fixe,Contr\xE9"
        "e,Continent";
    for (const std::string& c : t.columns) heading += "," + c;
    std::string confirmed = ",Total confirm\xE9,,1,0", worked = ",Total contact\xE9,,2,1";
    for (size_t c = 2; c < t.columns.size(); ++c) {
        confirmed += ",0";
        worked += ",0";
    }
    EXPECT_EQ(csv, heading + "\r\n" + "3D2/C,\"Conway Reef, \"\"Fiji\"\"\",OC,W" +
                       std::string(15, ',') + "\r\n" + "F,France,EU,C,W" + std::string(14, ',') +
                       "\r\n" + confirmed + "\r\n" + worked + "\r\n");
}

TEST(DxccTableTest, NewlyConfirmedNamesEachEntityWithItsNewColumns) {
    const std::vector<TableEntity> entities{
        {"F", "France", "EU"}, {"JA", "Japan", "AS"}, {"PY", "Brazil", "SA"}};
    const DxccTable before = tableOf(entities, {{"F", "CWW"}, {"JA", "W"}});
    struct Case {
        std::map<std::string, std::string> after;
        std::vector<TableEntity> afterEntities;
        std::string line;
    };
    const Case cases[] = {
        {{{"F", "CWW"}, {"JA", "W"}}, entities, ""},
        // Worked is no news; confirmed again is no news.
        {{{"F", "CCW"}, {"JA", "W"}, {"PY", "W"}},
         entities,
         "Nouvelles contr\xE9"
         "es confirm\xE9"
         "es : F France (SSB)"},
        {{{"F", "CCC"}, {"JA", "C  C"}},
         entities,
         "Nouvelles contr\xE9"
         "es confirm\xE9"
         "es : F France (SSB, CW), JA Japan (Mixed, RTTY)"},
        // An entity the table did not have before: every confirmed column is new.
        {{{"F", "CWW"}, {"Y9", "C"}},
         {{"F", "France", "EU"}, {"Y9", "", ""}},
         "Nouvelles contr\xE9"
         "es confirm\xE9"
         "es : Y9 (Mixed)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(newlyConfirmedLine(before, tableOf(c.afterEntities, c.after)), c.line);
}

}  // namespace
}  // namespace dxcc
