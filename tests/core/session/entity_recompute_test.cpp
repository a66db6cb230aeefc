// The recompute of a log's entities: every QSO looked up again, only the
// DXCC prefix and entity columns of the lines that change rewritten, the rest
// of the file kept byte for byte, all or nothing even when killed.
#include "core/session/entity_recompute.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/base/program_constants.h"
#include "core/base/text_file.h"
#include "core/base/write_faults.h"
#include "core/logbook/log_messages.h"
#include "core/prefixes/exact_calls.h"
#include "core/session/log_session.h"
#include "core/session/recompute_messages.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

namespace fs = std::filesystem;
using testing_support::Contact;
using testing_support::logLine;
using testing_support::TempDir;

// Real calls of the country files, and the answers the classic rule (first
// characters, nothing special about '/') once stored for them.
std::string prefixFile() {
    return joinLines(
        {buildPrefixEntry("AH6", "Hawaii", "KH6"), buildPrefixEntry("EA8", "Canary Islands", "EA8"),
         buildPrefixEntry("F", "France", "F"), buildPrefixEntry("G", "England", "G"),
         buildPrefixEntry("K", "United States", "K"), buildPrefixEntry("KH6", "Hawaii", "KH6")});
}
std::string exactCallFile() {
    return joinLines({buildExactCallLine("AH6P", "United States", "K"),
                      buildExactCallLine("KH6ABD", "Hawaii", "KH6")});
}

std::string line(const std::string& call, const std::string& prefix, const std::string& entity,
                 const std::string& date = "01/02/08") {
    return logLine({.callsign = call, .date = date, .dxccPrefix = prefix, .entityName = entity});
}

// The log before: the first four lines change, the others stay.
std::vector<std::string> oldLines() {
    return {line("F5ABC/EA8", "F", "France", "03/04/09"),  // the shorter part names the place
            line("AH6P", "KH6", "Hawaii"),                 // an exact call
            line("F5ABC/MM", "F", "France"),               // maritime mobile: no entity
            // A line another program cut short after the prefix: padded, then written.
            line("G4ABC", "", "").substr(0, 64),
            line("EA8/F5ABC", "EA8", "Canary Islands"),  // right already
            line("KH6ABD", "KH6", "Hawaii"),             // right already
            line("DL1ABC", "", "")};                     // no entity before nor now
}

std::string joined(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& l : lines) bytes += l + "\r\n";
    return bytes;
}

TEST(EntityRecompute, EveryRuleOfTheLookupGivesTheNewEntity) {
    const PrefixTable table = PrefixTable::parse(prefixFile(), exactCallFile());
    TempDir dir;
    dir.write("F6XYZ_DXCC.log", joined(oldLines()));
    Logbook log(dir.path());
    log.setStationCallsign("F6XYZ");
    log.load();
    const EntityRecompute plan = planEntityRecompute(log, table);
    EXPECT_EQ(plan.qsos, 7u);
    struct Expected {
        size_t row;
        const char *callsign, *date, *oldPrefix, *oldEntity, *newPrefix, *newEntity;
    };
    const Expected expected[] = {
        {0, "F5ABC/EA8", "03/04/09", "F", "France", "EA8", "Canary Islands"},
        {1, "AH6P", "01/02/08", "KH6", "Hawaii", "K", "United States"},
        {2, "F5ABC/MM", "01/02/08", "F", "France", "", ""},
        {3, "G4ABC", "01/02/08", "", "", "G", "England"},
    };
    ASSERT_EQ(plan.changes.size(), std::size(expected));
    for (size_t i = 0; i < plan.changes.size(); ++i) {
        const EntityChange& c = plan.changes[i];
        const Expected& e = expected[i];
        SCOPED_TRACE(e.callsign);
        EXPECT_EQ(c.row, e.row);
        EXPECT_EQ(c.callsign, e.callsign);
        EXPECT_EQ(c.date, e.date);
        EXPECT_EQ(c.oldPrefix, e.oldPrefix);
        EXPECT_EQ(c.oldEntity, e.oldEntity);
        EXPECT_EQ(c.newPrefix, e.newPrefix);
        EXPECT_EQ(c.newEntity, e.newEntity);
    }
    const std::vector<std::string> summary{
        "4 QSO changent de contrée",
        "F5ABC/EA8  03/04/09  F France -> EA8 Canary Islands",
        "AH6P  01/02/08  KH6 Hawaii -> K United States",
        "F5ABC/MM  01/02/08  F France -> aucune",
        "G4ABC  01/02/08  aucune -> G England",
    };
    EXPECT_EQ(recomputeSummaryLines(plan), summary);
}

