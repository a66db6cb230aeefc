// Every command that writes a data file, with the write failing at each of its
// system calls in turn, as a full disk, a refused permission or a read-only
// disk would make it fail: the command either fails with that error and leaves
// every file as it was, or (a failure after the new content was safely on
// disk) succeeds. The memory copy of the log always equals the file.
#include "core/base/write_faults.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/adif/adif_import.h"
#include "core/base/file_error.h"
#include "core/base/text_file.h"
#include "core/logbook/first_names.h"
#include "core/logbook/logbook.h"
#include "core/prefixes/prefix_entries.h"
#include "core/prefixes/prefix_table.h"
#include "core/session/log_session.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

using testing_support::qso;
using testing_support::TempDir;

using Files = std::map<std::string, std::string>;

// A data folder with a log, a first-name memory and a prefix file.
struct DataFolder {
    DataFolder() : book(dir.path()), names(dir.path()), prefixes(dir / "Prefixe_DXCC.txt") {
        dir.write("F6XYZ_DXCC.log",
                  joinLines({qso("F5AAA", "01/02/08", "10:00"), qso("F5BBB", "02/02/08", "10:00"),
                             qso("F5CCC", "03/02/08", "10:00")}));
        dir.write("Liste_Prenom.txt", FirstNameMemory::makeLine("F5AAA", "JEAN") + "\r\n");
        dir.write("Prefixe_DXCC.txt", buildPrefixEntry("F", "France", "F") + "\r\n");
        dir.write("export.adi",
                  "<CALL:5>F5ADI<QSO_DATE:8>20080202<TIME_ON:4>1100<BAND:3>20m<MODE:3>SSB<EOR>\n"
                  "<CALL:5>F5ADJ<QSO_DATE:8>20080202<TIME_ON:4>1200<BAND:3>20m<MODE:2>CW<EOR>\n");
        book.setStationCallsign("F6XYZ");
        book.load();
    }
    Logbook& log() { return book; }

    Files files() const {
        Files out;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            // The lock of the session that saves holds no data.
            if (entry.path().filename() != "VEL_DXCC.lock")
                out[entry.path().filename().string()] = readFileBytes(entry.path());
        return out;
    }
    void expectCopyEqualsFile() {
        std::vector<std::string> copy;
        for (size_t i = 0; i < log().size(); ++i) copy.emplace_back(log().record(i));
        EXPECT_EQ(copy, readLines(log().logPath()));
    }

    TempDir dir;
    Logbook book;
    FirstNameMemory names;
    PrefixFile prefixes;
};

// A save that could not write reports it; thrown here like every other command.
void savePrefix(DataFolder& f) {
    PrefixEditor editor(f.dir.path());
    editor.open();
    LogSession session(f.dir.path());
    const PrefixSaveOutcome saved = session.savePrefixEntry(editor, {"TK", "Corsica", "TK"});
    ASSERT_TRUE(saved.result);
    if (saved.result->error) throw *saved.result->error;
    ASSERT_EQ(saved.result->status, PrefixSaveResult::Status::Saved);
}

struct Command {
    const char* name;
    std::function<void(DataFolder&)> run;
};

const Command kCommands[] = {
    {"append", [](DataFolder& f) { f.log().appendRecord(qso("F5NEW", "04/02/08", "10:00")); }},
    {"insert", [](DataFolder& f) { f.log().insertInDateOrder(qso("F5NEW", "02/02/08", "11:00")); }},
    {"block",
     [](DataFolder& f) {
         f.log().insertBlock(
             1, {qso("F5NEW", "01/02/08", "11:00"), qso("F5NXT", "01/02/08", "12:00")});
     }},
    {"modify",
     [](DataFolder& f) {
         f.log().modifyAt(1, std::string(f.log().record(1)), qso("F5NEW", "02/02/08", "10:00"));
     }},
    {"delete", [](DataFolder& f) { f.log().removeAt(1, std::string(f.log().record(1))); }},
    {"import",
     [](DataFolder& f) { adif::importIntoLog(f.log(), f.dir / "export.adi", f.prefixes.table()); }},
    {"reset",
     [](DataFolder& f) {
         f.log().createEmptyLog("F6XYZ");
         f.log().load();
     }},
    {"new station", [](DataFolder& f) { f.log().createEmptyLog("F1NEW"); }},
    {"first name", [](DataFolder& f) { f.names.update("F5NEW", "PAUL"); }},
    {"prefix save", savePrefix},
};

// The system calls a command makes, in order, when nothing fails.
std::vector<WriteStep> stepsOf(const Command& command, Files& result) {
    DataFolder f;
    std::vector<WriteStep> steps;
    ScopedWriteFault record([&](WriteStep step, const std::filesystem::path&) {
        steps.push_back(step);
        return 0;
    });
    command.run(f);
    result = f.files();
    return steps;
}

TEST(WriteFaults, ACommandFailingAtAnyStepLeavesEveryFileOldOrNew) {
    for (const Command& command : kCommands) {
        Files expectedNew;
        const std::vector<WriteStep> steps = stepsOf(command, expectedNew);
        ASSERT_FALSE(steps.empty()) << command.name;
        for (int err : {ENOSPC, EACCES, EROFS}) {
            for (size_t failing = 0; failing < steps.size(); ++failing) {
                SCOPED_TRACE(std::string(command.name) + ", errno " + std::to_string(err) +
                             ", step " + std::to_string(failing));
                DataFolder f;
                const Files old = f.files();
                size_t call = 0;
                ScopedWriteFault fault([&](WriteStep, const std::filesystem::path&) {
                    return call++ == failing ? err : 0;
                });
                try {
                    command.run(f);
                    // Only a failure after the content was safely in place may pass.
                    EXPECT_GT(failing, 0u);
                    EXPECT_EQ(f.files(), expectedNew);
                } catch (const FileError& e) {
                    EXPECT_EQ(e.code(), fileErrorCodeFromErrno(err));
                    EXPECT_EQ(e.systemError(), err);
                    EXPECT_EQ(f.files(), old);
                }
                f.expectCopyEqualsFile();
            }
        }
    }
}

