// The ADIF import at 10,000 to 1,000,000 records: the reader alone, the
// conversion to QSO records, and the whole import of a file into a log of the
// same size through importIntoLog, as the window and the command line run it
// (read, parse, lookup, merge, safe rewrite), measured against a plain read of
// the ADIF file plus a plain synced copy of the log. The same end to end with
// the largest real export of the shared ADIF corpus, repeated to about a
// million records, into the largest log (skipped when the corpus is absent).
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/adif/adif_import.h"
#include "core/adif/adif_reader.h"
#include "bench_env.h"
#include "bench_registry.h"
#include "core/logbook/logbook.h"
#include "core/base/text_file.h"
#include "core/prefixes/prefix_table.h"
#include "synthetic_log.h"

namespace fs = std::filesystem;

namespace bench {

namespace {

// The "/N" that ends a benchmark's name.
std::string atSize(size_t n) {
    std::string at = "/";
    at += std::to_string(n);
    return at;
}

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

// The whole generated file in memory, whatever its size: the import itself
// reads it piece by piece and has no limit of bytes (a million records make
// some 280 MB, beyond what the program reads whole).
std::string wholeFile(const fs::path& file) {
    return dxcc::readFileBytes(file, {SIZE_MAX, SIZE_MAX});
}

// The reader alone over the file in memory.
void parseBench(benchmark::State& state, size_t records) {
    const std::string bytes = wholeFile(adifFile(records));
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
    const std::string bytes = wholeFile(adifFile(records));
    resetPeakMemory();
    for (auto _ : state) {
        dxcc::adif::AdifImport imported = dxcc::adif::importAdif(bytes, table());
        benchmark::DoNotOptimize(imported.records.lines().data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * records));
    reportPeakMemory(state, bytes.size());
}

// A file as large as the log will be once `adif` is imported into the log of
// `qsos` QSOs (its contents do not matter to a copy), made once.
const fs::path& resultSizedFile(size_t qsos, const fs::path& adif) {
    static std::map<std::pair<size_t, fs::path>, fs::path> files;
    auto it = files.find({qsos, adif});
    if (it != files.end()) return it->second;
    const std::string bytes = wholeFile(adif);
    const size_t added = dxcc::adif::importAdif(bytes, table()).records.size();
    const std::string log = wholeFile(Env::get().masterLog(qsos));
    const size_t size = log.size() + added * dxcc::adif::RecordBlock::kLineLength;
    std::string content;
    content.reserve(size);
    while (content.size() < size)
        content.append(log.empty() ? std::string(size, ' ') : log, 0, size - content.size());
    const fs::path out = Env::get().root() / ("result_" + std::to_string(qsos) + "_" +
                                               adif.stem().string() + ".txt");
    dxcc::rewriteFile(out, Env::get().root() / "result.tmp", content);
    return files.emplace(std::pair{qsos, adif}, out).first->second;
}

// The yardstick: a plain read of the ADIF file and a plain synced copy of the
// log as it will be after the import.
void readCopyBench(benchmark::State& state, size_t qsos, const fs::path& adif) {
    const fs::path dir = Env::get().freshDataDir(qsos);
    const fs::path& result = resultSizedFile(qsos, adif);
    const uint64_t adifBytes = fs::file_size(adif), resultBytes = fs::file_size(result);
    std::string adifBuffer(adifBytes, '\0'), logBuffer(resultBytes, '\0');
    resetPeakMemory();
    for (auto _ : state) {
        benchmark::DoNotOptimize(plainRead(adif, adifBuffer));
        plainWriteSynced(dir / "copy.txt", logBuffer, plainRead(result, logBuffer));
        state.PauseTiming();
        settleDisk(dir);
        state.ResumeTiming();
    }
    reportPeakMemory(state, adifBytes + resultBytes);
}

// A data directory holding a fresh copy of the generated log of `qsos` QSOs,
// and that log loaded as the program holds it before the import.
struct LoadedLog {
    explicit LoadedLog(size_t qsos) : qsos(qsos), dir(Env::get().freshDataDir(qsos)), log(dir) {
        log.setStationCallsign(kStation);
        log.load();
    }
    // Untimed: the log as it was before the import, loaded again, the disk settled.
    void restore() {
        fs::copy_file(Env::get().masterLog(qsos), log.logPath(),
                      fs::copy_options::overwrite_existing);
        log.load();
        settleDisk(dir);
    }
    size_t qsos;
    fs::path dir;
    dxcc::Logbook log;
};

// From the chosen file to the rewritten log, through the routine that the
// window and the command line call.
size_t importOnce(benchmark::State& state, LoadedLog& target, const fs::path& adif) {
    const dxcc::adif::LogImport result = dxcc::adif::importIntoLog(target.log, adif, table());
    state.PauseTiming();
    const size_t records = result.imported.report.qsos;
    if (target.log.size() != target.qsos + records) state.SkipWithError("block not in the log");
    target.restore();
    state.ResumeTiming();
    return records;
}

void endToEndBench(benchmark::State& state, size_t records, const fs::path& adif) {
    LoadedLog target(records);
    const uint64_t adifBytes = fs::file_size(adif), logBytes = fs::file_size(target.log.logPath());
    size_t imported = 0;
    resetPeakMemory();
    for (auto _ : state) imported = importOnce(state, target, adif);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * imported));
    state.counters["records"] = static_cast<double>(imported);
    reportPeakMemory(state, adifBytes + logBytes);
}