// A data folder with the prefix files and the log of station F6XYZ.
struct Station {
    Station() {
        dir.write("Prefixe_DXCC.txt", prefixFile());
        dir.write("Exceptions_DXCC.txt", exactCallFile());
        dir.write("F6XYZ_DXCC.log", joined(oldLines()));
    }
    std::unique_ptr<LogSession> open() const {
        auto session = std::make_unique<LogSession>(dir.path());
        EXPECT_TRUE(session->openStation(std::string("F6XYZ")).ok());
        EXPECT_EQ(session->loadLog().kind, LoadOutcome::Kind::Loaded);
        return session;
    }
    std::string log() const { return dir.read("F6XYZ_DXCC.log"); }

    TempDir dir;
};

const auto kAccept = [](const EntityRecompute&) { return true; };

// Every byte of `after` but the prefix and entity columns is that of `before`.
void expectOnlyEntityColumnsDiffer(const std::string& before, const std::string& after) {
    const size_t prefixAt = kRecordFieldOffsets[static_cast<size_t>(Field::DxccPrefix)];
    const size_t entityEnd = kRecordQslOffset;
    size_t b = 0, a = 0;
    while (b < before.size() && a < after.size()) {
        const size_t bEnd = before.find("\r\n", b), aEnd = after.find("\r\n", a);
        const std::string_view oldLine(before.data() + b, bEnd - b),
            newLine(after.data() + a, aEnd - a);
        EXPECT_EQ(oldLine.substr(0, prefixAt), newLine.substr(0, prefixAt));
        EXPECT_EQ(oldLine.substr(std::min(entityEnd, oldLine.size())),
                  newLine.substr(std::min(entityEnd, newLine.size())));
        if (oldLine.size() > prefixAt + kDxccPrefixWidth) {  // the blank between the two
            EXPECT_EQ(oldLine[prefixAt + kDxccPrefixWidth], newLine[prefixAt + kDxccPrefixWidth]);
        }
        b = bEnd + 2;
        a = aEnd + 2;
    }
    EXPECT_EQ(b, before.size());
    EXPECT_EQ(a, after.size());
}

// A big log is looked up in two halves at once: the changes come out as one
// pass over the whole log gives them, in the log's order.
TEST(EntityRecompute, ABigLogGivesTheSameChangesInTheLogsOrder) {
    const PrefixTable table = PrefixTable::parse(prefixFile(), exactCallFile());
    constexpr size_t kBlocks = 9'000;  // 63,000 QSOs
    std::vector<std::string> lines;
    for (size_t b = 0; b < kBlocks; ++b)
        for (const std::string& l : oldLines()) lines.push_back(l);
    TempDir dir;
    dir.write("F6XYZ_DXCC.log", joined(lines));
    Logbook log(dir.path());
    log.setStationCallsign("F6XYZ");
    log.load();
    const EntityRecompute plan = planEntityRecompute(log, table);
    ASSERT_EQ(plan.changes.size(), 4 * kBlocks);
    const size_t perBlock = oldLines().size();
    for (size_t i = 0; i < plan.changes.size(); ++i)
        ASSERT_EQ(plan.changes[i].row, (i / 4) * perBlock + i % 4) << i;
    EXPECT_EQ(plan.changes.back().callsign, "G4ABC");
}

TEST(EntityRecompute, TheSaveRewritesOnlyTheEntityColumnsOfTheChangedLines) {
    Station s;
    const std::string before = s.log();
    auto session = s.open();
    const Need never = session->needed().entity("ZZZ");
    EXPECT_EQ(session->needed().entity("K"), never);
    EXPECT_NE(session->needed().entity("F"), never);
    const RecomputeOutcome outcome = session->recomputeEntities(kAccept);
    ASSERT_TRUE(outcome.ok());
    EXPECT_TRUE(outcome.saved);
    const std::string after = s.log();
    expectOnlyEntityColumnsDiffer(before, after);
    std::vector<std::string> expected = oldLines();
    expected[0] = line("F5ABC/EA8", "EA8", "Canary Islands", "03/04/09");
    expected[1] = line("AH6P", "K", "United States");
    expected[2] = line("F5ABC/MM", "", "");
    expected[3] = line("G4ABC", "G", "England").substr(0, kRecordQslOffset);
    EXPECT_EQ(after, joined(expected));
    // The memory copy and the needed status follow at once.
    EXPECT_EQ(session->log().record(0), expected[0]);
    EXPECT_NE(session->needed().entity("K"), never);
    // No award counts the maritime mobile: France has no QSO left.
    EXPECT_EQ(session->needed().entity("F"), never);
    // Done: a second recompute finds nothing to change and writes nothing.
    bool asked = false;
    const RecomputeOutcome again =
        session->recomputeEntities([&](const EntityRecompute&) { return asked = true; });
    EXPECT_TRUE(again.ok());
    EXPECT_TRUE(again.plan->changes.empty());
    EXPECT_FALSE(asked);
    EXPECT_FALSE(again.logChanged());
}

