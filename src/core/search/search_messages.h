#pragma once

#include <string_view>

// Every text the search window shows the operator (UTF-8), defined once.
namespace dxcc::search_messages {

inline constexpr std::string_view kCaption = "Rechercher un QSO par...";
inline constexpr std::string_view kChoicesHeading = "Rechercher un QSO par ...";
inline constexpr std::string_view kOptionCallsign = "Indicatif";
inline constexpr std::string_view kOptionDate = "Date";
inline constexpr std::string_view kOptionPrefix = "Préfixe";
inline constexpr std::string_view kResultsTooltip = "Cliquez sur le QSO pour le selectionner";
// The heading over the results is built by searchResultsHeading(), which puts
// each word over its column.
inline constexpr std::string_view kQuit = "Quitter";

inline constexpr std::string_view kCallsignTooLong =
    "Attention 12 caracteres maxi pour l'indicatif";
inline constexpr std::string_view kCallsignEmpty = "Entrez un indicatif";
inline constexpr std::string_view kDateFormat = "Attention le format date doit etre JJ/MM/AA";
inline constexpr std::string_view kDateTooLong =
    "Attention 8 caracteres maxi pour la date (format jj/mm/aa)";
inline constexpr std::string_view kPrefixTooLong = "Attention 6 caracteres maxi pour le prefixe";
inline constexpr std::string_view kPrefixEmpty = "Entrez un prefixe";
inline constexpr std::string_view kDateEmpty = "Entrez une date";
inline constexpr std::string_view kNothingFound = "Pas de QSO trouvé";

}  // namespace dxcc::search_messages
