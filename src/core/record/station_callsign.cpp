#include "core/record/station_callsign.h"

#include "core/base/text_utils.h"

namespace dxcc {

StationCheck checkStationCallsign(std::string_view candidate) {
    if (candidate.empty()) return StationCheck::Empty;
    if (candidate.size() > kStationCallsignMax) return StationCheck::TooLong;
    for (char c : candidate) {
        const bool ok = (c >= 'A' && c <= 'Z') || isAsciiDigit(c) || c == '_';
        if (!ok) return StationCheck::BadCharacter;
    }
    return StationCheck::Ok;
}

std::string storedForm(std::string_view typed) {
    std::string out(typed);
    for (char& c : out) {
        c = c == '/' ? '_' : upperAscii(c);
    }
    return out;
}

std::string displayForm(std::string_view stored) {
    std::string out(stored);
    for (char& c : out)
        if (c == '_') c = '/';
    return out;
}

}  // namespace dxcc

#include <charconv>

namespace dxcc {

int listIndexFromSetting(std::string_view value, int itemCount) {
    int index = 0;
    auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), index);
    if (ec != std::errc() || end != value.data() + value.size()) return 0;
    if (index == -1) return -1;
    return index >= 0 && index < itemCount ? index : 0;
}

}  // namespace dxcc
