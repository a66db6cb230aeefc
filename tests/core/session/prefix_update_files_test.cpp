// The prefix update writes three files that must agree: the prefix file, its
// base copy (which tells the operator's lines from the built ones next time)
// and the entity data. Killed at every system call of the update, or failing
// at each with a full disk, the next start leaves the three all old or all
// new, the operator is told what is on disk, and the next update still knows
// the operator's lines.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/base/program_constants.h"
#include "core/base/text_file.h"
#include "core/base/write_faults.h"
#include "core/prefixes/prefix_table.h"
#include "core/prefixes/prefix_update_messages.h"
#include "core/session/log_session.h"
#include "core/session/session_messages.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

namespace fs = std::filesystem;
namespace msg = prefix_update_messages;
using testing_support::TempDir;
using Files = std::map<std::string, std::string>;

const std::string kF = buildPrefixEntry("F", "France", "F");
const std::string kTo = buildPrefixEntry("TO", "France", "F");
const std::string kMine = buildPrefixEntry("F8ZZ", "Corse", "TK");

const char* const kCtyDat =
    "France:  14:  27:  EU:  46.00:  -2.00:  -1.0:  F:\n    F,TM;\n"
    "Guadeloupe:  08:  11:  NA:  16.13:  61.67:  4.0:  FG:\n    FG,TO;\n";

// A data folder before the update: the operator's line F8ZZ beside the last
// build (F, TO), and the entity data of that build.
struct Folder {
    Folder() {
        dir.write("Prefixe_DXCC.txt", kF + "\r\n" + kMine + "\r\n" + kTo + "\r\n");
        dir.write("Prefixe_DXCC_base.txt", kF + "\r\n" + kTo + "\r\n");
        dir.write("Entites_DXCC.txt", "F\tFrance\t46.00\t2.00\tEU\t14\t27\t1.00\r\n");
        std::ofstream(dir / "cty.dat", std::ios::binary) << kCtyDat;
    }
    // The three files the update writes, and anything else in the folder but
    // the country file and the lock (which names its holder).
    Files files() const {
        Files out;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            if (entry.path().filename() != "cty.dat" && entry.path().filename() != kLockFileName)
                out[entry.path().filename().string()] = readFileBytes(entry.path());
        return out;
    }
    PrefixUpdateOutcome update(LogSession& session) const {
        return session.updatePrefixes(dir / "cty.dat", "",
                                      [](const PrefixUpdatePlan&) { return true; });
    }

    TempDir dir;
};

// The files before and after an update that nothing stops.
struct Result {
    Files before, after;
    std::vector<WriteStep> steps;
};

Result wholeUpdate() {
    Folder f;
    Result r;
    r.before = f.files();
    LogSession session(f.dir.path());
    ScopedWriteFault record([&](WriteStep step, const fs::path&) {
        r.steps.push_back(step);
        return 0;
    });
    EXPECT_TRUE(f.update(session).saved);
    r.after = f.files();
    return r;
}

// The next start, then the same update again: it must know the operator's
// line, and when the files are new already, that nothing changes.
void expectTheNextStartAndUpdateAgree(const Folder& f, bool filesAreNew) {
    LogSession next(f.dir.path());
    ASSERT_EQ(next.claimDataFolder(), DataFolderLock::Outcome::Held);
    next.openDataFolder({});
    const PrefixUpdateOutcome again = f.update(next);
    ASSERT_TRUE(again.ok());
    ASSERT_TRUE(again.plan);
    EXPECT_EQ(again.plan->changesNothing, filesAreNew);
    EXPECT_EQ(again.plan->summary.operatorLines, std::vector<std::string>{kMine});
}

