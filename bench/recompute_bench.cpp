// The recompute of a log's entities: every QSO looked up again and the lines
// whose entity changed rewritten, against one plain pass over the log plus
// one rewrite of it.
#include <cstdio>
#include <string>

#include "bench_env.h"
#include "bench_registry.h"
#include "core/logbook/logbook.h"
#include "core/record/qso_record.h"
#include "core/session/entity_recompute.h"

namespace bench {

namespace {

using Run = benchmark::BenchmarkReporter::Run;

// The recompute may take twice one plain pass plus one rewrite of the log.
constexpr double kTargetRatio = 2.0;
// One QSO in this many lost its entity: the recompute gives it back.
constexpr size_t kChangedEvery = 10;

struct Station {
    std::filesystem::path dir;
    dxcc::Logbook log;

    explicit Station(size_t qsos) : dir(Env::get().freshDataDir(qsos)), log(dir) {
        log.setStationCallsign(kStation);
        log.load();
    }
};

// Untimed: the entities of every tenth QSO emptied, as an old rule left them.
void loseEntities(Station& s) {
    std::vector<dxcc::Logbook::EntityEdit> edits;
    for (size_t row = 0; row < s.log.size(); row += kChangedEvery) edits.push_back({row, "", ""});
    s.log.setEntities(edits);
    settleDisk(s.dir);
}

void recomputeBench(benchmark::State& state, size_t qsos) {
    const dxcc::PrefixTable* table = Env::get().prefixTable();
    if (!table) {
        state.SkipWithError("no prefix table");
        return;
    }
    Station s(qsos);
    size_t changed = 0;
    resetPeakMemory();
    for (auto _ : state) {
        state.PauseTiming();
        loseEntities(s);
        state.ResumeTiming();
        const dxcc::EntityRecompute plan = dxcc::planEntityRecompute(s.log, *table);
        s.log.setEntities(dxcc::entityEdits(plan));
        changed = plan.changes.size();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * qsos));
    state.counters["changed"] = static_cast<double>(changed);
    reportPeakMemory(state, Env::get().logBytes(qsos));
}

// The yardstick's rewrite: the whole log written again for one line's entity.
void rewriteBench(benchmark::State& state, size_t qsos) {
    Station s(qsos);
    const std::string prefix(dxcc::recordField(s.log.record(0), dxcc::Field::DxccPrefix));
    const std::string entity(dxcc::recordField(s.log.record(0), dxcc::Field::EntityName));
    bool blank = true;
    for (auto _ : state) {
        s.log.setEntities({{0, blank ? "" : prefix, blank ? "" : entity}});
        blank = !blank;
        state.PauseTiming();
        settleDisk(s.dir);
        state.ResumeTiming();
    }
}

double seconds(const Run& r) {
    return r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
}

}  // namespace

void registerRecomputeBenchmarks(const std::vector<size_t>& sizes) {
    for (size_t n : sizes) {
        const std::string at = "/" + std::to_string(n);
        configurePass(
            benchmark::RegisterBenchmark(("Recompute" + at).c_str(),
                                         [n](benchmark::State& st) { recomputeBench(st, n); }),
            n);
        configurePass(
            benchmark::RegisterBenchmark(("RecomputeRewrite" + at).c_str(),
                                         [n](benchmark::State& st) { rewriteBench(st, n); }),
            n);
    }
}

bool printRecomputeSummary(const std::map<std::string, Run>& results,
                           const std::vector<size_t>& sizes) {
    bool allMet = true;
    bool header = false;
    for (size_t n : sizes) {
        const std::string at = "/" + std::to_string(n);
        auto recompute = results.find("Recompute" + at);
        auto rewrite = results.find("RecomputeRewrite" + at);
        auto pass = results.find("PlainPass" + at);
        if (recompute == results.end() || rewrite == results.end() || pass == results.end())
            continue;
        if (!header)
            std::printf(
                "\nRecompute of the entities (medians; a tenth of the QSOs change; yardstick = "
                "one plain pass + one rewrite of the log)\n");
        header = true;
        const double t = seconds(recompute->second);
        const double yardstick = seconds(pass->second) + seconds(rewrite->second);
        std::string verdict;
        if (n >= kTargetSize) {
            const bool met = t <= kTargetRatio * yardstick;
            verdict = met ? "<= 2x (pass + rewrite): met" : "<= 2x (pass + rewrite): MISSED";
            allMet = allMet && met;
        }
        std::printf("  %-9zu QSOs %10.1f ms  pass %8.1f ms  rewrite %8.1f ms  x %5.2f  %s\n", n,
                    t * 1e3, seconds(pass->second) * 1e3, seconds(rewrite->second) * 1e3,
                    t / yardstick, verdict.c_str());
    }
    return allMet;
}

}  // namespace bench
