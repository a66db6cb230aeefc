#pragma once

#include <string>
#include <string_view>

namespace dxcc {

// Outcome of checking a station callsign typed in the Station window.
enum class StationCheck { Ok, Empty, TooLong, BadCharacter };

inline constexpr size_t kStationCallsignMax = 12;

// Stored form: upper case, 1 to 12 of A-Z, 0-9 and '_'.
StationCheck checkStationCallsign(std::string_view candidate);
// What the operator typed, in stored form: a-z upper-cased, '/' turned into '_'.
std::string storedForm(std::string_view typed);
// Stored form with every '_' shown as '/'.
std::string displayForm(std::string_view stored);

}  // namespace dxcc
