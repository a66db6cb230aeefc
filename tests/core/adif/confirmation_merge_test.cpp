#include "core/adif/confirmation_merge.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/base/text_file.h"
#include "core/logbook/logbook.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "station_log.h"
#include "temp_dir.h"

namespace dxcc::adif {
namespace {

using testing_support::TempDir;

const auto& prefixes = testing_support::adifTestPrefixes;

std::string contact(const std::string& call, const std::string& date, const std::string& time,
                    const std::string& mode, const std::string& band, char qsl = ' ') {
    return testing_support::loggedLine(call, "", date, time, mode, band, "59", "59", qsl);
}

// One confirmation as the service writes it: one field per line, lower case.
std::string confirmation(const std::string& call, const std::string& date, const std::string& time,
                         const std::string& more, const std::string& qsl = "Y") {
    auto field = [](const std::string& name, const std::string& value) {
        return "<" + name + ":" + std::to_string(value.size()) + ">" + value + "\n";
    };
    return field("call", call) + more + field("qso_date", date) + field("time_on", time) +
           field("qsl_rcvd", qsl) + "<eor>\n\n";
}

constexpr const char* kHeader = "ARRL Logbook of the World Status Report\n<eoh>\n\n";

// One contact on 14 MHz SSB at 12:00 on 17 June 2008, one confirmation each.
TEST(ConfirmationMerge, TheRulesOfTheMatch) {
    const std::string band20 = "<band:3>20M\n";
    struct Row {
        const char* what;
        std::string contact;
        std::string confirmation;
        bool matches;
    };
    const std::string ssb = contact("F5ABC", "17/06/08", "12:00", "SSB", "14 Mhz ");
    const Row rows[] = {
        {"the same", ssb, confirmation("F5ABC", "20080617", "120000", band20 + "<mode:3>SSB\n"),
         true},
        {"30 minutes later", ssb,
         confirmation("F5ABC", "20080617", "123000", band20 + "<mode:3>SSB\n"), true},
        {"31 minutes earlier", ssb,
         confirmation("F5ABC", "20080617", "1129", band20 + "<mode:3>SSB\n"), false},
        {"another day", ssb, confirmation("F5ABC", "20080618", "1200", band20 + "<mode:3>SSB\n"),
         false},
        {"over midnight at the end of a month",
         contact("F5ABC", "30/06/08", "23:50", "CW", "7.0 Mhz"),
         confirmation("F5ABC", "20080701", "0015", "<band:3>40m\n<mode:2>CW\n"), true},
        {"over the new year, two-digit years",
         contact("F5ABC", "31/12/99", "23:59", "CW", "7.0 Mhz"),
         confirmation("F5ABC", "20000101", "0005", "<band:3>40m\n<mode:2>CW\n"), true},
        {"another band", ssb,
         confirmation("F5ABC", "20080617", "1200", "<band:3>40M\n<mode:3>SSB\n"), false},
        {"the band from the frequency", ssb,
         confirmation("F5ABC", "20080617", "1200", "<freq:8>14.19500\n<mode:3>SSB\n"), true},
        {"another phone mode", ssb,
         confirmation("F5ABC", "20080617", "1200", band20 + "<mode:3>SSB\n<submode:3>USB\n"), true},
        {"CW for SSB", ssb, confirmation("F5ABC", "20080617", "1200", band20 + "<mode:2>CW\n"),
         false},
        {"FT4 for FT8", contact("F5ABC", "17/06/08", "12:00", "FT8", "14 Mhz "),
         confirmation("F5ABC", "20080617", "1200", band20 + "<mode:4>MFSK\n<submode:3>FT4\n"),
         true},
        {"RTTY for the entry list's DIG", contact("F5ABC", "17/06/08", "12:00", "DIG", "14 Mhz "),
         confirmation("F5ABC", "20080617", "1200", band20 + "<mode:4>RTTY\n"), true},
        {"the service's mode group for an unknown mode",
         contact("F5ABC", "17/06/08", "12:00", "DIG", "14 Mhz "),
         confirmation("F5ABC", "20080617", "1200",
                      band20 + "<mode:3>XYZ\n<app_lotw_modegroup:4>DATA\n"),
         true},
        {"a satellite contact", contact("F5ABC", "17/06/08", "12:00", "SAT", "144 Mhz"),
         confirmation("F5ABC", "20080617", "1200", "<band:2>2m\n<mode:2>FM\n<prop_mode:3>SAT\n"),
         true},
        {"a satellite contact in digital voice",
         contact("F5ABC", "17/06/08", "12:00", "SAT", "144 Mhz"),
         confirmation("F5ABC", "20080617", "1200",
                      "<band:2>2m\n<mode:12>DIGITALVOICE\n<submode:5>DSTAR\n<prop_mode:3>SAT\n"),
         true},
        {"a satellite contact logged under its mode before",
         contact("F5ABC", "17/06/08", "12:00", "FM", "144 Mhz"),
         confirmation("F5ABC", "20080617", "1200", "<band:2>2m\n<mode:2>FM\n<prop_mode:3>SAT\n"),
         true},
        {"digital voice is phone", contact("F5ABC", "17/06/08", "12:00", "SSB", "144 Mhz"),
         confirmation("F5ABC", "20080617", "1200",
                      "<band:2>2m\n<mode:12>DIGITALVOICE\n<submode:3>DMR\n"),
         true},
        {"SAT without a satellite", contact("F5ABC", "17/06/08", "12:00", "SAT", "144 Mhz"),
         confirmation("F5ABC", "20080617", "1200", "<band:2>2m\n<mode:2>FM\n"), false},
        {"another callsign", ssb,
         confirmation("F5ABD", "20080617", "1200", band20 + "<mode:3>SSB\n"), false},
        {"a portable suffix, same entity",
         contact("F5ABC/P", "17/06/08", "12:00", "SSB", "14 Mhz "),
         confirmation("F5ABC", "20080617", "1200", band20 + "<mode:3>SSB\n"), true},
        {"a portable prefix, same entity", ssb,
         confirmation("F/F5ABC/M", "20080617", "1200", band20 + "<mode:3>SSB\n"), true},
        {"a portable prefix, another entity",
         contact("FO/F5ABC", "17/06/08", "12:00", "SSB", "14 Mhz "),
         confirmation("F5ABC", "20080617", "1200", band20 + "<mode:3>SSB\n"), false},
        {"the same portable call", contact("FO/F5ABC", "17/06/08", "12:00", "SSB", "14 Mhz "),
         confirmation("fo/f5abc", "20080617", "1200", band20 + "<mode:3>SSB\n"), true},
        {"not confirmed", ssb,
         confirmation("F5ABC", "20080617", "1200", band20 + "<mode:3>SSB\n", "N"), false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const std::string file = kHeader + r.confirmation + "<APP_LoTW_EOF>\n";
        const ConfirmationMatch m =
            matchConfirmations(std::vector<std::string_view>{r.contact}, file, prefixes());
        EXPECT_EQ(m.rows, r.matches ? std::vector<size_t>{0} : std::vector<size_t>{});
        EXPECT_EQ(m.report.newlyConfirmed, r.matches ? 1u : 0u);
    }
}

TEST(ConfirmationMerge, TheReportCountsContactsAndListsTheUnmatched) {
    const std::vector<std::string> log = {
        contact("K1ABC", "01/01/20", "10:00", "CW", "14 Mhz ", '*'),  // already confirmed
        contact("K1ABC", "01/01/20", "10:10", "CW", "14 Mhz "),       // a second, a duplicate
        contact("K1ABC", "01/01/20", "10:00", "CW", "7.0 Mhz"),
        contact("F5ABC", "02/01/20", "08:00", "SSB", "14 Mhz "),
    };
    const std::string file =
        kHeader + confirmation("K1ABC", "20200101", "1005", "<band:3>20M\n<mode:2>CW\n") +
        confirmation("K1ABC", "20200101", "1000", "<band:3>20M\n<mode:2>CW\n") +
        confirmation("F5ABC", "20200102", "0800", "<band:3>20M\n<mode:3>SSB\n", "N") +
        confirmation("W1AW", "20200103", "091500", "<band:3>15M\n<mode:4>MFSK\n<submode:3>FT4\n");
    const ConfirmationMatch m =
        matchConfirmations(std::vector<std::string_view>(log.begin(), log.end()), file, prefixes());
    EXPECT_EQ(m.rows, (std::vector<size_t>{1}));
    const ConfirmationReport& r = m.report;
    EXPECT_EQ(r.read, 3u);
    EXPECT_EQ(r.notConfirmations, 1u);
    EXPECT_EQ(r.newlyConfirmed, 1u);
    EXPECT_EQ(r.alreadyConfirmed, 1u);
    EXPECT_EQ(r.unmatched,
              (std::vector<ConfirmationRef>{{"W1AW", "03/01/2020", "09:15", "15M", "MFSK/FT4"}}));
    EXPECT_EQ(confirmationReportLines(r),
              (std::vector<std::string>{
                  "Confirmations lues : 3",
                  "QSO nouvellement confirmés : 1",
                  "QSO déjà confirmés : 1",
                  "QSO du fichier sans confirmation (QSL_RCVD n'est pas Y), ignorés : 1",
                  "Confirmations sans QSO dans le log : 1",
                  "   Indicatif    Date       Heure  Bande   Mode",
                  "   W1AW         03/01/2020 09:15  15M     MFSK/FT4",
              }));
}

TEST(ConfirmationMerge, BaseCallsigns) {
    const std::pair<const char*, const char*> rows[] = {
        {"F5ABC", "F5ABC"},     {"F5ABC/P", "F5ABC"},
        {"EA8/F5ABC", "F5ABC"}, {"F/F5ABC/MM", "F5ABC"},
        {"VP2E/W1AW", "W1AW"},  {"K1A/3", "K1A"},
        {"DL/P", "DL/P"},       {"", ""},
    };
    for (const auto& [call, base] : rows) EXPECT_EQ(baseCallsign(call), base) << call;
}

class ConfirmIntoLogTest : public ::testing::Test, protected testing_support::StationLog {};

// One rewrite marks every contact; a short line written by another program is
// padded up to the mark; the log is read again when another program changed it.
TEST_F(ConfirmIntoLogTest, MarksTheContactsWithOneRewrite) {
    const std::string a = contact("K1ABC", "01/01/20", "10:00", "CW", "14 Mhz ");
    const std::string b = contact("F5ABC", "02/01/20", "08:00", "SSB", "14 Mhz ");
    const std::string shortLine = b.substr(0, 80);
    dir.write("F6XYZ_DXCC.log", a + "\r\n" + b + "\r\n" + shortLine + "\n");
    log.load();
    dir.write("lotw.adi",
              kHeader + confirmation("F5ABC", "20200102", "0800", "<band:3>20M\n<mode:3>SSB\n"));

    const LogConfirmation done = confirmIntoLog(log, dir / "lotw.adi", prefixes());
    EXPECT_EQ(done.report.newlyConfirmed, 2u);
    EXPECT_EQ(done.change.kind, LogChange::Kind::Changed);
    EXPECT_EQ(done.change.row, 1u);
    EXPECT_EQ(done.change.count, 2u);
    const std::string bMarked = b.substr(0, 106) + "*";
    EXPECT_EQ(dir.read("F6XYZ_DXCC.log"),
              a + "\r\n" + bMarked + "\r\n" + shortLine + std::string(106 - 80, ' ') + "*\r\n");
    EXPECT_EQ(log.record(2), shortLine + std::string(106 - 80, ' ') + "*");

    // Another program puts a contact in front: the rows are found anew.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::ofstream(log.logPath(), std::ios::binary | std::ios::trunc) << a << "\r\n"
                                                                     << a << "\r\n"
                                                                     << b << "\r\n";
    dir.write("lotw.adi",
              kHeader + confirmation("K1ABC", "20200101", "1000", "<band:3>20M\n<mode:2>CW\n"));
    const LogConfirmation again = confirmIntoLog(log, dir / "lotw.adi", prefixes());
    EXPECT_EQ(again.report.newlyConfirmed, 2u);
    EXPECT_EQ(again.change.kind, LogChange::Kind::Reset);
    const std::string aMarked = a.substr(0, 106) + "*";
    EXPECT_EQ(dir.read("F6XYZ_DXCC.log"), aMarked + "\r\n" + aMarked + "\r\n" + b + "\r\n");
    EXPECT_EQ(log.size(), 3u);
}

}  // namespace
}  // namespace dxcc::adif
