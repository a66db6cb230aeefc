#pragma once

#include <cstddef>
#include <vector>

namespace bench {

// Log sizes, in QSOs, that every log benchmark runs at.
inline const std::vector<size_t> kDefaultSizes{10000, 100000, 1000000};

void registerLogBenchmarks(const std::vector<size_t>& sizes);
void registerLookupBenchmarks();
// The search at each size, then the prefix editor's open and save.
void registerSearchBenchmarks(const std::vector<size_t>& sizes);

}  // namespace bench
