// The ADIF import at 10,000 to 1,000,000 records: the reader alone, the
// conversion to QSO records, and the whole import of a file into a log of the
// same size (read, parse, lookup, merge, safe rewrite), measured against a
// plain read of the ADIF file plus a plain synced copy of the log.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "adif/adif_import.h"
#include "adif/adif_reader.h"
#include "bench_env.h"
#include "bench_registry.h"
#include "logbook/logbook.h"
#include "logbook/text_file.h"
#include "prefixes/prefix_table.h"
#include "synthetic_log.h"

namespace fs = std::filesystem;

namespace bench {

namespace {

constexpr const char* kImportScratch = "Temporaire8.txt";

// The generated ADIF file of `records` QSOs, dated 2012-2021 so that its block
// goes inside the generated log (2006-2025).
const fs::path& adifFile(size_t records) {
    static std::map<size_t, fs::path> files;
    auto it = files.find(records);
    if (it != files.end()) return it->second;
    std::string name = "import_";
    name += std::to_string(records);
    name += ".adi";
    fs::path file = Env::get().root() / name;
    writeSyntheticAdif(file, records, Env::get().callsignPool());
    return files.emplace(records, file).first->second;
}

const dxcc::PrefixTable& table() {
    static const dxcc::PrefixTable empty;
    const dxcc::PrefixTable* t = Env::get().prefixTable();
    return t ? *t : empty;
}

void throwErrno(const char* what, const fs::path& file) {
    throw std::runtime_error(std::string(what) + " " + file.string() + ": " + std::strerror(errno));
}

size_t plainRead(const fs::path& from, std::string& buffer) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) throwErrno("open", from);
    size_t got = 0;
    for (ssize_t n; (n = ::read(in, buffer.data() + got, buffer.size() - got)) != 0;) {
        if (n < 0) throwErrno("read", from);
        got += static_cast<size_t>(n);
    }
    ::close(in);
    return got;
}

void plainWriteSynced(const fs::path& to, const std::string& buffer, size_t size) {
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) throwErrno("open", to);
    for (size_t done = 0; done < size;) {
        ssize_t n = ::write(out, buffer.data() + done, size - done);
        if (n < 0) throwErrno("write", to);
        done += static_cast<size_t>(n);
    }
    if (::fsync(out) != 0) throwErrno("fsync", to);
    ::close(out);
}

void configure(benchmark::internal::Benchmark* b, size_t records) {
    b->UseRealTime()->Unit(benchmark::kMillisecond)->Repetitions(3);
    if (records >= 500000)
        b->Iterations(1);
    else
        b->MinTime(0.2);
}

// The reader alone over the file in memory.
void parseBench(benchmark::State& state, size_t records) {
    const std::string bytes = dxcc::readFileBytes(adifFile(records));
    std::vector<dxcc::adif::Field> fields;
    for (auto _ : state) {
        dxcc::adif::Reader reader(bytes);
        size_t count = 0;
        while (reader.next(fields)) count += fields.size();
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * records));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

// Reader, mapping, lookup and records, from the file in memory.
void convertBench(benchmark::State& state, size_t records) {
    const std::string bytes = dxcc::readFileBytes(adifFile(records));
    resetPeakMemory();
    for (auto _ : state) {
        dxcc::adif::AdifImport imported = dxcc::adif::importAdif(bytes, table());
        benchmark::DoNotOptimize(imported.records.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * records));
    reportPeakMemory(state, bytes.size());
}

// The yardstick: a plain read of the ADIF file and a plain synced copy of the log.
void readCopyBench(benchmark::State& state, size_t records) {
    const fs::path adif = adifFile(records);
    const fs::path dir = Env::get().freshDataDir(records);
    const fs::path log = dxcc::logFilePath(dir, kStation);
    const uint64_t adifBytes = fs::file_size(adif), logBytes = fs::file_size(log);
    std::string adifBuffer(adifBytes, '\0'), logBuffer(logBytes, '\0');
    resetPeakMemory();
    for (auto _ : state) {
        benchmark::DoNotOptimize(plainRead(adif, adifBuffer));
        plainWriteSynced(dir / "copy.txt", logBuffer, plainRead(log, logBuffer));
        state.PauseTiming();
        settleDisk(dir);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * records));
    reportPeakMemory(state, adifBytes + logBytes);
}

// The log with the block at its place, in the one form it is written.
std::string mergedLog(const dxcc::Logbook& log, const dxcc::adif::AdifImport& imported) {
    const dxcc::adif::MergePlan plan = dxcc::adif::planMerge(log, imported);
    std::string out;
    out.reserve((log.size() + imported.records.size()) * (dxcc::kRecordLength + 2));
    auto line = [&](std::string_view record) {
        out += record;
        out += dxcc::kLineEnd;
    };
    for (size_t i = 0; i < plan.index; ++i) line(log.record(i));
    for (const std::string& record : imported.records) line(record);
    for (size_t i = plan.index; i < log.size(); ++i) line(log.record(i));
    return out;
}

