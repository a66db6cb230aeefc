#pragma once

#include <string_view>

// Every text the prefix editor shows the operator (UTF-8), defined once.
namespace dxcc::prefix_editor_messages {

inline constexpr std::string_view kCaption = "Edition d'un prefixe";
inline constexpr std::string_view kTitle = "Ajout, suppression ou édition d'un préfixe";
inline constexpr std::string_view kCallsignPrefixLabel = "Préfixe";
inline constexpr std::string_view kCallsignPrefixExample = "exemple : TM";
inline constexpr std::string_view kEntityNameLabel = "Contrée DXCC";
inline constexpr std::string_view kEntityNameExample = "exemple : France";
inline constexpr std::string_view kDxccPrefixLabel = "Préfixe DXCC";
inline constexpr std::string_view kDxccPrefixExample = "exemple : F";
inline constexpr std::string_view kSaveButton = "Enregistrer la modification";
inline constexpr std::string_view kDeleteButton = "Supprimer le préfixe";
inline constexpr std::string_view kClearButton = "Effacer les saisies";
inline constexpr std::string_view kEntityListButton = "Liste préfixe DXCC";
// The heading over the list is built by prefixListHeading(), which puts each
// word over its column.
inline constexpr std::string_view kListFrameCaption =
    "Un clique sur un préfixe pour l'afficher ou l'effacer,  un double clique pour l'éditer ";

inline constexpr std::string_view kCallsignPrefixEmpty = "Entrez un prefixe";
inline constexpr std::string_view kCallsignPrefixTooLong = "6 caracteres maxi pour le Prefixe";
inline constexpr std::string_view kEntityNameEmpty = "Entrez un Pays";
// The file has 33 columns for the entity name.
inline constexpr std::string_view kEntityNameTooLong = "33 caracteres maxi pour le Pays";
inline constexpr std::string_view kDxccPrefixEmpty = "Entrez un prefixe DXCC";
inline constexpr std::string_view kDxccPrefixTooLong = "6 caracteres maxi pour le Prefixe DXCC";
// The exact-call list: a whole callsign instead of a prefix.
inline constexpr std::string_view kExactCallCheck = "Indicatif exact";
inline constexpr std::string_view kExactCallLabel = "Indicatif";
inline constexpr std::string_view kExactCallExample = "exemple : TO8FTDM";
inline constexpr std::string_view kExactCallFrameCaption =
    "Un clique sur un indicatif pour l'afficher ou l'effacer,  un double clique pour l'éditer ";
inline constexpr std::string_view kExactCallDuplicate =
    "Cet indicatif exact existe déjà dans le fichier :";
inline constexpr std::string_view kExactCallEmpty = "Entrez un indicatif";
inline constexpr std::string_view kExactCallTooLong = "12 caracteres maxi pour l'indicatif";
inline constexpr std::string_view kExactCallCharacters =
    "Un indicatif exact ne contient que des lettres, des chiffres et « / »";
// Followed by the line that already holds the entry the operator typed.
inline constexpr std::string_view kDuplicateEntry = "Ce préfixe existe déjà dans le fichier :";
// Follows the file error's own text when a save cannot write the file.
inline constexpr std::string_view kNotSaved = "Le prefixe n'a pas été enregistré";

}  // namespace dxcc::prefix_editor_messages
