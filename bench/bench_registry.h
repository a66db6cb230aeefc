#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace bench {

// Log sizes, in QSOs, that every log benchmark runs at.
inline const std::vector<size_t> kDefaultSizes{10000, 100000, 1000000};
// The size at which the summary checks the targets.
inline constexpr size_t kTargetSize = 1000000;

void registerLogBenchmarks(const std::vector<size_t>& sizes);
void registerLookupBenchmarks();
// The search at each size, then the prefix editor's open and save.
void registerSearchBenchmarks(const std::vector<size_t>& sizes);
void registerAwardBenchmarks(const std::vector<size_t>& sizes);

// Prints the award evaluations against the plain pass; false when a target at
// 1,000,000 QSOs is missed.
bool printAwardSummary(const std::map<std::string, benchmark::BenchmarkReporter::Run>& results,
                       const std::vector<size_t>& sizes);
void registerAdifBenchmarks(const std::vector<size_t>& sizes);

// Prints the ADIF import's lines of the summary; false when a target was missed.
bool printAdifSummary(const std::map<std::string, benchmark::BenchmarkReporter::Run>& results,
                      const std::vector<size_t>& sizes);

// The ADIF export of each log and the merge of a confirmation download of a
// tenth of its QSOs; the summary's lines, false when a target was missed.
void registerAdifExportBenchmarks(const std::vector<size_t>& sizes);
bool printAdifExportSummary(const std::map<std::string, benchmark::BenchmarkReporter::Run>& results,
                            const std::vector<size_t>& sizes);

// Cluster spot lines read and classified; the summary's line, false when the
// target was missed.
void registerClusterBenchmarks();
bool printClusterSummary(const std::map<std::string, benchmark::BenchmarkReporter::Run>& results);
// Digital-mode decodes read and classified at 1,000,000 QSOs; the summary's
// line, false when the target was missed.
void registerDigitalBenchmarks();
bool printDigitalSummary(const std::map<std::string, benchmark::BenchmarkReporter::Run>& results);
// A decode shown in the digital-mode window after its datagram, and a flood
// of datagrams, at 1,000,000 QSOs.
void registerDigitalShownBenchmarks();
bool printDigitalShownSummary(
    const std::map<std::string, benchmark::BenchmarkReporter::Run>& results);
// The needed status: build, one query, one change followed; the summary's
// lines, false when a target at 1,000,000 QSOs was missed.
void registerNeededBenchmarks(const std::vector<size_t>& sizes);
bool printNeededSummary(const std::map<std::string, benchmark::BenchmarkReporter::Run>& results,
                        const std::vector<size_t>& sizes);

// The recompute of the log's entities against one plain pass plus one
// rewrite of the log; the summary's lines, false when a target at 1,000,000
// QSOs was missed.
void registerRecomputeBenchmarks(const std::vector<size_t>& sizes);
bool printRecomputeSummary(const std::map<std::string, benchmark::BenchmarkReporter::Run>& results,
                           const std::vector<size_t>& sizes);

// The whole program started on each log, timed from outside, and its memory
// once the list is shown; the summary's lines, false when a target was missed.
void registerStartBenchmarks(const std::vector<size_t>& sizes);
bool printStartSummary(const std::map<std::string, benchmark::BenchmarkReporter::Run>& results,
                       const std::vector<size_t>& sizes);

}  // namespace bench