TEST(PrefixUpdateFiles, AKillAtAnyStepLeavesTheThreeFilesAllOldOrAllNew) {
    const Result whole = wholeUpdate();
    ASSERT_EQ(whole.after.size(), 3u);
    size_t decided = 0;  // the journal's rename: from there on, the new files
    for (size_t i = 0; i < whole.steps.size() && !decided; ++i)
        if (whole.steps[i] == WriteStep::Rename) decided = i + 1;
    ASSERT_GT(decided, 0u);
    for (size_t at = 0; at <= whole.steps.size(); ++at) {
        SCOPED_TRACE("killed before step " + std::to_string(at));
        Folder f;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            LogSession session(f.dir.path());
            size_t call = 0;
            ScopedWriteFault kill([&](WriteStep, const fs::path&) {
                if (call++ == at) ::raise(SIGKILL);
                return 0;
            });
            f.update(session);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_EQ(WIFSIGNALED(status), at < whole.steps.size());

        const bool isNew = at >= decided;
        {
            LogSession next(f.dir.path());
            ASSERT_EQ(next.claimDataFolder(), DataFolderLock::Outcome::Held);
            const FolderOutcome opened = next.openDataFolder({});
            EXPECT_TRUE(opened.ok());
            EXPECT_EQ(f.files(), isNew ? whole.after : whole.before);
            // A stop between the journal and its removal is finished and said.
            const bool finishedNow = isNew && at < whole.steps.size() - 1;
            EXPECT_EQ(opened.messages.size(), finishedNow ? 1u : 0u);
            if (finishedNow && !opened.messages.empty()) {
                EXPECT_TRUE(opened.messages[0].starts_with(folder_messages::kUpdateFinished));
            }
        }
        expectTheNextStartAndUpdateAgree(f, isNew);
    }
}

TEST(PrefixUpdateFiles, AFullDiskAtAnyStepIsToldAsWhatIsOnDisk) {
    const Result whole = wholeUpdate();
    for (size_t failing = 0; failing < whole.steps.size(); ++failing) {
        SCOPED_TRACE("disk full at step " + std::to_string(failing));
        Folder f;
        PrefixUpdateOutcome outcome;
        {
            LogSession session(f.dir.path());
            size_t call = 0;
            ScopedWriteFault full(
                [&](WriteStep, const fs::path&) { return call++ == failing ? ENOSPC : 0; });
            outcome = f.update(session);
        }
        const Files left = f.files();
        if (outcome.saved) {
            // Only the journal's removal failed: the files are new; the next
            // start removes the journal without a word.
            EXPECT_EQ(failing, whole.steps.size() - 1);
            EXPECT_TRUE(outcome.ok());
        } else if (outcome.messages == std::vector<std::string>{std::string(msg::kNotSaved)}) {
            EXPECT_EQ(left, whole.before);
        } else {
            // Decided, then stopped: the message names what changed.
            ASSERT_EQ(outcome.messages.size(), 1u);
            const std::string& told = outcome.messages[0];
            EXPECT_TRUE(told.starts_with(msg::kUnfinished)) << told;
            for (const char* name :
                 {"Prefixe_DXCC.txt", "Prefixe_DXCC_base.txt", "Entites_DXCC.txt"}) {
                const size_t at = told.find(name);
                ASSERT_NE(at, std::string::npos) << name;
                const bool saidNew = at < told.find(msg::kUnfinishedPending);
                EXPECT_EQ(left.at(name), (saidNew ? whole.after : whole.before).at(name)) << name;
            }
        }
        EXPECT_EQ(outcome.fileError.has_value(), !outcome.saved);
        if (outcome.fileError) {
            EXPECT_EQ(outcome.fileError->code(), kDiskFull);
        }
        bool isNew = false;
        {
            LogSession next(f.dir.path());
            ASSERT_EQ(next.claimDataFolder(), DataFolderLock::Outcome::Held);
            next.openDataFolder({});
            isNew = f.files() == whole.after;
            EXPECT_TRUE(isNew || f.files() == whole.before);
        }
        expectTheNextStartAndUpdateAgree(f, isNew);
    }
}

}  // namespace
}  // namespace dxcc
