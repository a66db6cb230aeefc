#pragma once

#include <string_view>

namespace dxcc::geo {

// The station's locator was refused (UTF-8).
inline constexpr std::string_view kLocatorMalformed =
    "Locator invalide : 4 ou 6 caractères, deux lettres de A à R, deux chiffres, "
    "puis éventuellement deux lettres de A à X (exemple : JN18du).";

}  // namespace dxcc::geo
