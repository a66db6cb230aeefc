// The station log at 10,000 to 1,000,000 QSOs: load, the operations that
// rewrite the file, the list's display lines, and the plain copy of the same
// bytes that the rewrites are measured against.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "bench_env.h"
#include "bench_registry.h"
#include "core/logbook/logbook.h"
#include "core/record/qso_record.h"

namespace fs = std::filesystem;

namespace bench {

namespace {

// A whole rewrite costs a fraction of a second at a million QSOs: three single
// runs give a median without making the default run long.
benchmark::internal::Benchmark* configure(benchmark::internal::Benchmark* b, size_t qsos) {
    b->UseRealTime()->Unit(benchmark::kMillisecond)->Repetitions(3);
    if (qsos >= 500000)
        b->Iterations(1);
    else
        b->MinTime(0.2);
    return b;
}

struct Station {
    fs::path dir;
    dxcc::Logbook log;
    uint64_t bytes;

    explicit Station(size_t qsos)
        : dir(Env::get().freshDataDir(qsos)), log(dir), bytes(Env::get().logBytes(qsos)) {
        log.setStationCallsign(kStation);
    }
};

// Untimed: the disk catches up with what the last operation wrote.
void settle(benchmark::State& state, const Station& s) {
    state.PauseTiming();
    settleDisk(s.dir);
    state.ResumeTiming();
}

// A QSO of our own, dated like the record at `index`, or after the last one.
std::string markerRecord(const dxcc::Logbook& log, size_t index, bool afterEnd = false) {
    dxcc::QsoFields f = dxcc::parseRecord(log.record(index));
    f.callsign = "TX0BENCH";
    f.firstName = "BENCH";
    if (afterEnd) {
        f.date = "01/01/26";
        f.time = "00:00";
    }
    return dxcc::buildRecord(f);
}

void throwErrno(const char* what, const fs::path& file) {
    throw std::runtime_error(std::string(what) + " " + file.string() + ": " + std::strerror(errno));
}

// The yardstick: read the file into a buffer, write the same bytes out.
void plainCopy(const fs::path& from, const fs::path& to, std::string& buffer, bool sync) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) throwErrno("open", from);
    size_t got = 0;
    for (ssize_t n; (n = ::read(in, buffer.data() + got, buffer.size() - got)) != 0;) {
        if (n < 0) throwErrno("read", from);
        got += static_cast<size_t>(n);
    }
    ::close(in);
    if (to.empty()) return;
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) throwErrno("open", to);
    for (size_t done = 0; done < got;) {
        ssize_t n = ::write(out, buffer.data() + done, got - done);
        if (n < 0) throwErrno("write", to);
        done += static_cast<size_t>(n);
    }
    if (sync && ::fsync(out) != 0) throwErrno("fsync", to);
    ::close(out);
}

enum class Copy { ReadOnly, Plain, Fsync };

void copyBench(benchmark::State& state, size_t qsos, Copy kind) {
    Station s(qsos);
    const fs::path from = s.log.logPath();
    const fs::path to = kind == Copy::ReadOnly ? fs::path() : s.dir / "copy.txt";
    std::string buffer(s.bytes, '\0');
    resetPeakMemory();
    for (auto _ : state) {
        plainCopy(from, to, buffer, kind == Copy::Fsync);
        if (kind != Copy::ReadOnly) settle(state, s);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes));
    reportPeakMemory(state, s.bytes);
}

// File to model, as at start-up: the records in the memory of a new Logbook and
// every one of them reachable.
void loadBench(benchmark::State& state, size_t qsos) {
    Station s(qsos);
    std::unique_ptr<dxcc::Logbook> log;
    resetPeakMemory();
    for (auto _ : state) {
        state.PauseTiming();
        log.reset();
        log = std::make_unique<dxcc::Logbook>(s.dir);
        log->setStationCallsign(kStation);
        state.ResumeTiming();
        log->load();
        size_t total = 0;
        for (size_t i = 0; i < log->size(); ++i) total += log->record(i).size();
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * qsos));
    reportPeakMemory(state, s.bytes);
}

// What a pass over every display line (search, statistics) adds to a load.
void displayAllBench(benchmark::State& state, size_t qsos) {
    Station s(qsos);
    s.log.load();
    resetPeakMemory();
    for (auto _ : state) {
        for (size_t i = 0; i < s.log.size(); ++i) {
            std::string line = s.log.displayLine(i);
            benchmark::DoNotOptimize(line.data());
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * qsos));
    reportPeakMemory(state, s.bytes);
}

