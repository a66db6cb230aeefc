// The award evaluations on generated logs of 10,000 to 1,000,000 QSOs, next to
// one plain pass over the log's lines in memory.
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "bench_env.h"
#include "bench_registry.h"
#include "core/awards/award_evaluation.h"
#include "core/logbook/logbook.h"

namespace bench {

namespace {

using Run = benchmark::BenchmarkReporter::Run;

constexpr double kTargetSeconds = 0.3;
constexpr double kTargetFiveBandSeconds = 0.5;
constexpr double kTargetPassRatio = 4.0;

// The awards measured, by benchmark name and award name. The band window's
// awards all run the same pass: one band of each sticker table stands for them.
struct Measured {
    const char* benchName;
    const char* award;
};
constexpr Measured kMeasured[] = {
    {"Mixed", "Mixed"},
    {"SSB", "SSB"},
    {"CW", "CW"},
    {"RTTY", "RTTY"},
    {"Band14", "14 Mhz"},
    {"Band144", "144 Mhz"},
    {"FiveBand", "5 bandes"},
    {"Satellite", "Satellite"},
};

// The yardstick: every byte of every line read once, as any pass over the log
// must at least do.
void plainPassBench(benchmark::State& state, size_t qsos) {
    const dxcc::Logbook& log = sharedLoadedLog(qsos);
    for (auto _ : state) {
        benchmark::DoNotOptimize(plainPass(log));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * qsos));
}

void awardBench(benchmark::State& state, size_t qsos, const char* award, dxcc::Basis basis) {
    const dxcc::Logbook& log = sharedLoadedLog(qsos);
    const dxcc::AwardDefinition* definition = dxcc::findAward(award);
    if (!definition) {
        state.SkipWithError("no such award");
        return;
    }
    size_t entities = 0;
    for (auto _ : state) {
        dxcc::AwardResult r = dxcc::evaluateAward(log, *definition, basis);
        entities = r.count;
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * qsos));
    state.counters["entities"] = static_cast<double>(entities);
}

double seconds(const Run& r) {
    return r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
}

std::string sizeSuffix(size_t qsos) {
    std::string at = "/";
    at += std::to_string(qsos);
    return at;
}

}  // namespace

void registerAwardBenchmarks(const std::vector<size_t>& sizes) {
    for (size_t n : sizes) {
        const std::string at = sizeSuffix(n);
        configurePass(
            benchmark::RegisterBenchmark(("PlainPass" + at).c_str(),
                                         [n](benchmark::State& st) { plainPassBench(st, n); }),
            n);
        for (const Measured& m : kMeasured) {
            const bool fiveBand = std::string_view(m.award) == "5 bandes";
            for (dxcc::Basis basis : {dxcc::Basis::Confirmed, dxcc::Basis::Contacted}) {
                if (fiveBand && basis == dxcc::Basis::Contacted) continue;
                const std::string name =
                    std::string("Award") + m.benchName +
                    (basis == dxcc::Basis::Confirmed ? "Confirmed" : "Contacted") + at;
                const char* award = m.award;
                configurePass(benchmark::RegisterBenchmark(name.c_str(),
                                                           [n, award, basis](benchmark::State& st) {
                                                               awardBench(st, n, award, basis);
                                                           }),
                              n);
            }
        }
    }
}

bool printAwardSummary(const std::map<std::string, Run>& results,
                       const std::vector<size_t>& sizes) {
    bool allMet = true;
    bool header = false;
    for (size_t n : sizes) {
        const std::string at = sizeSuffix(n);
        auto plain = results.find("PlainPass" + at);
        if (plain == results.end()) continue;
        const double base = seconds(plain->second);
        if (!header)
            std::printf(
                "\nAwards (medians; x Pass = time / one plain pass over the log's lines)\n");
        header = true;
        const bool checked = n >= kTargetSize;
        std::printf("\n%zu QSOs: plain pass %.1f ms%s\n", n, base * 1e3,
                    checked ? " (targets checked)" : "");
        std::printf("  %-28s %10s %8s %9s  %s\n", "award", "time", "x Pass", "entities", "target");
        for (const auto& [name, run] : results) {
            if (!name.starts_with("Award") || !name.ends_with(at)) continue;
            const double t = seconds(run);
            const bool fiveBand = name.starts_with("AwardFiveBand");
            std::string verdict;
            if (checked) {
                const bool met = fiveBand ? t < kTargetFiveBandSeconds
                                          : t < kTargetSeconds && t / base < kTargetPassRatio;
                verdict = fiveBand ? "< 0.5 s" : "< 0.3 s, < 4x pass";
                verdict += met ? ": met" : ": MISSED";
                allMet = allMet && met;
            }
            auto entities = run.counters.find("entities");
            std::printf("  %-28s %8.1f ms %8.2f %9.0f  %s\n",
                        name.substr(0, name.size() - at.size()).c_str(), t * 1e3, t / base,
                        entities == run.counters.end() ? 0.0 : entities->second.value,
                        verdict.c_str());
        }
    }
    return allMet;
}

}  // namespace bench
