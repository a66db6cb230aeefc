// Every export (the ADIF log, a CSV table, a PNG picture) goes through one
// door of the session: never over the program's own files, never into a pipe,
// a device or a folder, and into the data folder only while the session holds
// it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "core/base/export_target.h"
#include "core/base/file_error.h"
#include "core/base/text_file.h"
#include "core/session/log_session.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

struct Folders {
    Folders() : session(data.path()) {
        for (const char* name : {"F6XYZ_DXCC.log", "Prefixe_DXCC.txt", "Prefixe_DXCC_base.txt",
                                 "Entites_DXCC.txt", "Liste_Prenom.txt"})
            data.write(name, std::string(name) + "\r\n");
        data.write("F6XYZ_DXCC.log", testing_support::qso("F5AAA", "01/02/08", "10:00") + "\r\n");
        EXPECT_TRUE(session.openStation("F6XYZ").ok());
        EXPECT_EQ(session.loadLog().kind, LoadOutcome::Kind::Loaded);
    }
    TempDir data, elsewhere;
    LogSession session;
};

TEST(Exports, RefuseTheProgramsFilesAndWhatIsNoPlainFileAndLeaveThemAsTheyWere) {
    struct Case {
        const char* what;
        std::function<fs::path(const Folders&)> target;
        SessionOutcome::Failure failure;
    };
    const Case cases[] = {
        {"the prefix file", [](const Folders& f) { return f.data / "Prefixe_DXCC.txt"; },
         SessionOutcome::Failure::Refused},
        {"a log", [](const Folders& f) { return f.data / "F6XYZ_DXCC.log"; },
         SessionOutcome::Failure::Refused},
        {"the lock file", [](const Folders& f) { return f.data / "VEL_DXCC.lock"; },
         SessionOutcome::Failure::Refused},
        {"the journal", [](const Folders& f) { return f.data / "VEL_DXCC.journal"; },
         SessionOutcome::Failure::Refused},
        {"a scratch file of the prefix update",
         [](const Folders& f) { return f.data / "Temporaire2.txt"; },
         SessionOutcome::Failure::Refused},
        {"a link elsewhere to the entity data",
         [](const Folders& f) {
             fs::create_symlink(f.data / "Entites_DXCC.txt", f.elsewhere / "table.csv");
             return f.elsewhere / "table.csv";
         },
         SessionOutcome::Failure::Refused},
        {"a named pipe",
         [](const Folders& f) {
             ::mkfifo((f.elsewhere / "pipe.csv").c_str(), 0600);
             return f.elsewhere / "pipe.csv";
         },
         SessionOutcome::Failure::File},
        {"a folder",
         [](const Folders& f) {
             fs::create_directory(f.elsewhere / "folder.png");
             return f.elsewhere / "folder.png";
         },
         SessionOutcome::Failure::File},
        {"a link to a device",
         [](const Folders& f) {
             fs::create_symlink("/dev/null", f.elsewhere / "null.png");
             return f.elsewhere / "null.png";
         },
         SessionOutcome::Failure::File},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Folders f;
        ASSERT_EQ(f.session.claimDataFolder(), DataFolderLock::Outcome::Held);
        const fs::path target = c.target(f);
        const auto before = fs::symlink_status(target).type();
        const std::string content =
            fs::is_regular_file(target) ? readFileBytes(target) : std::string("<none>");
        const SessionOutcome csv = f.session.exportFile(target,
                                                        "Pr\xE9"
                                                        "fixe\r\n");
        const ExportOutcome adi = f.session.exportLog(target);
        for (const SessionOutcome* outcome : {&csv, static_cast<const SessionOutcome*>(&adi)}) {
            EXPECT_EQ(outcome->failure, c.failure);
            if (c.failure == SessionOutcome::Failure::Refused) {
                EXPECT_EQ(outcome->messages,
                          std::vector<std::string>{std::string(kExportOverProgramFile)});
            } else {
                ASSERT_TRUE(outcome->fileError);
                EXPECT_EQ(outcome->fileError->code(), kPathFileAccessError);
            }
        }
        EXPECT_EQ(fs::symlink_status(target).type(), before);
        EXPECT_EQ(fs::is_regular_file(target) ? readFileBytes(target) : std::string("<none>"),
                  content);
        EXPECT_FALSE(fs::exists(exportScratchFor(target)));
    }
}

// An export into the data folder is written only by the copy that holds it;
// elsewhere it needs no lock.
TEST(Exports, IntoTheDataFolderOnlyWhileTheSessionHoldsIt) {
    Folders f;
    {
        LogSession windows(f.data.path());
        ASSERT_EQ(windows.claimDataFolder(), DataFolderLock::Outcome::Held);
        EXPECT_EQ(f.session.exportFile(f.data / "table.csv", "x").failure,
                  SessionOutcome::Failure::FolderInUse);
        EXPECT_EQ(f.session.exportLog(f.data / "log.adi").failure,
                  SessionOutcome::Failure::FolderInUse);
        EXPECT_FALSE(fs::exists(f.data / "table.csv"));
        EXPECT_FALSE(fs::exists(f.data / "log.adi"));
        EXPECT_TRUE(f.session.exportFile(f.elsewhere / "table.csv", "x").ok());
        EXPECT_EQ(readFileBytes(f.elsewhere / "table.csv"), "x");
    }
    EXPECT_TRUE(f.session
                    .exportFile(f.data / "table.csv",
                                "Pr\xE9"
                                "fixe\r\n")
                    .ok());
    EXPECT_EQ(readFileBytes(f.data / "table.csv"),
              "Pr\xE9"
              "fixe\r\n");
    EXPECT_FALSE(fs::exists(exportScratchFor(f.data / "table.csv")));
}

}  // namespace
}  // namespace dxcc
