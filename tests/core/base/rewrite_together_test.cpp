// Three files written together, one of them through a link into another
// folder: a child process is killed at every system call of the write, and a
// write fails at every one of them; after the next start's recovery the files
// are all old or all new, and nothing of the write is left behind.
#include "core/base/rewrite_together.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/base/text_file.h"
#include "core/base/write_faults.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;
using Files = std::map<std::string, std::string>;

const std::vector<std::string> kNames{"a.txt", "b.txt", "c.txt"};
const std::vector<std::string> kOld{"old a\r\n", "old b\r\n", "old c\r\n"};
const std::vector<std::string> kNew{"new a, longer\r\n", "new b\r\n", ""};

// A folder with the three files, the second a link to a file of another folder.
struct Group {
    Group() {
        data.write(kNames[0], kOld[0]);
        other.write("real b.txt", kOld[1]);
        fs::create_symlink(other / "real b.txt", data / kNames[1]);
        data.write(kNames[2], kOld[2]);
    }
    fs::path journal() const { return data / "journal"; }
    std::vector<FileReplacement> replacements() const {
        std::vector<FileReplacement> files;
        for (size_t i = 0; i < kNames.size(); ++i)
            files.push_back({data / kNames[i], data / ("scratch" + std::to_string(i)), kNew[i]});
        return files;
    }
    void write() const { rewriteTogether(replacements(), journal(), data / "journal.scratch"); }
    // Every file of both folders, links read through.
    Files files() const {
        Files out;
        for (const TempDir* dir : {&data, &other})
            for (const auto& entry : fs::directory_iterator(dir->path()))
                out[entry.path().filename().string()] = readFileBytes(entry.path());
        return out;
    }
    Files expected(const std::vector<std::string>& contents) const {
        return {{kNames[0], contents[0]},
                {kNames[1], contents[1]},
                {"real b.txt", contents[1]},
                {kNames[2], contents[2]}};
    }
    // What the next start does: the journal finished, then the scratch files
    // of a write stopped before its journal removed.
    RewriteRecovery restart() const {
        const RewriteRecovery recovery = finishRewriteTogether(journal());
        for (size_t i = 0; i < kNames.size(); ++i)
            fs::remove(scratchBeside(data / kNames[i], data / ("scratch" + std::to_string(i))));
        fs::remove(data / "journal.scratch");
        return recovery;
    }

    TempDir data, other;
};

// The system calls of a whole write, in order.
std::vector<WriteStep> stepsOfAWrite() {
    Group g;
    std::vector<WriteStep> steps;
    ScopedWriteFault record([&](WriteStep step, const fs::path&) {
        steps.push_back(step);
        return 0;
    });
    g.write();
    return steps;
}

// Runs the write in a child killed by SIGKILL right before its system call
// number `at`.
void killBefore(const Group& g, size_t at) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        size_t call = 0;
        ScopedWriteFault kill([&](WriteStep, const fs::path&) {
            if (call++ == at) ::raise(SIGKILL);
            return 0;
        });
        g.write();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

TEST(RewriteTogether, AKillAtAnyStepLeavesAllOldOrAllNewOnceTheNextStartRecovers) {
    const std::vector<WriteStep> steps = stepsOfAWrite();
    // Per file: open, write (none for the empty one), sync, close; the journal
    // likewise and its rename;
    // a rename per file; the journal's removal.
    ASSERT_EQ(steps.size(), 3 * 4 - 1 + 5 + 3 + 1u);
    size_t journalInPlace = 0;
    for (size_t i = 0; i < steps.size() && !journalInPlace; ++i)
        if (steps[i] == WriteStep::Rename) journalInPlace = i + 1;
    for (size_t at = 0; at < steps.size(); ++at) {
        SCOPED_TRACE("killed before step " + std::to_string(at));
        Group g;
        killBefore(g, at);
        if (HasFatalFailure()) return;
        const RewriteRecovery recovery = g.restart();
        EXPECT_EQ(recovery.kind, at < journalInPlace ? RewriteRecovery::Kind::None
                                                     : RewriteRecovery::Kind::Finished);
        EXPECT_EQ(g.files(), g.expected(at < journalInPlace ? kOld : kNew));
        EXPECT_TRUE(fs::is_symlink(g.data / kNames[1]));
    }
}