TEST(EntityRecompute, NothingIsWrittenUnlessTheOperatorSaves) {
    struct Case {
        const char* what;
        void (*prepare)(Station&);
        bool accept;
        SessionOutcome::Failure failure;
    };
    const Case cases[] = {
        {"the operator cancels", [](Station&) {}, false, SessionOutcome::Failure::None},
        {"the prefix file is gone", [](Station& s) { fs::remove(s.dir / "Prefixe_DXCC.txt"); },
         true, SessionOutcome::Failure::Refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Station s;
        const std::string before = s.log();
        auto session = s.open();
        c.prepare(s);
        session->prefixes().refresh();
        const RecomputeOutcome outcome =
            session->recomputeEntities([&](const EntityRecompute&) { return c.accept; });
        EXPECT_EQ(outcome.failure, c.failure);
        EXPECT_FALSE(outcome.saved);
        EXPECT_FALSE(outcome.logChanged());
        EXPECT_EQ(s.log(), before);
    }
}

TEST(EntityRecompute, ALogChangedElsewhereSinceItWasReadIsLeftAlone) {
    Station s;
    auto session = s.open();
    const std::string changed = joined(oldLines()) + line("G4XYZ", "G", "England") + "\r\n";
    const RecomputeOutcome outcome = session->recomputeEntities([&](const EntityRecompute&) {
        s.dir.write("F6XYZ_DXCC.log", changed);  // another program, while the summary shows
        return true;
    });
    EXPECT_EQ(outcome.failure, SessionOutcome::Failure::LineChanged);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{std::string(log_messages::kLineChanged)});
    EXPECT_EQ(s.log(), changed);
    EXPECT_EQ(session->log().size(), 8u);  // read again, for the operator to start over
}

TEST(EntityRecompute, AnotherCopyHoldingTheFolderRefusesIt) {
    Station s;
    LogSession other(s.dir.path());
    ASSERT_EQ(other.claimDataFolder(), DataFolderLock::Outcome::Held);
    const std::string before = s.log();
    auto session = s.open();
    const RecomputeOutcome outcome = session->recomputeEntities(kAccept);
    EXPECT_EQ(outcome.failure, SessionOutcome::Failure::FolderInUse);
    EXPECT_FALSE(outcome.plan);
    EXPECT_EQ(s.log(), before);
}

// A kill at any system call of the rewrite leaves the old log or the new one,
// whole, and the next start reads it.
TEST(EntityRecompute, AKillDuringTheRewriteLeavesTheOldOrTheNewLog) {
    std::string before, after;
    std::vector<WriteStep> steps;
    {
        Station s;
        before = s.log();
        auto session = s.open();
        ScopedWriteFault record([&](WriteStep step, const fs::path&) {
            steps.push_back(step);
            return 0;
        });
        ASSERT_TRUE(session->recomputeEntities(kAccept).saved);
        after = s.log();
    }
    ASSERT_FALSE(steps.empty());
    size_t oldSeen = 0, newSeen = 0;
    for (size_t at = 0; at <= steps.size(); ++at) {
        SCOPED_TRACE("killed before step " + std::to_string(at));
        Station s;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            auto session = s.open();
            size_t call = 0;
            ScopedWriteFault kill([&](WriteStep, const fs::path&) {
                if (call++ == at) ::raise(SIGKILL);
                return 0;
            });
            session->recomputeEntities(kAccept);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_EQ(WIFSIGNALED(status), at < steps.size());
        auto next = s.open();
        next->claimDataFolder();
        next->openDataFolder({});
        const std::string left = s.log();
        EXPECT_TRUE(left == before || left == after);
        (left == before ? oldSeen : newSeen)++;
        EXPECT_EQ(next->log().size(), oldLines().size());
    }
    EXPECT_GT(oldSeen, 0u);
    EXPECT_GT(newSeen, 0u);
}

}  // namespace
}  // namespace dxcc
