// An import read in two parts on two processors gives what one reading from
// start to end gives, wherever the second part is begun: at a record's end,
// inside a value, inside a tag, in the header, past an end-of-data marker.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/adif/adif_import.h"
#include "core/base/file_error.h"
#include "core/logbook/logbook.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace dxcc::adif {
namespace {

const PrefixTable& prefixes() {
    static const PrefixTable table = PrefixTable::parse(joinLines({
        buildPrefixEntry("F", "France", "F"),
        buildPrefixEntry("K", "United States", "K"),
    }));
    return table;
}

std::string adifQso(const std::string& call, const std::string& time,
                    const std::string& more = "<band:3>20m") {
    return "<call:" + std::to_string(call.size()) + ">" + call + "<qso_date:8>20080617<time_on:4>" +
           time + more + "<eor>\n";
}

// Everything an import gives that a reader of its result could see.
std::string describe(const AdifImport& imported) {
    std::string text(imported.records.lines());
    const ImportReport& r = imported.report;
    text += "qsos " + std::to_string(r.qsos) + " repeats " + std::to_string(r.duplicates);
    for (const std::string& line : reportLines(r)) text += "\n" + line;
    for (size_t n = 0; n < kNoticeCount; ++n)
        for (const RecordRef& ref : r.notices[n].first) text += " #" + std::to_string(ref.number);
    text += imported.mergeKey ? " dated" : " undated";
    text += r.reader.unterminatedRecordKept ? " unterminated" : "";
    return text;
}

const std::vector<std::string>& files() {
    static const std::vector<std::string> all{
        "Export<eoh>\n" + adifQso("F5ABC", "1200") + adifQso("K1AB", "1201") +
            adifQso("F5ABC", "1200") + adifQso("F6XYZ", "1202", "") + adifQso("F5ABC", "1200"),
        // An <eor> in a value's text, a damaged length, a refused callsign, a
        // malformed tag, a last record without its <eor>.
        adifQso("F5ABC", "1200", "<comment:14>see <eor> here") + adifQso("K1AB", "1201") +
            "<name:40>Jean" + adifQso("F5DEF", "1203") + adifQso("F5 X", "1204") + "<bad tag>" +
            adifQso("K1AB", "1201") + "<call:5>F6XYZ<band:3>40m",
        // Records after an end-of-data marker, and an <EOH> among the records.
        adifQso("F5ABC", "1200") + "<eoh>" + adifQso("K1AB", "1201") + "<APP_LoTW_EOF>" +
            adifQso("F5DEF", "1203") + adifQso("F5GHI", "1204"),
        // An <EOR> with a length, and upper-case markers.
        "<CALL:5>F5ABC<QSO_DATE:8>20080617<TIME_ON:4>1200<EOR:0>" + adifQso("K1AB", "1201") +
            "<CALL:5>F5DEF<QSO_DATE:8>20080617<TIME_ON:4>1203<EOR>" + adifQso("F5ABC", "1200"),
    };
    return all;
}

// Every place the second part may be sought from, and one or two processors
// for the repeats, against the file read by one processor alone.
TEST(AdifImportSharing, TwoPartsGiveWhatOneReadingGives) {
    const ImportSharing alone{ImportSharing::kOnePart, 1};
    for (const std::string& file : files()) {
        const std::string expected =
            describe(importAdif(file, prefixes(), {}, 100, nullptr, alone));
        for (size_t from = 0; from <= file.size(); ++from) {
            for (unsigned shares : {1u, 2u}) {
                const AdifImport shared =
                    importAdif(file, prefixes(), {}, 100, nullptr, {from, shares});
                ASSERT_EQ(describe(shared), expected) << "from " << from << "\n" << file;
            }
        }
    }
}

// The same read from the file, against a log holding some of its QSOs: the
// second reader reads the same open file from its own place.
TEST(AdifImportSharing, TwoPartsOfAFileAgainstALog) {
    testing_support::TempDir dir;
    // The log holds the first file's first two QSOs, which the others repeat.
    const AdifImport known = importAdif(files()[0], prefixes());
    dir.write("F6XYZ_DXCC.log",
              std::string(known.records.lines().substr(0, 2 * (kRecordLength + 2))));
    Logbook log(dir.path());
    log.setStationCallsign("F6XYZ");
    log.load();
    ASSERT_EQ(log.size(), 2u);
    const ImportSharing alone{ImportSharing::kOnePart, 1};
    for (const std::string& file : files()) {
        dir.write("in.adi", file);
        const std::string expected =
            describe(importAdifFile(dir / "in.adi", prefixes(), {}, 0, 100, &log, alone));
        for (size_t from = 0; from <= file.size(); from += 3) {
            const AdifImport shared =
                importAdifFile(dir / "in.adi", prefixes(), {}, 0, 100, &log, {from, 2});
            ASSERT_EQ(describe(shared), expected) << "from " << from << "\n" << file;
        }
    }
}

// More records than the log may take are refused however the file is shared,
// and progress counts both parts' records.
TEST(AdifImportSharing, LimitAndProgressCountBothParts) {
    std::string file;
    for (int i = 0; i < 10000; ++i) file += adifQso("F" + std::to_string(10000 + i), "1200");
    const ImportSharing half{file.size() / 2, 2};
    EXPECT_THROW(importAdif(file, prefixes(), {}, 9999, nullptr, half), FileError);
    EXPECT_EQ(importAdif(file, prefixes(), {}, 10000, nullptr, half).report.qsos, 10000u);

    size_t lastRecords = 0, lastRead = 0;
    const AdifImport imported = importAdif(
        file, prefixes(),
        [&](size_t records, size_t read, size_t all) {
            EXPECT_LE(read, all);
            lastRecords = records;
            lastRead = read;
            return true;
        },
        10000, nullptr, half);
    EXPECT_EQ(lastRecords, 10000u);
    EXPECT_EQ(lastRead, file.size());
    EXPECT_FALSE(imported.cancelled);

    // Stopped at the first report: nothing of the second part is kept.
    const AdifImport stopped = importAdif(
        file, prefixes(), [](size_t, size_t, size_t) { return false; }, 10000, nullptr, half);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(stopped.records.size(), kProgressEvery);
}

}  // namespace
}  // namespace dxcc::adif
