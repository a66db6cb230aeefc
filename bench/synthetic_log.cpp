#include "synthetic_log.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <unordered_set>

#include "core/base/dates.h"
#include "core/base/program_constants.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"

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

    const int64_t firstDay = dxcc::dayNumber(kFirstYear, 1, 1);
    const int64_t spanMinutes =
        (dxcc::dayNumber(kFirstYear + kYearsSpanned, 1, 1) - firstDay) * 24 * 60;
    // Each QSO gets its own slot of the span and a random minute inside it, so
    // the dates are spread evenly and never go backwards.
    const int64_t slot = qsoCount ? spanMinutes / static_cast<int64_t>(qsoCount) : 0;

    dxcc::QsoFields f;
    for (size_t i = 0; i < qsoCount; ++i) {
        const size_t who = rng.below(pool.size());
        int64_t minute = static_cast<int64_t>(static_cast<unsigned __int128>(i) *
                                              static_cast<uint64_t>(spanMinutes) / qsoCount);
        if (slot > 0) minute += static_cast<int64_t>(rng.below(static_cast<size_t>(slot)));
        const dxcc::CivilDate d = dxcc::dateOfDay(firstDay + minute / (24 * 60));
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

namespace {

// A band of the ADIF list with a frequency in it, in MHz.
struct AdifBandSample {
    std::string_view band;
    double megahertz;
};
constexpr std::array<AdifBandSample, 12> kAdifBands{{
    {"160m", 1.840},
    {"80m", 3.573},
    {"60m", 5.357},
    {"40m", 7.074},
    {"30m", 10.136},
    {"20m", 14.074},
    {"17m", 18.100},
    {"15m", 21.074},
    {"12m", 24.915},
    {"10m", 28.074},
    {"6m", 50.313},
    {"2m", 144.174},
}};

constexpr std::array<std::string_view, 6> kAdifModes{"FT8", "FT8", "SSB", "CW", "RTTY", "PSK31"};

// Names as they come out of other programs: mixed case, accents in UTF-8.
constexpr std::array<std::string_view, 6> kAdifNames{"Jean",
                                                     "Fran\xC3\xA7ois",
                                                     "J\xC3\xBCrgen",
                                                     "Ren\xC3\xA9"
                                                     "e",
                                                     "Bob",
                                                     "\xC5\x81ukasz"};

void field(std::string& out, std::string_view name, std::string_view value) {
    out += '<';
    out += name;
    out += ':';
    out += std::to_string(value.size());
    out += '>';
    out += value;
    out += ' ';
}

}  // namespace

void writeSyntheticAdif(const std::filesystem::path& file, size_t recordCount,
                        const std::vector<std::string>& pool, int firstYear, int years,
                        uint64_t seed) {
    if (pool.empty()) throw std::invalid_argument("empty callsign pool");
    Rng rng(seed ^ 0xAD1FULL);
    Output out(file);
    out.line("Synthetic ADIF Export<adif_ver:5>3.1.4 <programid:9>VEL_BENCH <eoh>");

    const int64_t firstDay = dxcc::dayNumber(firstYear, 1, 1);
    const int64_t spanSeconds = (dxcc::dayNumber(firstYear + years, 1, 1) - firstDay) * 86400;
    std::string record, date, time;
    for (size_t i = 0; i < recordCount; ++i) {
        const int64_t second = static_cast<int64_t>(
            static_cast<unsigned __int128>(i) * static_cast<uint64_t>(spanSeconds) / recordCount);
        const dxcc::CivilDate d = dxcc::dateOfDay(firstDay + second / 86400);
        const int64_t secondOfDay = second % 86400;
        date = std::to_string(d.year);
        twoDigits(date, d.month);
        twoDigits(date, d.day);
        time.clear();
        twoDigits(time, secondOfDay / 3600);
        twoDigits(time, secondOfDay / 60 % 60);
        twoDigits(time, secondOfDay % 60);
        const AdifBandSample& band = kAdifBands[rng.below(kAdifBands.size())];
        const std::string_view mode = kAdifModes[rng.below(kAdifModes.size())];
        const bool digital = mode == "FT8" || mode == "RTTY" || mode == "PSK31";

        record.clear();
        field(record, "call", pool[rng.below(pool.size())]);
        field(record, "gridsquare", "JN18");
        field(record, "mode", mode);
        char report[8];
        std::snprintf(report, sizeof report, "-%02zu", rng.below(20));
        field(record, "rst_sent", digital ? report : "59");
        field(record, "rst_rcvd", digital ? "-07" : "57");
        field(record, "qso_date", date);
        field(record, "time_on", time);
        field(record, "qso_date_off", date);
        field(record, "time_off", time);
        field(record, "band", band.band);
        char freq[32];
        std::snprintf(freq, sizeof freq, "%.6f", band.megahertz + 0.000137 * rng.below(1000));
        field(record, "freq", freq);
        field(record, "station_callsign", "F5BENCH");
        field(record, "my_gridsquare", "JN18EU");
        field(record, "tx_pwr", "100");
        if (rng.chance(60)) field(record, "name", kAdifNames[rng.below(kAdifNames.size())]);
        if (rng.chance(30)) field(record, "qsl_rcvd", "Y");
        if (rng.chance(40)) field(record, "lotw_qsl_rcvd", "Y");
        record += "<eor>";
        out.line(record);
    }
    out.close(file);
}

}  // namespace synth
