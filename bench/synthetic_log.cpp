#include "synthetic_log.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <unordered_set>

#include "logbook/program_constants.h"
#include "logbook/qso_record.h"
#include "prefixes/prefix_table.h"

namespace synth {

namespace {

// splitmix64: tiny, and its output is fixed by the seed on every platform,
// which the standard distributions do not promise.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n).
    size_t below(size_t n) {
        return static_cast<size_t>((static_cast<unsigned __int128>(next()) * n) >> 64);
    }
    bool chance(unsigned percent) { return below(100) < percent; }

private:
    uint64_t state_;
};

// Prefixes weighted roughly as they show up in a European station's log.
constexpr std::array<std::string_view, 64> kCallPrefixes{
    "F",  "F",   "F",  "DL", "DL", "DL",  "G",  "G",   "I",  "I",  "EA", "EA", "ON",
    "PA", "OK",  "SP", "SP", "HA", "YO",  "LZ", "UA",  "UA", "UR", "OH", "SM", "LA",
    "OZ", "HB9", "OE", "CT", "EI", "GM",  "K",  "K",   "W",  "W",  "N",  "AA", "VE",
    "JA", "JA",  "VK", "ZL", "ZS", "PY",  "LU", "CE",  "XE", "YB", "BV", "HL", "VU",
    "4X", "SV",  "9A", "S5", "YU", "EA8", "FR", "KH6", "KL", "VP", "TF", "CN",
};

constexpr std::array<std::string_view, 48> kFirstNames{
    "JEAN",    "PIERRE",    "MICHEL",     "ALAIN",       "PHILIPPE",    "BERNARD",
    "ANDRE",   "JACQUES",   "FRANCOIS",   "DANIEL",      "PATRICK",     "CHRISTIAN",
    "GERARD",  "SERGE",     "MARIE",      "NATHALIE",    "ISABELLE",    "SYLVIE",
    "HANS",    "KLAUS",     "JUERGEN",    "WOLFGANG",    "JOHN",        "DAVID",
    "MICHAEL", "ROBERT",    "WILLIAM",    "JAMES",       "GIUSEPPE",    "GIOVANNI",
    "ANTONIO", "JOSE",      "MANUEL",     "CARLOS",      "PAOLO",       "VLADIMIR",
    "SERGEI",  "ALEXANDER", "TAKESHI",    "HIROSHI",     "PIOTR",       "JAN",
    "LARS",    "OLAF",      "MAXIMILIAN", "CHRISTOPHER", "BARTHOLOMEW", "JEAN-CHRISTOPHE",
};

std::string_view firstName(Rng& rng) {
    return kFirstNames[rng.below(kFirstNames.size())];
}

std::string plausibleCallsign(Rng& rng) {
    std::string call(kCallPrefixes[rng.below(kCallPrefixes.size())]);
    if (call.size() == 1 && rng.chance(40)) call += static_cast<char>('A' + rng.below(26));
    call += static_cast<char>('0' + rng.below(10));
    size_t letters = 1 + rng.below(3);
    for (size_t i = 0; i < letters; ++i) call += static_cast<char>('A' + rng.below(26));
    return call;
}

bool isCallsignChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/';
}

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

struct CivilDate {
    int64_t year;
    unsigned month, day;
};

CivilDate civilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

void twoDigits(std::string& out, int64_t v) {
    out += static_cast<char>('0' + (v / 10) % 10);
    out += static_cast<char>('0' + v % 10);
}

constexpr int64_t kFirstYear = 2006;
constexpr int64_t kYearsSpanned = 20;

// The DXCC fields of one callsign, looked up once per distinct call.
struct Entity {
    std::string dxccPrefix;
    std::string entityName;
};

std::vector<Entity> lookUpAll(const std::vector<std::string>& pool,
                              const dxcc::PrefixTable* table) {
    std::vector<Entity> out(pool.size());
    if (!table) return out;
    for (size_t i = 0; i < pool.size(); ++i) {
        auto r = table->lookup(pool[i]);
        out[i].dxccPrefix = std::string(r.dxccPrefix).substr(0, dxcc::kDxccPrefixWidth);
        out[i].entityName = std::string(r.entityName).substr(0, dxcc::kEntityNameWidth);
    }
    return out;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Buffered output that reports a failed write or close as an exception.
class Output {
public:
    explicit Output(const std::filesystem::path& file) : f_(std::fopen(file.c_str(), "wb")) {
        if (!f_) throw std::runtime_error("cannot write " + file.string());
        buffer_.resize(1 << 20);
        std::setvbuf(f_.get(), buffer_.data(), _IOFBF, buffer_.size());
    }
    void line(std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), f_.get());
        std::fwrite("\r\n", 1, 2, f_.get());
    }
    void close(const std::filesystem::path& file) {
        bool bad = std::ferror(f_.get()) != 0;
        bad |= std::fclose(f_.release()) != 0;
        if (bad) throw std::runtime_error("cannot write " + file.string());
    }

private:
    std::unique_ptr<std::FILE, FileCloser> f_;
    std::vector<char> buffer_;
};

}  // namespace

