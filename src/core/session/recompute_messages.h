#pragma once

#include <string_view>

// What the recompute of the log's entities says (UTF-8), for the window and
// the command line.
namespace dxcc::recompute_messages {

inline constexpr std::string_view kMenuItem = "Recalculer les contrées du log";
// After the count: "12 QSO changent de contrée".
inline constexpr std::string_view kChangeCount = " QSO changent de contrée";
// An entity left empty: a maritime mobile, a callsign no line matches.
inline constexpr std::string_view kNoEntity = "aucune";
inline constexpr std::string_view kSaveButton = "Enregistrer";
inline constexpr std::string_view kCancelButton = "Annuler";
// The prefix file cannot be read: every QSO would lose its entity.
inline constexpr std::string_view kWithoutPrefixesEnd =
    " manque dans le dossier de données ou ne peut pas être lu : les QSO perdraient leur "
    "contrée. Le recalcul est refusé ; le log n'a pas été modifié.";
// Offered once the prefix files are new.
inline constexpr std::string_view kOfferAfterUpdate =
    "Les préfixes ont changé. Recalculer les contrées du log maintenant ?";

}  // namespace dxcc::recompute_messages
