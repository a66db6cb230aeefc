#include "bench_env.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "core/base/program_constants.h"
#include "core/base/text_file.h"
#include "core/logbook/logbook.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "synthetic_log.h"

namespace fs = std::filesystem;

namespace bench {

Env& Env::get() {
    static Env env;
    return env;
}

namespace {

constexpr std::string_view kRootPrefix = "dxcc_bench.";

// Scratch directories of runs that were interrupted: their process is gone.
void removeStaleRoots(const fs::path& temp) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(temp, ec)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kRootPrefix)) continue;
        const long pid = std::strtol(name.c_str() + kRootPrefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            fs::remove_all(entry.path(), ec);
    }
}

}  // namespace

Env::Env() : prefixFile_(fs::path(VEL_SOURCE_DIR) / "data" / dxcc::kPrefixFileName) {
    const fs::path temp = fs::temp_directory_path();
    removeStaleRoots(temp);
    std::string pattern =
        (temp / (std::string(kRootPrefix) + std::to_string(::getpid()) + ".XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create " + pattern);
    root_ = pattern;
}

Env::~Env() {
    std::error_code ec;
    fs::remove_all(root_, ec);
}

const dxcc::PrefixTable* Env::prefixTable() {
    if (!tableTried_) {
        tableTried_ = true;
        try {
            table_ = std::make_shared<const dxcc::PrefixTable>(dxcc::PrefixTable::parse(
                dxcc::readFileBytes(prefixFile_), dxcc::readFileBytes(exactCallFile())));
        } catch (const std::exception& e) {
            std::cerr << "dxcc_bench: no prefix table (" << e.what()
                      << "); DXCC fields left blank\n";
        }
    }
    return table_.get();
}

const std::vector<std::string>& Env::callsignPool() {
    if (pool_.empty()) pool_ = synth::defaultCallsignPool();
    return pool_;
}

const fs::path& Env::masterLog(size_t qsos) {
    auto it = masters_.find(qsos);
    if (it != masters_.end()) return it->second;
    fs::path file = root_ / ("master_" + std::to_string(qsos) + ".log");
    synth::writeSyntheticLog(file, qsos, prefixTable(), callsignPool());
    return masters_.emplace(qsos, file).first->second;
}

uint64_t Env::logBytes(size_t qsos) {
    return fs::file_size(masterLog(qsos));
}

fs::path Env::exactCallFile() const {
    return prefixFile_.parent_path() / dxcc::kExactCallFileName;
}

void Env::copyPrefixFileTo(const fs::path& dir) const {
    std::error_code ec;
    fs::copy_file(prefixFile_, dir / dxcc::kPrefixFileName, fs::copy_options::overwrite_existing,
                  ec);
    fs::copy_file(exactCallFile(), dir / dxcc::kExactCallFileName,
                  fs::copy_options::overwrite_existing, ec);
}

void settleDisk(const fs::path& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::syncfs(fd);
    ::close(fd);
}

fs::path Env::freshDataDir(size_t qsos) {
    const fs::path& master = masterLog(qsos);
    fs::path dir = root_ / ("data_" + std::to_string(qsos));
    fs::create_directories(dir);
    const fs::path log = dxcc::logFilePath(dir, kStation);
    fs::remove(log);
    fs::copy_file(master, log);
    copyPrefixFileTo(dir);
    std::ofstream(dir / dxcc::kFirstNameFileName, std::ios::app);
    settleDisk(dir);
    return dir;
}

const std::vector<std::string>& Env::firstNameCalls() {
    if (firstNameCalls_.empty()) firstNameCalls_ = synth::syntheticFirstNameCalls(kFirstNameCount);
    return firstNameCalls_;
}

fs::path Env::freshFirstNameDir() {
    if (firstNames_.empty()) {
        firstNames_ = root_ / "first_names.txt";
        synth::writeSyntheticFirstNames(firstNames_, kFirstNameCount);
    }
    fs::path dir = root_ / "data_first_names";
    fs::create_directories(dir);
    fs::copy_file(firstNames_, dir / dxcc::kFirstNameFileName,
                  fs::copy_options::overwrite_existing);
    copyPrefixFileTo(dir);
    return dir;
}

uint64_t Env::firstNameBytes() {
    freshFirstNameDir();
    return fs::file_size(firstNames_);
}

void resetPeakMemory() {
    // Writing 5 resets the peak resident set size to the current one (Linux).
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

uint64_t peakMemoryBytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            uint64_t kb = 0;
            status >> kb;
            return kb * 1024;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

void reportPeakMemory(benchmark::State& state, uint64_t fileBytes) {
    const double peak = static_cast<double>(peakMemoryBytes());
    state.counters["peak_MB"] = peak / 1e6;
    if (fileBytes > 0) state.counters["peak/file"] = peak / static_cast<double>(fileBytes);
}

const dxcc::Logbook& sharedLoadedLog(size_t qsos) {
    static std::map<size_t, std::unique_ptr<dxcc::Logbook>> logs;
    auto& log = logs[qsos];
    if (!log) {
        log = std::make_unique<dxcc::Logbook>(Env::get().freshDataDir(qsos));
        log->setStationCallsign(kStation);
        log->load();
    }
    return *log;
}

size_t plainPass(const dxcc::Logbook& log) {
    size_t stars = 0;
    for (size_t i = 0; i < log.size(); ++i) {
        const std::string_view line = log.record(i);
        stars += static_cast<size_t>(std::count(line.begin(), line.end(), '*'));
    }
    return stars;
}

benchmark::internal::Benchmark* configurePass(benchmark::internal::Benchmark* b, size_t qsos) {
    b->UseRealTime()->Unit(benchmark::kMillisecond)->Repetitions(3);
    if (qsos >= 500000)
        b->Iterations(1);
    else
        b->MinTime(0.1);
    return b;
}

}  // namespace bench
