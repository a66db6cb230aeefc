// The callsign lookup on the shipped prefix table and exact calls, and the
// first-name memory of 100,000 callsigns.
#include <iterator>
#include <string>
#include <vector>

#include "bench_env.h"
#include "bench_registry.h"
#include "core/logbook/first_names.h"
#include "core/prefixes/prefix_table.h"

namespace bench {

namespace {

// Real callsigns in a fixed mixed order, more than the caches hold.
const std::vector<std::string>& lookupCalls() {
    static const std::vector<std::string> calls = [] {
        const std::vector<std::string>& pool = Env::get().callsignPool();
        std::vector<std::string> out;
        for (size_t i = 0; i < 65536; ++i) out.push_back(pool[(i * 7919) % pool.size()]);
        return out;
    }();
    return calls;
}

// Calls of every kind the lookup tells apart, in the proportions of a chaser's
// log checked against the country files: four in ten plain calls; one each
// exact call, call that merely begins with one, place before the call, place
// after it, portable suffix, maritime or aeronautical mobile.
const std::vector<std::string>& mixedCalls(const dxcc::PrefixTable& table) {
    static const std::vector<std::string> calls = [&] {
        static constexpr const char* kPlaces[] = {"EA8", "KH6", "VP2E", "F",
                                                  "DL",  "ZL",  "FR",   "9A"};
        static constexpr const char* kSuffixes[] = {"/P", "/M", "/QRP", "/3", "/AM", "/MM"};
        const std::vector<std::string>& pool = Env::get().callsignPool();
        const dxcc::ExactCallTable& exact = table.exactCalls();
        std::vector<std::string> out;
        for (size_t i = 0; i < 65536; ++i) {
            const std::string& call = pool[(i * 7919) % pool.size()];
            const std::string place = kPlaces[(i / 10) % std::size(kPlaces)];
            const std::string exactCall =
                exact.size() == 0 ? call : std::string(exact.callsign((i * 104729) % exact.size()));
            switch (i % 10) {
                case 0:
                    out.push_back(exactCall);
                    break;
                case 1:
                    out.push_back(exactCall + "X");
                    break;
                case 2:
                    out.push_back(place + "/" + call);
                    break;
                case 3:
                    out.push_back(call + "/" + place);
                    break;
                case 4:
                    out.push_back(call + kSuffixes[(i / 10) % 4]);
                    break;
                case 5:
                    out.push_back(call + kSuffixes[4 + (i / 10) % 2]);
                    break;
                default:
                    out.push_back(call);
                    break;
            }
        }
        return out;
    }();
    return calls;
}

// What the entry form and the import ask for: the three texts.
void lookupBench(benchmark::State& state) {
    const dxcc::PrefixTable* table = Env::get().prefixTable();
    if (!table) {
        state.SkipWithError("no prefix table");
        return;
    }
    const auto& calls = lookupCalls();
    size_t i = 0;
    for (auto _ : state) {
        dxcc::LookupResult r = table->lookup(calls[i++ & 0xFFFF]);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}

// The match alone, without building the result texts.
void matchBench(benchmark::State& state) {
    const dxcc::PrefixTable* table = Env::get().prefixTable();
    if (!table) {
        state.SkipWithError("no prefix table");
        return;
    }
    const auto& calls = lookupCalls();
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(table->match(calls[i++ & 0xFFFF]));
    state.SetItemsProcessed(state.iterations());
}

// The one lookup over every kind of call: exact calls, slash rules and
// prefixes, without building texts (what the import and the cluster ask).
void mixedBench(benchmark::State& state) {
    const dxcc::PrefixTable* table = Env::get().prefixTable();
    if (!table) {
        state.SkipWithError("no prefix table");
        return;
    }
    const auto& calls = mixedCalls(*table);
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(table->resolve(calls[i++ & 0xFFFF]));
    state.SetItemsProcessed(state.iterations());
}

// Through the prefix file in the data directory, which looks at the file for
// changes now and then.
void prefixFileBench(benchmark::State& state) {
    dxcc::PrefixFile file(Env::get().prefixFile());
    if (file.lookup("F5ABC").dxccPrefix.empty()) {
        state.SkipWithError("no prefix table");
        return;
    }
    const auto& calls = lookupCalls();
    size_t i = 0;
    for (auto _ : state) {
        dxcc::LookupResult r = file.lookup(calls[i++ & 0xFFFF]);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}

// The last callsign of the file: the lookup reads it to the end anyway.
void firstNameLookupBench(benchmark::State& state) {
    const dxcc::FirstNameMemory memory(Env::get().freshFirstNameDir());
    const std::string& call = Env::get().firstNameCalls().back();
    const uint64_t bytes = Env::get().firstNameBytes();
    resetPeakMemory();
    for (auto _ : state) benchmark::DoNotOptimize(memory.lookup(call));
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    reportPeakMemory(state, 0);
}

// A commit of a known callsign: the name changes and the file is rewritten.
void firstNameUpdateBench(benchmark::State& state) {
    const std::filesystem::path dir = Env::get().freshFirstNameDir();
    dxcc::FirstNameMemory memory(dir);
    const auto& calls = Env::get().firstNameCalls();
    const std::string& call = calls[calls.size() / 2];
    const uint64_t bytes = Env::get().firstNameBytes();
    bool flip = false;
    resetPeakMemory();
    for (auto _ : state) {
        memory.update(call, (flip = !flip) ? "JEAN" : "PIERRE");
        state.PauseTiming();
        settleDisk(dir);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    reportPeakMemory(state, 0);
}

}  // namespace

void registerLookupBenchmarks() {
    for (auto* b : {benchmark::RegisterBenchmark("Lookup", lookupBench),
                    benchmark::RegisterBenchmark("LookupMatch", matchBench),
                    benchmark::RegisterBenchmark("LookupMixed", mixedBench),
                    benchmark::RegisterBenchmark("LookupPrefixFile", prefixFileBench)})
        b->Unit(benchmark::kNanosecond)->Repetitions(3);
    for (auto* b : {benchmark::RegisterBenchmark("FirstNameLookup", firstNameLookupBench),
                    benchmark::RegisterBenchmark("FirstNameUpdate", firstNameUpdateBench)})
        b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.2)->Repetitions(3);
}

}  // namespace bench
