#pragma once

#include <array>
#include <string_view>

// Every text the prefix statistics window shows the operator (UTF-8), defined
// once. The caption after a display is in prefix_statistics.h.
namespace dxcc::prefix_statistics_messages {

inline constexpr std::string_view kCaption = "Statistiques du prefixe";
inline constexpr std::string_view kPrefixLabel = "Prefixe";
inline constexpr std::string_view kShow = "Afficher";
// The grid's heading: the row captions' column, then one word per band column.
inline constexpr std::array<std::string_view, 12> kGridHeading{
    "Mode",   "1.8 MHz", "3.5 MHz", "7 MHz",  "10 MHz", "14 MHz",
    "18 MHz", "21 MHz",  "24 MHz",  "28 MHZ", "50 MHz", "144 MHz",
};

inline constexpr std::string_view kPrefixEmpty = "Entrez un préfixe";
inline constexpr std::string_view kPrefixTooLong = "6 caracteres maxi pour le Prefixe";

}  // namespace dxcc::prefix_statistics_messages
