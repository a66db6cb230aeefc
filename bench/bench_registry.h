#pragma once

#include <cstddef>
#include <vector>

namespace bench {

// Log sizes, in QSOs, that every log benchmark runs at.
inline const std::vector<size_t> kDefaultSizes{10000, 100000, 1000000};

void registerLogBenchmarks(const std::vector<size_t>& sizes);
void registerLookupBenchmarks();

}  // namespace bench
