#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

// The one table of modes: from ADIF's MODE and SUBMODE to the three-letter
// code the log stores, and from that code to its award class and back to
// ADIF; beside it, the words that name a mode elsewhere (a cluster spot's
// comment, a radio, a confirmation service's mode group), each tied to a code
// of the table or to the entry's modes. The import, the export, the
// confirmation match, the awards, the needed status, the statistics, the
// cluster and the radio all read it, so they cannot disagree.
namespace dxcc {

// The kinds of mode the awards count. The awarding body credits every phone
// mode (digital voice and image modes included) to the phone award and every
// data mode to the digital one; satellite contacts form their own class.
enum class ModeClass { None, Phone, Cw, Digital, Satellite };

// The classes a mode can have, in the order of the DXCC table's columns and
// the entry panel's rows.
inline constexpr std::array<ModeClass, 4> kModeClasses{ModeClass::Phone, ModeClass::Cw,
                                                       ModeClass::Digital, ModeClass::Satellite};
// A class's place in kModeClasses (None has none).
constexpr size_t modeClassIndex(ModeClass modeClass) {
    return static_cast<size_t>(modeClass) - 1;
}

// The class of a logged mode: blanks trimmed, then compared exactly (case
// counts, as the log stores modes in capitals). "SAT" is Satellite; an empty
// mode, the import's "XXX" and unknown texts have none.
ModeClass modeClassOf(std::string_view loggedMode);

// The class the needed status counts a logged mode in: as modeClassOf, but
// "SAT" in any letter case is Satellite, as the satellite award takes it.
ModeClass neededClassOf(std::string_view loggedMode);

// What the award selector and the statistics grid call each class: "SSB",
// "CW", "RTTY", "SAT"; empty for None.
std::string_view modeClassText(ModeClass modeClass);
// What the DXCC table's columns and the entry panel's rows call each class:
// "SSB", "CW", "RTTY", "Satellite"; empty for None.
std::string_view modeClassHeading(ModeClass modeClass);

// Whether a logged mode is the satellite's "SAT" (blanks trimmed, any case).
bool isSatelliteMode(std::string_view loggedMode);

// A word of a cluster spot's comment that names a mode ("FT8", "usb"; any
// letter case): the word in capitals and the class of the logged mode it
// stands for. An empty word and None for a word that names no mode.
struct CommentMode {
    std::string_view word;  // in a static table: valid for the program's life
    ModeClass modeClass = ModeClass::None;
};
CommentMode modeOfCommentWord(std::string_view word);

// The entry modes a radio mode (as the rig library names it: "USB", "CWR",
// "PKTUSB") stands for, best first: USB and LSB are SSB, CW and CWR are CW,
// RTTY and RTTYR are RTTY (else the digital entry), the data modes are the
// digital entry, FM and AM themselves. Empty for a mode the log has no entry
// for.
std::vector<std::string_view> entryModesOfRadio(std::string_view radioMode);

// The radio mode that works a class: CW; phone on the upper or the lower
// sideband; data in the radio's data mode on the upper sideband where it has
// one, else on the upper sideband itself. Empty for None and Satellite.
std::string_view radioModeOfClass(ModeClass modeClass, bool upperSideband, bool radioHasDataMode);

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

// The class of a confirmation service's mode group ("PHONE", "CW", "DATA",
// in capitals, as LoTW's APP_LOTW_MODEGROUP gives it); None for any other.
ModeClass modeClassOfGroup(std::string_view group);

}  // namespace adif

}  // namespace dxcc
