// Spot lines as a busy cluster sends them, read and classified against the
// shipped prefix table and the needed status of a synthetic log.
#include <cstdio>
#include <string>
#include <vector>

#include "bench_env.h"
#include "bench_registry.h"
#include "core/awards/needed_index.h"
#include "core/cluster/cluster_stream.h"
#include "core/cluster/feed_batch.h"
#include "core/cluster/index_needed_lookup.h"
#include "core/prefixes/prefix_table.h"

namespace bench {

namespace {

constexpr double kTargetSpotsPerSecond = 200'000;
// The window takes a batch four times a second at most: a full one may cost
// its thread a twenty-fifth of that time.
constexpr double kTargetBatchMilliseconds = 10;

// Both forms of spot line, with real callsigns, over the HF and VHF bands.
const std::string& spotBytes(size_t count) {
    static const std::string bytes = [count] {
        const std::vector<std::string>& pool = Env::get().callsignPool();
        const char* comments[] = {"CW 599", "FT8 -12dB", "up 5 USB", "", "RTTY", "tnx qso"};
        const double bases[] = {1820,  3505,  7010,  10136, 14025, 14195,
                                18100, 21074, 24950, 28495, 50313, 144300};
        std::string out;
        char line[256];
        for (size_t i = 0; i < count; ++i) {
            const double khz = bases[i % 12] + double(i % 17) * 0.5;
            const std::string& dx = pool[(i * 7919) % pool.size()];
            if (i % 5 == 4)
                std::snprintf(line, sizeof line,
                              "%9.1f  %-12s 8-Dec-2026 %02zu%02zuZ %-24s <W3LPL>\r\n", khz,
                              dx.c_str(), i % 24, i % 60, comments[i % 6]);
            else
                std::snprintf(line, sizeof line,
                              "DX de F5XYZ-#: %9.1f  %-12s %-30s %02zu%02zuZ JN18\r\n", khz,
                              dx.c_str(), comments[i % 6], i % 24, i % 60);
            out += line;
        }
        return out;
    }();
    return bytes;
}

struct NullLink : dxcc::cluster::ClusterLink {
    void send(std::string_view) override {}
};

void spotBench(benchmark::State& state) {
    const dxcc::PrefixTable* table = Env::get().prefixTable();
    if (!table) {
        state.SkipWithError("no prefix table");
        return;
    }
    constexpr size_t kLines = 65536;
    const std::string& bytes = spotBytes(kLines);
    dxcc::NeededIndex index;  // an empty log: every spot is needed
    const dxcc::cluster::IndexNeededLookup needed(index);
    NullLink link;
    size_t spots = 0, wanted = 0;
    dxcc::cluster::ClusterConversation conversation(link, "F6XYZ",
                                                    {[&](const dxcc::cluster::Spot& s) {
                                                         const auto c = dxcc::cluster::classifySpot(
                                                             s, *table, needed);
                                                         ++spots;
                                                         wanted += c.needed();
                                                     },
                                                     {}});
    conversation.connected();
    for (auto _ : state) conversation.received(bytes);
    state.SetItemsProcessed(int64_t(spots));
    state.counters["spots/line"] = double(spots) / double(state.iterations() * kLines);
    benchmark::DoNotOptimize(wanted);
}

// The window's share of a flood: a full batch of spots classified and put at
// the top of a full spot list, its rows that go told as runs.
void batchBench(benchmark::State& state) {
    const dxcc::PrefixTable* table = Env::get().prefixTable();
    if (!table) {
        state.SkipWithError("no prefix table");
        return;
    }
    std::vector<dxcc::cluster::Spot> received;
    const std::string& bytes = spotBytes(65536);
    for (size_t at = 0, end; (end = bytes.find('\n', at)) != std::string::npos; at = end + 1)
        if (auto spot = dxcc::cluster::parseSpotLine(std::string_view(bytes).substr(at, end - at)))
            received.push_back(std::move(*spot));
    dxcc::NeededIndex index;
    const dxcc::cluster::IndexNeededLookup needed(index);
    const size_t batchSize = dxcc::cluster::FeedBatcher::Limits{}.spots;
    dxcc::cluster::SpotList list;
    size_t next = 0;
    int64_t receivedAt = 0;
    for (auto _ : state) {
        std::vector<dxcc::cluster::ClassifiedSpot> batch;
        batch.reserve(batchSize);
        for (size_t i = 0; i < batchSize; ++i)
            batch.push_back(
                dxcc::cluster::classifySpot(received[next++ % received.size()], *table, needed));
        receivedAt += 1;
        const auto plan = list.planBatch(batch, receivedAt);
        for (const auto& [first, count] : plan.removedRuns()) list.removeRows(first, count);
        std::vector<dxcc::cluster::ClassifiedSpot> top;
        top.reserve(plan.top.size());
        for (size_t i : plan.top) top.push_back(std::move(batch[i]));
        list.addOnTop(std::move(top), receivedAt);
    }
    benchmark::DoNotOptimize(list.size());
}

}  // namespace

void registerClusterBenchmarks() {
    benchmark::RegisterBenchmark("ClusterSpots", spotBench)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ClusterBatch", batchBench)->Unit(benchmark::kMillisecond);
}

bool printClusterSummary(const std::map<std::string, benchmark::BenchmarkReporter::Run>& results) {
    const auto it = results.find("ClusterSpots");
    if (it == results.end()) return true;
    const auto c = it->second.counters.find("items_per_second");
    const double perSecond = c == it->second.counters.end() ? 0 : double(c->second);
    bool met = perSecond >= kTargetSpotsPerSecond;
    std::printf("\nCluster spots read and classified\n  %-22s %14.0f /s  %s\n", "ClusterSpots",
                perSecond, met ? ">= 200,000/s: met" : ">= 200,000/s: MISSED");
    if (const auto batch = results.find("ClusterBatch"); batch != results.end()) {
        const double ms = batch->second.GetAdjustedRealTime() /
                          benchmark::GetTimeUnitMultiplier(batch->second.time_unit) * 1e3;
        const bool batchMet = ms <= kTargetBatchMilliseconds;
        std::printf("  %-22s %14.1f ms  %s\n", "ClusterBatch (window)", ms,
                    batchMet ? "<= 10 ms a full batch: met" : "<= 10 ms a full batch: MISSED");
        met = met && batchMet;
    }
    return met;
}

}  // namespace bench
