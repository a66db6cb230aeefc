#include "core/adif/adif_export.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/adif/adif_import.h"
#include "core/adif/adif_reader.h"
#include "core/base/file_error.h"
#include "core/logbook/logbook.h"
#include "core/base/text_file.h"
#include "core/prefixes/prefix_table.h"
#include "temp_dir.h"

namespace dxcc::adif {
namespace {

using testing_support::TempDir;

const PrefixTable& prefixes() {
    static const PrefixTable table = PrefixTable::parse(joinLines({
        buildPrefixEntry("EA8", "Canary Islands", "EA8"),
        buildPrefixEntry("F", "France", "F"),
        buildPrefixEntry("G", "England", "G"),
        buildPrefixEntry("VP8", "Falkland Is. \xC9tat", "VP8"),
    }));
    return table;
}

// A record as the entry form or the import writes it, its entity by the lookup.
std::string logLine(std::string call, std::string name, std::string date, std::string time,
                    std::string mode, std::string band, std::string rstReceived,
                    std::string rstSent, char qsl) {
    const LookupResult where = prefixes().lookup(call);
    return buildRecord({call, name, date, time, mode, band, rstReceived, rstSent, where.dxccPrefix,
                        where.entityName, qsl});
}

// Every band label and ADIF band name a log holds, every mode the export
// translates, names and entities with accents, the year rule's edges and the
// import's substitutes come back from an export and an import as the same
// lines.
TEST(AdifExport, ExportThenImportIntoAnEmptyLogGivesTheSameLines) {
    std::vector<std::string> lines;
    const char* bands[] = {"1.8 Mhz", "3.5 Mhz", "7.0 Mhz", "10 Mhz ", "14 Mhz ",
                           "18 Mhz ", "21 Mhz ", "24 Mhz ", "28 Mhz ", "50 Mhz ",
                           "144 Mhz", "432 Mhz", "1.3Ghz",  "2.3 Ghz", "5.7 Ghz",
                           "10 Ghz",  "24 Ghz",  "60M",     "2190M"};
    const char* modes[] = {"SSB", "CW",  "DIG", "SAT", "RTT", "PSK", "HEL", "MFS",
                           "OLI", "JT6", "FT4", "FT8", "USB", "XXX", "THR"};
    const char* calls[] = {"F5ABC", "G4XYZ/P", "EA8/F5ABC", "VP8ZZ", "F4\xC9LU"};
    int n = 0;
    for (const char* band : bands)
        for (const char* mode : modes) {
            const int i = n++;
            const std::string date = (i % 3 == 0)   ? "31/12/51"
                                     : (i % 3 == 1) ? "01/01/50"
                                                    : "17/06/08";
            lines.push_back(logLine(calls[i % 5], i % 4 ? "JOS\xC9" : "", date, "23:59", mode, band,
                                    i % 7 ? "599" : "XX", i % 5 ? "-12" : "XX", i % 2 ? '*' : ' '));
        }

    TempDir dir;
    dir.write("F6XYZ_DXCC.log", joinLines(lines));
    Logbook log(dir.path());
    log.setStationCallsign("F6XYZ");
    log.load();
    const ExportReport report = exportLog(log, dir / "out.adi");
    EXPECT_EQ(report, (ExportReport{lines.size(), 0, 0, 0}));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.adi.tmp"));

    Logbook other(dir.path());
    other.setStationCallsign("F6NEW");
    other.createEmptyLog("F6NEW");
    other.load();
    const LogImport imported = importIntoLog(other, dir / "out.adi", prefixes());
    EXPECT_FALSE(imported.imported.report.reader.any());
    EXPECT_EQ(readLines(other.logPath()), lines);
}

// The field mapping, byte for byte: lengths in bytes of UTF-8, the year rule,
// modes and submodes, the satellite, what is left out and counted.
TEST(AdifExport, EachRecordIsOneLineOfTheMappedFields) {
    struct Row {
        std::string record;
        std::string adif;
        ExportReport report;
    };
    const Row rows[] = {
        {logLine("F5ABC", "JOS\xC9", "17/06/08", "12:35", "RTT", "14 Mhz ", "599", "579", '*'),
         "<CALL:5>F5ABC <NAME:5>JOS\xC3\x89 <QSO_DATE:8>20080617 <TIME_ON:4>1235 <BAND:3>20m "
         "<MODE:4>RTTY <RST_SENT:3>579 <RST_RCVD:3>599 <QSL_RCVD:1>Y <COUNTRY:6>France "
         "<APP_VEL_DXCC_PREFIX:1>F <EOR>\r\n",
         {1, 0, 0, 0}},
        {logLine("G4XYZ", "", "31/12/51", "00:00", "FT4", "1.3Ghz", "XX", "XX", ' '),
         "<CALL:5>G4XYZ <QSO_DATE:8>19511231 <TIME_ON:4>0000 <BAND:4>23cm <MODE:4>MFSK "
         "<SUBMODE:3>FT4 <COUNTRY:7>England <APP_VEL_DXCC_PREFIX:1>G <EOR>\r\n",
         {1, 0, 0, 0}},
        {logLine("VP8ZZ", "", "01/01/50", "23:59", "SAT", "60M", "59", "59", ' '),
         "<CALL:5>VP8ZZ <QSO_DATE:8>20500101 <TIME_ON:4>2359 <BAND:3>60m <PROP_MODE:3>SAT "
         "<RST_SENT:2>59 <RST_RCVD:2>59 <COUNTRY:18>Falkland Is. \xC3\x89tat "
         "<APP_VEL_DXCC_PREFIX:3>VP8 <EOR>\r\n",
         {1, 0, 0, 0}},
        {buildRecord({"XX1XX", "", "32/13/08", "25:61", "XXX", "80 Mhz", "", "", "", "", ' '}),
         "<CALL:5>XX1XX <EOR>\r\n",
         {1, 1, 1, 1}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.record);
        std::string out;
        ExportReport report;
        appendExportRecord(out, r.record, report);
        EXPECT_EQ(out, r.adif);
        EXPECT_EQ(report, r.report);
    }
}

TEST(AdifExport, TheHeaderNamesProgramVersionAndStationAndTheFileReadsBack) {
    const std::string header = exportHeader("F6XYZ_P");
    EXPECT_EQ(header.substr(0, header.find('\r')),
              "Log ADIF de la station F6XYZ/P (VEL_DXCC 1.0.4)");
    std::vector<Field> fields;
    const std::string file = header + "<CALL:5>F5ABC <EOR>\r\n";
    Reader reader(file);
    ASSERT_TRUE(reader.next(fields));
    auto value = [&](std::string_view name) {
        const Field* f = findField(reader.header(), name);
        return f ? std::string(f->value) : std::string("(none)");
    };
    EXPECT_EQ(value("ADIF_VER"), "3.1.4");
    EXPECT_EQ(value("PROGRAMID"), "VEL_DXCC");
    EXPECT_EQ(value("PROGRAMVERSION"), "1.0.4");
    EXPECT_FALSE(reader.warnings().any());
}

TEST(AdifExport, NeverWritesOverTheProgramsOwnFilesAndAFailureKeepsTheTarget) {
    TempDir dir;
    Logbook log(dir.path());
    log.setStationCallsign("F6XYZ");
    struct Row {
        std::filesystem::path file;
        bool dataFile;
    };
    std::filesystem::create_directory(dir / "sub");
    const Row rows[] = {
        {dir / "F6XYZ_DXCC.log", true},   {dir / "F5OTHER_DXCC.log", true},
        {dir / "Prefixe_DXCC.txt", true}, {dir / "Liste_Prenom.txt", true},
        {dir / "log.adi", false},         {dir / "sub" / "F6XYZ_DXCC.log", false},
        {dir / "VEL_DXCC.lock", true},    {dir / "Temporaire8.txt", true},
        {dir / "sub" / "VEL_DXCC.lock", false},
    };
    for (const Row& r : rows) EXPECT_EQ(isDataFile(log, r.file), r.dataFile) << r.file;

    dir.write(
        "F6XYZ_DXCC.log",
        logLine("F5ABC", "", "17/06/08", "12:35", "CW", "14 Mhz ", "599", "599", ' ') + "\r\n");
    log.load();
    dir.write("old.adi", "old");
    std::filesystem::create_directory(dir / "old.adi.tmp");  // the scratch cannot be written
    EXPECT_THROW(exportLog(log, dir / "old.adi"), FileError);
    EXPECT_EQ(dir.read("old.adi"), "old");
}

}  // namespace
}  // namespace dxcc::adif
