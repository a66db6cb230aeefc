#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace dxcc {
class PrefixTable;
}

// Synthetic station logs for the benchmark and for tests that need a big log.
// The same seed and the same callsign pool always give the same bytes.
namespace synth {

// Callsigns as amateurs use them: the contest community's list of active calls
// when it is installed, else plausible calls built from common prefixes.
inline constexpr const char* kMasterScpPath = "/usr/share/hamradio-files/MASTER.SCP";

// The calls of a MASTER.SCP-style file (one call a line, '#' comments), upper
// case, at most 12 characters of letters, digits and '/'; empty when missing.
std::vector<std::string> readCallsignList(const std::filesystem::path& file);

// `count` distinct plausible callsigns (prefix, digit, one to three letters).
std::vector<std::string> builtInCallsigns(size_t count, uint64_t seed);

// MASTER.SCP when present, the built-in calls otherwise.
std::vector<std::string> defaultCallsignPool();

// Writes a log of `qsoCount` records of 107 characters with CR LF, dated in
// chronological order over 2006 to 2025, on every band and mode of the entry
// lists, about half of them confirmed. The DXCC prefix and entity come from
// `table` when given; without it they are left blank. Callsigns are drawn from
// `pool`.
void writeSyntheticLog(const std::filesystem::path& file, size_t qsoCount,
                       const dxcc::PrefixTable* table, const std::vector<std::string>& pool,
                       uint64_t seed = 1);

// The same with the default callsign pool.
void writeSyntheticLog(const std::filesystem::path& file, size_t qsoCount,
                       const dxcc::PrefixTable* table, uint64_t seed = 1);

// Writes a first-name memory file of `count` distinct callsigns: the callsign
// padded to 16 columns, then an upper-case first name, CR LF.
void writeSyntheticFirstNames(const std::filesystem::path& file, size_t count, uint64_t seed = 1);

// Callsigns of the first-name file written with the same arguments, in file order.
std::vector<std::string> syntheticFirstNameCalls(size_t count, uint64_t seed = 1);

// Writes an ADIF export of `recordCount` QSOs as digital-mode programs write
// them: a header line, then one record per line with lower-case tags and about
// fifteen fields (BAND and FREQ, names with accents in UTF-8 now and then,
// confirmations by card and online), in date order over `years` years from
// `firstYear`. Callsigns are drawn from `pool`.
void writeSyntheticAdif(const std::filesystem::path& file, size_t recordCount,
                        const std::vector<std::string>& pool, int firstYear = 2012, int years = 10,
                        uint64_t seed = 1);

}  // namespace synth

// The names the benchmark and tests use unqualified.
using synth::writeSyntheticAdif;
using synth::writeSyntheticFirstNames;
using synth::writeSyntheticLog;
