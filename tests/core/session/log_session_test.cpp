#include "core/session/log_session.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "core/base/text_file.h"
#include "memory_settings.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

using testing_support::MemorySettings;
using testing_support::qso;
using testing_support::TempDir;

constexpr const char* kGlobal = "Setup ";

// A data folder with the station F6XYZ's log of three contacts, its session
// holding the folder.
struct Folder {
    Folder() : settings(std::make_shared<MemorySettings>()), session(dir.path(), settings) {
        settings->set(kGlobal, "Indicatif Station", "F6XYZ");
        dir.write("F6XYZ_DXCC.log", a + "\r\n" + b + "\r\n" + c + "\r\n");
        const StartUpOutcome start = session.startUp({});
        EXPECT_EQ(start.lock, DataFolderLock::Outcome::Held);
        EXPECT_FALSE(start.firstInstallation);
        EXPECT_EQ(session.loadLog().kind, LoadOutcome::Kind::Loaded);
    }
    std::vector<std::string> lines() const { return readLines(dir / "F6XYZ_DXCC.log"); }
    std::string firstNames() const {
        std::error_code ec;
        return std::filesystem::exists(dir / "Liste_Prenom.txt", ec) ? dir.read("Liste_Prenom.txt")
                                                                     : std::string();
    }

    TempDir dir;
    std::shared_ptr<MemorySettings> settings;
    LogSession session;
    const std::string a = qso("F5AAA", "01/02/08", "10:00");
    const std::string b = qso("F5BBB", "03/02/08", "10:00");
    const std::string c = qso("F5CCC", "05/02/08", "10:00");
};

// The start: the folder held and made ready, the station of the settings,
// the folder noted; a second copy on the same folder puts nothing in.
TEST(LogSessionStart, HoldsTheFolderPutsInWhatItLacksAndTakesTheChosenStation) {
    TempDir dir;
    auto settings = std::make_shared<MemorySettings>();
    const std::vector<ShippedFile> shipped{{"Prefixe_DXCC.txt", "F      France   F      /\r\n"},
                                           {"Liste_Prenom.txt", ""}};
    LogSession first(dir.path(), settings);
    const StartUpOutcome started = first.startUp(shipped);
    EXPECT_EQ(started.lock, DataFolderLock::Outcome::Held);
    EXPECT_TRUE(started.firstInstallation);
    EXPECT_TRUE(started.ok() && started.messages.empty());
    EXPECT_EQ(started.preparation.installed,
              (std::vector<std::string>{"Prefixe_DXCC.txt", "Liste_Prenom.txt"}));
    EXPECT_EQ(first.station(), kNoStation);
    EXPECT_EQ(settings->get(kGlobal, "Chemin Repertoire", ""), dir.path().string());

    settings->set(kGlobal, "Indicatif Station", "F6XYZ");
    std::filesystem::remove(dir / "Liste_Prenom.txt");
    LogSession second(dir.path(), settings);
    const StartUpOutcome again = second.startUp(shipped);
    EXPECT_EQ(again.lock, DataFolderLock::Outcome::InUse);
    EXPECT_FALSE(again.firstInstallation);
    EXPECT_EQ(second.station(), "F6XYZ");
    EXPECT_TRUE(again.preparation.installed.empty());
    EXPECT_EQ(again.preparation.missing, std::vector<std::string>{"Liste_Prenom.txt"});
    EXPECT_FALSE(std::filesystem::exists(dir / "Liste_Prenom.txt"));
}

