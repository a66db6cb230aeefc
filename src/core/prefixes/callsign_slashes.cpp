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

// The parts kept, joined again by '/', as long as they fit an exact call.
class Rejoined {
public:
    explicit Rejoined(std::array<char, SlashBuffers::kSize>& buffer) : buffer_(buffer) {}

    void add(std::string_view part) {
        const size_t grown = size_ + (size_ == 0 ? 0 : 1) + part.size();
        fits_ = fits_ && grown <= kExactCallsignWidth;
        if (!fits_) return;
        if (size_ != 0) buffer_[size_] = '/';
        std::copy(part.begin(), part.end(),
                  buffer_.begin() + static_cast<std::ptrdiff_t>(grown - part.size()));
        size_ = grown;
    }
    std::string_view text() const {
        return fits_ ? std::string_view(buffer_.data(), size_) : std::string_view{};
    }

private:
    std::array<char, SlashBuffers::kSize>& buffer_;
    size_t size_ = 0;
    bool fits_ = true;
};

// The parts that may name the place: the first two kept, how many were kept,
// whether a part says maritime mobile, and the parts kept joined again.
struct Parts {
    std::array<std::string_view, 2> decisive;
    size_t kept = 0;
    bool mobile = false;
    std::string_view rejoined;
};

Parts partsOf(std::string_view callsign, SlashBuffers& buffers) {
    Parts parts;
    Rejoined rejoined(buffers.withoutSuffixes);
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
        rejoined.add(part);
    }
    parts.rejoined = rejoined.text();
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
    const Parts parts = partsOf(callsign, buffers);
    if (parts.mobile) {
        reading.kind = SlashReading::Kind::MaritimeMobile;
        return reading;
    }
    reading.kind = SlashReading::Kind::Slashed;
    if (!parts.rejoined.empty() && parts.rejoined != callsign)
        reading.withoutSuffixes = parts.rejoined;
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
