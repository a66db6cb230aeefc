#include "core/adif/adif_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "core/base/file_error.h"
#include "core/base/text_file.h"
#include "core/logbook/logbook.h"
#include "core/prefixes/lookup_messages.h"
#include "core/prefixes/prefix_table.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace dxcc::adif {

void PrintTo(const RecordRef& r, std::ostream* os) {
    *os << r.number << " " << r.callsign << " " << r.date << " " << r.time;
}

namespace {

using testing_support::qso;

const PrefixTable& prefixes() {
    static const PrefixTable table = PrefixTable::parse(joinLines({
        buildPrefixEntry("F", "France", "F"),
        buildPrefixEntry("K", "United States", "K"),
    }));
    return table;
}

std::string adifQso(const std::string& call, const std::string& date, const std::string& time,
                    const std::string& more = "<BAND:3>20m") {
    return "<CALL:" + std::to_string(call.size()) + ">" + call + "<QSO_DATE:8>" + date +
           "<TIME_ON:" + std::to_string(time.size()) + ">" + time + more + "<EOR>\n";
}

TEST(AdifImport, BuildsTheBlockInFileOrderWithItsKeyAndReport) {
    const std::string file = "Export<eoh>\n" + adifQso("F5ABC", "20080617", "1235") +
                             adifQso("K1AB", "20070101", "0900", "") + "<CALL:5>F6XYZ<BAND:3>40m";
    const AdifImport imported = importAdif(file, prefixes());
    ASSERT_EQ(imported.records.size(), 3u);
    EXPECT_EQ(imported.records[0].substr(0, 64),
              "F5ABC                        17/06/08 12:35 XXX 14 Mhz  XX  XX  ");
    EXPECT_EQ(imported.records[1].substr(0, 12), "K1AB        ");
    EXPECT_EQ(imported.records[2].substr(29, 14), "01/01/00 00:00");
    for (size_t i = 0; i < imported.records.size(); ++i)
        EXPECT_EQ(imported.records[i].size(), kRecordLength);
    EXPECT_EQ(imported.records.lines().size(), 3 * (kRecordLength + 2));
    EXPECT_EQ(imported.mergeKey, adifMergeKey("20080617", "1235"));
    EXPECT_FALSE(imported.cancelled);

    const ImportReport& report = imported.report;
    EXPECT_EQ(report.qsos, 3u);
    EXPECT_EQ(report.tally(Notice::BandMissing).count, 1u);
    EXPECT_EQ(report.tally(Notice::BandMissing).first,
              (std::vector<RecordRef>{{2, "K1AB", "01/01/07", "09:00"}}));
    EXPECT_EQ(report.tally(Notice::DateMissing).first[0].number, 3u);
    EXPECT_EQ(report.tally(Notice::CallsignMissing).count, 0u);
    EXPECT_TRUE(report.reader.unterminatedRecordKept);
}

// Each record starts afresh: nothing of the record before it carries over.
TEST(AdifImport, RecordsTakeNothingFromTheRecordBefore) {
    const std::string file =
        adifQso("F5ABC", "20080617", "1235", "<BAND:3>20m<NAME:4>JEAN<QSL_RCVD:1>Y") +
        "<CALL:5>ZZ1ZZ<EOR>" + adifQso("K1AB", "20080618", "0900");
    const AdifImport imported = importAdif(file, prefixes());
    ASSERT_EQ(imported.records.size(), 3u);
    EXPECT_EQ(imported.records[1],
              "ZZ1ZZ                        01/01/00 00:00 XXX 1.8 Mhz XX  XX  " +
                  std::string(kRecordLength - 64, ' '));
    EXPECT_EQ(imported.records[2].substr(64), "K      United States" + std::string(23, ' '));
    for (Notice n : {Notice::DateMissing, Notice::TimeMissing, Notice::BandMissing})
        EXPECT_EQ(imported.report.tally(n).first,
                  (std::vector<RecordRef>{{2, "ZZ1ZZ", "01/01/00", "00:00"}}));
}

TEST(AdifImport, ReportListsEachMessageWithItsCountAndFirstRecords) {
    std::string file;
    for (int i = 0; i < 12; ++i)
        file += adifQso("F5AB" + std::to_string(i), "20080617", "1200", "");
    file += "<CALL:5>F5XYZ<QSO_DATE:8>20080617<TIME_ON:4>1200<BAND:3>20m<FOO><EOR>";
    const std::vector<std::string> lines = reportLines(importAdif(file, prefixes()).report);
    const std::vector<std::string> expected{
        "QSO importés : 13",
        "Bande absente, remplacée par 1.8 Mhz : 12 QSO",
        "   QSO n° 1  F5AB0  17/06/08 12:00",
        "   QSO n° 2  F5AB1  17/06/08 12:00",
        "   QSO n° 3  F5AB2  17/06/08 12:00",
        "   QSO n° 4  F5AB3  17/06/08 12:00",
        "   QSO n° 5  F5AB4  17/06/08 12:00",
        "   QSO n° 6  F5AB5  17/06/08 12:00",
        "   QSO n° 7  F5AB6  17/06/08 12:00",
        "   QSO n° 8  F5AB7  17/06/08 12:00",
        "   QSO n° 9  F5AB8  17/06/08 12:00",
        "   QSO n° 10  F5AB9  17/06/08 12:00",
        "   ...",
        "Balises ADIF illisibles, ignorées : 1",
    };
    EXPECT_EQ(lines, expected);
}

// A maritime or aeronautical mobile is imported without prefix nor entity,
// and the report says so once, naming the records.
TEST(AdifImport, MaritimeAndAeronauticalMobilesCountForNoEntity) {
    const std::string file = adifQso("F5ABC/MM", "20080617", "1200") +
                             adifQso("F5ABC/P", "20080617", "1201") +
                             adifQso("K1AB/AM", "20080617", "1202");
    const AdifImport imported = importAdif(file, prefixes());
    ASSERT_EQ(imported.records.size(), 3u);
    const std::string noEntity(kRecordLength - 64 - 1, ' ');
    EXPECT_EQ(imported.records[0].substr(64, noEntity.size()), noEntity);
    EXPECT_EQ(imported.records[1].substr(64, 7), "F      ");
    EXPECT_EQ(imported.records[2].substr(64, noEntity.size()), noEntity);
    const std::vector<std::string> lines = reportLines(imported.report);
    const std::vector<std::string> expected{
        "QSO importés : 3",
        std::string(lookup_messages::kMaritimeMobile) + " : 2 QSO",
        "   QSO n° 1  F5ABC/MM  17/06/08 12:00",
        "   QSO n° 3  K1AB/AM  17/06/08 12:02",
    };
    EXPECT_EQ(lines, expected);
}

TEST(AdifImport, ProgressIsReportedAndCanStopTheImport) {
    std::string file;
    // Distinct QSOs: equal ones would be left out.
    for (size_t i = 0; i < kProgressEvery + 10; ++i)
        file += adifQso("F" + std::to_string(10000 + i), "20080617", "1200");
    size_t calls = 0, lastRecords = 0;
    const AdifImport whole =
        importAdif(file, prefixes(), [&](size_t records, size_t read, size_t all) {
            ++calls;
            lastRecords = records;
            EXPECT_LE(read, all);
            return true;
        });
    EXPECT_FALSE(whole.cancelled);
    EXPECT_EQ(calls, 2u);
    EXPECT_EQ(lastRecords, kProgressEvery + 10);

    const AdifImport stopped =
        importAdif(file, prefixes(), [](size_t, size_t, size_t) { return false; });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(stopped.records.size(), kProgressEvery);
}

// Re-importing a file that kept growing: the QSOs already in the log, and a
// QSO the file gives twice, are left out and counted, by the same routine
// the window and the command line run.
TEST(AdifIntoLog, QsosAlreadyThereAreNotAddedAgain) {
    testing_support::TempDir dir;
    dir.write("F6XYZ_DXCC.log", joinLines({qso("A", "01/02/08", "10:00")}));
    Logbook log(dir.path());
    log.setStationCallsign("F6XYZ");
    log.load();
    const std::string first =
        "x<eoh>\n" + adifQso("F5ABC", "20080617", "1200") + adifQso("K1AB", "20080617", "1201");
    dir.write("in.adi", first);
    EXPECT_EQ(importIntoLog(log, dir / "in.adi", prefixes()).imported.report.qsos, 2u);

    struct Again {
        const char* what;
        std::string more;
        size_t imported;
    };
    const Again cases[] = {
        {"the same QSOs", "", 0},
        {"the same QSO given twice more",
         adifQso("F5ABC", "20080617", "1200") + adifQso("F5ABC", "20080617", "1200"), 0},
        {"a new minute, band or mode is a new QSO",
         adifQso("F5ABC", "20080617", "1300") +
             adifQso("F5ABC", "20080617", "1200", "<BAND:3>40m") +
             adifQso("F5ABC", "20080617", "1200", "<BAND:3>20m<MODE:2>CW"),
         3},
        {"a QSO twice in the new part",
         adifQso("G0AAA", "20080618", "0900") + adifQso("G0AAA", "20080618", "090059"), 1},
    };
    size_t total = log.size();
    for (const Again& c : cases) {
        dir.write("in.adi", first + c.more);
        const LogImport again = importIntoLog(log, dir / "in.adi", prefixes());
        const size_t read = readAll(first + c.more).size();
        EXPECT_EQ(again.imported.report.qsos, c.imported) << c.what;
        EXPECT_EQ(again.imported.report.duplicates, read - c.imported) << c.what;
        total += c.imported;
        EXPECT_EQ(log.size(), total) << c.what;
        const std::vector<std::string> lines = reportLines(again.imported.report);
        EXPECT_NE(
            std::find(lines.begin(), lines.end(),
                      "QSO déjà présents, non importés : " + std::to_string(read - c.imported)),
            lines.end())
            << c.what;
    }
}

// What a damaged file does to a record: the value cut at the field it ran
// into, the callsign that cannot be one kept out, each named by its record.
TEST(AdifImport, DamagedLengthsAndUnreadableCallsignsAreNamed) {
    struct Case {
        const char* what;
        std::string file;
        size_t qsos;
        Notice notice;
        size_t record;  // 1-based number of the record named
        const char* firstCallsign;
    };
    const Case cases[] = {
        {"a name that runs over the next record",
         "<CALL:5>F5ABC<NAME:93>Jean<QSO_DATE:8>20240101<TIME_ON:4>1200<BAND:3>20m<EOR>\n"
         "<CALL:5>F5DEF<QSO_DATE:8>20240101<TIME_ON:4>1201<BAND:3>20m<EOR>\n"
         "<CALL:5>F5GHI<QSO_DATE:8>20240101<TIME_ON:4>1202<BAND:3>20m<EOR>\n"
         "<CALL:5>F5JKL<QSO_DATE:8>20240101<TIME_ON:4>1203<BAND:3>20m<EOR>\n",
         4, Notice::DamagedLength, 1, "F5ABC"},
        {"a callsign whose length runs to the end",
         "<QSO_DATE:8>20240101<TIME_ON:4>1200<BAND:3>20m<EOR>\n"
         "<CALL:50>F5XYZ <QSO_DATE:8>20240102<TIME_ON:4>1300<BAND:3>20m<EOR>\n",
         2, Notice::DamagedLength, 2, "FXXXX"},
        {"a callsign in another alphabet",
         "<CALL:5>F5ABC<QSO_DATE:8>20240101<TIME_ON:4>1200<EOR>\n"
         "<CALL:7>\xD0\xA3\xD0\x90"
         "3ABC<QSO_DATE:8>20240101<TIME_ON:4>1201<EOR>\n",
         1, Notice::CallsignRefused, 2, "F5ABC"},
        {"a callsign with a blank inside", "<CALL:9>F5ABC K1A<QSO_DATE:8>20240101<EOR>\n", 0,
         Notice::CallsignRefused, 1, ""},
    };
    for (const Case& c : cases) {
        const AdifImport imported = importAdif(c.file, prefixes());
        EXPECT_EQ(imported.report.qsos, c.qsos) << c.what;
        const NoticeTally& t = imported.report.tally(c.notice);
        ASSERT_EQ(t.count, 1u) << c.what;
        EXPECT_EQ(t.first[0].number, c.record) << c.what;
        if (c.qsos > 0) {
            EXPECT_EQ(trimBlanks(imported.records[0].substr(0, 12)), c.firstCallsign) << c.what;
        }
        for (size_t i = 0; i < imported.records.size(); ++i)
            EXPECT_EQ(imported.records[i].find('<'), std::string_view::npos) << c.what;
    }
    // The gathered messages name the record once.
    const std::vector<std::string> lines =
        reportLines(importAdif(cases[0].file, prefixes()).report);
    const std::vector<std::string> expected{
        "QSO importés : 4",
        "Longueur de valeur qui empiète sur le champ suivant, valeur coupée à la balise : 1 QSO",
        "   QSO n° 1  F5ABC  01/01/24 12:00",
    };
    EXPECT_EQ(lines, expected);
    // The callsign cut at the damaged length is the station's, and the date read.
    const AdifImport cut = importAdif(cases[1].file, prefixes());
    EXPECT_EQ(cut.records[1].substr(0, 43), "F5XYZ                        02/01/24 13:00");
}

// Values of the right length are their bytes, whatever tags they hold: each
// QSO keeps its callsign, date, time and band, and nothing is reported.
TEST(AdifImport, TagsInsideValuesOfTheRightLengthAreText) {
    const std::string file =
        "<CALL:5>F5ABC<NOTES:16>see <EOR> below.<QSO_DATE:8>20240101<TIME_ON:4>1200<BAND:3>20m"
        "<EOR>\n"
        "<COMMENT:29><CALL:5>K1ABC is not the call<CALL:5>F5DEF<QSO_DATE:8>20240102"
        "<TIME_ON:4>1300<BAND:3>40m<EOR>\n";
    const AdifImport imported = importAdif(file, prefixes());
    ASSERT_EQ(imported.records.size(), 2u);
    EXPECT_EQ(imported.records[0].substr(0, 55),
              "F5ABC                        01/01/24 12:00 XXX 14 Mhz ");
    EXPECT_EQ(imported.records[1].substr(0, 55),
              "F5DEF                        02/01/24 13:00 XXX 7.0 Mhz");
    EXPECT_EQ(reportLines(imported.report), std::vector<std::string>{"QSO importés : 2"});
}

struct PlacementCase {
    const char* what;
    std::vector<std::string> log;
    std::string firstDate, firstTime;
    size_t index;
};

TEST(AdifMerge, BlockGoesBeforeTheFirstLineAtOrAfterTheFirstRecord) {
    const std::vector<std::string> log2008{qso("A", "01/02/08", "10:00"),
                                           qso("B", "01/03/08", "10:00"),
                                           qso("C", "01/04/08", "10:00")};
    const std::vector<PlacementCase> cases{
        {"file from 2007 before a log from 2008", log2008, "20070101", "0000", 0},
        {"file after every line", log2008, "20090101", "0000", 3},
        {"between two lines", log2008, "20080215", "1200", 1},
        {"the same date and time goes first", log2008, "20080301", "1000", 1},
        {"one minute later goes after", log2008, "20080301", "1001", 2},
        {"into an empty log", {}, "20080101", "0000", 0},
        {"no date: at the end", log2008, "", "0000", 3},
        {"no time: at the end", log2008, "20070101", "", 3},
        {"50 is 2050 to the import", {qso("A", "01/01/50", "12:00")}, "20491231", "2359", 0},
        {"51 is 1951", {qso("A", "01/01/51", "12:00")}, "20000101", "0000", 1},
        {"lines without a date never take the block",
         {"", "garbage", qso("A", "01/01/08", "12:00")},
         "20070101",
         "0000",
         2},
    };
    for (const PlacementCase& c : cases) {
        const std::vector<std::string_view> lines(c.log.begin(), c.log.end());
        AdifImport imported;
        imported.mergeKey = adifMergeKey(c.firstDate, c.firstTime);
        const MergePlan plan = planMerge(lines, imported);
        EXPECT_EQ(plan.index, c.index) << c.what;
        EXPECT_EQ(plan.dated, imported.mergeKey.has_value()) << c.what;
        EXPECT_EQ(plan.linesBefore + plan.linesAfter, c.log.size()) << c.what;
    }
}

TEST(AdifMerge, PlansAgainstTheLoadedLog) {
    testing_support::TempDir dir;
    Logbook log(dir.path());
    log.setStationCallsign("F6XYZ");
    dir.write("F6XYZ_DXCC.log",
              joinLines({qso("A", "01/02/08", "10:00"), qso("B", "01/03/08", "10:00")}));
    log.load();
    const AdifImport imported = importAdif(adifQso("F5ABC", "20080215", "1200"), prefixes());
    const MergePlan plan = planMerge(log, imported);
    EXPECT_EQ(plan.index, 1u);
    EXPECT_EQ(plan.linesAfter, 1u);
}

// The log after an import: each ADIF record mapped on its own, as the test
// expects it, inserted at `index` among the log's lines.
std::string expectedLog(const std::vector<std::string>& logLines, const std::string& adif,
                        size_t index) {
    std::vector<std::string> lines = logLines;
    std::vector<std::string> block;
    for (const auto& record : readAll(adif))
        block.push_back(buildRecord(mapRecord(record, prefixes()).fields));
    lines.insert(lines.begin() + static_cast<ptrdiff_t>(index), block.begin(), block.end());
    return joinLines(lines);
}

struct IntoLogCase {
    const char* what;
    size_t records;  // more than kRecordsToEstimate: the log is merged into the block's memory
    size_t index;
};

// From the file to the rewritten log, as the window and the command line run it.
TEST(AdifIntoLog, TheBlockGoesIntoTheLogAtItsPlace) {
    const std::vector<std::string> log2008{qso("A", "01/02/08", "10:00"),
                                           qso("B", "01/03/08", "10:00"),
                                           qso("C", "01/04/08", "10:00")};
    const std::vector<IntoLogCase> cases{
        {"a few records in the middle", 3, 1},
        {"thousands of records in the middle", 5000, 1},
        {"thousands of records at the start", 5000, 0},
        {"thousands of records at the end", 5000, 3},
    };
    for (const IntoLogCase& c : cases) {
        testing_support::TempDir dir;
        dir.write("F6XYZ_DXCC.log", joinLines(log2008));
        Logbook log(dir.path());
        log.setStationCallsign("F6XYZ");
        log.load();
        const std::string firstDate = c.index == 0   ? "20080101"
                                      : c.index == 1 ? "20080215"
                                                     : "20080601";
        std::string adif = "Export<eoh>\n";
        for (size_t i = 0; i < c.records; ++i)
            adif += adifQso((i % 2 ? "K1AB" : "f5abc") + std::to_string(i / 2), firstDate, "1200",
                            i % 3 ? "<BAND:3>20m<NAME:5>Ren\xC3\xA9" : "<QSL_RCVD:1>Y");
        dir.write("in.adi", adif);

        const LogImport result = importIntoLog(log, dir / "in.adi", prefixes());
        EXPECT_EQ(dir.read("F6XYZ_DXCC.log"), expectedLog(log2008, adif, c.index)) << c.what;
        EXPECT_EQ(result.imported.report.qsos, c.records) << c.what;
        EXPECT_EQ(result.plan.index, c.index) << c.what;
        EXPECT_EQ(result.change.kind, LogChange::Kind::Inserted) << c.what;
        EXPECT_EQ(result.change.row, c.index) << c.what;
        EXPECT_EQ(result.change.count, c.records) << c.what;
        EXPECT_TRUE(result.imported.records.empty()) << c.what;  // the log took them
        EXPECT_EQ(log.size(), log2008.size() + c.records) << c.what;
        EXPECT_EQ(joinLines(readLines(log.logPath())), dir.read("F6XYZ_DXCC.log")) << c.what;
        for (size_t i = 0; i < log.size(); i += 997)
            EXPECT_EQ(log.record(i), readLines(log.logPath())[i]) << c.what << " line " << i;
    }
}

// Stopped, or unable to read its file, the import leaves the log as it was.
TEST(AdifIntoLog, ACancelledOrFailedImportLeavesTheLogAlone) {
    testing_support::TempDir dir;
    const std::string before = joinLines({qso("A", "01/02/08", "10:00")});
    dir.write("F6XYZ_DXCC.log", before);
    Logbook log(dir.path());
    log.setStationCallsign("F6XYZ");
    log.load();
    std::string adif;
    for (size_t i = 0; i < kProgressEvery + 10; ++i) adif += adifQso("F5ABC", "20080617", "1200");
    dir.write("in.adi", adif);

    const LogImport stopped = importIntoLog(log, dir / "in.adi", prefixes(),
                                            [](size_t, size_t, size_t) { return false; });
    EXPECT_TRUE(stopped.imported.cancelled);
    EXPECT_EQ(dir.read("F6XYZ_DXCC.log"), before);
    EXPECT_EQ(log.size(), 1u);

    EXPECT_THROW(importIntoLog(log, dir / "missing.adi", prefixes()), FileError);
    EXPECT_EQ(dir.read("F6XYZ_DXCC.log"), before);
    EXPECT_EQ(log.size(), 1u);
}

// Real exports of other programs, read where they are kept; never copied here.
std::filesystem::path corpusDir() {
    if (const char* dir = std::getenv("VEL_CORPUS_DIR")) return dir;
    const std::filesystem::path source = VEL_SOURCE_DIR;
    for (const auto& shared : {source / ".." / "shared", source / ".." / ".." / "shared"})
        if (std::filesystem::is_directory(shared / "corpora" / "adif"))
            return shared / "corpora" / "adif";
    return {};
}

struct CorpusCase {
    const char* file;
    size_t qsos;
    // One record to check completely, by its 0-based position.
    size_t at;
    const char* record;
};

TEST(AdifCorpus, RealExportsImportEveryRecord) {
    const std::filesystem::path dir = corpusDir();
    if (dir.empty() || !std::filesystem::exists(dir / "README.md"))
        GTEST_SKIP() << "no ADIF corpus (set VEL_CORPUS_DIR)";
    const std::vector<CorpusCase> cases{
        {"ADIF_317_test_QSOs_2026_03_22.adi", 6197, 3,
         "YV9AAC                       22/01/26 00:17 CLO 24 Mhz  XX  XX  "},
        {"SydneyOwl_ADIF_317_test_QSOs_2026_03_22.lf-normalised.adi", 6197, 3,
         "YV9AAC                       22/01/26 00:17 CLO 24 Mhz  XX  XX  "},
        {"farmergreg_ADIF_316_test_QSOs_2025_08_27.adi", 6191, 0,
         "VE3AAA                       27/06/25 00:00 SSB 14 Mhz  XX  XX  "},
        {"EI3CTB_ADIF_wsjtx_log.adi", 14608, 14605,
         "IU6PIX                       26/12/24 22:47 FT8 7.0 Mhz +05 -12 "},
        {"diablowu_jtdx-config_wsjtx_log.adi", 2272, 0,
         "VK6ZKO                       02/04/22 05:27 FT8 50 Mhz  -11 -25 "},
        {"farmergreg_Log4OM.adi", 122, 0,
         "KE8LVA       AARON M FRAZIER 30/01/21 15:07 SSB 7.0 Mhz 57  55  "},
        {"farmergreg_N3FJP-AClogAdif.adi", 438, 0,
         "N5ILQ                        02/06/22 18:20 CW  14 Mhz  XX  XX  "},
        {"farmergreg_lotwreport.adi", 438, 3,
         "KW2P                         01/06/22 02:38 CW  7.0 Mhz XX  XX  "},
        {"farmergreg_qrz.adi", 931, 184,
         "VE2WFF       CLAUDE C\xD4T      24/05/21 16:34 USB 14 Mhz  56  53  "},
        {"farmergreg_skcc-logger.adi", 15, 0,
         "N2KPJ        TOM             09/01/22 20:03 CW  14 Mhz  599 559 "},
        {"k0swe_js8call.adi", 1, 0,
         "VE4DL        DAVE            05/10/20 00:49 JS8 7.0 Mhz XX  -15 "},
        {"k0swe_lotw.adi", 1, 0,
         "NR0Q                         15/06/21 11:17 FT8 10 Mhz  XX  XX  "},
        {"k0swe_qrz.adi", 3, 0, "KK9A         JOHN P BAYNE    29/03/20 00:34 SSB 14 Mhz  59  59  "},
        {"k0swe_spec-sample.adi", 2, 1,
         "ON4UN                        22/10/10 01:11 PSK 7.0 Mhz XX  XX  "},
        {"k0swe_wsjtx.adi", 1, 0,
         "KA9FOX                       23/10/20 15:45 FT8 7.0 Mhz -13 -07 "},
        {"stevenmburns_wsjtx-logs_wsjtx_log.adi", 528, 0,
         "KG4LKY                       07/04/23 18:59 FT8 28 Mhz  -11 +03 "},
        {"derived/bom_no_header.adi", 20, 0,
         "KG4LKY                       07/04/23 18:59 FT8 28 Mhz  -11 +03 "},
        {"derived/jtdx_single_line_no_final_eor.adi", 2272, 2246,
         "JA4CQS                       10/11/22 11:52 FT8 3.5 Mhz -21 -12 "},
    };
    for (const CorpusCase& c : cases) {
        const AdifImport imported = importAdifFile(dir / c.file, prefixes());
        // A QSO the file gives twice is imported once.
        const std::string_view file = c.file;
        size_t twice = 0;  // QSOs the file gives twice, counted by the reference reader
        if (file.starts_with("EI3CTB")) twice = 2;
        if (file.find("jtdx") != std::string_view::npos) twice = 25;
        if (file.starts_with("farmergreg_N3FJP") || file.starts_with("farmergreg_lotw") ||
            file.starts_with("farmergreg_qrz") || file.starts_with("stevenmburns"))
            twice = 1;
        EXPECT_EQ(imported.report.duplicates, twice) << c.file;
        ASSERT_EQ(imported.records.size() + twice, c.qsos) << c.file;
        EXPECT_EQ(imported.records[c.at].substr(0, 64), c.record) << c.file;
        // Every file here carries a date, a time, a callsign and a band on
        // every record; a maritime mobile among them is no fault of the file.
        for (size_t n = 0; n < kNoticeCount; ++n)
            if (n != static_cast<size_t>(Notice::MaritimeMobile)) {
                EXPECT_EQ(imported.report.notices[n].count, 0u) << c.file << " notice " << n;
            }
    }
}

}  // namespace
}  // namespace dxcc::adif
