#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace dxcc {
class Logbook;
class PrefixTable;
}  // namespace dxcc

namespace bench {

inline constexpr const char* kStation = "F5BENCH";
inline constexpr size_t kFirstNameCount = 100000;

// What every benchmark shares: one scratch directory under /tmp holding the
// generated logs, generated on first use and removed at exit.
class Env {
public:
    static Env& get();
    ~Env();

    // The shipped prefix table with its exact calls; null when it could not be read.
    const dxcc::PrefixTable* prefixTable();
    const std::filesystem::path& prefixFile() const { return prefixFile_; }
    std::filesystem::path exactCallFile() const;
    const std::vector<std::string>& callsignPool();

    // The untouched generated log of `qsos` records, and its size in bytes.
    const std::filesystem::path& masterLog(size_t qsos);
    uint64_t logBytes(size_t qsos);

    // A data directory whose station log is a fresh copy of the generated log
    // (and which holds the prefix and exact-call files and an empty first-name
    // file).
    std::filesystem::path freshDataDir(size_t qsos);

    // A data directory whose first-name file is a fresh copy of the generated one.
    std::filesystem::path freshFirstNameDir();
    const std::vector<std::string>& firstNameCalls();
    uint64_t firstNameBytes();

    const std::filesystem::path& root() const { return root_; }

private:
    Env();
    void copyPrefixFileTo(const std::filesystem::path& dir) const;

    std::filesystem::path root_;
    std::filesystem::path prefixFile_;
    bool tableTried_ = false;
    std::shared_ptr<const dxcc::PrefixTable> table_;
    std::vector<std::string> pool_;
    std::map<size_t, std::filesystem::path> masters_;
    std::filesystem::path firstNames_;
    std::vector<std::string> firstNameCalls_;
};

// Writes out everything waiting for the disk of `dir`'s file system and the
// journal with it. An operator's commits come seconds apart, long after the disk
// has caught up with the one before: each timed operation starts in that state
// and does not pay for the set-up or the previous operation.
void settleDisk(const std::filesystem::path& dir);

// Process peak memory: forgets the peak so far, so the next reading is the
// peak of what runs in between.
void resetPeakMemory();
// Peak resident set size in bytes since the last reset (or since start).
uint64_t peakMemoryBytes();

// Adds the peak memory counters: megabytes, and the ratio to `fileBytes`.
void reportPeakMemory(benchmark::State& state, uint64_t fileBytes);

// One loaded copy of the generated log of `qsos` records, shared by every
// benchmark that only reads it; never changed.
const dxcc::Logbook& sharedLoadedLog(size_t qsos);

// The yardstick of the passes over a log: every byte of every line read once,
// as any pass must at least do (the QSL marks are counted).
size_t plainPass(const dxcc::Logbook& log);

// Three repetitions in milliseconds; a single run each at the large sizes.
benchmark::internal::Benchmark* configurePass(benchmark::internal::Benchmark* b, size_t qsos);

}  // namespace bench
