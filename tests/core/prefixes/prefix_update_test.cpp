#include "core/prefixes/prefix_update.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/base/file_error.h"
#include "core/base/text_file.h"
#include "core/prefixes/country_file.h"
#include "core/prefixes/exact_calls.h"
#include "core/prefixes/prefix_table.h"
#include "core/prefixes/prefix_update_messages.h"
#include "core/session/log_session.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

namespace msg = prefix_update_messages;

const std::filesystem::path kDebianCountryFiles = "/usr/share/hamradio-files";

std::string line(std::string_view prefix, std::string_view name, std::string_view dxcc) {
    return buildPrefixEntry(prefix, name, dxcc);
}

std::string file(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& l : lines) bytes += l + "\r\n";
    return bytes;
}

std::vector<std::string> linesOf(std::string_view bytes) {
    std::vector<std::string> lines;
    for (std::string_view l : splitLines(bytes)) lines.emplace_back(l);
    return lines;
}

// Each line of a fixed-column file without its entity name (the columns
// from `nameColumn`, 0-based, before `dxccColumn`): what the lookup answers with.
std::string withoutNames(std::string_view bytes, size_t nameColumn, size_t dxccColumn) {
    std::string out;
    for (std::string_view l : splitLines(bytes))
        out += std::string(l.substr(0, nameColumn)) + std::string(l.substr(dxccColumn)) + "\n";
    return out;
}

// Each line of the entity data without its name and ADIF number.
std::string placesOnly(std::string_view entityFile) {
    std::string out;
    for (std::string_view l : splitLines(entityFile)) {
        const size_t first = l.find('\t');
        const size_t second = l.find('\t', first + 1);
        const size_t last = l.rfind('\t');
        if (first == std::string_view::npos) continue;
        out +=
            std::string(l.substr(0, first)) + std::string(l.substr(second, last - second)) + "\n";
    }
    return out;
}

// The country files the tools built the shipped files from give those files
// again, byte for byte. cty.dat alone, its '*' entities folded through the
// shipped lookup, gives the same entries; only the few names cty.dat writes
// otherwise than cty.csv differ, it has no ADIF numbers, and it lists some
// exact calls that cty.csv lacks and the other way round.
TEST(CountryFileBuild, DebianCountryFilesGiveTheShippedFiles) {
    if (!std::filesystem::exists(kDebianCountryFiles / "cty.dat") ||
        !std::filesystem::exists(kDebianCountryFiles / "cty.csv"))
        GTEST_SKIP() << "no country files in " << kDebianCountryFiles
                     << " (Debian package hamradio-files, which scripts/install-deps installs)";
    const std::string shippedPrefixes = readFileBytes(VEL_SOURCE_DIR "/data/Prefixe_DXCC.txt");
    const std::string shippedExact = readFileBytes(VEL_SOURCE_DIR "/data/Exceptions_DXCC.txt");
    const std::string shippedEntities = readFileBytes(VEL_SOURCE_DIR "/data/Entites_DXCC.txt");
    const std::vector<CountryEntity> dat =
        parseCtyDat(readFileBytes(kDebianCountryFiles / "cty.dat"));

    std::vector<std::string> leftOut;
    const CountryBuild withCsv = buildCountryFiles(
        joinCountryFiles(dat, parseCtyCsv(readFileBytes(kDebianCountryFiles / "cty.csv"))),
        leftOut);
    EXPECT_TRUE(withCsv.prefixFile == shippedPrefixes);
    EXPECT_TRUE(withCsv.exactFile == shippedExact);
    EXPECT_TRUE(withCsv.entityFile == shippedEntities);
    EXPECT_TRUE(leftOut.empty());
    EXPECT_GT(withCsv.exactCallsTooLong, 0u);

    const CountryBuild datAlone = buildCountryFiles(
        numberWithoutCsv(dat, PrefixTable::parse(shippedPrefixes, shippedExact), leftOut), leftOut);
    EXPECT_TRUE(leftOut.empty());
    EXPECT_EQ(datAlone.entities.size(), withCsv.entities.size());
    EXPECT_TRUE(withoutNames(datAlone.prefixFile, 7, 40) == withoutNames(shippedPrefixes, 7, 40));
    // The two files do not list quite the same exact calls; where both list
    // one, they agree.
    const ExactCallTable shippedCalls = ExactCallTable::parse(shippedExact);
    size_t shared = 0;
    const ExactCallTable datCalls = ExactCallTable::parse(datAlone.exactFile);
    for (size_t line = 0; line < datCalls.size(); ++line) {
        const PrefixEntry* same = shippedCalls.find(datCalls.callsign(line));
        if (same == nullptr) continue;
        ++shared;
        EXPECT_EQ(same->dxccPrefix, datCalls.entity(line).dxccPrefix) << datCalls.callsign(line);
    }
    EXPECT_GT(shared, 18000u);
    EXPECT_TRUE(placesOnly(datAlone.entityFile) == placesOnly(shippedEntities));
    for (const EntityInfo& e : datAlone.entities) EXPECT_EQ(e.adifNumber, 0) << e.dxccPrefix;
}