// From the chosen file to the rewritten log, with the log already loaded as
// the program holds it.
void endToEndBench(benchmark::State& state, size_t records) {
    const fs::path adif = adifFile(records);
    const fs::path dir = Env::get().freshDataDir(records);
    dxcc::Logbook log(dir);
    log.setStationCallsign(kStation);
    log.load();
    const uint64_t adifBytes = fs::file_size(adif), logBytes = fs::file_size(log.logPath());
    const fs::path& master = Env::get().masterLog(records);
    resetPeakMemory();
    for (auto _ : state) {
        const std::string bytes = dxcc::readFileBytes(adif);
        const dxcc::adif::AdifImport imported = dxcc::adif::importAdif(bytes, table());
        dxcc::rewriteFile(log.logPath(), dir / kImportScratch, mergedLog(log, imported));
        state.PauseTiming();
        fs::copy_file(master, log.logPath(), fs::copy_options::overwrite_existing);
        settleDisk(dir);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * records));
    reportPeakMemory(state, adifBytes + logBytes);
}

fs::path corpusFile(const char* name) {
    if (const char* dir = std::getenv("VEL_CORPUS_DIR")) return fs::path(dir) / name;
    const fs::path source = VEL_SOURCE_DIR;
    for (const fs::path& shared : {source / ".." / "shared", source / ".." / ".." / "shared"})
        if (fs::exists(shared / "corpora" / "adif" / name))
            return shared / "corpora" / "adif" / name;
    return {};
}

// The largest real export, repeated to about a million records, converted in memory.
void corpusBench(benchmark::State& state) {
    constexpr int kCopies = 69;
    const fs::path file = corpusFile("EI3CTB_ADIF_wsjtx_log.adi");
    if (file.empty()) {
        state.SkipWithError("no ADIF corpus (set VEL_CORPUS_DIR)");
        return;
    }
    const std::string one = dxcc::readFileBytes(file);
    std::string bytes;
    bytes.reserve(one.size() * kCopies);
    for (int i = 0; i < kCopies; ++i) bytes += one;
    size_t records = 0;
    for (auto _ : state) {
        dxcc::adif::AdifImport imported = dxcc::adif::importAdif(bytes, table());
        records = imported.records.size();
        benchmark::DoNotOptimize(imported.records.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * records));
    state.counters["records"] = static_cast<double>(records);
}

}  // namespace

void registerAdifBenchmarks(const std::vector<size_t>& sizes) {
    for (size_t n : sizes) {
        std::string at = "/";
        at += std::to_string(n);
        auto reg = [&](const char* name, auto fn) {
            configure(benchmark::RegisterBenchmark((name + at).c_str(), fn), n);
        };
        reg("AdifParse", [n](benchmark::State& st) { parseBench(st, n); });
        reg("AdifConvert", [n](benchmark::State& st) { convertBench(st, n); });
        reg("AdifReadCopy", [n](benchmark::State& st) { readCopyBench(st, n); });
        reg("AdifImport", [n](benchmark::State& st) { endToEndBench(st, n); });
    }
    benchmark::RegisterBenchmark("AdifCorpusX69", corpusBench)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(3);
}

bool printAdifSummary(const std::map<std::string, benchmark::BenchmarkReporter::Run>& results,
                      const std::vector<size_t>& sizes) {
    constexpr size_t kTargetSize = 1000000;
    constexpr double kTargetRecordsPerSecond = 500000;
    constexpr double kTargetReadCopyRatio = 5.0;
    constexpr double kTargetPeakRatio = 3.0;
    auto find = [&](const std::string& name) -> const benchmark::BenchmarkReporter::Run* {
        auto it = results.find(name);
        return it == results.end() ? nullptr : &it->second;
    };
    auto counter = [](const benchmark::BenchmarkReporter::Run& r, const char* name) {
        auto it = r.counters.find(name);
        return it == r.counters.end() ? 0.0 : it->second.value;
    };
    bool allMet = true, any = false;
    for (size_t n : sizes) {
        std::string at = "/";
        at += std::to_string(n);
        const auto* import = find("AdifImport" + at);
        if (!import) continue;
        if (!any) std::printf("\nADIF import of N records into a log of N QSOs (medians)\n");
        any = true;
        const double seconds =
            import->GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(import->time_unit);
        const double perSecond = counter(*import, "items_per_second");
        const double peak = counter(*import, "peak/file");
        double ratio = 0;
        if (const auto* base = find("AdifReadCopy" + at))
            ratio = seconds / (base->GetAdjustedRealTime() /
                               benchmark::GetTimeUnitMultiplier(base->time_unit));
        std::string verdict;
        if (n >= kTargetSize) {
            const bool met = perSecond >= kTargetRecordsPerSecond &&
                             (ratio == 0 || ratio <= kTargetReadCopyRatio) &&
                             (peak == 0 || peak < kTargetPeakRatio);
            verdict = std::string(">= 500,000/s, <= 5x read+copy, peak < 3x files: ") +
                      (met ? "met" : "MISSED");
            allMet = allMet && met;
        }
        std::printf("  %8zu  %8.2f s  %10.0f records/s  %5.2f x read+copy  %5.2f peak/files  %s\n",
                    n, seconds, perSecond, ratio, peak, verdict.c_str());
    }
    return allMet;
}

}  // namespace bench
