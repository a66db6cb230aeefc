// The prefix update writes five files that must agree: the prefix file and
// the exact-call file, their base copies (which tell the operator's lines from
// the built ones next time) and the entity data. Killed at every system call
// of the update, or failing at each with a full disk, the next start leaves
// the five all old or all new, the operator is told what is on disk, and the
// next update still knows the operator's lines.
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
#include "core/prefixes/exact_calls.h"
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
const std::string kOldCall = buildExactCallLine("TO1OLD", "Guadeloupe", "FG");
const std::string kNewCall = buildExactCallLine("TO8ABC/P", "Guadeloupe", "FG");
const std::string kMyCall = buildExactCallLine("FT5ZM", "Amsterdam & St-Paul Is.", "FT5Z");

const char* const kCtyDat =
    "France:  14:  27:  EU:  46.00:  -2.00:  -1.0:  F:\n    F,TM;\n"
    "Guadeloupe:  08:  11:  NA:  16.13:  61.67:  4.0:  FG:\n    FG,TO,=TO8ABC/P;\n";

// A data folder before the update: the operator's line F8ZZ beside the last
// build (F, TO), the operator's exact call FT5ZM beside the built TO1OLD, and
// the entity data of that build.
struct Folder {
    Folder() {
        dir.write("Prefixe_DXCC.txt", kF + "\r\n" + kMine + "\r\n" + kTo + "\r\n");
        dir.write("Prefixe_DXCC_base.txt", kF + "\r\n" + kTo + "\r\n");
        dir.write("Exceptions_DXCC.txt", kMyCall + "\r\n" + kOldCall + "\r\n");
        dir.write("Exceptions_DXCC_base.txt", kOldCall + "\r\n");
        dir.write("Entites_DXCC.txt", "F\tFrance\t46.00\t2.00\tEU\t14\t27\t1.00\r\n");
        std::ofstream(dir / "cty.dat", std::ios::binary) << kCtyDat;
    }
    // The five files the update writes, and anything else in the folder but
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
    EXPECT_EQ(again.plan->summary.exactCalls.operatorLines, std::vector<std::string>{kMyCall});
}

TEST(PrefixUpdateFiles, TheExactCallsAndTheirBaseChangeWithThePrefixes) {
    const Result whole = wholeUpdate();
    ASSERT_EQ(whole.after.size(), 5u);
    EXPECT_EQ(whole.after.at("Exceptions_DXCC.txt"), kMyCall + "\r\n" + kNewCall + "\r\n");
    EXPECT_EQ(whole.after.at("Exceptions_DXCC_base.txt"), kNewCall + "\r\n");
    EXPECT_EQ(ExactCallTable::parse(whole.after.at("Exceptions_DXCC.txt")).find("TO1OLD"), nullptr);
}

TEST(PrefixUpdateFiles, TheSummaryCountsTheExactCallsAddedAndRemoved) {
    Folder f;
    LogSession session(f.dir.path());
    const PrefixUpdateOutcome outcome = f.update(session);
    ASSERT_TRUE(outcome.saved);
    const PrefixUpdateSummary::ExactCalls& exact = outcome.plan->summary.exactCalls;
    EXPECT_EQ(exact.added, std::vector<std::string>{kNewCall});
    EXPECT_EQ(exact.removed, std::vector<std::string>{kOldCall});
    EXPECT_EQ(exact.operatorLines, std::vector<std::string>{kMyCall});
    // The lookup follows at once: the new exact call answers by its whole callsign.
    EXPECT_EQ(session.prefixes().lookup("TO8ABC/P").kind, MatchKind::Exact);
}

TEST(PrefixUpdateFiles, WithoutABaseCopyTheShippedExactCallsAreTheBuiltOnes) {
    // A folder no update has touched since it got the shipped exact calls:
    // the operator's one added line is kept, the shipped one replaced.
    Folder f;
    fs::remove(f.dir / "Exceptions_DXCC_base.txt");
    LogSession session(f.dir.path());
    ASSERT_EQ(session.claimDataFolder(), DataFolderLock::Outcome::Held);
    session.openDataFolder({{"Exceptions_DXCC.txt", kOldCall + "\r\n"}});
    const PrefixUpdateOutcome outcome = f.update(session);
    ASSERT_TRUE(outcome.saved);
    EXPECT_EQ(outcome.plan->summary.exactCalls.operatorLines, std::vector<std::string>{kMyCall});
    EXPECT_EQ(f.files().at("Exceptions_DXCC.txt"), kMyCall + "\r\n" + kNewCall + "\r\n");
}

TEST(PrefixUpdateFiles, AKillAtAnyStepLeavesTheFiveFilesAllOldOrAllNew) {
    const Result whole = wholeUpdate();
    ASSERT_EQ(whole.after.size(), 5u);
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
                 {"Prefixe_DXCC.txt", "Prefixe_DXCC_base.txt", "Exceptions_DXCC.txt",
                  "Exceptions_DXCC_base.txt", "Entites_DXCC.txt"}) {
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
