#include "core/session/station_callsign.h"

namespace dxcc {

StationCheck checkStationCallsign(std::string_view candidate) {
    if (candidate.empty()) return StationCheck::Empty;
    if (candidate.size() > kStationCallsignMax) return StationCheck::TooLong;
    for (char c : candidate) {
        bool ok = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) return StationCheck::BadCharacter;
    }
    return StationCheck::Ok;
}

std::string storedForm(std::string_view typed) {
    std::string out(typed);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (c == '/') c = '_';
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