std::string exact(std::string_view call, std::string_view name, std::string_view dxcc) {
    return buildExactCallLine(call, name, dxcc);
}

struct BuildCase {
    const char* what;
    const char* ctyDat;
    std::vector<std::string> expected;
    std::vector<std::string> expectedExact = {};
    size_t tooLong = 0;
};

const BuildCase kBuildCases[] = {
    {"a main prefix no alias names is a prefix only where no other entity's alias begins it",
     "Antarctica:  13:  74:  SA:  -90.00:  0.00:  0.0:  CE9:\n    VK0;\n"
     "Macquarie Island:  30:  60:  OC:  -54.60:  -158.88:  -10.0:  VK0M:\n    =VK0MM;\n"
     "Spratly Islands:  26:  50:  AS:  9.88:  -114.23:  -8.0:  1S:\n    9M0;\n",
     {line("1S", "Spratly Islands", "1S"), line("9M0", "Spratly Islands", "1S"),
      line("CE9", "Antarctica", "CE9"), line("VK0", "Antarctica", "CE9")},
     {exact("VK0MM", "Macquarie Island", "VK0M")}},
    {"aliases lose their overrides; whole callsigns are exact calls, '/' included, up to "
     "twelve characters",
     "France:  14:  27:  EU:   46.00:    -2.00:    -1.0:  F:\n"
     "    F,TM(14)[27],TO<46.0/2.0>{EU}~1.0~,=F/ABC,=fg5longcall(8),=TM123456789/P,tx,"
     "F/X,=TM5X;\n",
     {line("F", "France", "F"), line("TM", "France", "F"), line("TO", "France", "F"),
      line("TX", "France", "F")},
     {exact("F/ABC", "France", "F"), exact("FG5LONGCALL", "France", "F"),
      exact("TM5X", "France", "F")},
     1},
    {"a token holding a blank or an unseen character is no entry",
     "France:  14:  27:  EU:   46.00:    -2.00:    -1.0:  F:\n"
     "    F,T\x01M,\n    TK\n    TX,\tTO\t;\n",
     {line("F", "France", "F"), line("TO", "France", "F")}},
    {"a main prefix alone yields to another entity's alias",
     "Antarctica:  13:  74:  SA:  -90.00:     0.00:     0.0:  CE9:\n"
     "    =KC4AAA;\n"
     "South Shetland Islands:  13:  73:  SA:  -62.08:    58.67:     4.0:  VP8/h:\n"
     "    CE9,VP8H;\n",
     {line("CE9", "South Shetland Islands", "VP8/H"),
      line("VP8H", "South Shetland Islands", "VP8/H")},
     {exact("KC4AAA", "Antarctica", "CE9")}},
    {"every whole callsign is an exact call, never a prefix; one two entities claim goes to "
     "the line that sorts first",
     "France:  14:  27:  EU:   46.00:    -2.00:    -1.0:  F:\n    F,=TO5A,=FA1ABC;\n"
     "Guadeloupe:  08:  11:  NA:   16.13:    61.67:     4.0:  FG:\n    FG,=TO5A,=TO5AB;\n"
     "Peter 1 Island:  12:  72:  SA:  -68.77:    90.58:     4.0:  3Y/p:\n    =3Y0X;\n",
     {line("F", "France", "F"), line("FG", "Guadeloupe", "FG")},
     {exact("3Y0X", "Peter 1 Island", "3Y/P"), exact("FA1ABC", "France", "F"),
      exact("TO5A", "France", "F"), exact("TO5AB", "Guadeloupe", "FG")}},
    {"a '*' entity's prefixes go to its DXCC entity, which loses 'Asiatic '",
     "Asiatic Turkey:  20:  39:  AS:   39.18:   -35.65:    -2.0:  TA:\n    TA,TB;\n"
     "European Turkey:  20:  39:  EU:   41.02:   -28.97:    -2.0:  *TA1:\n    TA1,TB1;\n",
     {line("TA", "Turkey", "TA"), line("TA1", "Turkey", "TA"), line("TB", "Turkey", "TA"),
      line("TB1", "Turkey", "TA")}},
    {"a long name is abbreviated step by step until it fits the column",
     "Saint Pierre and Miquelon Islands Republic:  05:  09:  NA:  46.77:  56.20:  3.0:  FP:\n"
     "    FP;\n"
     "Northern Cook Islands and Some Island Far South:  32:  62:  OC:  -10.0:  161.0:  10.0:  "
     "E51/n:\n    E51N;\n",
     {line("E51N", "N.ern Cook Is. & Some I. Far S.", "E51/N"),
      line("FP", "St. Pierre & Miquelon Is. Rep.", "FP")}},
};

