#pragma once

#include <string_view>

// Between the log's modes (at most three characters: the entry list's names and
// the first three letters of an ADIF mode) and ADIF's MODE and SUBMODE.
namespace dxcc::adif {

struct AdifMode {
    std::string_view mode;     // empty: the record gets no MODE
    std::string_view submode;  // empty: no SUBMODE
    bool satellite = false;    // PROP_MODE SAT
};

// What ADIF calls a logged mode (blanks trimmed, letter case ignored): the ADIF
// mode it was cut from ("RTT" is RTTY, "FT4" is MFSK with the submode FT4),
// "SAT" as the satellite propagation with no mode, no mode for the import's
// "XXX" or an empty mode, and any other mode as it stands.
AdifMode adifModeOf(std::string_view loggedMode);

// Whether a logged mode is the satellite's "SAT" (blanks trimmed, any case).
bool isSatelliteMode(std::string_view loggedMode);

// The logged mode that a MODE and SUBMODE pair stands for when the mode alone
// would lose it (MFSK with FT4 is "FT4", not "MFS"); empty otherwise. Both in
// upper case.
std::string_view loggedModeOfSubmode(std::string_view mode, std::string_view submode);

}  // namespace dxcc::adif
