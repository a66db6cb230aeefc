#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace bench {

// Log sizes, in QSOs, that every log benchmark runs at.
inline const std::vector<size_t> kDefaultSizes{10000, 100000, 1000000};

void registerLogBenchmarks(const std::vector<size_t>& sizes);
void registerLookupBenchmarks();
void registerAdifBenchmarks(const std::vector<size_t>& sizes);

// Prints the ADIF import's lines of the summary; false when a target was missed.
bool printAdifSummary(const std::map<std::string, benchmark::BenchmarkReporter::Run>& results,
                      const std::vector<size_t>& sizes);

}  // namespace bench