TEST(CountryFileBuild, EntriesFollowTheCountryFilesRules) {
    for (const BuildCase& c : kBuildCases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> leftOut;
        const CountryBuild build = buildCountryFiles(
            numberWithoutCsv(parseCtyDat(c.ctyDat), PrefixTable{}, leftOut), leftOut);
        EXPECT_EQ(linesOf(build.prefixFile), c.expected);
        EXPECT_EQ(linesOf(build.exactFile), c.expectedExact);
        EXPECT_EQ(build.exactCallsTooLong, c.tooLong);
        EXPECT_TRUE(leftOut.empty());
    }
}

// The country files count longitudes west and offsets behind UTC as positive;
// the entity data the other way round, and a zero has no sign.
TEST(CountryFileBuild, EntityDataTurnsTheSignsAndFoldsTheOtherAwardEntities) {
    const char* dat =
        "Ghana:  35:  46:  AF:    7.70:     1.00:     0.0:  9G:\n    9G;\n"
        "Asiatic Turkey:  20:  39:  AS:   39.18:   -35.65:    -2.0:  TA:\n    TA;\n"
        "European Turkey:  20:  39:  EU:   41.02:   -28.97:    -2.0:  *TA1:\n    TA1;\n"
        "Guadeloupe:  08:  11:  NA:   16.13:    61.67:     4.0:  FG:\n    FG;\n";
    std::vector<std::string> leftOut;
    const CountryBuild build =
        buildCountryFiles(numberWithoutCsv(parseCtyDat(dat), PrefixTable{}, leftOut), leftOut);
    const std::vector<std::string> lines = linesOf(build.entityFile);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0].substr(0, 17), "# Entites_DXCC.tx");
    // cty.dat alone gives no ADIF number.
    EXPECT_EQ(lines[6], "9G\tGhana\t7.70\t-1.00\tAF\t35\t46\t0.00\t");
    EXPECT_EQ(lines[7], "FG\tGuadeloupe\t16.13\t-61.67\tNA\t8\t11\t-4.00\t");
    EXPECT_EQ(lines[8], "TA\tTurkey\t39.18\t35.65\tAS\t20\t39\t2.00\t");
    // The program reads back what it wrote.
    const EntityData data = EntityData::parse(build.entityFile);
    ASSERT_NE(data.find("ta"), nullptr);
    EXPECT_DOUBLE_EQ(data.find("ta")->longitude, 35.65);
}

