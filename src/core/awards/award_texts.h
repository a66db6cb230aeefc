#pragma once

#include <array>
#include <string_view>

#include "core/awards/award_evaluation.h"

// What the award windows show besides the evaluation's own wording (UTF-8).
namespace dxcc::award_texts {

inline constexpr std::string_view kConfirmedOption = "Prefixes confirmés";
inline constexpr std::string_view kContactedOption = "Prefixes contactés";
inline constexpr std::string_view kShowButton = "Afficher";
// First line of the splash window, followed by the station callsign.
inline constexpr std::string_view kSplashReading = "Lecture du log ";

// When a window shows the splash: from its opening until its first evaluation
// ends, or during each evaluation.
enum class SplashTime { FromOpening, EachEvaluation };

// One award family's window: its name, texts and controls.
struct WindowLayout {
    AwardFamily family;
    std::string_view objectName;
    std::string_view caption;
    std::string_view title;
    std::string_view optionGroup;  // empty: confirmed QSOs only, no options
    std::string_view selector;     // empty: one award, no selector
    int firstSelected;             // selector item chosen at opening
    SplashTime splash;
    bool evaluatesAtOpening;  // no button: the window evaluates as it opens
};

inline constexpr std::array<WindowLayout, 5> kWindows{{
    {AwardFamily::Mixed, "DXCC_Mixed", "Diplôme DXCC Mixed", "Diplôme DXCC Mixed", "Q_Confirme", "",
     0, SplashTime::FromOpening, false},
    {AwardFamily::Mode, "DXCC_SSB", "Diplôme DXCC Mode", "Diplôme DXCC Mode", "Q_Confirme",
     "Mode_E", 0, SplashTime::EachEvaluation, false},
    {AwardFamily::Band, "DXCC_Bande", "Diplôme DXCC par Bande", "Diplôme DXCC Bande", "Q_Confirme",
     "Bande_E", 2, SplashTime::EachEvaluation, false},
    {AwardFamily::FiveBand, "DXCC_5B", "Diplomes DXCC 5 Bandes", "Diplôme DXCC 5 Bandes", "", "", 0,
     SplashTime::FromOpening, true},
    {AwardFamily::Satellite, "DXCC_Sat", "Diplôme DXCC Satellite", "Diplôme DXCC Satellite",
     "Q_Contacte", "", 0, SplashTime::FromOpening, false},
}};

constexpr const WindowLayout& windowLayout(AwardFamily family) {
    for (const WindowLayout& w : kWindows)
        if (w.family == family) return w;
    return kWindows[0];
}

}  // namespace dxcc::award_texts
