// A log may never grow beyond what the program can read again: an operation
// whose result would not fit is refused before anything is written, and one
// that reaches the limit exactly is done and the log still opens.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/adif/adif_import.h"
#include "core/base/file_error.h"
#include "core/base/text_file.h"
#include "core/logbook/logbook.h"
#include "core/prefixes/prefix_table.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

using testing_support::qso;
using testing_support::TempDir;

constexpr size_t kLine = kRecordLength + 2;  // a record and its CR LF

// `n` records, one a day from the 1st of January 2008.
std::vector<std::string> records(size_t n) {
    std::vector<std::string> out;
    for (size_t i = 0; i < n; ++i) {
        const std::string day = (i < 9 ? "0" : "") + std::to_string(i + 1);
        out.push_back(
            qso("F5A" + std::string(2, static_cast<char>('A' + i)), day + "/01/08", "10:00"));
    }
    return out;
}

std::string crlfLog(size_t n) {
    return joinLines(records(n));
}

std::string lfLog(size_t n) {
    std::string out;
    for (const std::string& r : records(n)) out += r + "\n";
    return out;
}

// Short lines, as an old file may hold: the QSL mark makes them grow.
std::string shortLines(size_t n) {
    std::string out;
    for (const std::string& r : records(n)) out += r.substr(0, 30) + "\r\n";
    return out;
}

const char kAdif[] =
    "<CALL:5>F5ADI<QSO_DATE:8>20080102<TIME_ON:4>1100<BAND:3>20m<MODE:3>SSB<EOR>\n"
    "<CALL:5>F5ADJ<QSO_DATE:8>20080102<TIME_ON:4>1200<BAND:3>20m<MODE:2>CW<EOR>\n";

struct Growth {
    const char* name;
    FileLimits limits;
    std::string log;
    std::function<void(Logbook&, const TempDir&)> run;
    bool fits;
};

const FileLimits kFiveLines{5 * kLine, 5};
const FileLimits kManyLines{5 * kLine, 1000};

void importTwo(Logbook& log, const TempDir& dir) {
    adif::importIntoLog(log, dir / "two.adi", PrefixTable());
}

const Growth kGrowths[] = {
    {"append to the last line", kFiveLines, crlfLog(4),
     [](Logbook& l, const TempDir&) { l.appendRecord(qso("F5NEW", "20/01/08", "10:00")); }, true},
    {"append one line too many", kFiveLines, crlfLog(5),
     [](Logbook& l, const TempDir&) { l.appendRecord(qso("F5NEW", "20/01/08", "10:00")); }, false},
    {"append one byte too many",
     {5 * kLine - 1, 1000},
     crlfLog(4),
     [](Logbook& l, const TempDir&) { l.appendRecord(qso("F5NEW", "20/01/08", "10:00")); },
     false},
    {"insert to the last line", kFiveLines, crlfLog(4),
     [](Logbook& l, const TempDir&) { l.insertInDateOrder(qso("F5NEW", "02/01/08", "11:00")); },
     true},
    {"insert one line too many", kFiveLines, crlfLog(5),
     [](Logbook& l, const TempDir&) { l.insertInDateOrder(qso("F5NEW", "02/01/08", "11:00")); },
     false},
    {"block to the last line", kFiveLines, crlfLog(3),
     [](Logbook& l, const TempDir&) { l.insertBlock(1, records(2)); }, true},
    {"block one line too many", kFiveLines, crlfLog(4),
     [](Logbook& l, const TempDir&) { l.insertBlock(1, records(2)); }, false},
    {"block of bytes too many", kManyLines, crlfLog(4),
     [](Logbook& l, const TempDir&) { l.insertBlockLines(0, {ByteBuffer(joinLines(records(2)))}); },
     false},
    {"import to the last line", kFiveLines, crlfLog(3), importTwo, true},
    {"import one record too many", kFiveLines, crlfLog(4), importTwo, false},
    {"import into bytes too few", kManyLines, crlfLog(4), importTwo, false},
    {"line ends made CR LF, to the limit",
     {6 * kLine, 1000},
     lfLog(6),
     [](Logbook& l, const TempDir&) { l.modifyAt(0, std::string(l.record(0)), records(1)[0]); },
     true},
    {"line ends made CR LF, one byte over",
     {6 * kLine - 1, 1000},
     lfLog(6),
     [](Logbook& l, const TempDir&) { l.modifyAt(0, std::string(l.record(0)), records(1)[0]); },
     false},
    {"QSL marks that lengthen short lines",
     {3 * 32 + kRecordLength - 30, 1000},
     shortLines(3),
     [](Logbook& l, const TempDir&) { l.confirmRows({0}); },
     true},
    {"QSL marks, one byte over",
     {3 * 32 + kRecordLength - 31, 1000},
     shortLines(3),
     [](Logbook& l, const TempDir&) { l.confirmRows({0}); },
     false},
};

TEST(LogLimits, AnOperationThatWouldOutgrowTheLogIsRefusedBeforeWriting) {
    for (const Growth& g : kGrowths) {
        SCOPED_TRACE(g.name);
        TempDir dir;
        dir.write("F6XYZ_DXCC.log", g.log);
        dir.write("two.adi", kAdif);
        Logbook log(dir.path(), g.limits);
        log.setStationCallsign("F6XYZ");
        log.load();
        try {
            g.run(log, dir);
            EXPECT_TRUE(g.fits) << "the log outgrew its limit";
        } catch (const FileError& e) {
            EXPECT_FALSE(g.fits) << e.what();
            EXPECT_EQ(e.code(), kOutOfMemory);
            EXPECT_EQ(e.problem(), FileProblem::LogLimitReached);
            EXPECT_EQ(dir.read("F6XYZ_DXCC.log"), g.log);
        }
        // Whatever happened, the program can open the log again, and the copy
        // is what the file holds.
        Logbook again(dir.path(), g.limits);
        again.setStationCallsign("F6XYZ");
        ASSERT_NO_THROW(again.load());
        ASSERT_EQ(log.size(), again.size());
        for (size_t i = 0; i < log.size(); ++i) EXPECT_EQ(log.record(i), again.record(i));
        for (const char* scratch : kScratchFileNames)
            EXPECT_FALSE(std::filesystem::exists(dir / scratch)) << scratch;
    }
}

}  // namespace
}  // namespace dxcc