// Without cty.csv a '*' entity joins the DXCC entity the current lookup gives
// for its main prefix (its "/x" suffix dropped), else the entity whose main
// prefix begins it; one that joins none is left out and named.
TEST(CountryFileBuild, OtherAwardEntitiesFoldWithoutCsvThroughTheCurrentLookup) {
    const char* dat =
        "Italy:  15:  28:  EU:  42.82:  -12.58:  -1.0:  I:\n    I;\n"
        "Sicily:  15:  28:  EU:  37.50:  -14.00:  -1.0:  *IT9:\n    IT9;\n"
        "Scotland:  14:  27:  EU:  56.82:  4.18:  0.0:  GM:\n    GM;\n"
        "Shetland Islands:  14:  27:  EU:  60.50:  1.50:  0.0:  *GM/s:\n    =GM0ABC;\n"
        "Austria:  15:  28:  EU:  47.33:  -13.33:  -1.0:  OE:\n    OE;\n"
        "Vienna Intl Ctr:  15:  28:  EU:  48.20:  -16.30:  -1.0:  *4U1V:\n    =4U1A;\n"
        "Nowhere:  1:  1:  EU:  0:  0:  0:  *ZZ9:\n    ZZ9;\n";
    // The current file sends 4U1V to Austria and IT9 elsewhere than any
    // entity of cty.dat: there the longest main prefix decides.
    const PrefixTable current =
        PrefixTable::parse(file({line("4U1V", "Austria", "OE"), line("IT9", "Sicily", "IT9")}));
    std::vector<std::string> leftOut;
    const std::vector<CountryEntity> numbered =
        numberWithoutCsv(parseCtyDat(dat), current, leftOut);
    std::map<std::string, std::string> numbers;
    for (const CountryEntity& e : numbered) numbers[e.mainPrefix] = e.number;
    const std::map<std::string, std::string> expected{
        {"I", "I"}, {"*IT9", "I"}, {"GM", "GM"}, {"*GM/s", "GM"}, {"OE", "OE"}, {"*4U1V", "OE"},
    };
    EXPECT_EQ(numbers, expected);
    EXPECT_EQ(leftOut, std::vector<std::string>{"Nowhere"});
}

// A '*' entity named only by exact calls joins the entity those calls have in
// the current files, not the one a shorter prefix of its label would give.
TEST(CountryFileBuild, AnEntityOfExactCallsOnlyFoldsWhereItsCallsAre) {
    const char* dat =
        "Italy:  15:  28:  EU:  42.82:  -12.58:  -1.0:  I:\n    I,4U;\n"
        "Austria:  15:  28:  EU:  47.33:  -13.33:  -1.0:  OE:\n    OE,=4U1A;\n"
        "Vienna Intl Ctr:  15:  28:  EU:  48.20:  -16.30:  -1.0:  *4U1V:\n    =4U1A;\n";
    const PrefixTable current =
        PrefixTable::parse(file({line("4U", "Italy", "I"), line("OE", "Austria", "OE")}),
                           file({exact("4U1A", "Austria", "OE")}));
    std::vector<std::string> leftOut;
    const std::vector<CountryEntity> numbered =
        numberWithoutCsv(parseCtyDat(dat), current, leftOut);
    ASSERT_EQ(numbered.size(), 3u);
    EXPECT_EQ(numbered[2].number, "OE");
}

struct MergeCase {
    const char* what;
    std::vector<std::string> base, current, built;
    std::vector<std::string> expected, operatorLines;
};

const std::string kF = line("F", "France", "F");
const std::string kTm = line("TM", "France", "F");
const std::string kTo = line("TO", "France", "F");
const std::string kToFg = line("TO", "Guadeloupe", "FG");
const std::string kToFm = line("TO", "Martinique", "FM");
const std::string kFg = line("FG", "Guadeloupe", "FG");
const std::string kMine = line("F8ZZ", "Corse", "TK");

const MergeCase kMergeCases[] = {
    {"an untouched file becomes the new build",
     {kF, kTo},
     {kF, kTo},
     {kF, kFg, kToFg},
     {kF, kFg, kToFg},
     {}},
    {"a prefix the operator added is kept",
     {kF},
     {kF, kMine},
     {kF, kFg},
     {kF, kMine, kFg},
     {kMine}},
    {"the operator's change wins over the new build's line for its prefix",
     {kF, kTo},
     {kF, kToFm},
     {kF, kToFg},
     {kF, kToFm},
     {kToFm}},
    {"a line the operator deleted stays deleted while the build still has it",
     {kF, kTm, kTo},
     {kF, kTo},
     {kF, kTm, kTo, kFg},
     {kF, kFg, kTo},
     {}},
    {"a deleted line comes back when the build changes it",
     {kF, kTo},
     {kF},
     {kF, kToFg},
     {kF, kToFg},
     {}},
    {"an operator line the build now holds too is written once",
     {kF},
     {kF, kFg},
     {kF, kFg},
     {kF, kFg},
     {kFg}},
    {"a missing or empty prefix file takes the new build whole",
     {kF, kTo},
     {},
     {kF, kToFg},
     {kF, kToFg},
     {}},
};