std::vector<std::string> readCallsignList(const std::filesystem::path& file) {
    std::vector<std::string> calls;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        for (char& c : line)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        bool ok = line.size() <= dxcc::kCallsignWidth;
        for (char c : line) ok = ok && isCallsignChar(c);
        if (ok) calls.push_back(line);
    }
    return calls;
}

std::vector<std::string> builtInCallsigns(size_t count, uint64_t seed) {
    Rng rng(seed ^ 0xC0FFEEULL);
    std::vector<std::string> calls;
    std::unordered_set<std::string> seen;
    calls.reserve(count);
    while (calls.size() < count) {
        std::string call = plausibleCallsign(rng);
        if (seen.insert(call).second) calls.push_back(std::move(call));
    }
    return calls;
}

std::vector<std::string> defaultCallsignPool() {
    std::vector<std::string> calls = readCallsignList(kMasterScpPath);
    if (calls.empty()) calls = builtInCallsigns(50000, 1);
    return calls;
}

void writeSyntheticLog(const std::filesystem::path& file, size_t qsoCount,
                       const dxcc::PrefixTable* table, const std::vector<std::string>& pool,
                       uint64_t seed) {
    if (pool.empty()) throw std::invalid_argument("empty callsign pool");
    const std::vector<Entity> entities = lookUpAll(pool, table);
    Rng rng(seed);
    Output out(file);

    const int64_t firstDay = daysFromCivil(kFirstYear, 1, 1);
    const int64_t spanMinutes =
        (daysFromCivil(kFirstYear + kYearsSpanned, 1, 1) - firstDay) * 24 * 60;
    // Each QSO gets its own slot of the span and a random minute inside it, so
    // the dates are spread evenly and never go backwards.
    const int64_t slot = qsoCount ? spanMinutes / static_cast<int64_t>(qsoCount) : 0;

    dxcc::QsoFields f;
    for (size_t i = 0; i < qsoCount; ++i) {
        const size_t who = rng.below(pool.size());
        int64_t minute = static_cast<int64_t>(static_cast<unsigned __int128>(i) *
                                              static_cast<uint64_t>(spanMinutes) / qsoCount);
        if (slot > 0) minute += static_cast<int64_t>(rng.below(static_cast<size_t>(slot)));
        const CivilDate d = civilFromDays(firstDay + minute / (24 * 60));
        const int64_t minuteOfDay = minute % (24 * 60);

        f.callsign = pool[who];
        f.firstName = rng.chance(80) ? firstName(rng) : std::string_view();
        f.date.clear();
        twoDigits(f.date, d.day);
        f.date += '/';
        twoDigits(f.date, d.month);
        f.date += '/';
        twoDigits(f.date, d.year % 100);
        f.time.clear();
        twoDigits(f.time, minuteOfDay / 60);
        f.time += ':';
        twoDigits(f.time, minuteOfDay % 60);
        f.mode = dxcc::kModes[rng.below(dxcc::kModes.size())];
        // Satellites work on the VHF and UHF bands only.
        f.band = f.mode == "SAT" ? dxcc::kBands[10 + rng.below(2)]
                                 : dxcc::kBands[rng.below(dxcc::kBands.size())];
        const bool phone = f.mode == "SSB" || f.mode == "SAT";
        f.rstReceived = phone ? (rng.chance(80) ? "59" : "57") : (rng.chance(80) ? "599" : "579");
        f.rstSent = phone ? "59" : "599";
        f.dxccPrefix = entities[who].dxccPrefix;
        f.entityName = entities[who].entityName;
        f.qslMark = rng.chance(50) ? '*' : ' ';
        out.line(dxcc::buildRecord(f));
    }
    out.close(file);
}

void writeSyntheticLog(const std::filesystem::path& file, size_t qsoCount,
                       const dxcc::PrefixTable* table, uint64_t seed) {
    writeSyntheticLog(file, qsoCount, table, defaultCallsignPool(), seed);
}

std::vector<std::string> syntheticFirstNameCalls(size_t count, uint64_t seed) {
    // The real calls first, then built-in ones until there are enough.
    std::vector<std::string> calls;
    std::unordered_set<std::string> seen;
    for (std::string& call : readCallsignList(kMasterScpPath)) {
        if (calls.size() == count) break;
        if (seen.insert(call).second) calls.push_back(std::move(call));
    }
    Rng rng(seed ^ 0xF1257ULL);
    while (calls.size() < count) {
        std::string call = plausibleCallsign(rng);
        if (seen.insert(call).second) calls.push_back(std::move(call));
    }
    return calls;
}

void writeSyntheticFirstNames(const std::filesystem::path& file, size_t count, uint64_t seed) {
    const std::vector<std::string> calls = syntheticFirstNameCalls(count, seed);
    Rng rng(seed);
    Output out(file);
    std::string line;
    for (const std::string& call : calls) {
        line = dxcc::padRight(call, 16);
        line += firstName(rng);
        out.line(line);
    }
    out.close(file);
}

}  // namespace synth
