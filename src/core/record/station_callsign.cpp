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