TEST(PrefixMerge, OperatorLinesSurviveTheNewBuild) {
    for (const MergeCase& c : kMergeCases) {
        SCOPED_TRACE(c.what);
        const PrefixMerge merge = mergeOperatorLines(file(c.current), file(c.base), file(c.built));
        EXPECT_EQ(merge.lines, c.expected);
        EXPECT_EQ(merge.fileBytes, file(c.expected));
        EXPECT_EQ(merge.operatorLines, c.operatorLines);
    }
}

TEST(PrefixUpdateSummary, SaysWhatWasAddedRemovedMovedAndRenamed) {
    const std::string before =
        file({line("AA", "United States", "K"), line("K", "United States", "K"),
              line("TO", "France", "F"), line("TX", "France", "F"), line("ZZ", "Old", "ZZ")});
    const std::string after =
        file({line("AA", "United States of America", "K"), line("F", "France", "F"),
              line("K", "United States of America", "K"), line("TO", "Guadeloupe", "FG"),
              line("TX", "France", "F")});
    const PrefixUpdateSummary s = summarizePrefixUpdate(before, after);
    EXPECT_EQ(s.entriesBefore, 5u);
    EXPECT_EQ(s.entriesAfter, 5u);
    EXPECT_EQ(s.added, std::vector<std::string>{line("F", "France", "F")});
    EXPECT_EQ(s.removed, std::vector<std::string>{line("ZZ", "Old", "ZZ")});
    ASSERT_EQ(s.moved.size(), 1u);
    EXPECT_EQ(s.moved[0].callsignPrefix + s.moved[0].from + s.moved[0].to, "TOFFG");
    ASSERT_EQ(s.renamed.size(), 1u);  // two prefixes, one entity
    EXPECT_EQ(s.renamed[0].dxccPrefix, "K");
    EXPECT_EQ(s.renamed[0].from, "United States");
    EXPECT_EQ(s.renamed[0].to, "United States of America");
    EXPECT_FALSE(s.changesNothing());
    EXPECT_TRUE(summarizePrefixUpdate(before, before).changesNothing());

    const std::vector<std::string> text = summaryLines(s, "/x/cty.dat", false);
    const auto has = [&](const std::string& wanted) {
        return std::find(text.begin(), text.end(), wanted) != text.end();
    };
    EXPECT_TRUE(has(std::string(msg::kAdded) + "1"));
    EXPECT_TRUE(has(std::string(msg::kMoved) + "1"));
    EXPECT_TRUE(has("  TO : F -> FG"));
    EXPECT_TRUE(has("  K : United States -> United States of America"));
    EXPECT_TRUE(has("  " + line("ZZ", "Old", "ZZ")));
}

struct HostileCase {
    const char* what;
    std::function<void(const testing_support::TempDir&)> make;
    std::string_view message;
};

const char* kOneEntity = "France:  14:  27:  EU:  46.00:  -2.00:  -1.0:  F:\n    F;\n";

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

