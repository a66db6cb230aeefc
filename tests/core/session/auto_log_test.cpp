#include "core/session/auto_log.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

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

// The operator asked first: from its arrival until the operator is done with
// it, the contact is in the pending file, and a retry of what waits for the
// log leaves it there, unlogged.
TEST(AutoLog, AContactForTheOperatorWaitsInThePendingFileUntilDoneWith) {
    struct Case {
        const char* name;
        bool committed;  // the operator pressed Enter
        bool discarded;  // the operator cleared the form
        bool offeredAgain;
    };
    for (const Case c :
         {Case{"committed", true, false, false}, Case{"thrown away", false, true, false},
          Case{"form reset under it", false, false, true}}) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Station s(dir);
        AutoLog autoLog(*s.session);
        EXPECT_TRUE(autoLog.holdForOperator(kFromQsoLogged).ok());
        EXPECT_TRUE(autoLog.holdForOperator(kWsjtxAdif).ok());  // the same contact again
        ASSERT_TRUE(autoLog.hasContactToConfirm());
        const std::string shown = autoLog.showNextContact();
        EXPECT_EQ(trimBlanks(recordField(shown, Field::Callsign)), "K1ABC");
        EXPECT_FALSE(autoLog.hasContactToConfirm());
        EXPECT_EQ(autoLog.showNextContact(), "");  // one shown at a time
        EXPECT_EQ(autoLog.retry().logged.size(), 0u);
        EXPECT_EQ(autoLog.pendingFile().read(), adifRecords(kFromQsoLogged));
        if (c.committed) {
            ASSERT_TRUE(s.session->importAdifText(kFromQsoLogged).ok());
        }
        autoLog.shownContactLeft(c.discarded);
        EXPECT_EQ(autoLog.pendingFile().read().size(), c.offeredAgain ? 1u : 0u);
        EXPECT_EQ(autoLog.showNextContact(), c.offeredAgain ? shown : "");
        EXPECT_EQ(s.session->log().size(), c.committed ? 1u : 0u);
    }
}

// Killed while contacts waited for the operator, or for the log: the next run
// that asks first offers them all again, logs none unseen, and lets go of
// those the log holds meanwhile.
TEST(AutoLog, AfterAKillTheOperatorIsAskedAgain) {
    TempDir dir;
    const std::string kOther =
        "<CALL:5>F5ABC <QSO_DATE:8>20240301 <TIME_ON:4>1300 <MODE:3>FT8 <BAND:3>40m <EOR>";
    const std::string kLogged =
        "<CALL:5>K9XYZ <QSO_DATE:8>20240301 <TIME_ON:4>1400 <MODE:3>FT8 <BAND:3>40m <EOR>";
    {
        Station s(dir);
        ASSERT_TRUE(s.session->importAdifText(kLogged).ok());
        AutoLog killed(*s.session);
        killed.holdForOperator(kFromQsoLogged);
        killed.showNextContact();
    }
    for (const std::string& r : {kOther, kLogged}) PendingContacts(dir.path()).add(r);
    Station s(dir);
    AutoLog autoLog(*s.session);
    autoLog.offerWaiting();
    std::vector<std::string> offered;
    for (std::string r = autoLog.showNextContact(); !r.empty(); r = autoLog.showNextContact()) {
        offered.emplace_back(trimBlanks(recordField(r, Field::Callsign)));
        autoLog.shownContactLeft(true);
    }
    EXPECT_EQ(offered, (std::vector<std::string>{"K1ABC", "F5ABC"}));
    EXPECT_EQ(s.session->log().size(), 1u);
    EXPECT_TRUE(autoLog.pendingFile().read().empty());
}

// No pending file can be written: the contact is still shown, and the
// operator is told it is only in memory.
TEST(AutoLog, AContactThePendingFileCannotTakeIsStillOffered) {
    TempDir dir;
    Station s(dir);
    std::filesystem::create_directory(dir / std::string(kPendingLockFileName));
    AutoLog autoLog(*s.session);
    const AutoLogOutcome held = autoLog.holdForOperator(kFromQsoLogged);
    EXPECT_TRUE(held.inMemoryOnly);
    EXPECT_EQ(held.messages.back(), auto_log_messages::kKeptInMemory);
    EXPECT_NE(autoLog.showNextContact(), "");
    ASSERT_TRUE(s.session->importAdifText(kFromQsoLogged).ok());
    autoLog.shownContactLeft(false);
    EXPECT_FALSE(autoLog.hasContactToConfirm());
}

