// The update from a country file, for the exact calls: the operator's own
// are kept, the summary counts them, and the whole callsigns that earlier
// builds put into the prefix file leave it without counting as losses.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/base/text_file.h"
#include "core/prefixes/exact_calls.h"
#include "core/prefixes/prefix_table.h"
#include "core/prefixes/prefix_update.h"
#include "core/prefixes/prefix_update_messages.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

namespace msg = prefix_update_messages;

std::string file(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& l : lines) bytes += l + "\r\n";
    return bytes;
}

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

const std::string kTo5aFg = buildExactCallLine("TO5A", "Guadeloupe", "FG");
const std::string kTo5aFm = buildExactCallLine("TO5A", "Martinique", "FM");
const std::string kTo8 = buildExactCallLine("TO8FTDM", "Guadeloupe", "FG");
const std::string kRotuma = buildExactCallLine("3D2AG/P", "Rotuma Island", "3D2/R");
const std::string kMine = buildExactCallLine("TX0DX", "Chesterfield Is.", "FK/C");

struct MergeCase {
    const char* what;
    std::vector<std::string> base, current, built;
    std::vector<std::string> expected, operatorLines;
};

const MergeCase kMergeCases[] = {
    {"an untouched file becomes the new build",
     {kTo5aFg},
     {kTo5aFg},
     {kRotuma, kTo8},
     {kRotuma, kTo8},
     {}},
    {"a call the operator added is kept",
     {kTo8},
     {kTo8, kMine},
     {kRotuma, kTo8},
     {kRotuma, kTo8, kMine},
     {kMine}},
    {"the operator's change wins over the new build's line for its call",
     {kTo5aFg},
     {kTo5aFm},
     {kTo5aFg, kTo8},
     {kTo5aFm, kTo8},
     {kTo5aFm}},
    {"a call the operator deleted stays deleted while the build still has it",
     {kTo5aFg, kTo8},
     {kTo8},
     {kTo5aFg, kTo8, kRotuma},
     {kRotuma, kTo8},
     {}},
    {"a missing exact-call file takes the new build whole", {kTo5aFg}, {}, {kTo8}, {kTo8}, {}},
};

TEST(ExactCallMerge, TheOperatorsCallsSurviveTheNewBuild) {
    for (const MergeCase& c : kMergeCases) {
        SCOPED_TRACE(c.what);
        const PrefixMerge merge =
            mergeOperatorExactCalls(file(c.current), file(c.base), file(c.built));
        EXPECT_EQ(merge.fileBytes, file(c.expected));
        EXPECT_EQ(merge.operatorLines, c.operatorLines);
    }
}

TEST(ExactCallSummary, CountsCallsAddedRemovedAndMoved) {
    const PrefixUpdateSummary::ExactCalls s =
        summarizeExactCallUpdate(file({kTo5aFg, kTo8}), file({kRotuma, kTo5aFm}));
    EXPECT_EQ(s.before, 2u);
    EXPECT_EQ(s.after, 2u);
    EXPECT_EQ(s.added, std::vector<std::string>{kRotuma});
    EXPECT_EQ(s.removed, std::vector<std::string>{kTo8});
    ASSERT_EQ(s.moved.size(), 1u);
    EXPECT_EQ(s.moved[0].callsignPrefix + " " + s.moved[0].from + " " + s.moved[0].to,
              "TO5A FG FM");

    PrefixUpdateSummary summary;
    summary.exactCalls = s;
    summary.exactCalls.tooLong = 39;
    EXPECT_FALSE(summary.changesNothing());
    const std::vector<std::string> text = summaryLines(summary, "cty.dat", true);
    for (const std::string& wanted :
         {std::string(msg::kExactBefore) + "2", std::string(msg::kExactAdded) + "1",
          std::string(msg::kExactRemoved) + "1", std::string(msg::kExactMoved) + "1",
          std::string(msg::kExactTooLong) + "39", "  " + kRotuma, std::string("  TO5A : FG -> FM")})
        EXPECT_NE(std::find(text.begin(), text.end(), wanted), text.end()) << wanted;
}