// One screen of the list after a change: the last 40 lines, built on demand.
void screenBench(benchmark::State& state, size_t qsos) {
    constexpr size_t kRows = 40;
    Station s(qsos);
    s.log.load();
    const size_t first = s.log.size() > kRows ? s.log.size() - kRows : 0;
    for (auto _ : state) {
        for (size_t i = first; i < s.log.size(); ++i) {
            std::string line = s.log.displayLine(i);
            benchmark::DoNotOptimize(line.data());
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * (s.log.size() - first)));
}

void appendBench(benchmark::State& state, size_t qsos) {
    Station s(qsos);
    s.log.load();
    const std::string record = markerRecord(s.log, s.log.size() - 1, true);
    const fs::path file = s.log.logPath();
    resetPeakMemory();
    for (auto _ : state) {
        s.log.appendRecord(record);
        state.PauseTiming();
        fs::resize_file(file, s.bytes);  // back to the log as generated
        settleDisk(s.dir);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes));
    reportPeakMemory(state, s.bytes);
}

enum class Where { Start, Middle, End };

std::string insertedRecord(const dxcc::Logbook& log, Where where) {
    switch (where) {
        case Where::Start:
            return markerRecord(log, 0);
        case Where::Middle:
            return markerRecord(log, log.size() / 2);
        case Where::End:
            break;
    }
    return markerRecord(log, log.size() - 1, true);
}

void insertBench(benchmark::State& state, size_t qsos, Where where) {
    Station s(qsos);
    s.log.load();
    const std::string record = insertedRecord(s.log, where);
    resetPeakMemory();
    for (auto _ : state) {
        const dxcc::LogChange inserted = s.log.insertInDateOrder(record);
        state.PauseTiming();
        s.log.removeAt(inserted.row, record);
        settleDisk(s.dir);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes));
    reportPeakMemory(state, s.bytes);
}

// Each run changes the middle record and the next one changes it back.
void modifyBench(benchmark::State& state, size_t qsos) {
    Station s(qsos);
    s.log.load();
    const size_t row = s.log.size() / 2;
    std::string from(s.log.record(row));
    dxcc::QsoFields f = dxcc::parseRecord(from);
    f.firstName = "MODIFIE";
    f.qslMark = f.qslMark == '*' ? ' ' : '*';
    std::string to = dxcc::buildRecord(f);
    resetPeakMemory();
    for (auto _ : state) {
        s.log.modifyAt(row, from, to);
        std::swap(from, to);
        settle(state, s);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes));
    reportPeakMemory(state, s.bytes);
}

void deleteBench(benchmark::State& state, size_t qsos) {
    Station s(qsos);
    s.log.load();
    const std::string record = insertedRecord(s.log, Where::Middle);
    resetPeakMemory();
    for (auto _ : state) {
        state.PauseTiming();
        const dxcc::LogChange inserted = s.log.insertInDateOrder(record);
        settleDisk(s.dir);
        state.ResumeTiming();
        s.log.removeAt(inserted.row, record);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes));
    reportPeakMemory(state, s.bytes);
}

}  // namespace

void registerLogBenchmarks(const std::vector<size_t>& sizes) {
    for (size_t n : sizes) {
        std::string at = "/";
        at += std::to_string(n);
        auto reg = [&](const std::string& name, auto fn) {
            configure(benchmark::RegisterBenchmark((name + at).c_str(), fn), n);
        };
        reg("Read", [n](benchmark::State& st) { copyBench(st, n, Copy::ReadOnly); });
        reg("Copy", [n](benchmark::State& st) { copyBench(st, n, Copy::Plain); });
        reg("CopyFsync", [n](benchmark::State& st) { copyBench(st, n, Copy::Fsync); });
        reg("Load", [n](benchmark::State& st) { loadBench(st, n); });
        reg("DisplayAll", [n](benchmark::State& st) { displayAllBench(st, n); });
        reg("Append", [n](benchmark::State& st) { appendBench(st, n); });
        reg("InsertStart", [n](benchmark::State& st) { insertBench(st, n, Where::Start); });
        reg("InsertMiddle", [n](benchmark::State& st) { insertBench(st, n, Where::Middle); });
        reg("InsertEnd", [n](benchmark::State& st) { insertBench(st, n, Where::End); });
        reg("Modify", [n](benchmark::State& st) { modifyBench(st, n); });
        reg("Delete", [n](benchmark::State& st) { deleteBench(st, n); });
        // Microseconds: far too quick for single runs.
        benchmark::RegisterBenchmark(("Screen" + at).c_str(),
                                     [n](benchmark::State& st) { screenBench(st, n); })
            ->Unit(benchmark::kMicrosecond)
            ->Repetitions(3);
    }
}

}  // namespace bench
