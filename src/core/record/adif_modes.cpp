#include "core/record/adif_modes.h"

#include <array>

#include "core/adif/adif_mapping.h"
#include "core/base/program_constants.h"
#include "core/record/qso_record.h"

namespace dxcc::adif {

namespace {

struct ModeRow {
    std::string_view logged;
    AdifMode adif;
};

// The logged modes that are not ADIF modes as they stand: the ADIF modes the
// import cut to three letters, and the submodes that a mode alone would lose.
// A row with a submode is also read back by the import.
constexpr std::array<ModeRow, 22> kModeRows{{
    {"RTT", {"RTTY", {}}},     {"HEL", {"HELL", {}}},   {"MFS", {"MFSK", {}}},
    {"OLI", {"OLIVIA", {}}},   {"JT6", {"JT65", {}}},   {"FT4", {"MFSK", "FT4"}},
    {"THR", {"THRB", {}}},     {"THO", {"THOR", {}}},   {"DOM", {"DOMINO", {}}},
    {"CON", {"CONTESTI", {}}}, {"OPE", {"OPERA", {}}},  {"ISC", {"ISCAT", {}}},
    {"CHI", {"CHIP", {}}},     {"SST", {"SSTV", {}}},   {"ARD", {"ARDOP", {}}},
    {"DYN", {"DYNAMIC", {}}},  {"WIN", {"WINMOR", {}}}, {"FSK", {"FSK441", {}}},
    {"MSK", {"MSK144", {}}},   {"MT6", {"MT63", {}}},   {"QRA", {"QRA64", {}}},
    {"WSP", {"WSPR", {}}},
}};

// Upper case without a library call: modes are ASCII.
bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const char x = (a[i] >= 'a' && a[i] <= 'z') ? static_cast<char>(a[i] - 32) : a[i];
        if (x != b[i]) return false;
    }
    return true;
}

}  // namespace

AdifMode adifModeOf(std::string_view loggedMode) {
    const std::string_view mode = trimBlanks(loggedMode);
    if (mode.empty() || sameIgnoringCase(mode, kModeSubstitute)) return {};
    if (isSatelliteMode(mode)) return {{}, {}, true};
    for (const ModeRow& row : kModeRows)
        if (sameIgnoringCase(mode, row.logged)) return row.adif;
    return {mode, {}};
}

bool isSatelliteMode(std::string_view loggedMode) {
    return sameIgnoringCase(trimBlanks(loggedMode), kSatelliteMode);
}

std::string_view loggedModeOfSubmode(std::string_view mode, std::string_view submode) {
    if (submode.empty()) return {};
    for (const ModeRow& row : kModeRows)
        if (row.adif.submode == submode && row.adif.mode == mode) return row.logged;
    return {};
}

}  // namespace dxcc::adif
