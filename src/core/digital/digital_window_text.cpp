#include "core/digital/digital_window_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/base/text_conversion.h"
#include "core/base/text_utils.h"

namespace dxcc::digital {

namespace msg = window_messages;

std::string decoderText(const DecoderState& decoder, bool silent) {
    std::string text = decoder.id + " : ";
    if (!decoder.status) {
        text += "en attente de son état";
    } else {
        const std::string_view band = trimBlanks(decoder.tuning.band);
        text += band.empty() ? std::string("hors bande") : std::string(band);
        if (!decoder.tuning.mode.empty()) text += " " + decoder.tuning.mode;
    }
    if (silent) text += " (" + std::string(msg::kSilent) + ")";
    return text;
}

std::string newEntityText(std::string_view callsign, std::string_view entityName) {
    std::string text = std::string(msg::kNewEntityHeard) + std::string(callsign);
    if (!entityName.empty()) text += " (" + cp1252ToUtf8(entityName) + ")";
    return text;
}

std::string snrText(std::int32_t snr) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%+03d", static_cast<int>(snr));
    return buffer;
}

std::string deltaTimeText(double seconds) {
    if (!std::isfinite(seconds)) return {};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", std::clamp(seconds, -999.0, 999.0));
    // "-0.0" reads as a sign with nothing to sign.
    return std::string(buffer) == "-0.0" ? "0.0" : buffer;
}

std::string clockText(std::uint32_t msecsSinceMidnight) {
    if (msecsSinceMidnight >= 24u * 3600u * 1000u) return {};
    const std::uint32_t s = msecsSinceMidnight / 1000;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02u:%02u:%02u", s / 3600, s / 60 % 60, s % 60);
    return buffer;
}

}  // namespace dxcc::digital
