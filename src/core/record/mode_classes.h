#pragma once

#include <string_view>

namespace dxcc {

// The kinds of mode the awards and the prefix statistics count: the awarding
// body credits every phone mode to the phone award and every digital mode to
// the digital one. One table serves the per-mode awards and the statistics
// grid, so the two never disagree.
enum class ModeClass { None, Phone, Cw, Digital };

// The class of a logged mode: blanks trimmed, then compared exactly (case
// counts, as the log stores modes in capitals). "SAT", an empty mode and
// unknown texts have none.
ModeClass modeClassOf(std::string_view mode);

// What the award selector and the statistics grid call each class: "SSB",
// "CW", "RTTY"; empty for None.
std::string_view modeClassText(ModeClass modeClass);

}  // namespace dxcc
