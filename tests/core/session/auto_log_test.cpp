#include "core/session/auto_log.h"

#include <gtest/gtest.h>

#include "core/base/export_target.h"
#include "core/base/program_constants.h"
#include "core/prefixes/prefix_entry.h"
#include "memory_settings.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

using testing_support::MemorySettings;
using testing_support::TempDir;

// The contact as WSJT-X sends it in its Logged ADIF, and as the QSO Logged
// of the same contact reads.
constexpr std::string_view kWsjtxAdif =
    "<adif_ver:5>3.1.0<programid:6>WSJT-X<EOH>\n"
    "<call:5>K1ABC <gridsquare:4>FN42 <mode:3>FT8 <rst_sent:3>-08 <rst_rcvd:3>-12 "
    "<qso_date:8>20240301 <time_on:6>123015 <qso_date_off:8>20240301 <time_off:6>123145 "
    "<band:3>20m <freq:9>14.074000 <station_callsign:5>F6XYZ <my_gridsquare:4>JN18 <EOR>";
constexpr std::string_view kFromQsoLogged =
    "<CALL:5>K1ABC <QSO_DATE:8>20240301 <TIME_ON:6>123015 <MODE:3>FT8 <FREQ:9>14.074000 "
    "<RST_SENT:3>-08 <RST_RCVD:3>-12 <EOR>\n";

// The station F6XYZ's empty log, in a folder with a prefix file.
struct Station {
    explicit Station(const TempDir& dir) : settings(std::make_shared<MemorySettings>()) {
        if (!std::filesystem::exists(dir / "F6XYZ_DXCC.log")) dir.write("F6XYZ_DXCC.log", "");
        dir.write(std::string(kPrefixFileName), buildPrefixEntry("K", "United States", "K") +
                                                    "\r\n" + buildPrefixEntry("F", "France", "F") +
                                                    "\r\n");
        session = std::make_unique<LogSession>(dir.path(), settings);
        EXPECT_TRUE(session->openStation("F6XYZ").ok());
        EXPECT_EQ(session->loadLog().kind, LoadOutcome::Kind::Loaded);
    }
    std::shared_ptr<MemorySettings> settings;
    std::unique_ptr<LogSession> session;
};

TEST(AutoLog, TheSameContactReceivedTwiceIsLoggedOnce) {
    TempDir dir;
    Station s(dir);
    AutoLog autoLog(*s.session);
    const AutoLogOutcome first = autoLog.receive(kFromQsoLogged);
    ASSERT_TRUE(first.ok());
    ASSERT_EQ(first.logged.size(), 1u);
    EXPECT_EQ(loggedContactLine(first.logged[0]),
              "QSO enregistré depuis WSJT-X : K1ABC, 01/03/24 12:30, 14 Mhz, FT8");
    EXPECT_TRUE(first.logChanged());
    // The same contact as ADIF, again, and from a second program.
    for (int i = 0; i < 3; ++i) {
        const AutoLogOutcome again = autoLog.receive(kWsjtxAdif);
        EXPECT_TRUE(again.ok());
        EXPECT_TRUE(again.logged.empty());
        EXPECT_EQ(again.duplicates, 1u);
        EXPECT_FALSE(again.logChanged());
    }
    ASSERT_EQ(s.session->log().size(), 1u);
    const std::string_view record = s.session->log().record(0);
    EXPECT_EQ(trimBlanks(recordField(record, Field::DxccPrefix)), "K");
    EXPECT_EQ(trimBlanks(recordField(record, Field::RstSent)), "-08");
    EXPECT_EQ(autoLog.waiting(), 0u);
    EXPECT_TRUE(autoLog.pendingFile().read().empty());
}

TEST(AutoLog, WaitsInThePendingFileWhileTheFolderIsHeldThenLogs) {
    TempDir dir;
    Station s(dir);
    AutoLog autoLog(*s.session);
    {
        LogSession holder(dir.path());
        ASSERT_EQ(holder.claimDataFolder(), DataFolderLock::Outcome::Held);
        const AutoLogOutcome held = autoLog.receive(kFromQsoLogged);
        EXPECT_EQ(held.failure, SessionOutcome::Failure::FolderInUse);
        EXPECT_EQ(held.waiting, 1u);
        EXPECT_EQ(held.messages.back(), "1 QSO en attente d'enregistrement dans le log.");
        EXPECT_EQ(autoLog.pendingFile().read().size(), 1u);
        EXPECT_EQ(autoLog.retry().waiting, 1u);
        EXPECT_EQ(s.session->log().size(), 0u);
    }
    const AutoLogOutcome later = autoLog.retry();
    EXPECT_TRUE(later.ok());
    EXPECT_EQ(later.logged.size(), 1u);
    EXPECT_EQ(later.waiting, 0u);
    EXPECT_TRUE(autoLog.pendingFile().read().empty());
}

// Killed after the contact went into the log and before it left the pending
// file: the next run finds it in both and logs it no second time.
TEST(AutoLog, AContactBothLoggedAndPendingIsNotLoggedAgain) {
    TempDir dir;
    {
        Station s(dir);
        const ImportOutcome put = s.session->importAdifText(kFromQsoLogged);
        ASSERT_TRUE(put.ok());
        ASSERT_TRUE(put.logChanged());
        ASSERT_EQ(s.session->log().size(), 1u);
    }
    ASSERT_NE(dir.read("F6XYZ_DXCC.log"), "");
    PendingContacts(dir.path()).add(std::string(trimBlanks(kFromQsoLogged)));
    PendingContacts(dir.path())
        .add(
            "<CALL:5>F5ABC <QSO_DATE:8>20240301 <TIME_ON:4>1300 "
            "<MODE:3>FT8 <BAND:3>40m <EOR>");
    Station s(dir);
    AutoLog autoLog(*s.session);
    const AutoLogOutcome next = autoLog.retry();
    EXPECT_EQ(next.duplicates, 1u);
    ASSERT_EQ(next.logged.size(), 1u);
    EXPECT_EQ(loggedContactLine(next.logged[0]),
              "QSO enregistré depuis WSJT-X : F5ABC, 01/03/24 13:00, 7.0 Mhz, FT8");
    EXPECT_EQ(s.session->log().size(), 2u);
    EXPECT_TRUE(autoLog.pendingFile().read().empty());
}

TEST(PendingContacts, IsAProgramFileAndRefusesAFlood) {
    TempDir dir;
    PendingContacts pending(dir.path());
    EXPECT_TRUE(isProgramFile(dir.path(), pending.path()));
    const std::string big = "<COMMENT:200000>" + std::string(200000, 'x') + "<EOR>";
    size_t added = 0;
    try {
        for (; added < 100; ++added) pending.add(big);
    } catch (const FileError& e) {
        EXPECT_EQ(e.code(), kOutOfMemory);
    }
    EXPECT_EQ(added, PendingContacts::kMaxBytes / big.size());
    EXPECT_EQ(pending.read().size(), added);
}

TEST(PendingContacts, RecordsAreCutAtEachEndOfRecord) {
    EXPECT_EQ(adifRecords("head<eoh>\r\n<CALL:1>A<eor>\r\n <CALL:1>B <EOR> tail<CALL:1>C"),
              (std::vector<std::string>{"<CALL:1>A<eor>", "<CALL:1>B <EOR>"}));
    EXPECT_TRUE(adifRecords("<EOR><EOR>").empty());
}

}  // namespace
}  // namespace dxcc