const HostileCase kHostileCases[] = {
    {"a folder", [](const auto& d) { std::filesystem::create_directory(d / "cty.dat"); },
     msg::kNotAFile},
    {"a named pipe", [](const auto& d) { ::mkfifo((d / "cty.dat").c_str(), 0600); },
     msg::kNotAFile},
    {"a file of more than 16 MiB",
     [](const auto& d) {
         writeFile(d / "cty.dat", kOneEntity);
         std::filesystem::resize_file(d / "cty.dat", kCountryFileMaxBytes + 1);
     },
     msg::kTooLarge},
    {"an empty file", [](const auto& d) { writeFile(d / "cty.dat", ""); }, msg::kNoEntity},
    {"bytes of no country file",
     [](const auto& d) {
         writeFile(d / "cty.dat", std::string("\x7f"
                                              "ELF\x02\x01\0\0:;",
                                              11));
     },
     msg::kBadEntityLine},
    {"a header without its numbers",
     [](const auto& d) {
         writeFile(d / "cty.dat", "France:  14:  27:  EU:  north:  x:  -1:  F:\n  F;");
     },
     msg::kBadEntityLine},
    {"a main prefix that is no callsign prefix",
     [](const auto& d) {
         writeFile(d / "cty.dat", "France:  14:  27:  EU:  46:  -2:  -1:  #F:\n F;");
     },
     msg::kBadEntityLine},
    {"only entities that count for other awards",
     [](const auto& d) {
         writeFile(d / "cty.dat", "Sicily:  15:  28:  EU:  1:  1:  1:  *IT9:\n IT9;");
     },
     msg::kNoEntity},
    {"a cty.csv beside it that lists other entities",
     [](const auto& d) {
         writeFile(d / "cty.dat", kOneEntity);
         writeFile(d / "cty.csv", "G,England,223,EU,14,27,52.77,1.47,0.0,G;\n");
     },
     msg::kDatCsvDisagree},
    {"a cty.dat cut in its last record (a download that stopped)",
     [](const auto& d) {
         writeFile(d / "cty.dat",
                   std::string(kOneEntity) +
                       "Guadeloupe:  08:  11:  NA:  16.13:  61.67:  4.0:  FG:\n    FG,T");
     },
     msg::kUnterminated},
    {"a cty.dat of one record without its end",
     [](const auto& d) {
         writeFile(d / "cty.dat", "France:  14:  27:  EU:  46.00:  -2.00:  -1.0:  F:\n    F");
     },
     msg::kUnterminated},
    {"a cty.csv cut in its last line",
     [](const auto& d) {
         writeFile(d / "cty.dat", kOneEntity);
         writeFile(d / "cty.csv", "F,France,227,EU,14,27,46.00,-2.00,-1.0,F TM\n");
     },
     msg::kUnterminated},
    {"a cty.csv line that lacks fields",
     [](const auto& d) {
         writeFile(d / "cty.dat", kOneEntity);
         writeFile(d / "cty.csv", "F,France,227\n");
     },
     msg::kBadCsvLine},
};

