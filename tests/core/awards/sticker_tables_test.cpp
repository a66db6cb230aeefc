#include "core/awards/sticker_tables.h"

#include <gtest/gtest.h>

#include <string>

#include "core/awards/award_evaluation.h"

namespace dxcc {
namespace {

// The labels of a confirmed count at the edges of both tables, through the
// awards that use them: Mixed and a selector award on table 150 (the band
// "14 Mhz " keeps its blank), Satellite on table 125.
struct Edge {
    long long count;
    std::string mixed1;
    std::string selector1;
    std::string table150Missing;
    std::string satellite1;
    std::string satelliteMissing;
};

const Edge kEdges[] = {
    {0, " 0 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC Mixed",
     " 0 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC 14 Mhz ",
     "Il vous manque 100 préfixes confirmés",
     "Vous ne pouvez pas encore obtenir le diplôme DXCC Satellite",
     "Il vous manque  100 préfixes confirmés"},
    {42, " 42 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC Mixed",
     " 42 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC 14 Mhz ",
     "Il vous manque 58 préfixes confirmés",
     "Vous ne pouvez pas encore obtenir le diplôme DXCC Satellite",
     "Il vous manque  58 préfixes confirmés"},
    {99, " 99 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC Mixed",
     " 99 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC 14 Mhz ",
     "Il vous manque 1 préfixes confirmés",
     "Vous ne pouvez pas encore obtenir le diplôme DXCC Satellite",
     "Il vous manque  1 préfixes confirmés"},
    {100, " 100 préfixes confirmés, vous pouvez obtenir le diplôme DXCC Mixed",
     " 100 préfixes confirmés, vous pouvez obtenir le diplôme DXCC 14 Mhz ",
     "Il vous manque 50 préfixes confirmés pour le sticker 150",
     "Bravo vous pouvez obtenir le diplôme DXCC Satellite",
     "Il vous manque  25 prefixes confirmés pour le sticker 125"},
    {149, " 149 préfixes confirmés, vous pouvez obtenir le diplôme DXCC Mixed",
     " 149 préfixes confirmés, vous pouvez obtenir le diplôme DXCC 14 Mhz ",
     "Il vous manque 1 préfixes confirmés pour le sticker 150",
     "Bravo vous pouvez obtenir le diplôme DXCC Satellite",
     "Il vous manque  1 prefixes confirmés pour le sticker 150"},
    {150, " 150 préfixes confirmés, vous pouvez obtenir le sticker 150",
     " 150 préfixes confirmés, vous pouvez obtenir le diplôme DXCC 14 Mhz  sticker 150",
     "Il vous manque 50 préfixes confirmés pour le sticker 200",
     "Bravo vous pouvez obtenir le diplôme DXCC Satellite",
     "Il vous manque  25 prefixes confirmés pour le sticker 175"},
    {199, " 199 préfixes confirmés, vous pouvez obtenir le sticker 150",
     " 199 préfixes confirmés, vous pouvez obtenir le diplôme DXCC 14 Mhz  sticker 150",
     "Il vous manque 1 préfixes confirmés pour le sticker 200",
     "Bravo vous pouvez obtenir le diplôme DXCC Satellite",
     "Il vous manque  1 prefixes confirmés pour le sticker 200"},
    {249, " 249 préfixes confirmés, vous pouvez obtenir le sticker 200",
     " 249 préfixes confirmés, vous pouvez obtenir le diplôme DXCC 14 Mhz  sticker 200",
     "Il vous manque 1 préfixes confirmés pour le sticker 250",
     "Bravo vous pouvez obtenir le diplôme DXCC Satellite",
     "Il vous manque  1 prefixes confirmés pour le sticker 250"},
    {250, " 250 préfixes confirmés, vous pouvez obtenir le sticker 250",
     " 250 préfixes confirmés, vous pouvez obtenir le diplôme DXCC 14 Mhz  sticker 250",
     "Il vous manque 25 préfixes confirmés pour le sticker 275",
     "Bravo vous pouvez obtenir le diplôme DXCC Satellite",
     "Il vous manque  10 prefixes confirmés pour le sticker 260"},
    {274, " 274 préfixes confirmés, vous pouvez obtenir le sticker 250",
     " 274 préfixes confirmés, vous pouvez obtenir le diplôme DXCC 14 Mhz  sticker 250",
     "Il vous manque 1 préfixes confirmés pour le sticker 275",
     "Bravo vous pouvez obtenir le diplôme DXCC Satellite",
     "Il vous manque  6 prefixes confirmés pour le sticker 280"},
    {275, " 275 préfixes confirmés, vous pouvez obtenir le sticker 275",
     " 275 préfixes confirmés, vous pouvez obtenir le diplôme DXCC 14 Mhz  sticker 275",
     "Il vous manque 25 préfixes confirmés pour le sticker 300",
     "Bravo vous pouvez obtenir le diplôme DXCC Satellite",
     "Il vous manque  5 prefixes confirmés pour le sticker 280"},
    {299, " 299 préfixes confirmés, vous pouvez obtenir le sticker 275",
     " 299 préfixes confirmés, vous pouvez obtenir le diplôme DXCC 14 Mhz  sticker 275",
     "Il vous manque 1 préfixes confirmés pour le sticker 300",
     "Bravo vous pouvez obtenir le diplôme DXCC Satellite",
     "Il vous manque  1 prefixes confirmés pour le sticker 300"},
    {300, " 300 préfixes confirmés, vous pouvez obtenir le sticker 300",
     " 300 préfixes confirmés, vous pouvez obtenir le diplôme DXCC 14 Mhz  sticker 300",
     "Il vous manque 5 préfixes confirmés pour le sticker 305",
     "Bravo vous pouvez obtenir le diplôme DXCC Satellite",
     "Il vous manque  5 prefixes confirmés pour le sticker 305"},
    {307, " 307 préfixes confirmés, vous pouvez obtenir le sticker 305",
     " 307 préfixes confirmés, vous pouvez obtenir le diplôme DXCC 14 Mhz  sticker 305",
     "Il vous manque 3 préfixes confirmés pour le sticker 310",
     "Bravo vous pouvez obtenir le diplôme DXCC Satellite",
     "Il vous manque  3 prefixes confirmés pour le sticker 310"},
    {339, " 339 préfixes confirmés, vous pouvez obtenir le sticker 335",
     " 339 préfixes confirmés, vous pouvez obtenir le diplôme DXCC 14 Mhz  sticker 335",
     "Il vous manque 1 préfixes confirmés pour le sticker 340",
     "Bravo vous pouvez obtenir le diplôme DXCC Satellite",
     "Il vous manque  1 prefixes confirmés pour le sticker 340"},
    {340, " 340 préfixes confirmés, vous pouvez obtenir le sticker 340",
     " 340 préfixes confirmés, vous pouvez obtenir le diplôme DXCC 14 Mhz  sticker 340",
     "Vous avez obtenu tous les stickers, jusqu'au sticker 340",
     "Bravo vous pouvez obtenir le diplôme DXCC Satellite sticker 340",
     "Vous avez obtenu tous les stickers, jusqu'au sticker 340"},
    {500, " 500 préfixes confirmés, vous pouvez obtenir le sticker 340",
     " 500 préfixes confirmés, vous pouvez obtenir le diplôme DXCC 14 Mhz  sticker 340",
     "Vous avez obtenu tous les stickers, jusqu'au sticker 340",
     "Bravo vous pouvez obtenir le diplôme DXCC Satellite sticker 340",
     "Vous avez obtenu tous les stickers, jusqu'au sticker 340"},
};

AwardLabels labelsOf(const char* awardName, long long count) {
    const AwardDefinition* award = findAward(awardName);
    return confirmedLabels(*award->table, *award->wording, award->shownName, count);
}

TEST(StickerTablesTest, ConfirmedLabelsAtEveryEdgeOfBothTables) {
    for (const Edge& e : kEdges) {
        SCOPED_TRACE(e.count);
        EXPECT_EQ(labelsOf("Mixed", e.count), (AwardLabels{e.mixed1, e.table150Missing}));
        EXPECT_EQ(labelsOf("14 Mhz ", e.count), (AwardLabels{e.selector1, e.table150Missing}));
        EXPECT_EQ(labelsOf("Satellite", e.count), (AwardLabels{e.satellite1, e.satelliteMissing}));
    }
}

TEST(StickerTablesTest, ContactedLabelsLeaveTheMissingLineEmpty) {
    EXPECT_EQ(contactedLabels(kContactedWithComma, 0), (AwardLabels{" 0 préfixes contactés,", ""}));
    EXPECT_EQ(contactedLabels(kContacted, 1234), (AwardLabels{" 1234 préfixes contactés", ""}));
}

}  // namespace
}  // namespace dxcc
