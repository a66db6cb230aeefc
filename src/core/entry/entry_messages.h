#pragma once

#include <string_view>

// Every text the entry form shows the operator (UTF-8), defined once.
namespace dxcc::entry_messages {

inline constexpr std::string_view kBandEmpty = "Entrez une QRG";
inline constexpr std::string_view kBandTooLong = "7 caracteres maxi pour la QRG";
inline constexpr std::string_view kModeEmpty = "Entrez un Mode";
inline constexpr std::string_view kModeTooLong = "6 caracteres maxi pour le Mode";
inline constexpr std::string_view kCallsignEmpty = "Entrez un indicatif";
inline constexpr std::string_view kCallsignTooLong = "12 caracteres maxi pour l'indicatif";
inline constexpr std::string_view kCallsignBlank = "Pas d'espace dans l'indicatif";
inline constexpr std::string_view kFirstNameTooLong = "15 caracteres maxi pour le Prenom";
inline constexpr std::string_view kDateEmpty = "Entrez une date";
inline constexpr std::string_view kDateFormat = "Le format de la date doit etre JJ/MM/AA";
inline constexpr std::string_view kTimeEmpty = "Entrez une Heure";
inline constexpr std::string_view kTimeFormat = "Le format de l'heure doit etre HH:MM";
inline constexpr std::string_view kReportEmpty = "Entrez un Report";
inline constexpr std::string_view kReportTooLong = "3 caracteres maxi pour le Report";
inline constexpr std::string_view kReportFirstDigit = "R (de RST)doit etre compris entre 0 et 5";
// The record has 6 columns for the DXCC prefix and 35 for the entity name, and
// both fields can be edited freely.
inline constexpr std::string_view kDxccPrefixTooLong = "6 caracteres maxi pour le Préfixe DXCC";
inline constexpr std::string_view kEntityNameTooLong = "35 caracteres maxi pour la Contrée DXCC";

inline constexpr std::string_view kControlCharacter =
    "Les retours à la ligne et les tabulations ne sont pas admis dans les champs";

inline constexpr std::string_view kFirstInstallation =
    "\r\n         Premiere installation, vous devez entrer votre Indicatif\r\n\r\n"
    "Pour cela dans la barre des menus allez dans Station puis Nouvel Indicatif.";
inline constexpr std::string_view kNewPrefix = "Nouveau préfixe : ";
inline constexpr std::string_view kNewPrefixEntity = "   Pays : ";

inline constexpr std::string_view kConfirmCommit = "Voulez vous enregistrer ces données ?";
inline constexpr std::string_view kConfirmDelete = "Voulez vous Supprimer ce QSO ?";
inline constexpr std::string_view kClickToEdit = "Cliquez sur une ligne pour l'editer";
inline constexpr std::string_view kClickToDelete = "Cliquez sur une ligne pour l'effacer";
inline constexpr std::string_view kPrefixFileUnreadable =
    "Le fichier des préfixes ne peut pas être lu :\r\n";
inline constexpr std::string_view kPrefixFileUnreadableEnd =
    "\r\nLes indicatifs ne seront pas reconnus.";

inline constexpr std::string_view kModeEntry = "Saisie QSO";
inline constexpr std::string_view kModeInsertion = "Insertion QSO";
inline constexpr std::string_view kModeModification = "Modification QSO";

}  // namespace dxcc::entry_messages