TEST(PrefixUpdatePlan, RefusesWhatIsNoCountryFileAndSaysWhy) {
    const std::string current = file({kF});
    for (const HostileCase& c : kHostileCases) {
        SCOPED_TRACE(c.what);
        testing_support::TempDir dir;
        c.make(dir);
        try {
            planPrefixUpdate(dir / "cty.dat", current, current, "", PrefixTable{});
            ADD_FAILURE() << "accepted";
        } catch (const CountryFileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
    testing_support::TempDir dir;
    try {
        planPrefixUpdate(dir / "missing.dat", current, current, "", PrefixTable{});
        ADD_FAILURE() << "accepted a missing file";
    } catch (const FileError& e) {
        EXPECT_EQ(e.code(), kFileNotFound);
    }
}

// The plan puts the merge, the build and the summary together, and knows
// when the update would change nothing.
TEST(PrefixUpdatePlan, PlansTheMergeAndKnowsWhenNothingChanges) {
    testing_support::TempDir dir;
    writeFile(dir / "cty.dat", kOneEntity);
    const std::string base = file({kF, kTo});
    const std::string current = file({kF, kTo, kMine});
    const PrefixUpdatePlan plan =
        planPrefixUpdate(dir / "cty.dat", current, base, "", PrefixTable{});
    EXPECT_FALSE(plan.withCsv);
    EXPECT_EQ(plan.baseFile, file({kF}));
    EXPECT_EQ(plan.prefixFile, file({kF, kMine}));
    EXPECT_EQ(plan.summary.removed, std::vector<std::string>{kTo});
    EXPECT_EQ(plan.summary.operatorLines, std::vector<std::string>{kMine});
    EXPECT_TRUE(plan.summary.entityDataChanged);
    EXPECT_FALSE(plan.changesNothing);

    const PrefixUpdatePlan again = planPrefixUpdate(dir / "cty.dat", plan.prefixFile, plan.baseFile,
                                                    plan.entityFile, PrefixTable{});
    EXPECT_TRUE(again.changesNothing);
    EXPECT_TRUE(again.summary.changesNothing());
}

// The session writes the three files together under the data folder's lock,
// and its lookups and entity data follow at once.
TEST(PrefixUpdateSession, WritesUnderTheLockAllOrNothingAndTheLookupsFollow) {
    testing_support::TempDir dir;
    writeFile(dir / "cty.dat",
              "France:  14:  27:  EU:  46.00:  -2.00:  -1.0:  F:\n    F,TM;\n"
              "Guadeloupe:  08:  11:  NA:  16.13:  61.67:  4.0:  FG:\n    FG,TO;\n");
    const std::string shipped = file({kF, kTo});
    const std::string mine = file({kF, kMine, kTo});
    writeFile(dir / std::string(kPrefixFileName), mine);
    const auto prefixFile = [&] { return readFileBytes(dir / std::string(kPrefixFileName)); };
    const auto accept = [](const PrefixUpdatePlan&) { return true; };

    LogSession holder(dir.path());
    ASSERT_EQ(holder.claimDataFolder(), DataFolderLock::Outcome::Held);
    {
        LogSession other(dir.path());
        const PrefixUpdateOutcome refused = other.updatePrefixes(dir / "cty.dat", shipped, accept);
        EXPECT_EQ(refused.failure, SessionOutcome::Failure::FolderInUse);
        EXPECT_FALSE(refused.plan);
        EXPECT_EQ(prefixFile(), mine);
        EXPECT_FALSE(std::filesystem::exists(dir / std::string(kEntityDataFileName)));
    }

    // Said no to, nothing is written.
    const PrefixUpdateOutcome cancelled = holder.updatePrefixes(
        dir / "cty.dat", shipped, [](const PrefixUpdatePlan&) { return false; });
    EXPECT_TRUE(cancelled.ok() && cancelled.cancelled && !cancelled.saved);
    EXPECT_EQ(prefixFile(), mine);

    // A file that cannot be written: those written before it get their old
    // content back.
    std::filesystem::create_directory(dir / std::string(kEntityDataFileName));
    const PrefixUpdateOutcome failed = holder.updatePrefixes(dir / "cty.dat", shipped, accept);
    EXPECT_EQ(failed.failure, SessionOutcome::Failure::File);
    EXPECT_EQ(prefixFile(), mine);
    EXPECT_FALSE(std::filesystem::exists(dir / std::string(kPrefixBaseFileName)));
    std::filesystem::remove(dir / std::string(kEntityDataFileName));

    EXPECT_EQ(holder.prefixes().lookup("TO5X").dxccPrefix, "F");
    EXPECT_EQ(holder.entityData().find("FG"), nullptr);
    const PrefixUpdateOutcome saved = holder.updatePrefixes(dir / "cty.dat", shipped, accept);
    ASSERT_TRUE(saved.ok() && saved.saved) << (saved.messages.empty() ? "" : saved.messages[0]);
    const std::string updated =
        file({kF, kMine, kFg, line("TM", "France", "F"), line("TO", "Guadeloupe", "FG")});
    EXPECT_EQ(prefixFile(), updated);
    EXPECT_EQ(readFileBytes(dir / std::string(kPrefixBaseFileName)), saved.plan->baseFile);
    EXPECT_EQ(readFileBytes(dir / std::string(kEntityDataFileName)), saved.plan->entityFile);
    EXPECT_EQ(holder.prefixes().lookup("TO5X").dxccPrefix, "FG");
    ASSERT_NE(holder.entityData().find("FG"), nullptr);
    EXPECT_DOUBLE_EQ(holder.entityData().find("FG")->longitude, -61.67);

    // The same file again changes nothing: nothing is asked nor written.
    bool asked = false;
    const PrefixUpdateOutcome again =
        holder.updatePrefixes(dir / "cty.dat", shipped, [&](const PrefixUpdatePlan&) {
            asked = true;
            return true;
        });
    EXPECT_TRUE(again.ok() && !again.saved && !asked);
    EXPECT_EQ(again.messages, std::vector<std::string>{std::string(msg::kNothingChanged)});
    EXPECT_EQ(prefixFile(), updated);
}

}  // namespace
}  // namespace dxcc

