// dxcc_bench: the log store, the main list and the lookups on generated logs,
// with a summary against the targets at the end. Besides Google Benchmark's own
// flags it takes --sizes=N,N,... (QSO counts of the generated logs).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "bench_env.h"
#include "bench_registry.h"

namespace {

using Run = benchmark::BenchmarkReporter::Run;
using bench::kTargetSize;

// The benchmark's name without the run settings ("Load/1000000").
std::string shortName(const Run& r) {
    benchmark::BenchmarkName n = r.run_name;
    n.min_time.clear();
    n.min_warmup_time.clear();
    n.iterations.clear();
    n.repetitions.clear();
    n.time_type.clear();
    return n.str();
}

// Shows one line per benchmark, the median of its repetitions, and keeps it
// for the summary.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    using ConsoleReporter::ConsoleReporter;

    // The names shown are the short ones, not those the column was sized for.
    bool ReportContext(const Context& context) override {
        Context shorter = context;
        shorter.name_field_width = 24;
        return ConsoleReporter::ReportContext(shorter);
    }

    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown;
        for (const Run& r : runs) {
            const bool keep =
                r.run_type == Run::RT_Aggregate ? r.aggregate_name == "median" : r.repetitions <= 1;
            if (!keep) continue;
            Run copy = r;
            copy.run_name = {};
            copy.run_name.function_name = shortName(r);
            if (!r.error_occurred) results[copy.run_name.function_name] = copy;
            shown.push_back(std::move(copy));
        }
        if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
    }

    std::map<std::string, Run> results;
};

double seconds(const Run& r) {
    return r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
}

double counter(const Run& r, const char* name) {
    auto it = r.counters.find(name);
    return it == r.counters.end() ? 0.0 : it->second.value;
}

std::string timeText(double s) {
    char buf[32];
    if (s >= 1)
        std::snprintf(buf, sizeof buf, "%.2f s", s);
    else if (s >= 1e-3)
        std::snprintf(buf, sizeof buf, "%.1f ms", s * 1e3);
    else
        std::snprintf(buf, sizeof buf, "%.1f us", s * 1e6);
    return buf;
}

constexpr double kTargetSeconds = 1.0;
constexpr double kTargetCopyRatio = 3.0;
// A load into fresh memory next to the file read alone into a ready buffer.
constexpr double kTargetLoadReadRatio = 3.0;
constexpr double kTargetPeakRatio = 3.0;
constexpr double kTargetLookupsPerSecond = 2e6;
// Every kind of call, the exact calls and the slash rules included.
constexpr double kTargetMixedLookupsPerSecond = 10e6;
constexpr double kTargetSearchSeconds = 0.2;

bool isRewrite(std::string_view op) {
    return op == "Append" || op.starts_with("Insert") || op == "Modify" || op == "Delete";
}

// The searches next to one plain pass over the log's lines; false when a target
// is missed.
bool printSearchSummary(const std::map<std::string, Run>& results,
                        const std::vector<size_t>& sizes) {
    static const char* const kOps[] = {"LinePass", "SearchCallsign", "SearchDate", "SearchPrefix"};
    bool allMet = true;
    bool any = false;
    for (size_t n : sizes) {
        std::string at = "/";
        at += std::to_string(n);
        auto passIt = results.find("LinePass" + at);
        const Run* pass = passIt == results.end() ? nullptr : &passIt->second;
        bool sizeShown = false;
        for (const char* op : kOps) {
            auto it = results.find(op + at);
            if (it == results.end()) continue;
            if (!any)
                std::printf("\nSearch (x LinePass = time / one plain pass over the log's lines)\n");
            any = true;
            if (!sizeShown) {
                std::printf("\n%zu QSOs\n  %-15s %10s %11s %8s  %s\n", n, "operation", "time",
                            "x LinePass", "found", "target");
                sizeShown = true;
            }
            const double t = seconds(it->second);
            const bool isSearch = std::string_view(op) != "LinePass";
            char ratio[16] = "", found[16] = "";
            if (pass && isSearch) std::snprintf(ratio, sizeof ratio, "%.2f", t / seconds(*pass));
            if (isSearch) std::snprintf(found, sizeof found, "%.0f", counter(it->second, "found"));
            std::string verdict;
            if (isSearch && n >= kTargetSize) {
                const bool met = t < kTargetSearchSeconds;
                verdict = met ? "< 0.2 s: met" : "< 0.2 s: MISSED";
                allMet = allMet && met;
            }
            std::printf("  %-15s %10s %11s %8s  %s\n", op, timeText(t).c_str(), ratio, found,
                        verdict.c_str());
        }
    }
    return allMet;
}