// Another program (a synchronisation tool, a second logger) changes the log
// after this one read it, while the command is writing: the change lands at
// one of the command's system calls before its content is committed. Nothing
// may be committed over it: the command is abandoned, the other program's
// content stays, no scratch file is left and the copy shows the file.
struct ForeignChange {
    const char* name;
    // Changes the log as the other program does; answers what it then holds.
    std::function<std::string(const std::filesystem::path& log)> apply;
};

const ForeignChange kForeignChanges[] = {
    {"a line appended in place",
     [](const std::filesystem::path& log) {
         std::ofstream(log, std::ios::binary | std::ios::app)
             << qso("F5OTH", "05/02/08", "10:00") << "\r\n";
         return readFileBytes(log);
     }},
    {"a file of the same size renamed over it",
     [](const std::filesystem::path& log) {
         std::string bytes = readFileBytes(log);
         bytes.replace(0, 5, "F5OTH");
         const std::filesystem::path other = log.string() + ".other";
         std::ofstream(other, std::ios::binary) << bytes;
         std::filesystem::rename(other, log);
         return bytes;
     }},
};

TEST(WriteFaults, AnotherProgramsChangeLandingWhileACommandWritesIsKept) {
    std::vector<Command> commands;
    for (const Command& c : kCommands)
        if (std::string_view(c.name) != "reset" && std::string_view(c.name) != "new station" &&
            std::string_view(c.name) != "first name" && std::string_view(c.name) != "prefix save")
            commands.push_back(c);
    commands.push_back({"confirm", [](DataFolder& f) { f.log().confirmRows({0, 2}); }});
    for (const Command& command : commands) {
        Files unused;
        const std::vector<WriteStep> steps = stepsOf(command, unused);
        // Up to the rename that commits a rewrite; an append commits as it writes.
        size_t commitStep = 1;
        for (size_t i = 0; i < steps.size(); ++i)
            if (steps[i] == WriteStep::Rename) commitStep = i;
        for (const ForeignChange& change : kForeignChanges) {
            for (size_t landing = 0; landing < commitStep; ++landing) {
                SCOPED_TRACE(std::string(command.name) + ", " + change.name + ", at step " +
                             std::to_string(landing));
                DataFolder f;
                Files expected = f.files();
                size_t call = 0;
                ScopedWriteFault otherProgram([&](WriteStep, const std::filesystem::path&) {
                    if (call++ == landing)
                        expected["F6XYZ_DXCC.log"] = change.apply(f.log().logPath());
                    return 0;
                });
                try {
                    command.run(f);
                    ADD_FAILURE() << "written over the other program's change";
                } catch (const FileError& e) {
                    EXPECT_EQ(e.problem(), FileProblem::ChangedWhileWriting);
                    EXPECT_EQ(e.code(), kPathFileAccessError);
                }
                EXPECT_EQ(f.files(), expected);
                f.expectCopyEqualsFile();
            }
        }
    }
}

TEST(WriteFaults, TheErrorCodesOfTheSystemErrors) {
    EXPECT_EQ(fileErrorCodeFromErrno(ENOSPC), kDiskFull);
    EXPECT_EQ(fileErrorCodeFromErrno(EDQUOT), kDiskFull);
    EXPECT_EQ(fileErrorCodeFromErrno(EACCES), kPermissionDenied);
    EXPECT_EQ(fileErrorCodeFromErrno(EROFS), kPermissionDenied);
    EXPECT_EQ(fileErrorCodeFromErrno(EISDIR), kPathFileAccessError);
    EXPECT_EQ(fileErrorCodeFromErrno(ENOENT), kFileNotFound);
    EXPECT_EQ(fileErrorCodeFromErrno(EIO), kDeviceIoError);
}

// A data folder on a stick pulled out while the program runs: every command
// fails with "path not found" and writes nothing; the list keeps the contacts
// it showed, and once the folder is back the next command reads the log again.
TEST(WriteFaults, ADataFolderThatVanishedFailsEveryCommandAndComesBack) {
    for (const Command& command : kCommands) {
        SCOPED_TRACE(command.name);
        DataFolder f;
        const Files old = f.files();
        const size_t shown = f.log().size();
        std::filesystem::rename(f.dir.path(), f.dir.path().string() + ".away");
        try {
            command.run(f);
            ADD_FAILURE() << "no failure reported";
        } catch (const FileError& e) {
            EXPECT_EQ(e.code(), kPathNotFound);
        }
        EXPECT_EQ(f.log().size(), shown);
        std::filesystem::rename(f.dir.path().string() + ".away", f.dir.path());
        EXPECT_EQ(f.files(), old);
        f.log().appendRecord(qso("F5NEW", "04/02/08", "10:00"));
        f.expectCopyEqualsFile();
    }
}

TEST(WriteFaults, ALogFileThatVanishedIsNotCreatedAgainByAnAppend) {
    DataFolder f;
    std::filesystem::remove(f.log().logPath());
    try {
        f.log().appendRecord(qso("F5NEW", "04/02/08", "10:00"));
        ADD_FAILURE() << "no failure reported";
    } catch (const FileError& e) {
        EXPECT_EQ(e.code(), kFileNotFound);
    }
    EXPECT_FALSE(std::filesystem::exists(f.log().logPath()));
    EXPECT_EQ(f.log().size(), 3u);  // still shown, the only copy left
}

}  // namespace
}  // namespace dxcc