namespace dxcc {
namespace {

// More than a tenth of the entries removed: the operator must accept it
// knowingly, and the summary says so first.
TEST(PrefixUpdateSummary, SaysFirstWhenMoreThanATenthOfTheEntriesWouldGo) {
    struct Case {
        size_t before, removed;
        bool tooMuch;
    };
    for (const Case& c : {Case{10, 1, false}, Case{10, 2, true}, Case{16078, 1607, false},
                          Case{16078, 1608, true}, Case{0, 0, false}, Case{1, 1, true}}) {
        SCOPED_TRACE(std::to_string(c.removed) + " of " + std::to_string(c.before));
        PrefixUpdateSummary summary;
        summary.entriesBefore = c.before;
        summary.removed.assign(c.removed, kTo);
        EXPECT_EQ(summary.removesTooMuch(), c.tooMuch);
        const std::vector<std::string> lines = summaryLines(summary, "cty.dat", false);
        EXPECT_EQ(lines[0] == removesManyLine(summary), c.tooMuch);
    }
    PrefixUpdateSummary gutted;
    gutted.entriesBefore = 16078;
    gutted.removed.assign(9935, kTo);
    EXPECT_EQ(removesManyLine(gutted),
              "ATTENTION : cette mise à jour supprimerait 9935 des 16078 entrées du fichier des "
              "préfixes (plus d'un dixième) : le fichier des contrées est peut-être incomplet.");
}

// The real country file cut in the middle, as an interrupted download leaves
// it: refused, and no file written; the lookups still find every entity.
TEST(PrefixUpdateSession, ARealCountryFileCutShortIsRefusedAndNothingIsWritten) {
    if (!std::filesystem::exists(kDebianCountryFiles / "cty.dat"))
        GTEST_SKIP() << "no country files in " << kDebianCountryFiles
                     << " (Debian package hamradio-files, which scripts/install-deps installs)";
    testing_support::TempDir dir;
    const std::string whole = readFileBytes(kDebianCountryFiles / "cty.dat");
    writeFile(dir / "cty.dat", whole.substr(0, whole.size() / 2));
    const std::string shipped = readFileBytes(VEL_SOURCE_DIR "/data/Prefixe_DXCC.txt");
    writeFile(dir / std::string(kPrefixFileName), shipped);

    LogSession session(dir.path());
    bool asked = false;
    const PrefixUpdateOutcome refused =
        session.updatePrefixes(dir / "cty.dat", shipped, [&](const PrefixUpdatePlan&) {
            asked = true;
            return true;
        });
    EXPECT_EQ(refused.failure, SessionOutcome::Failure::Refused);
    ASSERT_EQ(refused.messages.size(), 1u);
    EXPECT_NE(refused.messages[0].find(msg::kUnterminated), std::string::npos);
    EXPECT_FALSE(asked);
    EXPECT_EQ(readFileBytes(dir / std::string(kPrefixFileName)), shipped);
    EXPECT_FALSE(std::filesystem::exists(dir / std::string(kPrefixBaseFileName)));
    EXPECT_FALSE(std::filesystem::exists(dir / std::string(kEntityDataFileName)));
    for (const char* call : {"VK2ABC", "ZS6A", "VP8LP", "UA9ABC", "PY2AA", "ZL1AB"})
        EXPECT_FALSE(session.prefixes().lookup(call).dxccPrefix.empty()) << call;

    // A whole file of one entity removes nearly everything: the plan says so.
    writeFile(dir / "cty.dat", kOneEntity);
    bool tooMuch = false;
    session.updatePrefixes(dir / "cty.dat", shipped, [&](const PrefixUpdatePlan& plan) {
        tooMuch = plan.summary.removesTooMuch();
        return false;
    });
    EXPECT_TRUE(tooMuch);
    EXPECT_EQ(readFileBytes(dir / std::string(kPrefixFileName)), shipped);
}

}  // namespace
// cty.dat and cty.csv may list one text as a prefix and as a whole call
// (RM9X): the update keeps its prefix line, or every RM9X... call would move.
TEST(PrefixUpdatePlan, AWholeCallThatIsAlsoAPrefixKeepsItsPrefixLine) {
    testing_support::TempDir dir;
    writeFile(dir / "cty.dat",
              "European Russia:  16:  29:  EU:  53.65:  -41.37:  -4.0:  UA:\n    UA,RM9X,=RM9X;\n");
    const std::string prefixes =
        file({line("RM9X", "European Russia", "UA"), line("UA", "European Russia", "UA")});
    const std::string exactCalls = file({exact("RM9X", "European Russia", "UA")});
    const dxcc::ReferenceFiles current{prefixes, prefixes, exactCalls, exactCalls, ""};
    const PrefixUpdatePlan plan = planPrefixUpdate(dir / "cty.dat", current, PrefixTable{});
    EXPECT_EQ(plan.prefixFile, prefixes);
    EXPECT_EQ(plan.summary.exactCalls.fromPrefixFile, 0u);
}

}  // namespace dxcc
