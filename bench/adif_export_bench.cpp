// The ADIF export of a whole log, and the merge of a confirmation download
// (one confirmation for every tenth QSO) into it: each from the loaded log to
// the file written and synced by the safe rewrite.
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/adif/adif_export.h"
#include "core/record/mode_table.h"
#include "core/record/band_table.h"
#include "core/adif/confirmation_merge.h"
#include "bench_env.h"
#include "bench_registry.h"
#include "core/logbook/logbook.h"
#include "core/base/program_constants.h"
#include "core/record/qso_record.h"
#include "core/base/text_file.h"
#include "core/prefixes/prefix_table.h"

namespace fs = std::filesystem;

namespace bench {

namespace {

constexpr size_t kConfirmationEvery = 10;

const dxcc::PrefixTable& table() {
    static const dxcc::PrefixTable empty;
    const dxcc::PrefixTable* t = Env::get().prefixTable();
    return t ? *t : empty;
}

void configure(benchmark::internal::Benchmark* b) {
    b->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
}

dxcc::Logbook loadedLog(const fs::path& dir) {
    dxcc::Logbook log(dir);
    log.setStationCallsign(kStation);
    log.load();
    return log;
}

void field(std::string& out, std::string_view name, std::string_view value) {
    out += '<';
    out += name;
    out += ':';
    out += std::to_string(value.size());
    out += '>';
    out += value;
    out += '\n';
}

// What the service writes for one QSO of the log, a few minutes off, one field
// a line in lower case; every twentieth is made from another entity, which
// the log lacks.
void appendConfirmation(std::string& out, std::string_view record, size_t ordinal) {
    const std::string_view date = recordField(record, dxcc::Field::Date);
    const std::string_view time = recordField(record, dxcc::Field::Time);
    const std::string_view mode = dxcc::trimBlanks(recordField(record, dxcc::Field::Mode));
    std::string call(dxcc::trimBlanks(recordField(record, dxcc::Field::Callsign)));
    if (ordinal % 20 == 0) call = "9X/" + call;  // portable in another entity
    const int year = (date[6] - '0') * 10 + (date[7] - '0');
    const std::string isoDate = std::to_string(year > 50 ? 1900 + year : 2000 + year) +
                                std::string{date[3], date[4], date[0], date[1]};
    const int logged = (time[3] - '0') * 10 + (time[4] - '0');
    const int minute = logged >= 7 ? logged - 7 : logged + 7;
    const std::string isoTime =
        std::string{time[0], time[1]} + (minute < 10 ? "0" : "") + std::to_string(minute) + "27";
    const dxcc::adif::AdifMode adif = dxcc::adif::adifModeOf(mode);
    field(out, "app_lotw_owncall", kStation);
    field(out, "station_callsign", kStation);
    field(out, "call", call);
    field(out, "band", dxcc::adif::adifBandOfLogBand(recordField(record, dxcc::Field::Band)));
    field(out, "mode", adif.satellite ? "FM" : mode == "DIG" ? "RTTY" : adif.mode);
    if (adif.satellite) field(out, "prop_mode", "SAT");
    field(out, "qso_date", isoDate);
    field(out, "time_on", isoTime);
    field(out, "qsl_rcvd", "Y");
    field(out, "qslrdate", "20250101");
    field(out, "dxcc", "227");
    field(out, "country", "FRANCE");
    out += "<eor>\n\n";
}

const fs::path& confirmationFile(size_t qsos) {
    static std::map<size_t, fs::path> files;
    if (auto it = files.find(qsos); it != files.end()) return it->second;
    const dxcc::Logbook log = loadedLog(Env::get().freshDataDir(qsos));
    std::string text = "ARRL Logbook of the World Status Report\n<eoh>\n\n";
    for (size_t i = 0; i < log.size(); i += kConfirmationEvery)
        appendConfirmation(text, log.record(i), i / kConfirmationEvery);
    text += "<APP_LoTW_EOF>\n";
    const fs::path file = Env::get().root() / ("lotw_" + std::to_string(qsos) + ".adi");
    dxcc::rewriteFile(file, Env::get().root() / "lotw.tmp", text);
    return files.emplace(qsos, file).first->second;
}

void exportBench(benchmark::State& state, size_t qsos) {
    const fs::path dir = Env::get().freshDataDir(qsos);
    const dxcc::Logbook log = loadedLog(dir);
    const fs::path file = dir / "export.adi";
    resetPeakMemory();
    dxcc::adif::ExportReport report;
    for (auto _ : state) {
        report = dxcc::adif::exportLog(log, file);
        state.PauseTiming();
        settleDisk(dir);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * qsos));
    state.counters["MB"] = static_cast<double>(fs::file_size(file)) / 1e6;
    reportPeakMemory(state, Env::get().logBytes(qsos));
}

void confirmBench(benchmark::State& state, size_t qsos) {
    const fs::path lotw = confirmationFile(qsos);
    const fs::path dir = Env::get().freshDataDir(qsos);
    dxcc::Logbook log = loadedLog(dir);
    const fs::path& master = Env::get().masterLog(qsos);
    resetPeakMemory();
    dxcc::adif::LogConfirmation done;
    for (auto _ : state) {
        done = dxcc::adif::confirmIntoLog(log, lotw, table());
        state.PauseTiming();
        fs::copy_file(master, log.logPath(), fs::copy_options::overwrite_existing);
        log.load();
        settleDisk(dir);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * done.report.read));
    state.counters["read"] = static_cast<double>(done.report.read);
    state.counters["newly"] = static_cast<double>(done.report.newlyConfirmed);
    state.counters["already"] = static_cast<double>(done.report.alreadyConfirmed);
    state.counters["unmatched"] = static_cast<double>(done.report.unmatched.size());
    reportPeakMemory(state, Env::get().logBytes(qsos) + fs::file_size(lotw));
}

}  // namespace