// Neither the log nor the pending file can take contacts, and a flood of
// made-up ones comes: the memory keeps a bounded number, the rest are refused
// and the operator told; those kept are logged once the folder is free.
TEST(AutoLog, AFloodTheLogAndThePendingFileCannotTakeIsBounded) {
    TempDir dir;
    Station s(dir);
    std::filesystem::create_directory(dir / std::string(kPendingLockFileName));
    AutoLog autoLog(*s.session);
    std::string flood;
    for (size_t i = 0; i < AutoLog::kMaxInMemory + 5; ++i)
        flood += "<CALL:6>K" + std::to_string(1000 + i) + "A <QSO_DATE:8>20240301 " +
                 "<TIME_ON:6>100000 <MODE:3>FT8 <BAND:3>20m <EOR>\n";
    {
        LogSession holder(dir.path());
        ASSERT_EQ(holder.claimDataFolder(), DataFolderLock::Outcome::Held);
        const AutoLogOutcome held = autoLog.receive(flood);
        EXPECT_TRUE(held.inMemoryOnly);
        EXPECT_EQ(held.refused, 5u);
        EXPECT_EQ(held.waiting, AutoLog::kMaxInMemory);
        EXPECT_EQ(held.messages.back(), "5 QSO refusés : trop de QSO attendent déjà en mémoire.");
    }
    const AutoLogOutcome later = autoLog.retry();
    EXPECT_EQ(later.logged.size(), AutoLog::kMaxInMemory);
    EXPECT_EQ(later.waiting, 0u);
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

// Another writer (another copy of the program, or another object of this one)
// holds the pending file's lock: a change waits as it is told, never past
// what it is told, and touches neither the file nor the other's scratch file.
TEST(PendingContacts, AChangeWaitsForTheOtherWriterAndNeverForever) {
    const std::string kFirst = "<CALL:5>K1ABC <EOR>";
    const std::string kSecond = "<CALL:5>F5ABC <EOR>";
    struct Case {
        const char* name;
        bool removing;
        int waitsAllowed;
        int otherDoneAt;  // the refusal after which the other writer lets go; 0 never
        int refusals;     // as many as the change saw
        bool changed;
    };
    for (const Case c : {Case{"add, given up at once", false, 0, 0, 1, false},
                         Case{"add, given up after three waits", false, 3, 0, 4, false},
                         Case{"remove, given up", true, 2, 0, 3, false},
                         Case{"add, the other writer done meanwhile", false, 10, 2, 2, true},
                         Case{"remove, the other writer done meanwhile", true, 10, 1, 1, true}}) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        PendingContacts(dir.path()).add(kFirst);
        DataFolderLock other(dir.path(), kPendingLockFileName);
        ASSERT_EQ(other.tryLock(), DataFolderLock::Outcome::Held);
        dir.write(kPendingScratchName, "the other writer's");
        int seen = 0;
        PendingContacts pending(dir.path(), [&](int refusals) {
            seen = refusals;
            if (refusals == c.otherDoneAt) other.release();
            return refusals <= c.waitsAllowed;
        });
        try {
            if (c.removing)
                pending.remove({kFirst});
            else
                pending.add(kSecond);
            EXPECT_TRUE(c.changed);
        } catch (const FileError& e) {
            EXPECT_FALSE(c.changed);
            EXPECT_EQ(e.code(), kPermissionDenied);
        }
        EXPECT_EQ(seen, c.refusals);
        std::vector<std::string> expected{kFirst};
        if (c.changed)
            expected = c.removing ? std::vector<std::string>{} : std::vector{kFirst, kSecond};
        EXPECT_EQ(pending.read(), expected);
        if (!c.changed) {
            EXPECT_EQ(dir.read(kPendingScratchName), "the other writer's");
        }
    }
}

// The program's window and the command line, both listening to one multicast
// group, write the pending file at the same moment: no contact is lost and
// neither sees a failure.
TEST(PendingContacts, TwoProcessesAddingAtOnceLoseNothing) {
    TempDir dir;
    constexpr int kEach = 200;
    const auto record = [](char who, int n) {
        const std::string call = std::string(1, who) + std::to_string(1000 + n);
        return "<CALL:" + std::to_string(call.size()) + ">" + call + " <EOR>";
    };
    // Tries again at once: the other writer's rewrite is short.
    const auto keepTrying = [](int refusals) {
        ::sched_yield();
        return refusals < 10'000'000;
    };
    const auto addAll = [&](char who) {
        PendingContacts pending(dir.path(), keepTrying);
        for (int n = 0; n < kEach; ++n) pending.add(record(who, n));
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int status = 0;
        try {
            addAll('C');
        } catch (const FileError&) {
            status = 1;
        }
        ::_exit(status);
    }
    EXPECT_NO_THROW(addAll('P'));
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the other process failed to add";
    std::vector<std::string> found = PendingContacts(dir.path()).read();
    std::sort(found.begin(), found.end());
    std::vector<std::string> expected;
    for (char who : {'C', 'P'})
        for (int n = 0; n < kEach; ++n) expected.push_back(record(who, n));
    EXPECT_EQ(found, expected);
}

}  // namespace
}  // namespace dxcc