// A country file without its exact calls would take most of them away: the
// operator must accept that knowingly, as for the prefixes.
TEST(ExactCallSummary, SaysFirstWhenMoreThanATenthOfTheCallsWouldGo) {
    PrefixUpdateSummary summary;
    summary.entriesBefore = 100;
    summary.exactCalls.before = 20;
    summary.exactCalls.removed.assign(2, kTo8);
    EXPECT_FALSE(summary.removesTooMuch());
    summary.exactCalls.removed.assign(3, kTo8);
    EXPECT_TRUE(summary.removesTooMuch());
    EXPECT_EQ(removesManyLine(summary),
              "ATTENTION : cette mise à jour supprimerait 3 des 20 indicatifs exacts (plus d'un "
              "dixième) : le fichier des contrées est peut-être incomplet.");
    EXPECT_EQ(summaryLines(summary, "cty.dat", true).front(), removesManyLine(summary));
}

const char* kCtyDat =
    "France:  14:  27:  EU:  46.00:  -2.00:  -1.0:  F:\n    F,TM,=TM5X,=F/DL1ABC/P;\n"
    "Guadeloupe:  08:  11:  NA:  16.13:  61.67:  4.0:  FG:\n    FG,=TO8FTDM,=TO5A;\n";

const std::string kF = buildPrefixEntry("F", "France", "F");
const std::string kTm = buildPrefixEntry("TM", "France", "F");
const std::string kFg = buildPrefixEntry("FG", "Guadeloupe", "FG");

// A data folder set up by an earlier version: whole callsigns among the
// prefix lines, no exact-call file, no base copies (the shipped files stand
// for them). The update takes the whole callsigns out of the prefix file
// without calling them losses, keeps the operator's own line, and writes the
// exact calls.
TEST(ExactCallPlan, AnEarlierVersionsFolderGetsItsWholeCallsignsAsExactCalls) {
    testing_support::TempDir dir;
    writeFile(dir / "cty.dat", kCtyDat);
    const std::string operatorLine = buildPrefixEntry("TO5", "Martinique", "FM");
    const std::string shipped = file({kF, kFg, kTm});
    const std::string earlier =
        file({kF, kFg, kTm, buildPrefixEntry("TM5X", "France", "F"), operatorLine});
    const PrefixUpdatePlan plan = planPrefixUpdate(
        dir / "cty.dat", ReferenceFiles{earlier, shipped, "", "", ""}, PrefixTable{});

    EXPECT_EQ(plan.baseFile, shipped);
    EXPECT_EQ(plan.prefixFile, file({kF, kFg, kTm, operatorLine}));
    EXPECT_EQ(plan.exactBaseFile, file({buildExactCallLine("F/DL1ABC/P", "France", "F"),
                                        buildExactCallLine("TM5X", "France", "F"), kTo5aFg, kTo8}));
    EXPECT_EQ(plan.exactFile, plan.exactBaseFile);
    EXPECT_EQ(plan.summary.exactCalls.fromPrefixFile, 1u);
    EXPECT_TRUE(plan.summary.removed.empty());
    EXPECT_FALSE(plan.summary.removesTooMuch());
    EXPECT_EQ(plan.summary.exactCalls.added.size(), 4u);
    EXPECT_EQ(plan.summary.operatorLines, std::vector<std::string>{operatorLine});
    const std::vector<std::string> text = summaryLines(plan.summary, "cty.dat", false);
    EXPECT_NE(std::find(text.begin(), text.end(), std::string(msg::kExactFromPrefixFile) + "1"),
              text.end());
}