// The same file into a log that has no QSO yet.
void emptyLogBench(benchmark::State& state, size_t records, const fs::path& adif) {
    LoadedLog target(0);
    size_t imported = 0;
    resetPeakMemory();
    for (auto _ : state) imported = importOnce(state, target, adif);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * imported));
    state.counters["records"] = static_cast<double>(imported);
    reportPeakMemory(state, fs::file_size(adif));
    (void)records;
}

fs::path corpusFile(const char* name) {
    if (const char* dir = std::getenv("VEL_CORPUS_DIR")) return fs::path(dir) / name;
    const fs::path source = VEL_SOURCE_DIR;
    for (const fs::path& shared : {source / ".." / "shared", source / ".." / ".." / "shared"})
        if (fs::exists(shared / "corpora" / "adif" / name))
            return shared / "corpora" / "adif" / name;
    return {};
}

// The largest real export (14,608 records), written 69 times over into the
// scratch directory to make about a million records; empty when the corpus is
// not there. The corpus file itself is only read.
const fs::path& corpusFileX69() {
    constexpr int kCopies = 69;
    static const fs::path file = [] {
        const fs::path source = corpusFile("EI3CTB_ADIF_wsjtx_log.adi");
        if (source.empty() || !fs::exists(source)) return fs::path();
        const std::string one = wholeFile(source);
        std::string bytes;
        bytes.reserve(one.size() * kCopies);
        for (int i = 0; i < kCopies; ++i) bytes += one;
        const fs::path out = Env::get().root() / "corpus_x69.adi";
        dxcc::rewriteFile(out, Env::get().root() / "corpus_x69.tmp", bytes);
        return out;
    }();
    return file;
}

// The real export, repeated, imported into the log of `qsos` QSOs.
void corpusBench(benchmark::State& state, size_t qsos) {
    const fs::path& file = corpusFileX69();
    if (file.empty()) {
        state.SkipWithError("no ADIF corpus (set VEL_CORPUS_DIR)");
        return;
    }
    endToEndBench(state, qsos, file);
}

void corpusReadCopyBench(benchmark::State& state, size_t qsos) {
    const fs::path& file = corpusFileX69();
    if (file.empty()) {
        state.SkipWithError("no ADIF corpus (set VEL_CORPUS_DIR)");
        return;
    }
    readCopyBench(state, qsos, file);
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
        reg("AdifReadCopy", [n](benchmark::State& st) { readCopyBench(st, n, adifFile(n)); });
        reg("AdifImport", [n](benchmark::State& st) { endToEndBench(st, n, adifFile(n)); });
        reg("AdifImportEmpty", [n](benchmark::State& st) { emptyLogBench(st, n, adifFile(n)); });
    }
    if (sizes.empty()) return;
    // The real export into the largest log.
    const size_t n = *std::max_element(sizes.begin(), sizes.end());
    const std::string at = atSize(n);
    configure(
        benchmark::RegisterBenchmark(("AdifCorpusReadCopy" + at).c_str(),
                                     [n](benchmark::State& st) { corpusReadCopyBench(st, n); }),
        n);
    configure(benchmark::RegisterBenchmark(("AdifCorpusImport" + at).c_str(),
                                           [n](benchmark::State& st) { corpusBench(st, n); }),
              n);
}