void registerAdifExportBenchmarks(const std::vector<size_t>& sizes) {
    for (size_t n : sizes) {
        std::string at = "/";  // built in two steps: GCC 12 warns wrongly on "/" + text
        at += std::to_string(n);
        configure(benchmark::RegisterBenchmark(("AdifExport" + at).c_str(),
                                               [n](benchmark::State& s) { exportBench(s, n); }));
        configure(benchmark::RegisterBenchmark(("AdifConfirm" + at).c_str(),
                                               [n](benchmark::State& s) { confirmBench(s, n); }));
    }
}

bool printAdifExportSummary(const std::map<std::string, benchmark::BenchmarkReporter::Run>& results,
                            const std::vector<size_t>& sizes) {
    struct Target {
        const char* name;
        const char* what;
        double seconds;
    };
    const Target targets[] = {
        {"AdifExport", "export of the log", 1.0},
        {"AdifConfirm", "confirmations (N/10) merged", 2.0},
    };
    bool allMet = true, any = false;
    for (size_t n : sizes)
        for (const Target& t : targets) {
            std::string name = t.name;
            name += '/';
            name += std::to_string(n);
            auto it = results.find(name);
            if (it == results.end()) continue;
            if (!any) std::printf("\nADIF export and LoTW confirmations (medians)\n");
            any = true;
            const benchmark::BenchmarkReporter::Run& r = it->second;
            const double multiplier = benchmark::GetTimeUnitMultiplier(r.time_unit);
            const double real = r.GetAdjustedRealTime() / multiplier;
            const double cpu = r.GetAdjustedCPUTime() / multiplier;
            std::string verdict;
            if (n >= kTargetSize) {
                const bool met = real < t.seconds;
                char text[48];
                std::snprintf(text, sizeof text, "< %.0f s: %s", t.seconds, met ? "met" : "MISSED");
                verdict = text;
                allMet = allMet && met;
            }
            std::printf("  %-30s %8zu QSOs  %7.3f s real  %7.3f s CPU  %s\n", t.what, n, real, cpu,
                        verdict.c_str());
        }
    return allMet;
}

}  // namespace bench