// The operator's exact calls are kept, and a plan over what it wrote changes
// nothing.
TEST(ExactCallPlan, KeepsTheOperatorsCallsAndKnowsWhenNothingChanges) {
    testing_support::TempDir dir;
    writeFile(dir / "cty.dat", kCtyDat);
    const std::string prefixes = file({kF, kFg, kTm});
    const std::string base = file({kTo5aFg, kTo8});
    const std::string current = file({kTo5aFm, kTo8, kMine});
    const PrefixUpdatePlan plan = planPrefixUpdate(
        dir / "cty.dat", ReferenceFiles{prefixes, prefixes, current, base, ""}, PrefixTable{});
    EXPECT_EQ(plan.exactFile,
              file({buildExactCallLine("F/DL1ABC/P", "France", "F"),
                    buildExactCallLine("TM5X", "France", "F"), kTo5aFm, kTo8, kMine}));
    EXPECT_EQ(plan.summary.exactCalls.operatorLines, (std::vector<std::string>{kTo5aFm, kMine}));
    EXPECT_EQ(plan.summary.exactCalls.added.size(), 2u);
    EXPECT_TRUE(plan.summary.exactCalls.removed.empty());

    const PrefixUpdatePlan again =
        planPrefixUpdate(dir / "cty.dat",
                         ReferenceFiles{plan.prefixFile, plan.baseFile, plan.exactFile,
                                        plan.exactBaseFile, plan.entityFile},
                         PrefixTable{});
    EXPECT_TRUE(again.changesNothing);
    EXPECT_TRUE(again.summary.changesNothing());
    // Any one of the five files differing is a change.
    const ReferenceFiles same{plan.prefixFile, plan.baseFile, plan.exactFile, plan.exactBaseFile,
                              plan.entityFile};
    for (std::string_view ReferenceFiles::*member :
         {&ReferenceFiles::prefixFile, &ReferenceFiles::prefixBase, &ReferenceFiles::exactFile,
          &ReferenceFiles::exactBase, &ReferenceFiles::entityFile}) {
        ReferenceFiles changed = same;
        changed.*member = "";
        EXPECT_FALSE(planPrefixUpdate(dir / "cty.dat", changed, PrefixTable{}).changesNothing);
    }
}

// cty.dat alone has no ADIF numbers: the entities keep those the current
// entity data gives them; a cty.csv beside it gives its own.
TEST(ExactCallPlan, EntitiesKeepTheirAdifNumbersWithoutCsv) {
    testing_support::TempDir dir;
    writeFile(dir / "cty.dat", kCtyDat);
    const std::string entities =
        "F\tFrance\t46.00\t2.00\tEU\t14\t27\t1.00\t227\r\n"
        "FG\tGuadeloupe\t16.13\t-61.67\tNA\t8\t11\t-4.00\r\n";
    const std::string prefixes = file({kF, kFg, kTm});
    const PrefixUpdatePlan plan = planPrefixUpdate(
        dir / "cty.dat", ReferenceFiles{prefixes, prefixes, "", "", entities}, PrefixTable{});
    const EntityData data = EntityData::parse(plan.entityFile);
    ASSERT_NE(data.find("F"), nullptr);
    EXPECT_EQ(data.find("F")->adifNumber, 227);
    EXPECT_EQ(data.find("FG")->adifNumber, 0);

    writeFile(dir / "cty.csv",
              "F,France,227,EU,14,27,46.00,-2.00,-1.0,F TM =TM5X;\n"
              "FG,Guadeloupe,79,NA,08,11,16.13,61.67,4.0,FG =TO8FTDM;\n");
    const PrefixUpdatePlan withCsv = planPrefixUpdate(
        dir / "cty.dat", ReferenceFiles{prefixes, prefixes, "", "", entities}, PrefixTable{});
    EXPECT_TRUE(withCsv.withCsv);
    EXPECT_EQ(EntityData::parse(withCsv.entityFile).find("FG")->adifNumber, 79);
}

// A caller that writes only the prefix file, its base and the entity data
// sees the exact-call files as up to date.
TEST(ExactCallPlan, ThePlanWithoutTheExactCallFilesCountsThemAsUpToDate) {
    testing_support::TempDir dir;
    writeFile(dir / "cty.dat", kCtyDat);
    const std::string prefixes = file({kF, kFg, kTm});
    const PrefixUpdatePlan plan =
        planPrefixUpdate(dir / "cty.dat", prefixes, prefixes, "", PrefixTable{});
    EXPECT_TRUE(plan.summary.exactCalls.changesNothing());
    EXPECT_EQ(plan.exactFile, plan.exactBaseFile);
    EXPECT_FALSE(plan.exactFile.empty());
    const PrefixUpdatePlan again = planPrefixUpdate(dir / "cty.dat", plan.prefixFile, plan.baseFile,
                                                    plan.entityFile, PrefixTable{});
    EXPECT_TRUE(again.changesNothing);
}

}  // namespace
}  // namespace dxcc
