#include "core/radio/radio_follow.h"

#include <cmath>
#include <cstdio>

#include "core/base/text_utils.h"
#include "core/record/band_table.h"

namespace dxcc::radio {

namespace {

// Phone below this frequency goes on the lower sideband.
constexpr int64_t kUpperSidebandFrom = 10'000'000;

std::optional<size_t> indexOf(std::string_view text, std::span<const std::string_view> items) {
    for (size_t i = 0; i < items.size(); ++i)
        if (trimBlanks(items[i]) == trimBlanks(text)) return i;
    return std::nullopt;
}

// The log's band label of a frequency; empty outside every band.
std::string_view bandOfHertz(int64_t hertz) {
    if (hertz <= 0) return {};
    char megahertz[32];
    std::snprintf(megahertz, sizeof megahertz, "%.6f", static_cast<double>(hertz) / 1e6);
    return adif::bandForFrequency(megahertz);
}

// A band label as the form shows it: its box's item, or the label itself.
std::string bandAsShown(std::string_view label, std::span<const std::string_view> bandItems) {
    if (label.empty()) return {};
    const auto index = indexOf(label, bandItems);
    return std::string(index ? bandItems[*index] : trimBlanks(label));
}

std::optional<size_t> modeIndexOf(std::string_view radioMode,
                                  std::span<const std::string_view> modeItems) {
    for (std::string_view entry : entryModesOfRadio(radioMode))
        if (auto index = indexOf(entry, modeItems)) return index;
    return std::nullopt;
}

}  // namespace

std::optional<int64_t> radioHertz(double hertz) {
    // The comparisons are false for NaN, so it is refused with the rest.
    if (!(hertz >= 0 && hertz <= kHighestRadioHertz)) return std::nullopt;
    return std::llround(hertz);
}

std::string_view radioModeForSpot(ModeClass modeClass, int64_t hertz, bool radioHasDataMode) {
    return radioModeOfClass(modeClass, hertz >= kUpperSidebandFrom, radioHasDataMode);
}

FormSelection formSelectionFor(const RadioReading& reading,
                               std::span<const std::string_view> bandItems,
                               std::span<const std::string_view> modeItems) {
    return {bandAsShown(bandOfHertz(reading.hertz), bandItems),
            modeIndexOf(reading.mode, modeItems)};
}

FormSelection formSelectionForSpot(std::string_view bandLabel, ModeClass modeClass,
                                   std::span<const std::string_view> bandItems,
                                   std::span<const std::string_view> modeItems) {
    // The entries of the radio mode that works the class best: the phone
    // award's SSB, CW, the digital entry.
    const std::string_view radioMode = radioModeOfClass(modeClass, true, true);
    return {bandAsShown(bandLabel, bandItems), modeIndexOf(radioMode, modeItems)};
}

RadioFollow::RadioFollow(std::span<const std::string_view> bandItems,
                         std::span<const std::string_view> modeItems)
    : bandItems_(bandItems), modeItems_(modeItems) {}

void RadioFollow::requested(int64_t hertz, std::string_view radioMode, Time now) {
    pending_ = Request{std::string(bandOfHertz(hertz)), std::string(radioMode), now + kHold};
    // The form takes the request's mode: the radio reaching it changes nothing.
    if (!radioMode.empty()) lastMode_ = radioMode;
}

bool RadioFollow::agrees(const Request& request, const RadioReading& reading) const {
    const bool band = bandOfHertz(reading.hertz) == request.band;
    // A radio that does not tell its mode cannot disagree about it.
    const bool mode = request.mode.empty() || reading.mode.empty() ||
                      entryModesOfRadio(reading.mode) == entryModesOfRadio(request.mode);
    return band && mode;
}

FormSelection RadioFollow::reading(const RadioReading& reading, Time now) {
    if (pending_) {
        if (now < pending_->until && !agrees(*pending_, reading)) return {};
        pending_.reset();
    }
    FormSelection out;
    out.band = bandAsShown(bandOfHertz(reading.hertz), bandItems_);
    if (!reading.mode.empty() && reading.mode != lastMode_) {
        lastMode_ = reading.mode;
        out.mode = modeIndexOf(reading.mode, modeItems_);
    }
    return out;
}

std::string frequencyText(int64_t hertz) {
    // Unsigned, so that even the most negative value has a magnitude.
    const uint64_t magnitude = hertz < 0 ? 0 - static_cast<uint64_t>(hertz) : uint64_t(hertz);
    const std::string digits = std::to_string(magnitude / 1000);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ' ';
        grouped += digits[i];
    }
    char tail[16];
    std::snprintf(tail, sizeof tail, ",%03u kHz", static_cast<unsigned>(magnitude % 1000));
    return (hertz < 0 ? "-" : "") + grouped + tail;
}

int64_t hertzOfKilohertz(double kilohertz) {
    return std::llround(kilohertz * 1000.0);
}

}  // namespace dxcc::radio
