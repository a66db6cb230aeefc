#include "core/session/data_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/base/program_constants.h"
#include "core/base/text_file.h"
#include "core/base/write_faults.h"
#include "core/prefixes/prefix_table.h"
#include "core/session/log_session.h"
#include "core/session/session_messages.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

const std::string kShippedPrefixes = buildPrefixEntry("F", "France", "F") + "\r\n";
const std::string kShippedEntities = "F\tFrance\t46.00\t2.00\tEU\t14\t27\t1.00\r\n";

std::vector<ShippedFile> shipped() {
    return {{"Prefixe_DXCC.txt", kShippedPrefixes},
            {"Entites_DXCC.txt", kShippedEntities},
            {"Liste_Prenom.txt", ""}};
}

std::string contentOf(const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec))) return "<missing>";
    if (fs::is_symlink(fs::symlink_status(file, ec))) return "<link>";
    return readFileBytes(file);
}

// What a folder holds before the start, and what it must hold after: the
// files it lacks come in byte for byte; whatever stands under their names
// stays, even an empty file or a link that leads nowhere.
TEST(DataFolderPreparation, PutsInWhatTheFolderLacksAndNothingOverWhatItHas) {
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> before;
        std::vector<std::string> installed;
        std::string prefixFile;
        std::string entityData;
    };
    const Case cases[] = {
        {"an empty folder",
         [](const TempDir&) {},
         {"Prefixe_DXCC.txt", "Entites_DXCC.txt", "Liste_Prenom.txt"},
         kShippedPrefixes,
         kShippedEntities},
        {"a folder of an earlier version",
         [](const TempDir& d) {
             d.write("Prefixe_DXCC.txt", "mine\r\n");
             d.write("Liste_Prenom.txt", "F5AAA     JEAN\r\n");
         },
         {"Entites_DXCC.txt"},
         "mine\r\n",
         kShippedEntities},
        {"an empty prefix file and a link leading nowhere",
         [](const TempDir& d) {
             d.write("Prefixe_DXCC.txt", "");
             fs::create_symlink(d / "elsewhere.txt", d / "Entites_DXCC.txt");
         },
         {"Liste_Prenom.txt"},
         "",
         "<link>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        c.before(dir);
        DataFolder folder(dir.path());
        ASSERT_EQ(folder.claim(), DataFolderLock::Outcome::Held);
        const FolderPreparation done = folder.prepare(shipped());
        EXPECT_TRUE(done.prepared);
        EXPECT_EQ(done.installed, c.installed);
        EXPECT_TRUE(done.missing.empty());
        EXPECT_FALSE(done.error);
        EXPECT_EQ(contentOf(dir / "Prefixe_DXCC.txt"), c.prefixFile);
        EXPECT_EQ(contentOf(dir / "Entites_DXCC.txt"), c.entityData);
        EXPECT_FALSE(fs::exists(dir / "Temporaire.txt"));
        EXPECT_TRUE(folder.held());
    }
}

// The work is done under the folder's lock: taken for the while by a session
// that did not hold it (and let go after), never while another copy has it.
TEST(DataFolderPreparation, IsDoneOnlyUnderTheLock) {
    TempDir dir;
    {
        DataFolder windows(dir.path());
        ASSERT_EQ(windows.claim(), DataFolderLock::Outcome::Held);
        DataFolder command(dir.path());
        const FolderPreparation refused = command.prepare(shipped());
        EXPECT_FALSE(refused.prepared);
        EXPECT_EQ(refused.missing, (std::vector<std::string>{"Prefixe_DXCC.txt", "Entites_DXCC.txt",
                                                             "Liste_Prenom.txt"}));
        EXPECT_EQ(contentOf(dir / "Prefixe_DXCC.txt"), "<missing>");
    }
    DataFolder command(dir.path());
    EXPECT_TRUE(command.prepare(shipped()).prepared);
    EXPECT_FALSE(command.held());
    EXPECT_EQ(contentOf(dir / "Prefixe_DXCC.txt"), kShippedPrefixes);
    // A scratch file a killed update left is work too; with nothing to do,
    // the lock is not even taken.
    dir.write("Temporaire1.txt", "half");
    EXPECT_TRUE(command.prepare(shipped()).prepared);
    EXPECT_FALSE(fs::exists(dir / "Temporaire1.txt"));
    EXPECT_FALSE(command.prepare(shipped()).prepared);
    EXPECT_FALSE(command.held());
    DataFolder next(dir.path());
    EXPECT_EQ(next.claim(), DataFolderLock::Outcome::Held);
}

