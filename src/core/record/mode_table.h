#pragma once

#include <cstddef>
#include <string_view>

// The one table of modes: from ADIF's MODE and SUBMODE to the three-letter
// code the log stores, and from that code to its award class and back to
// ADIF. The import, the export, the confirmation match, the awards and the
// statistics all read it, so they cannot disagree.
namespace dxcc {

// The kinds of mode the awards count. The awarding body credits every phone
// mode (digital voice and image modes included) to the phone award and every
// data mode to the digital one; satellite contacts form their own class.
enum class ModeClass { None, Phone, Cw, Digital, Satellite };

// The class of a logged mode: blanks trimmed, then compared exactly (case
// counts, as the log stores modes in capitals). "SAT" is Satellite; an empty
// mode, the import's "XXX" and unknown texts have none.
ModeClass modeClassOf(std::string_view loggedMode);

// What the award selector and the statistics grid call each class: "SSB",
// "CW", "RTTY", "SAT"; empty for None.
std::string_view modeClassText(ModeClass modeClass);

// Whether a logged mode is the satellite's "SAT" (blanks trimmed, any case).
bool isSatelliteMode(std::string_view loggedMode);

namespace adif {

// What the import logs for a record without any mode.
inline constexpr std::string_view kModeSubstitute = "XXX";

// The name of the application field that carries a logged mode which no ADIF
// MODE and SUBMODE pair gives back exactly.
inline constexpr std::string_view kModeField = "APP_VEL_DXCC_MODE";

// How a logged mode is written in ADIF. Every MODE and SUBMODE given is of the
// ADIF enumeration.
struct AdifMode {
    std::string_view mode;     // empty: the record gets no MODE
    std::string_view submode;  // empty: no SUBMODE
    bool satellite = false;    // PROP_MODE SAT
    // The logged mode itself, for the application field, when the pair above
    // would not read back as it (empty otherwise).
    std::string_view ownMode;
};

// The ADIF form of a logged mode (blanks trimmed, letter case ignored): "RTT"
// is RTTY, "USB" is SSB with the submode USB, "DST" DIGITALVOICE with DSTAR,
// "SAT" the satellite propagation; the entry list's "DIG" and unknown codes
// have no MODE and travel in the application field; the import's "XXX" and an
// empty mode give nothing.
AdifMode adifModeOf(std::string_view loggedMode);

// The logged mode of an ADIF MODE and SUBMODE (any letter case, blanks around
// allowed): the table's code for the pair, else for the mode alone (every
// deprecated ADIF mode has one); empty when the table knows neither.
std::string_view loggedModeOf(std::string_view mode, std::string_view submode);

}  // namespace adif

}  // namespace dxcc