void printSummary(const std::map<std::string, Run>& results, const std::vector<size_t>& sizes) {
    static const char* const kOps[] = {"Read",         "Copy",      "CopyFsync", "Load",
                                       "DisplayAll",   "Screen",    "Append",    "InsertStart",
                                       "InsertMiddle", "InsertEnd", "Modify",    "Delete"};
    auto find = [&](const std::string& name) -> const Run* {
        auto it = results.find(name);
        return it == results.end() ? nullptr : &it->second;
    };
    bool allMet = true;
    bool anySize = false;
    bool checkedLog = false;
    for (size_t n : sizes) {
        std::string at = "/";
        at += std::to_string(n);
        bool any = false;
        for (const char* op : kOps) any = any || find(op + at);
        if (!any) continue;
        if (!anySize)
            std::printf(
                "\nSummary (medians; x Copy = time / plain copy of the log, "
                "x CopyFsync = time / the same copy synced to disk; Load's x Copy is "
                "its time / Read, the file read alone)\n");
        anySize = true;
        const Run* copy = find("Copy" + at);
        const Run* copySync = find("CopyFsync" + at);
        const Run* read = find("Read" + at);
        const bool checked = n >= kTargetSize;
        std::printf("\n%zu QSOs, log file %.1f MB%s\n", n,
                    static_cast<double>(bench::Env::get().logBytes(n)) / 1e6,
                    checked ? " (targets checked)" : "");
        std::printf("  %-13s %10s %9s %8s %11s %10s  %s\n", "operation", "time", "MB/s", "x Copy",
                    "x CopyFsync", "peak/file", "target");
        for (const char* op : kOps) {
            const Run* r = find(op + at);
            if (!r) continue;
            const double t = seconds(*r);
            const double mbps = counter(*r, "bytes_per_second") / 1e6;
            const double peak = counter(*r, "peak/file");
            std::string verdict;
            const bool load = std::string_view(op) == "Load";
            if (checked && (load || isRewrite(op))) {
                bool met = true;
                if (load) {
                    met = t < kTargetSeconds;
                    verdict = "< 1 s";
                    if (read) {
                        met = met && t / seconds(*read) <= kTargetLoadReadRatio;
                        verdict += ", <= 3x Read";
                    }
                } else {
                    met = t < kTargetSeconds;
                    verdict = "< 1 s";
                    if (copySync) {
                        met = met && t / seconds(*copySync) <= kTargetCopyRatio;
                        verdict += ", <= 3x CopyFsync";
                    }
                }
                if (peak > 0) {
                    met = met && peak < kTargetPeakRatio;
                    verdict += verdict.empty() ? "peak < 3x file" : ", peak < 3x file";
                }
                verdict += met ? ": met" : ": MISSED";
                allMet = allMet && met;
                checkedLog = true;
            }
            char mb[16] = "", rc[16] = "", rs[16] = "", pk[16] = "";
            if (mbps > 0) std::snprintf(mb, sizeof mb, "%.0f", mbps);
            const Run* base = load ? read : copy;
            if (base && (isRewrite(op) || load))
                std::snprintf(rc, sizeof rc, "%.2f", t / seconds(*base));
            if (copySync && isRewrite(op))
                std::snprintf(rs, sizeof rs, "%.2f", t / seconds(*copySync));
            if (peak > 0) std::snprintf(pk, sizeof pk, "%.2f", peak);
            std::printf("  %-13s %10s %9s %8s %11s %10s  %s\n", op, timeText(t).c_str(), mb, rc, rs,
                        pk, verdict.c_str());
        }
    }

    allMet = printSearchSummary(results, sizes) && allMet;

    bool anyLookup = false;
    for (const auto& [name, r] : results) {
        const double perSecond = counter(r, "items_per_second");
        if (!name.starts_with("Lookup") && !name.starts_with("FirstName") &&
            !name.starts_with("PrefixEditor"))
            continue;
        if (!anyLookup) std::printf("\nLookups, first names and the prefix editor\n");
        anyLookup = true;
        std::string verdict;
        if (name == "LookupMixed") {
            const bool met = perSecond >= kTargetMixedLookupsPerSecond;
            verdict = met ? ">= 10,000,000/s: met" : ">= 10,000,000/s: MISSED";
            allMet = allMet && met;
        } else if (name.starts_with("Lookup")) {
            const bool met = perSecond > kTargetLookupsPerSecond;
            verdict = met ? "> 2,000,000/s: met" : "> 2,000,000/s: MISSED";
            allMet = allMet && met;
        }
        std::printf("  %-22s %10s %14.0f /s  %s\n", name.c_str(), timeText(seconds(r)).c_str(),
                    perSecond, verdict.c_str());
    }
    allMet = bench::printAwardSummary(results, sizes) && allMet;
    allMet = bench::printAdifSummary(results, sizes) && allMet;
    allMet = bench::printAdifExportSummary(results, sizes) && allMet;
    allMet = bench::printClusterSummary(results) && allMet;
    allMet = bench::printDigitalSummary(results) && allMet;
    allMet = bench::printDigitalShownSummary(results) && allMet;
    allMet = bench::printNeededSummary(results, sizes) && allMet;
    allMet = bench::printRecomputeSummary(results, sizes) && allMet;
    allMet = bench::printStartSummary(results, sizes) && allMet;
    std::printf("\nTargets: %s%s\n", allMet ? "all met" : "some MISSED",
                checkedLog ? "" : " (the log targets are checked at 1,000,000 QSOs only)");
}

