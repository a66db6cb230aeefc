// A child process rewrites a log of 100,000 contacts and is killed with
// SIGKILL at moments spread over the operation; after every kill the log holds
// exactly its old content or its new one, and the start-up clean-up leaves no
// scratch file behind. The normal run kills a few times per operation;
// VEL_KILL_COUNT=200 makes it the full test (run by hand).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "core/adif/adif_import.h"
#include "core/base/text_file.h"
#include "core/base/write_faults.h"
#include "core/prefixes/prefix_table.h"
#include "core/session/log_session.h"
#include "sample_records.h"
#include "synthetic_log.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

using testing_support::qso;
using testing_support::TempDir;
using Clock = std::chrono::steady_clock;

constexpr size_t kQsos = 100'000;
constexpr int kDefaultKills = 20;

struct Operation {
    const char* name;
    std::function<void(Logbook&)> run;
};

std::string rowOf(const Logbook& log, size_t row) {
    return std::string(log.record(row));
}

constexpr const char* kAdifFile = "export.adi";

// Each operation that writes the log.
const Operation kOperations[] = {
    {"insert", [](Logbook& log) { log.insertInDateOrder(qso("F5NEW", "15/06/15", "12:00")); }},
    {"modify",
     [](Logbook& log) {
         const size_t row = log.size() / 2;
         log.modifyAt(row, rowOf(log, row), qso("F5NEW", "15/06/15", "12:00"));
     }},
    {"delete",
     [](Logbook& log) {
         const size_t row = log.size() / 3;
         log.removeAt(row, rowOf(log, row));
     }},
    {"append", [](Logbook& log) { log.appendRecord(qso("F5NEW", "31/12/25", "23:59")); }},
    {"import",
     [](Logbook& log) { adif::importIntoLog(log, log.dataDir() / kAdifFile, PrefixTable()); }},
};

int killCount() {
    const char* wanted = std::getenv("VEL_KILL_COUNT");
    return wanted ? std::max(1, std::atoi(wanted)) : kDefaultKills;
}

void writePlain(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

bool anyScratchFile(const std::filesystem::path& dir) {
    for (const char* name : kScratchFileNames)
        if (std::filesystem::exists(dir / name)) return true;
    return false;
}

class KilledMidWrite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TempDir seed;
        writeSyntheticLog(seed / "F6XYZ_DXCC.log", kQsos, nullptr);
        oldLog_ = new std::string(seed.read("F6XYZ_DXCC.log"));
    }
    static void TearDownTestSuite() {
        delete oldLog_;
        oldLog_ = nullptr;
    }

    KilledMidWrite() : log(dir.path()) {
        log.setStationCallsign("F6XYZ");
        writeSyntheticAdif(dir / kAdifFile, 2000, synth::builtInCallsigns(500, 7), 2015, 2);
    }

    void restoreOldLog() {
        for (const char* name : kScratchFileNames) std::filesystem::remove(dir / name);
        writePlain(log.logPath(), *oldLog_);
    }

    // When an operation writes, from the start of the operation.
    struct Timing {
        Clock::duration whole{};
        Clock::duration writeStart{};  // the file (scratch or log) opened for writing
        Clock::duration writeEnd{};    // the last write call (the rename of a rewrite)
    };

    // Runs the operation here, for its result and its timing, seen through the
    // write seam.
    std::string newContent(const Operation& op, Timing& timing) {
        restoreOldLog();
        log.load();
        const auto start = Clock::now();
        {
            ScopedWriteFault watch([&](WriteStep step, const std::filesystem::path&) {
                const auto at = Clock::now() - start;
                if (step == WriteStep::Open) timing.writeStart = at;
                timing.writeEnd = at;
                return 0;
            });
            op.run(log);
        }
        timing.whole = Clock::now() - start;
        return readFileBytes(log.logPath());
    }

    // The moment a kill is aimed at, in the child's own time.
    enum class From { Start, Writing };

    // Starts a child that loads the log, then runs the operation, saying when
    // it starts and when it opens a file to write; kills it `after` the moment
    // `from`.
    void killDuring(const Operation& op, From from, Clock::duration after) {
        int started[2], writing[2];
        ASSERT_EQ(::pipe(started), 0);
        ASSERT_EQ(::pipe(writing), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Logbook own(dir.path());
            own.setStationCallsign("F6XYZ");
            own.load();
            const char byte = 1;
            if (::write(started[1], &byte, 1) != 1) ::_exit(2);
            bool told = false;
            ScopedWriteFault tell([&](WriteStep step, const std::filesystem::path&) {
                if (step == WriteStep::Open && !told) told = ::write(writing[1], &byte, 1) == 1;
                return 0;
            });
            op.run(own);
            ::_exit(0);
        }
        ::close(started[1]);
        ::close(writing[1]);
        char byte = 0;
        ASSERT_EQ(::read(started[0], &byte, 1), 1);
        if (from == From::Writing) {
            ASSERT_EQ(::read(writing[0], &byte, 1), 1);
        }
        std::this_thread::sleep_for(after);
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(started[0]);
        ::close(writing[0]);
    }

    TempDir dir;
    Logbook log;
    static std::string* oldLog_;
};

