#pragma once

#include <string_view>

// What the callsign lookup's answers mean to the operator (UTF-8), defined
// once for the entry form and the import.
namespace dxcc::lookup_messages {

// A callsign ending in /MM or /AM: said once, the contact stored without an
// entity.
inline constexpr std::string_view kMaritimeMobile =
    "Mobile maritime ou aéronautique : ne compte pour aucune contrée DXCC";

}  // namespace dxcc::lookup_messages
