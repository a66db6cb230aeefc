// The whole program, timed from outside: started on a log of N QSOs in a home
// of its own, with no display (Qt's offscreen platform), it quits once the
// main list has been painted and says how much memory it then holds. Several
// runs after a first one that is not counted (it fills the disk cache); the
// summary gives their minimum and median, and the memory next to the log.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench_env.h"
#include "bench_registry.h"

extern char** environ;

namespace fs = std::filesystem;

namespace bench {

namespace {

using Run = benchmark::BenchmarkReporter::Run;

constexpr double kTargetStartSeconds = 0.3;
constexpr double kTargetMemoryRatio = 1.5;
constexpr int kCountedRuns = 5;

// A home where the program finds the station and its log, as a previous run
// left them.
fs::path programHome(size_t qsos) {
    const fs::path home = Env::get().root() / ("home_" + std::to_string(qsos));
    const fs::path data = home / ".local" / "share" / "VEL_DXCC";
    const fs::path config = home / ".config" / "VEL_DXCC";
    fs::create_directories(data);
    fs::create_directories(config);
    const std::string station = kStation;
    fs::copy_file(Env::get().masterLog(qsos), data / (station + "_DXCC.log"),
                  fs::copy_options::overwrite_existing);
    fs::copy_file(Env::get().prefixFile(), data / "Prefixe_DXCC.txt",
                  fs::copy_options::overwrite_existing);
    std::ofstream(config / "DXCC.ini") << "[Setup%20]\nIndicatif%20Station=" << station
                                       << "\nChemin%20Repertoire=" << data.string() << "\n";
    return home;
}

struct StartRun {
    double seconds = 0;
    double rssKiB = 0;
    bool ok = false;
};

// One start of the program; its stderr is read for the memory line.
StartRun startOnce(const fs::path& home) {
    std::vector<std::string> vars{"HOME=" + home.string(), "QT_QPA_PLATFORM=offscreen",
                                  "VEL_DXCC_QUIT_WHEN_SHOWN=1", "LANG=C.UTF-8"};
    for (char** e = environ; *e; ++e) {
        const std::string_view v(*e);
        if (v.starts_with("PATH=") || v.starts_with("LD_LIBRARY_PATH=")) vars.emplace_back(v);
    }
    std::vector<char*> env;
    for (std::string& v : vars) env.push_back(v.data());
    env.push_back(nullptr);
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::string program = VEL_PROGRAM;
    char* argv[] = {program.data(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, env.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t n; spawned == 0 && (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    if (spawned == 0) ::waitpid(pid, &status, 0);
    StartRun run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const size_t at = output.find("VmRSS:");
    if (at != std::string::npos) run.rssKiB = std::strtod(output.c_str() + at + 6, nullptr);
    run.ok = spawned == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 && run.rssKiB > 0;
    return run;
}

void startBench(benchmark::State& state, size_t qsos) {
    const fs::path home = programHome(qsos);
    startOnce(home);  // the disk cache filled, the prefix file and settings in place
    std::vector<double> seconds, memory;
    for (auto _ : state) {
        for (int i = 0; i < kCountedRuns; ++i) {
            const StartRun run = startOnce(home);
            if (!run.ok) {
                state.SkipWithError("the program did not start and quit (is it built?)");
                return;
            }
            seconds.push_back(run.seconds);
            memory.push_back(run.rssKiB * 1024);
        }
    }
    std::sort(seconds.begin(), seconds.end());
    std::sort(memory.begin(), memory.end());
    state.counters["min_s"] = seconds.front();
    state.counters["median_s"] = seconds[seconds.size() / 2];
    state.counters["max_s"] = seconds.back();
    state.counters["memory/file"] =
        memory[memory.size() / 2] / static_cast<double>(Env::get().logBytes(qsos));
    state.counters["memory_MB"] = memory[memory.size() / 2] / 1e6;
}

double counterOf(const Run& r, const char* name) {
    auto it = r.counters.find(name);
    return it == r.counters.end() ? 0.0 : it->second.value;
}

}  // namespace

void registerStartBenchmarks(const std::vector<size_t>& sizes) {
    for (size_t n : sizes) {
        std::string at = "/";
        at += std::to_string(n);
        benchmark::RegisterBenchmark(("ProgramStart" + at).c_str(),
                                     [n](benchmark::State& st) { startBench(st, n); })
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }
}

bool printStartSummary(const std::map<std::string, Run>& results, const std::vector<size_t>& sizes) {
    bool allMet = true, header = false;
    for (size_t n : sizes) {
        const auto it = results.find("ProgramStart/" + std::to_string(n));
        if (it == results.end() || it->second.error_occurred) continue;
        if (!header)
            std::printf("\nThe program, from its start to the full list shown (offscreen, %d runs "
                        "after one not counted); memory of the whole process then\n",
                        kCountedRuns);
        header = true;
        const Run& r = it->second;
        const double median = counterOf(r, "median_s"), ratio = counterOf(r, "memory/file");
        std::string verdict;
        if (n >= kTargetSize) {
            const bool met = median <= kTargetStartSeconds && ratio <= kTargetMemoryRatio;
            verdict = std::string("<= 0.3 s median, memory <= 1.5x log: ") + (met ? "met" : "MISSED");
            allMet = allMet && met;
        }
        std::printf("  %7zu QSOs   min %5.3f s  median %5.3f s  max %5.3f s   memory %6.1f MB = "
                    "%4.2fx log   %s\n",
                    n, counterOf(r, "min_s"), median, counterOf(r, "max_s"),
                    counterOf(r, "memory_MB"), ratio, verdict.c_str());
    }
    return allMet;
}

}  // namespace bench
