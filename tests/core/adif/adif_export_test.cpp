#include "core/adif/adif_export.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/adif/adif_import.h"
#include "core/adif/adif_reader.h"
#include "core/base/export_target.h"
#include "core/base/file_error.h"
#include "core/base/text_file.h"
#include "core/logbook/logbook.h"
#include "core/prefixes/entity_data.h"
#include "core/prefixes/prefix_table.h"
#include "station_log.h"
#include "temp_dir.h"

namespace dxcc::adif {
namespace {

using testing_support::TempDir;

const auto& prefixes = testing_support::adifTestPrefixes;
const auto& logLine = testing_support::loggedLine;

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
        // Only ADIF's modes, the others in the application field, and only
        // days of the calendar; the import's substitute date is no day.
        {logLine("F5ABC", "", "00/01/24", "12:00", "USB", "14 Mhz ", "59", "59", ' '),
         "<CALL:5>F5ABC <TIME_ON:4>1200 <BAND:3>20m <MODE:3>SSB <SUBMODE:3>USB "
         "<APP_VEL_DXCC_MODE:3>USB <RST_SENT:2>59 <RST_RCVD:2>59 <COUNTRY:6>France "
         "<APP_VEL_DXCC_PREFIX:1>F <EOR>\r\n",
         {1, 1, 0, 0}},
        {logLine("F5ABC", "", "30/02/24", "12:00", "DST", "144 Mhz", "59", "59", ' '),
         "<CALL:5>F5ABC <TIME_ON:4>1200 <BAND:2>2m <MODE:12>DIGITALVOICE <SUBMODE:5>DSTAR "
         "<RST_SENT:2>59 <RST_RCVD:2>59 <COUNTRY:6>France <APP_VEL_DXCC_PREFIX:1>F <EOR>\r\n",
         {1, 1, 0, 0}},
        {logLine("F5ABC", "", "29/02/24", "12:00", "DIG", "14 Mhz ", "59", "59", ' '),
         "<CALL:5>F5ABC <QSO_DATE:8>20240229 <TIME_ON:4>1200 <BAND:3>20m "
         "<APP_VEL_DXCC_MODE:3>DIG <RST_SENT:2>59 <RST_RCVD:2>59 <COUNTRY:6>France "
         "<APP_VEL_DXCC_PREFIX:1>F <EOR>\r\n",
         {1, 0, 0, 0}},
        {logLine("F5ABC", "", "01/01/00", "00:00", "FM", "14 Mhz ", "59", "59", ' '),
         "<CALL:5>F5ABC <TIME_ON:4>0000 <BAND:3>20m <MODE:2>FM "
         "<RST_SENT:2>59 <RST_RCVD:2>59 <COUNTRY:6>France <APP_VEL_DXCC_PREFIX:1>F <EOR>\r\n",
         {1, 1, 0, 0}},
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

// ADIF's DXCC field carries the entity's number, where the entity data knows
// it; a QSO without an entity (maritime mobile) has none.
TEST(AdifExport, DxccCarriesTheEntitysAdifNumber) {
    const EntityData entities = EntityData::parse(
        "F\tFrance\t46.00\t2.00\tEU\t14\t27\t1.00\t227\r\n"
        "3D2/R\tRotuma Island\t-12.50\t177.08\tOC\t32\t56\t12.00\t460\r\n"
        "FG\tGuadeloupe\t16.13\t-61.67\tNA\t8\t11\t-4.00\r\n");
    struct Row {
        const char* prefix;
        const char* dxcc;  // empty: no field
    };
    for (const Row& r : {Row{"F", "<DXCC:3>227 "}, Row{"3D2/R", "<DXCC:3>460 "}, Row{"FG", ""},
                         Row{"K", ""}, Row{"", ""}}) {
        SCOPED_TRACE(r.prefix);
        const std::string stored = buildRecord(
            {"F5ABC", "", "17/06/08", "12:35", "CW", "14 Mhz ", "599", "599", r.prefix, "", ' '});
        std::string out;
        ExportReport report;
        appendExportRecord(out, stored, report, &entities);
        const size_t end = out.find("<EOR>");
        ASSERT_NE(end, std::string::npos);
        const size_t dxcc = out.find("<DXCC:");
        EXPECT_EQ(dxcc == std::string::npos ? "" : out.substr(dxcc, end - dxcc), r.dxcc);
        std::string without;
        appendExportRecord(without, stored, report);
        EXPECT_EQ(without.find("<DXCC:"), std::string::npos);
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
        {dir / "F6XYZ_DXCC.log", true},
        {dir / "F5OTHER_DXCC.log", true},
        {dir / "Prefixe_DXCC.txt", true},
        {dir / "Liste_Prenom.txt", true},
        {dir / "log.adi", false},
        {dir / "sub" / "F6XYZ_DXCC.log", false},
        {dir / "Temporaire.txt", true},
        {dir / "Temporaire6.txt", true},
        {dir / "Temporaire8.txt", true},
        {dir / "VEL_DXCC.lock", true},
        {dir / "sub" / "VEL_DXCC.lock", false},
        {dir / "Prefixe_DXCC_base.txt", true},
        {dir / "Entites_DXCC.txt", true},
        {dir / "sub" / "Entites_DXCC.txt", false},
        {dir / "Exceptions_DXCC.txt", true},
        {dir / "Exceptions_DXCC_base.txt", true},
        {dir / "Temporaire5.txt", true},
    };
    for (const Row& r : rows) EXPECT_EQ(isProgramFile(log.dataDir(), r.file), r.dataFile) << r.file;

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