// The session's start: the lookups read the file just put in; a file that
// could not be put in is told, with the error.
TEST(DataFolderPreparation, TheSessionReadsWhatCameInAndTellsWhatCouldNot) {
    TempDir dir;
    LogSession session(dir.path());
    EXPECT_TRUE(session.prefixes().unreadable());
    {
        // The disk fills up while the prefix file is written, the first one.
        bool first = true;
        ScopedWriteFault full([&](WriteStep step, const fs::path&) {
            return step == WriteStep::Write && std::exchange(first, false) ? ENOSPC : 0;
        });
        const FolderOutcome opened = session.openDataFolder(shipped());
        ASSERT_TRUE(opened.fileError);
        EXPECT_EQ(opened.fileError->code(), kDiskFull);
        EXPECT_EQ(opened.messages,
                  std::vector<std::string>{
                      "Le fichier des préfixes Prefixe_DXCC.txt manque dans le dossier de "
                      "données et n'a pas pu y être mis : les indicatifs n'y trouveront pas "
                      "leur contrée."});
        EXPECT_EQ(opened.preparation.installed,
                  (std::vector<std::string>{"Entites_DXCC.txt", "Liste_Prenom.txt"}));
    }
    // An import would store every QSO without its entity: refused.
    dir.write("F6XYZ_DXCC.log", "");
    dir.write("in.adi", "<CALL:5>K1ABC<QSO_DATE:8>20080101<TIME_ON:4>0930<EOR>\n");
    ASSERT_TRUE(session.openStation("F6XYZ").ok());
    ASSERT_EQ(session.loadLog().kind, LoadOutcome::Kind::Loaded);
    const ImportOutcome refused = session.importAdif(dir / "in.adi");
    EXPECT_EQ(refused.failure, SessionOutcome::Failure::Refused);
    EXPECT_EQ(refused.messages,
              std::vector<std::string>{
                  "Le fichier des préfixes Prefixe_DXCC.txt manque dans le dossier de données ou "
                  "ne peut pas être lu : les QSO importés n'auraient pas de contrée. L'import est "
                  "refusé ; le log n'a pas été modifié."});
    EXPECT_EQ(dir.read("F6XYZ_DXCC.log"), "");

    // A folder that is not there is told by what reads it next, not here.
    LogSession nowhere(dir / "missing");
    const FolderOutcome missing = nowhere.openDataFolder(shipped());
    EXPECT_TRUE(missing.ok() && missing.messages.empty());

    const FolderOutcome again = session.openDataFolder(shipped());
    EXPECT_TRUE(again.ok() && again.messages.empty());
    EXPECT_EQ(session.prefixes().lookup("F5ABC").dxccPrefix, "F");
    EXPECT_TRUE(session.importAdif(dir / "in.adi").ok());
}

// Another copy of the program rewrites the pending contacts right now, with
// no hold on the folder: the clean-up at this copy's start leaves its scratch
// file alone, and takes it once no one is writing.
TEST(LeftoverScratchFiles, ThePendingContactsScratchStaysWhileItsLockIsHeld) {
    struct Case {
        const char* name;
        bool writerAtWork;
        bool pendingFileLinked;
    };
    for (const Case c :
         {Case{"idle", false, false}, Case{"writing", true, false},
          Case{"idle, linked file", false, true}, Case{"writing, linked file", true, true}}) {
        SCOPED_TRACE(c.name);
        TempDir dir, other;
        const fs::path pending = dir / std::string(kPendingContactsFileName);
        if (c.pendingFileLinked) {
            other.write("contacts.adi", "");
            fs::create_symlink(other / "contacts.adi", pending);
        }
        const fs::path scratch = scratchBeside(pending, dir / kPendingScratchName);
        std::ofstream(scratch, std::ios::binary) << "<CALL:5>K1ABC <EOR>\r\n";
        dir.write("Temporaire.txt", "left by a kill");
        DataFolderLock writer(dir.path(), kPendingLockFileName);
        if (c.writerAtWork) {
            ASSERT_EQ(writer.tryLock(), DataFolderLock::Outcome::Held);
        }

        DataFolder folder(dir.path());
        ASSERT_EQ(folder.claim(), DataFolderLock::Outcome::Held);
        folder.removeLeftoverScratchFiles();
        EXPECT_EQ(contentOf(dir / "Temporaire.txt"), "<missing>");
        EXPECT_EQ(contentOf(scratch), c.writerAtWork ? "<CALL:5>K1ABC <EOR>\r\n" : "<missing>");
        EXPECT_EQ(writer.held(), c.writerAtWork);
    }
}

}  // namespace
}  // namespace dxcc