TEST(RewriteTogether, AFailureBeforeTheJournalChangesNothingAfterItTheRestartFinishes) {
    const std::vector<WriteStep> steps = stepsOfAWrite();
    for (size_t failing = 0; failing < steps.size(); ++failing) {
        SCOPED_TRACE("failing at step " + std::to_string(failing));
        Group g;
        size_t call = 0;
        ScopedWriteFault fault(
            [&](WriteStep, const fs::path&) { return call++ == failing ? ENOSPC : 0; });
        try {
            g.write();
            ADD_FAILURE() << "no failure told";
        } catch (const UnfinishedRewrite& e) {
            // Decided: each file either replaced or still to be.
            EXPECT_EQ(e.replaced().size() + e.pending().size(), kNames.size());
            EXPECT_EQ(e.code(), kDiskFull);
            const std::vector<std::string> now{e.replaced().size() > 0 ? kNew[0] : kOld[0],
                                               e.replaced().size() > 1 ? kNew[1] : kOld[1],
                                               e.replaced().size() > 2 ? kNew[2] : kOld[2]};
            Files left = g.files();
            for (const char* scratchOrJournal : {"scratch0", "scratch1", "scratch2", "journal"})
                left.erase(scratchOrJournal);
            left.erase("real b.txt.scratch1");
            EXPECT_EQ(left, g.expected(now));
            EXPECT_TRUE(fs::exists(g.journal()));
            EXPECT_EQ(g.restart().kind, RewriteRecovery::Kind::Finished);
            EXPECT_EQ(g.files(), g.expected(kNew));
            continue;
        } catch (const FileError& e) {
            EXPECT_EQ(e.code(), kDiskFull);
        }
        // Nothing was decided: every file as it was, and nothing left behind.
        EXPECT_EQ(g.files(), g.expected(kOld));
    }
}

// Each scratch file whole, before a first rename; one not whole (the disk
// lost it), before and after one; a journal that is no journal; none.
TEST(RewriteTogether, TheRestartFinishesOnlyWhatIsWholeAndSaysWhatItDid) {
    struct Case {
        const char* what;
        size_t renamedBefore;  // files renamed before the stop
        bool brokenScratch;    // the last scratch file does not hold what the journal says
        const char* journalText;
        RewriteRecovery::Kind kind;
        std::vector<std::string> result;
    };
    const Case cases[] = {
        {"all whole", 0, false, nullptr, RewriteRecovery::Kind::Finished, kNew},
        {"one renamed already", 1, false, nullptr, RewriteRecovery::Kind::Finished, kNew},
        {"one broken, none renamed", 0, true, nullptr, RewriteRecovery::Kind::Abandoned, kOld},
        {"one broken, one renamed",
         1,
         true,
         nullptr,
         RewriteRecovery::Kind::Damaged,
         {kNew[0], kNew[1], kOld[2]}},
        {"no journal of ours", 0, false, "VEL_DXCC journal 1\nfile 12",
         RewriteRecovery::Kind::Damaged, kOld},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Group g;
        // A write stopped right after its journal was in place.
        size_t renames = 0;
        const size_t stopAt = c.renamedBefore + 1;  // the journal's own rename first
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ScopedWriteFault stop([&](WriteStep step, const fs::path&) {
                if (step == WriteStep::Rename && renames++ == stopAt) ::_exit(0);
                return 0;
            });
            g.write();
            ::_exit(1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_EQ(WEXITSTATUS(status), 0);
        if (c.brokenScratch) std::ofstream(g.data / "scratch2", std::ios::app) << "x";
        if (c.journalText) std::ofstream(g.journal(), std::ios::trunc) << c.journalText;

        const RewriteRecovery recovery = finishRewriteTogether(g.journal());
        EXPECT_EQ(recovery.kind, c.kind);
        EXPECT_EQ(recovery.notUpdated, c.kind == RewriteRecovery::Kind::Damaged && !c.journalText
                                           ? std::vector<fs::path>{g.data / kNames[2]}
                                           : std::vector<fs::path>{});
        EXPECT_EQ(recovery.finished.size(),
                  c.kind == RewriteRecovery::Kind::Finished                    ? 3 - c.renamedBefore
                  : c.kind == RewriteRecovery::Kind::Damaged && !c.journalText ? 1u
                                                                               : 0u);
        EXPECT_FALSE(fs::exists(g.journal()));
        if (!c.journalText) {
            EXPECT_FALSE(fs::exists(g.data / "scratch2"));
        }
        g.restart();
        EXPECT_EQ(g.files(), g.expected(c.result));
    }
    Group untouched;
    EXPECT_EQ(finishRewriteTogether(untouched.journal()).kind, RewriteRecovery::Kind::None);
}

// A data folder on a stick that comes back under another name still has its
// journal finished: the names beside the journal are kept without their folder.
TEST(RewriteTogether, AFolderMovedBeforeTheRestartIsStillFinished) {
    TempDir parent;
    const fs::path before = parent / "mounted-here";
    fs::create_directory(before);
    std::ofstream(before / "a.txt") << "old";
    {
        size_t renames = 0;
        ScopedWriteFault stop([&](WriteStep step, const fs::path&) {
            return step == WriteStep::Rename && renames++ == 1 ? EIO : 0;
        });
        EXPECT_THROW(rewriteTogether({{before / "a.txt", before / "scratch", "new"}},
                                     before / "journal", before / "journal.scratch"),
                     UnfinishedRewrite);
    }
    const fs::path after = parent / "mounted-there";
    fs::rename(before, after);
    EXPECT_EQ(finishRewriteTogether(after / "journal").kind, RewriteRecovery::Kind::Finished);
    EXPECT_EQ(readFileBytes(after / "a.txt"), "new");
}

}  // namespace
}  // namespace dxcc
