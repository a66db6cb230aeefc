#include "core/prefixes/callsign_slashes.h"

#include <algorithm>

#include "core/prefixes/exact_calls.h"

namespace dxcc {

namespace {

// Parts after the callsign that say how, not where, the station works.
constexpr std::string_view kDroppedSuffixes[] = {"P", "M", "QRP", "QRPP", "LH", "B"};
constexpr std::string_view kMobileSuffixes[] = {"MM", "AM"};

template <size_t N>
bool oneOf(std::string_view part, const std::string_view (&words)[N]) {
    return std::find(std::begin(words), std::end(words), part) != std::end(words);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The parts that may name the place: the first two kept, how many were kept,
// and whether a part says maritime mobile.
struct Parts {
    std::array<std::string_view, 2> decisive;
    size_t kept = 0;
    bool mobile = false;
};

Parts partsOf(std::string_view callsign, SlashBuffers& buffers, std::string_view& rest) {
    Parts parts;
    size_t restSize = 0;
    bool restFits = true;
    size_t start = 0;
    while (start <= callsign.size()) {
        size_t end = callsign.find('/', start);
        if (end == std::string_view::npos) end = callsign.size();
        const std::string_view part = callsign.substr(start, end - start);
        start = end + 1;
        if (part.empty()) continue;
        const bool first = parts.kept == 0;
        if (!first && oneOf(part, kMobileSuffixes)) {
            parts.mobile = true;
            continue;
        }
        if (!first && oneOf(part, kDroppedSuffixes)) continue;
        if (parts.kept < parts.decisive.size()) parts.decisive[parts.kept] = part;
        ++parts.kept;
        // The callsign without what was dropped, for the exact calls.
        const size_t grown = restSize + (first ? 0 : 1) + part.size();
        restFits = restFits && grown <= kExactCallsignWidth;
        if (restFits) {
            if (!first) buffers.withoutSuffixes[restSize] = '/';
            std::copy(
                part.begin(), part.end(),
                buffers.withoutSuffixes.begin() + static_cast<std::ptrdiff_t>(grown - part.size()));
            restSize = grown;
        }
    }
    rest =
        restFits ? std::string_view(buffers.withoutSuffixes.data(), restSize) : std::string_view{};
    return parts;
}

// `callsign` with its area digit, the last digit it holds, made `digit`.
// Only the first characters reach the prefixes, so a longer text is cut.
std::string_view withAreaDigit(std::string_view callsign, char digit, SlashBuffers& buffers) {
    const size_t size = std::min(callsign.size(), buffers.areaChanged.size());
    std::copy_n(callsign.begin(), size, buffers.areaChanged.begin());
    const size_t last = callsign.find_last_of("0123456789");
    if (last < size) buffers.areaChanged[last] = digit;
    return {buffers.areaChanged.data(), size};
}

}  // namespace

SlashReading readSlashes(std::string_view callsign, SlashBuffers& buffers) {
    SlashReading reading;
    if (callsign.find('/') == std::string_view::npos) {
        reading.place = callsign;
        return reading;
    }
    std::string_view rest;
    const Parts parts = partsOf(callsign, buffers, rest);
    if (parts.mobile) {
        reading.kind = SlashReading::Kind::MaritimeMobile;
        return reading;
    }
    reading.kind = SlashReading::Kind::Slashed;
    if (!rest.empty() && rest != callsign) reading.withoutSuffixes = rest;
    if (parts.kept == 0) return reading;
    const std::string_view first = parts.decisive[0];
    if (parts.kept == 1) {
        reading.place = first;
        return reading;
    }
    const std::string_view second = parts.decisive[1];
    if (second.size() == 1 && isDigit(second[0])) {
        reading.place = withAreaDigit(first, second[0], buffers);
        reading.other = first;
    } else if (second.size() < first.size()) {
        reading.place = second;
        reading.other = first;
    } else {
        reading.place = first;
        reading.other = second;
    }
    return reading;
}

}  // namespace dxcc