std::vector<size_t> parseSizes(std::string_view text) {
    std::vector<size_t> sizes;
    while (!text.empty()) {
        size_t comma = text.find(',');
        std::string part(text.substr(0, comma));
        if (!part.empty()) sizes.push_back(std::stoull(part));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return sizes;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<size_t> sizes = bench::kDefaultSizes;
    bool console = true;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.starts_with("--sizes=")) {
            sizes = parseSizes(arg.substr(8));
            continue;
        }
        if (arg.starts_with("--benchmark_format=") && arg != "--benchmark_format=console")
            console = false;
        argv[kept++] = argv[i];
    }
    argc = kept;

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bench::registerLogBenchmarks(sizes);
    bench::registerLookupBenchmarks();
    bench::registerSearchBenchmarks(sizes);
    bench::registerAwardBenchmarks(sizes);
    bench::registerAdifBenchmarks(sizes);
    bench::registerAdifExportBenchmarks(sizes);
    bench::registerClusterBenchmarks();
    bench::registerDigitalBenchmarks();
    bench::registerDigitalShownBenchmarks();
    bench::registerNeededBenchmarks(sizes);
    bench::registerRecomputeBenchmarks(sizes);
    bench::registerStartBenchmarks(sizes);

    if (!console) {
        benchmark::RunSpecifiedBenchmarks();
    } else {
        MedianReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_Color
                                                      : benchmark::ConsoleReporter::OO_None);
        benchmark::RunSpecifiedBenchmarks(&reporter);
        printSummary(reporter.results, sizes);
    }
    benchmark::Shutdown();
    return 0;
}
