#include "core/radio/radio_follow.h"

#include <cmath>
#include <cstdio>

#include "core/record/band_table.h"

namespace dxcc::radio {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// Radio modes (as the rig library names them) and the entry modes they stand for.
struct RadioMode {
    std::string_view radio;
    std::string_view entries[2];
};
constexpr RadioMode kRadioModes[] = {
    {"USB", {"SSB"}},          {"LSB", {"SSB"}},          {"SSB", {"SSB"}},
    {"CW", {"CW"}},            {"CWR", {"CW"}},           {"RTTY", {"RTTY", "DIG"}},
    {"RTTYR", {"RTTY", "DIG"}}, {"PKTUSB", {"DIG"}},       {"PKTLSB", {"DIG"}},
    {"PKTFM", {"DIG"}},        {"PKTAM", {"DIG"}},        {"PSK", {"DIG"}},
    {"PSKR", {"DIG"}},         {"FSK", {"DIG"}},          {"FM", {"FM"}},
    {"WFM", {"FM"}},           {"FMN", {"FM"}},           {"AM", {"AM"}},
    {"SAM", {"AM"}},           {"AMN", {"AM"}},
};

std::optional<size_t> indexOf(std::string_view text, std::span<const std::string_view> items) {
    for (size_t i = 0; i < items.size(); ++i)
        if (trim(items[i]) == trim(text)) return i;
    return std::nullopt;
}

}  // namespace

std::vector<std::string_view> entryModesOfRadio(std::string_view radioMode) {
    std::vector<std::string_view> out;
    for (const RadioMode& m : kRadioModes) {
        if (m.radio != radioMode) continue;
        for (std::string_view e : m.entries)
            if (!e.empty()) out.push_back(e);
    }
    return out;
}

FormSelection formSelectionFor(const RadioReading& reading,
                               std::span<const std::string_view> bandItems,
                               std::span<const std::string_view> modeItems) {
    FormSelection out;
    if (reading.hertz > 0) {
        char megahertz[32];
        std::snprintf(megahertz, sizeof megahertz, "%.6f", static_cast<double>(reading.hertz) / 1e6);
        const std::string_view band = adif::bandForFrequency(megahertz);
        if (!band.empty()) out.band = indexOf(band, bandItems);
    }
    for (std::string_view entry : entryModesOfRadio(reading.mode)) {
        if ((out.mode = indexOf(entry, modeItems))) break;
    }
    return out;
}

FormSelection formSelectionForSpot(std::string_view bandLabel, ModeClass modeClass,
                                   std::span<const std::string_view> bandItems,
                                   std::span<const std::string_view> modeItems) {
    FormSelection out;
    if (!bandLabel.empty()) out.band = indexOf(bandLabel, bandItems);
    // The class's entries, best first: the phone award's SSB, CW, the digital entry.
    const std::string_view radioMode = modeClass == ModeClass::Phone   ? "USB"
                                       : modeClass == ModeClass::Cw    ? "CW"
                                       : modeClass == ModeClass::Digital ? "PKTUSB"
                                                                         : "";
    for (std::string_view entry : entryModesOfRadio(radioMode))
        if ((out.mode = indexOf(entry, modeItems))) break;
    return out;
}

std::string frequencyText(int64_t hertz) {
    const int64_t khz = hertz / 1000;
    const int64_t rest = std::llabs(hertz % 1000);
    std::string digits = std::to_string(std::llabs(khz));
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ' ';
        grouped += digits[i];
    }
    char tail[16];
    std::snprintf(tail, sizeof tail, ",%03lld kHz", static_cast<long long>(rest));
    return (hertz < 0 ? "-" : "") + grouped + tail;
}

int64_t hertzOfKilohertz(double kilohertz) { return std::llround(kilohertz * 1000.0); }

}  // namespace dxcc::radio
