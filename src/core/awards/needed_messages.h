#pragma once

#include <string_view>

// Texts of the needed status: the entry form's status line, its panel and the
// command line (UTF-8).
namespace dxcc::needed_messages {

inline constexpr std::string_view kNewEntity = "NOUVELLE CONTRÉE !";
inline constexpr std::string_view kNewBand = "Nouvelle bande";
inline constexpr std::string_view kNewMode = "Nouveau mode";
inline constexpr std::string_view kToConfirm = "À confirmer";
inline constexpr std::string_view kAlreadyConfirmed = "Déjà confirmée";
// The entry panel's line when the callsign was worked on the band and mode
// chosen, before the date of the latest such contact.
inline constexpr std::string_view kWorkedOnBandAndMode =
    "Déjà contacté sur cette bande et ce mode : le ";

inline constexpr std::string_view kNoEntity = "aucune contrée DXCC ne correspond à l'indicatif ";
inline constexpr std::string_view kBadBand = "bande inconnue : ";
inline constexpr std::string_view kBadMode = "mode inconnu : ";

// The DXCC table's first two column headings.
inline constexpr std::string_view kGridPrefix = "Préfixe";
inline constexpr std::string_view kGridEntity = "Contrée";

// The main window's status bar: QSO count, Mixed entities worked and confirmed.
inline constexpr std::string_view kStatusQsos = " QSO   ·   DXCC Mixed : ";
inline constexpr std::string_view kStatusWorked = " contrées contactées, ";
inline constexpr std::string_view kStatusConfirmed = " confirmées";

// The entry panel's lines of where the entity lies; each number goes after its lead.
inline constexpr std::string_view kHeadingLead = "Cap ";
inline constexpr std::string_view kLongPathLead = "° (long ";
inline constexpr std::string_view kDistanceLead = "°) · ";
inline constexpr std::string_view kDistanceEnd = " km";
inline constexpr std::string_view kCqZoneLead = " · CQ ";
inline constexpr std::string_view kItuZoneLead = " · ITU ";
inline constexpr std::string_view kLocalTimeLead = " · heure locale ";
inline constexpr std::string_view kSunThere = "Soleil (UTC) : là-bas ";
inline constexpr std::string_view kSunHere = " · ici ";
inline constexpr std::string_view kPolarDay = "jour polaire";
inline constexpr std::string_view kPolarNight = "nuit polaire";
inline constexpr std::string_view kSunUntil = "–";

}  // namespace dxcc::needed_messages