// The commit's operation comes from the entry form's state; the first name is
// remembered only once the contact is in the log.
TEST(LogSessionCommit, EachActionStoresTheContactWhereItSaysAndTheFirstNameOnlyAfter) {
    const std::string d = qso("F5DDD", "02/02/08", "10:00");
    struct Row {
        const char* name;
        CommitAction::Kind kind;
        bool openedStill;           // the opened contact is still what the file holds
        std::vector<int> expected;  // 0..2: a, b, c; 3: the new contact
        bool stored;
    };
    const Row rows[] = {
        {"append", CommitAction::Kind::Append, true, {0, 1, 2, 3}, true},
        {"insert", CommitAction::Kind::Insert, true, {0, 3, 1, 2}, true},
        {"modify", CommitAction::Kind::Modify, true, {0, 3, 2}, true},
        {"modify a changed line", CommitAction::Kind::Modify, false, {0, 1, 2}, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Folder f;
        CommitAction action{r.kind, PickedLine{1, r.openedStill ? f.b : f.c}};
        const CommitOutcome outcome = f.session.commitEntry(action, d, "F5DDD", "PAUL");
        const std::string all[] = {f.a, f.b, f.c, d};
        std::vector<std::string> expected;
        for (int i : r.expected) expected.push_back(all[i]);
        EXPECT_EQ(f.lines(), expected);
        EXPECT_EQ(f.session.log().size(), expected.size());
        EXPECT_EQ(outcome.ok(), r.stored);
        EXPECT_EQ(outcome.logChanged(), r.stored);
        EXPECT_EQ(f.firstNames().find("PAUL") != std::string::npos, r.stored);
        if (!r.stored) {
            EXPECT_EQ(outcome.failure, SessionOutcome::Failure::LineChanged);
            EXPECT_EQ(outcome.messages.size(), 1u);
        }
    }
}

// Two sessions on one folder: only the holder writes; a lock file that names
// no live holder (empty, garbage, a process that is gone) is taken over.
TEST(LogSessionLock, OnlyTheHolderWritesAndALeftLockFileIsTakenOver) {
    auto holder = std::make_unique<Folder>();
    Folder& f = *holder;
    const std::vector<std::string> before = f.lines();
    const TempDir& folder = f.dir;
    LogSession other(f.dir.path());
    ASSERT_TRUE(other.openStation("F6XYZ").ok());
    ASSERT_EQ(other.loadLog().kind, LoadOutcome::Kind::Loaded);
    EXPECT_EQ(other.claimDataFolder(), DataFolderLock::Outcome::InUse);
    const std::string d = qso("F5DDD", "02/02/08", "10:00");
    std::vector<SessionOutcome> refused;
    refused.push_back(other.commitEntry({}, d, "F5DDD", "PAUL"));
    refused.push_back(other.deleteContact(0, f.a));
    refused.push_back(other.resetLog());
    refused.push_back(other.switchStation("F1NEW"));
    f.dir.write("in.adi", "<CALL:5>K1ABC<QSO_DATE:8>20080101<TIME_ON:4>0930<EOR>\n");
    refused.push_back(other.importAdif(f.dir / "in.adi"));
    refused.push_back(other.applyConfirmations(f.dir / "in.adi"));
    PrefixEditor editor(f.dir.path());
    editor.open();
    const PrefixSaveOutcome prefix = other.savePrefixEntry(editor, {"TK", "Corsica", "TK"});
    EXPECT_FALSE(prefix.result.has_value());
    EXPECT_FALSE(std::filesystem::exists(f.dir / "Prefixe_DXCC.txt"));
    refused.push_back(prefix);
    for (const SessionOutcome& o : refused) {
        EXPECT_EQ(o.failure, SessionOutcome::Failure::FolderInUse);
        EXPECT_FALSE(o.logChanged());
        ASSERT_EQ(o.messages.size(), 1u);
        EXPECT_NE(o.messages[0].find(f.dir.path().string()), std::string::npos);
    }
    EXPECT_EQ(f.lines(), before);
    EXPECT_EQ(f.firstNames(), "");
    EXPECT_FALSE(std::filesystem::exists(f.dir / "F1NEW_DXCC.log"));

    // Once the holder is gone, the other session may write.
    const std::filesystem::path kept = folder.path() / "kept";
    std::filesystem::create_directory(kept);
    std::filesystem::copy_file(folder / "F6XYZ_DXCC.log", kept / "F6XYZ_DXCC.log");
    LogSession later(kept);
    ASSERT_TRUE(later.openStation("F6XYZ").ok());
    ASSERT_EQ(later.loadLog().kind, LoadOutcome::Kind::Loaded);
    {
        LogSession first(kept);
        ASSERT_EQ(first.claimDataFolder(), DataFolderLock::Outcome::Held);
        EXPECT_EQ(later.deleteContact(0, f.a).failure, SessionOutcome::Failure::FolderInUse);
    }
    EXPECT_TRUE(later.deleteContact(0, f.a).ok());
    EXPECT_EQ(readLines(kept / "F6XYZ_DXCC.log"), (std::vector<std::string>{f.b, f.c}));

    // A lock file left behind never locks anyone out.
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    for (const std::string& left :
         {std::string(), std::string("garbage\x01\xff"), std::to_string(gone) + "\n"}) {
        TempDir dir;
        dir.write("VEL_DXCC.lock", left);
        LogSession session(dir.path());
        EXPECT_EQ(session.claimDataFolder(), DataFolderLock::Outcome::Held) << left;
        EXPECT_EQ(dir.read("VEL_DXCC.lock"), std::to_string(::getpid()) + "\n");
    }
    // A folder that cannot hold a lock file refuses every write.
    TempDir dir;
    LogSession nowhere(dir / "missing");
    EXPECT_EQ(nowhere.resetLog().failure, SessionOutcome::Failure::FolderUnlockable);
}

// Deleting, resetting, switching station, the date mode.
TEST(LogSessionCommands, DeleteResetSwitchAndDateModeChangeWhatTheySay) {
    Folder f;
    // A delete aimed at a line that changed deletes nothing.
    EXPECT_EQ(f.session.deleteContact(0, f.b).failure, SessionOutcome::Failure::LineChanged);
    const SessionOutcome deleted = f.session.deleteContact(1, f.b);
    ASSERT_TRUE(deleted.ok());
    EXPECT_EQ(deleted.change->kind, LogChange::Kind::Removed);
    EXPECT_EQ(f.lines(), (std::vector<std::string>{f.a, f.c}));

    const uint64_t revision = f.session.logRevision();
    ASSERT_TRUE(f.session.resetLog().ok());
    EXPECT_TRUE(f.lines().empty());
    EXPECT_TRUE(f.session.log().empty());
    EXPECT_GT(f.session.logRevision(), revision);

    // A new station gets an empty log and its band and mode start at the first.
    f.settings->set("Setup F6XYZ", "Date Auto", "Non");
    EXPECT_FALSE(f.session.settings().automaticDate());
    ASSERT_TRUE(f.session.switchStation("F1NEW").ok());
    EXPECT_EQ(f.session.station(), "F1NEW");
    EXPECT_EQ(f.settings->get(kGlobal, "Indicatif Station", ""), "F1NEW");
    EXPECT_EQ(f.settings->get("Setup F1NEW", "bande Utilisee", ""), "0");
    EXPECT_EQ(f.settings->get("Setup F1NEW", "Mode Utilise", ""), "0");
    EXPECT_EQ(f.dir.read("F1NEW_DXCC.log"), "");
    EXPECT_TRUE(f.session.settings().automaticDate());  // the new station's own setting
    f.session.settings().setAutomaticDate(false);
    EXPECT_EQ(f.settings->get("Setup F1NEW", "Date Auto", ""), "Non");

    // Back to a station that has a log: its settings stay.
    f.settings->set("Setup F6XYZ", "bande Utilisee", "4");
    ASSERT_TRUE(f.session.switchStation("F6XYZ").ok());
    EXPECT_EQ(f.settings->get("Setup F6XYZ", "bande Utilisee", ""), "4");
    EXPECT_FALSE(f.session.settings().automaticDate());

    // The log missing, or unreadable, is an outcome of the load; giving up
    // the station makes the next start a first installation.
    f.settings->set("Setup F6XYZ", "Locator", "JN18du");
    f.settings->set("Setup F1NEW", "Locator", "IN88xx");
    std::filesystem::remove(f.dir / "F6XYZ_DXCC.log");
    EXPECT_EQ(f.session.loadLog().kind, LoadOutcome::Kind::MissingLog);
    std::filesystem::create_directory(f.dir / "F6XYZ_DXCC.log");
    const LoadOutcome unreadable = f.session.loadLog();
    EXPECT_EQ(unreadable.kind, LoadOutcome::Kind::Failed);
    ASSERT_TRUE(unreadable.error.has_value());
    f.session.forgetStation();
    EXPECT_EQ(f.settings->get(kGlobal, "Indicatif Station", ""), "FXXXX");
    // The station given up takes its locator along; another station keeps its own.
    EXPECT_EQ(f.settings->get("Setup F6XYZ", "Locator", "none"), "");
    EXPECT_EQ(f.settings->get("Setup F1NEW", "Locator", ""), "IN88xx");
    EXPECT_TRUE(f.session.startUp({}).firstInstallation);
}

// The command line's station and the export's checks, the same for every
// front end.
TEST(LogSessionCommands, OpenStationAndExportRefuseWhatTheyCannotDo) {
    Folder f;
    struct Station {
        std::optional<std::string> given;
        const char* settings;
        bool ok;
        const char* station;
    };
    const Station stations[] = {
        {std::nullopt, "F6XYZ", true, "F6XYZ"},
        {"f6abc/p", "F6XYZ", true, "F6ABC_P"},
        {std::nullopt, "FXXXX", false, ""},
        {"F6/X!", "F6XYZ", false, ""},
    };
    for (const Station& s : stations) {
        SCOPED_TRACE(s.given.value_or("(none)"));
        f.settings->set(kGlobal, "Indicatif Station", s.settings);
        const SessionOutcome o = f.session.openStation(s.given);
        EXPECT_EQ(o.ok(), s.ok);
        if (s.ok) {
            EXPECT_EQ(f.session.station(), s.station);
        } else {
            EXPECT_EQ(o.messages.size(), 1u);
        }
    }
    ASSERT_TRUE(f.session.openStation("F6XYZ").ok());
    ASSERT_EQ(f.session.loadLog().kind, LoadOutcome::Kind::Loaded);
    for (const char* own : {"F6XYZ_DXCC.log", "VEL_DXCC.lock", "Liste_Prenom.txt"}) {
        const ExportOutcome o = f.session.exportLog(f.dir / own);
        EXPECT_EQ(o.failure, SessionOutcome::Failure::Refused) << own;
    }
    EXPECT_EQ(f.lines().size(), 3u);
    const ExportOutcome exported = f.session.exportLog(f.dir / "log.adi");
    ASSERT_TRUE(exported.ok());
    EXPECT_EQ(exported.report->qsos, 3u);
    ASSERT_TRUE(f.session.resetLog().ok());
    EXPECT_EQ(f.session.exportLog(f.dir / "empty.adi").failure, SessionOutcome::Failure::Refused);
    EXPECT_FALSE(std::filesystem::exists(f.dir / "empty.adi"));
}

}  // namespace
}  // namespace dxcc