namespace {

using Run = benchmark::BenchmarkReporter::Run;

double counterOf(const Run& r, const char* name) {
    auto it = r.counters.find(name);
    return it == r.counters.end() ? 0.0 : it->second.value;
}

double wallSeconds(const Run& r) {
    return r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
}

// The thread's CPU time: on a machine shared with other work, wall time also
// counts the time spent waiting for a CPU.
double cpuSeconds(const Run& r) {
    return r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
}

// One line of the summary; false when a target checked at this size is missed.
bool printImportLine(const std::string& label, size_t logSize, const Run& import,
                     const Run* readCopy) {
    // Into a log of a million: the ratio; into an empty log: a million a second.
    const double kTargetRecordsPerSecond = readCopy ? 500000 : 1000000;
    constexpr double kTargetReadCopyRatio = 5.0;
    constexpr double kTargetPeakRatio = 3.0;
    const double wall = wallSeconds(import), cpu = cpuSeconds(import);
    const double records = counterOf(import, "records");
    const double perSecond = records / wall;
    const double peak = counterOf(import, "peak/file");
    char ratio[32] = "", cpuRatio[32] = "";
    double wallRatio = 0;
    if (readCopy) {
        wallRatio = wall / wallSeconds(*readCopy);
        std::snprintf(ratio, sizeof ratio, "%.2f", wallRatio);
        std::snprintf(cpuRatio, sizeof cpuRatio, "%.2f", cpu / cpuSeconds(*readCopy));
    }
    bool met = true;
    std::string verdict;
    if ((logSize >= kTargetSize || !readCopy) && records >= kTargetSize * 0.99) {
        met = perSecond >= kTargetRecordsPerSecond &&
              (wallRatio == 0 || wallRatio <= kTargetReadCopyRatio) &&
              (peak == 0 || peak < kTargetPeakRatio);
        verdict = met ? "met" : "MISSED";
    }
    std::printf("  %-22s %9.0f %7.2f s %7.2f s %9.0f /s %9.0f /s %7s %7s %6.2f  %s\n",
                label.c_str(), records, wall, cpu, perSecond, records / cpu, ratio, cpuRatio, peak,
                verdict.c_str());
    return met;
}

}  // namespace

bool printAdifSummary(const std::map<std::string, Run>& results, const std::vector<size_t>& sizes) {
    auto find = [&](const std::string& name) -> const Run* {
        auto it = results.find(name);
        return it == results.end() ? nullptr : &it->second;
    };
    bool allMet = true, any = false;
    auto line = [&](const std::string& label, size_t n, const char* import, const char* base) {
        const std::string at = atSize(n);
        const Run* run = find(import + at);
        if (!run) return;
        if (!any) {
            std::printf(
                "\nADIF import into a log of N QSOs, end to end (medians; x read+copy = time / "
                "a plain read of the ADIF file and a plain synced copy of the log as it is after "
                "the import)\n"
                "  %-22s %9s %9s %9s %12s %12s %7s %7s %6s\n",
                "file, log", "records", "wall", "CPU", "rate (wall)", "rate (CPU)", "x r+c",
                "CPU x", "peak");
        }
        any = true;
        allMet = printImportLine(label, n, *run, find(base + at)) && allMet;
    };
    for (size_t n : sizes) line("synthetic, " + std::to_string(n), n, "AdifImport", "AdifReadCopy");
    for (size_t n : sizes) line("synthetic, empty log", n, "AdifImportEmpty", "");
    for (size_t n : sizes)
        line("EI3CTB x69, " + std::to_string(n), n, "AdifCorpusImport", "AdifCorpusReadCopy");
    if (any)
        std::printf(
            "  Target at 1,000,000: into the log of 1,000,000, >= 500,000 records/s and <= 5x "
            "read+copy (wall), peak < 3x the two files;\n  into an empty log, >= 1,000,000 "
            "records/s\n");
    return allMet;
}

}  // namespace bench
