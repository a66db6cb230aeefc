#include "adif/band_table.h"

#include <array>
#include <charconv>
#include <initializer_list>

#include "logbook/qso_record.h"

namespace dxcc::adif {

namespace {

// The import's band table: the values each label accepts, tried top to bottom.
struct LabelRow {
    std::string_view label;
    std::initializer_list<std::string_view> accepted;
};
const std::array<LabelRow, 17> kLabelRows{{
    {"1.8 Mhz", {"160M", "1.8"}},
    {"3.5 Mhz", {"80M", "3.5", "3.6", "3"}},
    {"7.0 Mhz", {"40M", "7"}},
    {"10 Mhz", {"30M", "10"}},
    {"14 Mhz", {"20M", "14"}},
    {"18 Mhz", {"17M", "18"}},
    {"21 Mhz", {"15M", "21"}},
    {"24 Mhz", {"12M", "24"}},
    {"28 Mhz", {"10M", "28"}},
    {"50 Mhz", {"6M", "50"}},
    {"144 Mhz", {"2M", "144", "145"}},
    {"432 Mhz", {"70CM", "432"}},
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

}  // namespace

std::string_view bandForBandValue(std::string_view band) {
    if (band.empty()) return {};
    if (std::string_view label = labelRowFor(band); !label.empty()) return label;
    for (const AdifBand& b : kAdifBands)
        if (sameBytes(b.name, band)) return b.name;
    return {};
}

std::string_view bandForFrequency(std::string_view megahertz) {
    const std::string_view text = trimBlanks(megahertz);
    double f = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), f);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
    for (const AdifBand& b : kAdifBands)
        if (f >= b.lowest && f <= b.highest) return logBandFor(b);
    return {};
}

}  // namespace dxcc::adif
