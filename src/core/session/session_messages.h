#pragma once

#include <string_view>

// What the operator is told about the data folder's lock (UTF-8), defined once.
namespace dxcc::lock_messages {

inline constexpr std::string_view kAlreadyOpen =
    "Le log est déjà ouvert par un autre VEL_DXCC sur ce dossier de données :\r\n";
inline constexpr std::string_view kAlreadyOpenQuestion =
    "\r\n\r\nDeux programmes sur le même log effaceraient les QSO l'un de l'autre."
    "\r\nQuitter VEL_DXCC ?";
inline constexpr std::string_view kAlreadyOpenForImport =
    "le log est ouvert par VEL_DXCC : fermez-le avant d'importer. Dossier de données : ";
inline constexpr std::string_view kCannotLock =
    "Le dossier de données ne peut pas être verrouillé (lecture seule ?) :\r\n";
inline constexpr std::string_view kCannotLockEnd =
    "\r\nLes QSO ne pourront peut-être pas être enregistrés.";
// A writing command refused because another copy holds the folder.
inline constexpr std::string_view kWriteRefusedInUse =
    "Un autre VEL_DXCC a ce dossier de données et peut écrire dans le log :\r\n";
// Ends a writing command's refusal: kWriteRefusedInUse, or kCannotLock when
// the folder cannot be locked, then the folder, then this.
inline constexpr std::string_view kWriteRefusedEnd = "\r\nLe log n'a pas été modifié.";

}  // namespace dxcc::lock_messages

// Why the command line cannot open a station (UTF-8).
namespace dxcc::station_messages {

inline constexpr std::string_view kNoStationChosen =
    "aucune station n'est choisie : lancez vel_dxcc une première fois ou "
    "indiquez --station INDICATIF.";
inline constexpr std::string_view kBadStation = "indicatif de station invalide : ";

}  // namespace dxcc::station_messages

// What making the data folder ready tells the operator (UTF-8).
namespace dxcc::folder_messages {

// Followed by the names of the files, then ").".
inline constexpr std::string_view kUpdateFinished =
    "La dernière mise à jour des préfixes avait été interrompue ; elle vient d'être achevée (";
inline constexpr std::string_view kUpdateAbandoned =
    "La dernière mise à jour des préfixes avait été interrompue avant d'être entière sur le "
    "disque ; elle a été abandonnée : les fichiers des préfixes sont ceux d'avant. Refaites la "
    "mise à jour des préfixes.";
// Followed by the names of the files, then kRedoUpdate.
inline constexpr std::string_view kUpdatePartly =
    "La dernière mise à jour des préfixes avait été interrompue et n'a pu être achevée qu'en "
    "partie. Fichiers non mis à jour : ";
inline constexpr std::string_view kRedoUpdate = ". Refaites la mise à jour des préfixes.";
// The journal's name goes between the lead and the end.
inline constexpr std::string_view kJournalUnreadableLead =
    "Le journal de la dernière mise à jour des préfixes (";
inline constexpr std::string_view kJournalUnreadableEnd =
    ") n'était pas lisible ; il a été retiré. Si des préfixes semblent faux, refaites la mise à "
    "jour des préfixes.";
inline constexpr std::string_view kUpdateStillUnfinished =
    "La dernière mise à jour des préfixes avait été interrompue et n'a pas encore pu être "
    "achevée : elle le sera au prochain démarrage de VEL_DXCC.";
// The file's name goes between each lead and its end.
inline constexpr std::string_view kPrefixFileLead = "Le fichier des préfixes ";
inline constexpr std::string_view kPrefixFileMissingEnd =
    " manque dans le dossier de données et n'a pas pu y être mis : les indicatifs n'y "
    "trouveront pas leur contrée.";
inline constexpr std::string_view kEntityDataLead = "Le fichier des données des contrées ";
inline constexpr std::string_view kEntityDataMissingEnd =
    " manque dans le dossier de données et n'a pas pu y être mis : caps, distances et heures "
    "locales ne seront pas donnés.";
inline constexpr std::string_view kImportWithoutPrefixesEnd =
    " manque dans le dossier de données ou ne peut pas être lu : les QSO importés n'auraient pas "
    "de contrée. L'import est refusé ; le log n'a pas été modifié.";

}  // namespace dxcc::folder_messages
