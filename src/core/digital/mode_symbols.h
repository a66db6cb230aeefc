#pragma once

#include <string_view>

// The one-character symbols by which WSJT-X and JTDX name the mode of a decode
// (the Decode message's mode field, the band activity's column).
namespace dxcc::digital {

// The mode's name ("FT8" for "~", "FT4" for "+", "JT65" for "#"...); empty for
// a symbol no decoder writes. JT65 and JT4 may add a second character (a sync
// mark: "#*", "$*"), which does not change the mode.
std::string_view modeOfSymbol(std::string_view symbol);

}  // namespace dxcc::digital
