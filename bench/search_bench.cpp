// The QSO search over the loaded log at 10,000 to 1,000,000 QSOs, next to one
// plain pass over the log's lines; and the prefix editor opening and saving the
// shipped prefix file.
#include <filesystem>
#include <memory>
#include <string>

#include "bench_env.h"
#include "bench_registry.h"
#include "core/logbook/logbook.h"
#include "core/prefixes/prefix_entries.h"
#include "core/record/qso_record.h"
#include "core/search/qso_search.h"
#include "core/session/log_session.h"

namespace bench {

namespace {

// The log of the last size asked for, loaded once for all the search runs.
const dxcc::Logbook& loadedLog(size_t qsos) {
    static size_t loadedSize = 0;
    static std::unique_ptr<dxcc::Logbook> log;
    if (!log || loadedSize != qsos) {
        log.reset();
        log = std::make_unique<dxcc::Logbook>(Env::get().freshDataDir(qsos));
        log->setStationCallsign(kStation);
        log->load();
        loadedSize = qsos;
    }
    return *log;
}

// The yardstick: every line of the log fetched once and its first byte read,
// with no test on it.
void linePassBench(benchmark::State& state, size_t qsos) {
    const dxcc::Logbook& log = loadedLog(qsos);
    for (auto _ : state) {
        size_t total = 0;
        for (size_t i = 0; i < log.size(); ++i) {
            const std::string_view line = log.record(i);
            total += line.size() + (line.empty() ? 0 : static_cast<unsigned char>(line[0]));
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * qsos));
}

// What the operator would type: the callsign, the date and the first two
// characters of the callsign of the record in the middle of the log.
std::string searchText(const dxcc::Logbook& log, dxcc::SearchKind kind) {
    const std::string_view middle = log.record(log.size() / 2);
    const std::string_view call =
        dxcc::trimBlanks(dxcc::recordField(middle, dxcc::Field::Callsign));
    switch (kind) {
        case dxcc::SearchKind::Callsign:
            return std::string(call);
        case dxcc::SearchKind::Date:
            return std::string(dxcc::recordField(middle, dxcc::Field::Date));
        case dxcc::SearchKind::Prefix:
            break;
    }
    return std::string(call.substr(0, 2));
}

// The whole search as the window runs it: upper case, scan, result rows.
void searchBench(benchmark::State& state, size_t qsos, dxcc::SearchKind kind) {
    const dxcc::Logbook& log = loadedLog(qsos);
    const std::string text = searchText(log, kind);
    size_t found = 0;
    for (auto _ : state) {
        dxcc::SearchOutcome out = dxcc::runSearch(log, kind, text);
        found = out.rows.size();
        benchmark::DoNotOptimize(out.rows.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * qsos));
    state.counters["found"] = static_cast<double>(found);
}

// Opening the editor: the shipped file read into the sorted list.
void prefixEditorOpenBench(benchmark::State& state) {
    dxcc::PrefixEditor editor(Env::get().freshFirstNameDir());
    for (auto _ : state) {
        editor.open();
        benchmark::DoNotOptimize(editor.list().size());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * editor.list().size()));
}

// A save of a new entry, then a save of its removal: two safe rewrites.
void prefixEditorSaveBench(benchmark::State& state) {
    const std::filesystem::path dir = Env::get().freshFirstNameDir();
    dxcc::PrefixEditor editor(dir);
    editor.open();
    dxcc::LogSession session(dir);
    const dxcc::PrefixFields added{"TM0ZZZ", "Bench", "TST"};
    const std::string line = dxcc::prefixEntryLine(added);
    for (auto _ : state) {
        session.savePrefixEntry(editor, added);
        state.PauseTiming();
        settleDisk(dir);
        for (size_t row = 0; row < editor.list().size(); ++row) {
            if (editor.list().line(row) == line) editor.select(row);
        }
        editor.removeSelected();
        session.savePrefixEntry(editor, {});
        settleDisk(dir);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

void registerSearchBenchmarks(const std::vector<size_t>& sizes) {
    for (size_t n : sizes) {
        std::string at = "/";
        at += std::to_string(n);
        auto reg = [&](const std::string& name, auto fn) {
            benchmark::RegisterBenchmark((name + at).c_str(), fn)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(0.2)
                ->Repetitions(3);
        };
        using dxcc::SearchKind;
        reg("LinePass", [n](benchmark::State& st) { linePassBench(st, n); });
        reg("SearchCallsign",
            [n](benchmark::State& st) { searchBench(st, n, SearchKind::Callsign); });
        reg("SearchDate", [n](benchmark::State& st) { searchBench(st, n, SearchKind::Date); });
        reg("SearchPrefix", [n](benchmark::State& st) { searchBench(st, n, SearchKind::Prefix); });
    }
    for (auto* b : {benchmark::RegisterBenchmark("PrefixEditorOpen", prefixEditorOpenBench),
                    benchmark::RegisterBenchmark("PrefixEditorSave", prefixEditorSaveBench)})
        b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.2)->Repetitions(3);
}

}  // namespace bench
