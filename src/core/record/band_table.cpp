#include "core/record/band_table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "core/base/program_constants.h"
#include "core/record/qso_record.h"

namespace dxcc::adif {

namespace {

// The import's band table: the values each label accepts, tried top to bottom.
struct LabelRow {
    std::string_view label;
    std::initializer_list<std::string_view> accepted;
};
const std::array<LabelRow, 17> kLabelRows{{
    {bandName(kBand160m), {"160M", "1.8"}},
    {bandName(kBand80m), {"80M", "3.5", "3.6", "3"}},
    {bandName(kBand40m), {"40M", "7"}},
    {bandName(kBand30m), {"30M", "10"}},
    {bandName(kBand20m), {"20M", "14"}},
    {bandName(kBand17m), {"17M", "18"}},
    {bandName(kBand15m), {"15M", "21"}},
    {bandName(kBand12m), {"12M", "24"}},
    {bandName(kBand10m), {"10M", "28"}},
    {bandName(kBand6m), {"6M", "50"}},
    {bandName(kBand2m), {"2M", "144", "145"}},
    {bandName(kBand70cm), {"70CM", "432"}},
    {"1.3Ghz", {"23CM", "1300"}},
    {"2.3 Ghz", {"13CM", "2300"}},
    {"5.7 Ghz", {"6CM", "5660"}},
    {"10 Ghz", {"3CM", "10000"}},
    {"24 Ghz", {"1.25CM", "24000"}},
}};

// The bands of the ADIF band list with their edges in MHz.
struct AdifBand {
    std::string_view name;  // upper case
    double lowest;
    double highest;
};
constexpr std::array<AdifBand, 33> kAdifBands{{
    {"2190M", 0.1357, 0.1378},   {"630M", 0.472, 0.479},      {"560M", 0.501, 0.504},
    {"160M", 1.8, 2.0},          {"80M", 3.5, 4.0},           {"60M", 5.06, 5.45},
    {"40M", 7.0, 7.3},           {"30M", 10.1, 10.15},        {"20M", 14.0, 14.35},
    {"17M", 18.068, 18.168},     {"15M", 21.0, 21.45},        {"12M", 24.89, 24.99},
    {"10M", 28.0, 29.7},         {"8M", 40.0, 45.0},          {"6M", 50.0, 54.0},
    {"5M", 54.000001, 69.9},     {"4M", 70.0, 71.0},          {"2M", 144.0, 148.0},
    {"1.25M", 222.0, 225.0},     {"70CM", 420.0, 450.0},      {"33CM", 902.0, 928.0},
    {"23CM", 1240.0, 1300.0},    {"13CM", 2300.0, 2450.0},    {"9CM", 3300.0, 3500.0},
    {"6CM", 5650.0, 5925.0},     {"3CM", 10000.0, 10500.0},   {"1.25CM", 24000.0, 24250.0},
    {"6MM", 47000.0, 47200.0},   {"4MM", 75500.0, 81000.0},   {"2.5MM", 119980.0, 123000.0},
    {"2MM", 134000.0, 149000.0}, {"1MM", 241000.0, 250000.0}, {"SUBMM", 300000.0, 7500000.0},
}};

// Equality without a library call: values are a few bytes long.
bool sameBytes(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

std::string_view labelRowFor(std::string_view value) {
    for (const LabelRow& row : kLabelRows)
        for (std::string_view accepted : row.accepted)
            if (sameBytes(accepted, value)) return row.label;
    return {};
}

// A band of the ADIF list goes in under the table's label when the table has one.
std::string_view logBandFor(const AdifBand& band) {
    const std::string_view label = labelRowFor(band.name);
    return label.empty() ? band.name : label;
}

// Every BAND value that names a band, packed into one word with its length,
// with the log's band for it: what the two tables above give, found by one
// binary search (this runs for every record).
constexpr size_t kLongestBandValue = 7;

uint64_t packed(std::string_view value) {
    uint64_t word = uint64_t{value.size()} << 56;
    for (size_t i = 0; i < value.size(); ++i)
        word |= uint64_t{static_cast<unsigned char>(value[i])} << (8 * i);
    return word;
}

struct BandValue {
    uint64_t key;
    std::string_view band;
    bool operator<(const BandValue& other) const { return key < other.key; }
};

std::vector<BandValue> makeBandValues() {
    std::vector<BandValue> values;
    auto add = [&](std::string_view value, std::string_view band) {
        if (value.size() > kLongestBandValue) return;
        const uint64_t key = packed(value);
        for (const BandValue& v : values)
            if (v.key == key) return;  // the first row that accepts it counts
        values.push_back({key, band});
    };
    for (const LabelRow& row : kLabelRows)
        for (std::string_view accepted : row.accepted) add(accepted, row.label);
    for (const AdifBand& b : kAdifBands) add(b.name, b.name);
    std::sort(values.begin(), values.end());
    return values;
}

}  // namespace

std::string_view bandForBandValue(std::string_view band) {
    static const std::vector<BandValue> kBandValues = makeBandValues();
    if (band.empty() || band.size() > kLongestBandValue) return {};
    const BandValue sought{packed(band), {}};
    const auto it = std::lower_bound(kBandValues.begin(), kBandValues.end(), sought);
    return it != kBandValues.end() && it->key == sought.key ? it->band : std::string_view();
}

std::string_view adifBandOfLogBand(std::string_view logBand) {
    const std::string_view band = trimBlanks(logBand);
    if (band.empty()) return {};
    // Each row's first accepted value is its ADIF band name.
    for (const LabelRow& row : kLabelRows)
        if (sameBytes(row.label, band)) return *row.accepted.begin();
    for (const AdifBand& b : kAdifBands)
        if (sameBytes(b.name, band)) return b.name;
    return {};
}

std::string_view bandForFrequency(std::string_view megahertz) {
    std::string_view text = trimBlanks(megahertz);
    // "14,074": a comma as the only separator is a decimal point.
    std::array<char, 32> point;
    const size_t comma = text.find(',');
    if (comma != std::string_view::npos && text.size() <= point.size() &&
        text.find(',', comma + 1) == std::string_view::npos &&
        text.find('.') == std::string_view::npos) {
        std::copy(text.begin(), text.end(), point.begin());
        point[comma] = '.';
        text = std::string_view(point.data(), text.size());
    }
    double f = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), f);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
    for (const AdifBand& b : kAdifBands)
        if (f >= b.lowest && f <= b.highest) return logBandFor(b);
    return {};
}

}  // namespace dxcc::adif