std::string* KilledMidWrite::oldLog_ = nullptr;

TEST_F(KilledMidWrite, TheLogIsAlwaysTheOldOrTheNewOneWhole) {
    const int kills = killCount();
    const int perOperation = std::max(1, kills / static_cast<int>(std::size(kOperations)));
    std::mt19937 random(20240607);
    int sawOld = 0, sawNew = 0, scratchLeft = 0;
    for (const Operation& op : kOperations) {
        SCOPED_TRACE(op.name);
        Timing timing;
        const std::string newLog = newContent(op, timing);
        ASSERT_NE(newLog, *oldLog_);
        std::cout << op.name << ": "
                  << std::chrono::duration<double, std::milli>(timing.whole).count()
                  << " ms, writing from "
                  << std::chrono::duration<double, std::milli>(timing.writeStart).count()
                  << " ms\n";
        for (int k = 0; k < perOperation; ++k) {
            // Every other kill spread over the whole operation and a little past
            // its end, the others over the time the file is being written.
            const From from = k % 2 == 1 ? From::Writing : From::Start;
            const Clock::duration span =
                from == From::Writing ? timing.writeEnd - timing.writeStart : timing.whole * 6 / 5;
            std::uniform_real_distribution<double> share(0.0, 1.0);
            const auto after = std::chrono::duration_cast<Clock::duration>(span * share(random));
            restoreOldLog();
            killDuring(op, from, after);
            if (HasFatalFailure()) return;

            const std::string left = readFileBytes(log.logPath());
            const bool isOld = left == *oldLog_, isNew = left == newLog;
            ASSERT_TRUE(isOld || isNew) << "kill " << k << " after "
                                        << std::chrono::duration<double>(after).count() << " s";
            sawOld += isOld;
            sawNew += isNew;
            scratchLeft += anyScratchFile(dir.path());
            // The next start: scratch files go, the log loads whole.
            LogSession next(dir.path());
            ASSERT_EQ(next.startUp({}).lock, DataFolderLock::Outcome::Held);
            EXPECT_FALSE(anyScratchFile(dir.path()));
            ASSERT_TRUE(next.openStation("F6XYZ").ok());
            EXPECT_EQ(next.loadLog().kind, LoadOutcome::Kind::Loaded);
            EXPECT_EQ(next.log().size(), countLines(left));
        }
    }
    std::cout << "kills: " << sawOld + sawNew << ", old content: " << sawOld
              << ", new content: " << sawNew << ", scratch file left: " << scratchLeft << "\n";
    // Some kills must have landed in the middle of a rewrite, or nothing was tested.
    EXPECT_GT(scratchLeft, 0);
}

}  // namespace
}  // namespace dxcc
