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
// A writing command refused because the folder cannot be locked.
inline constexpr std::string_view kWriteRefusedUnlockable =
    "Le dossier de données ne peut pas être verrouillé (lecture seule ?) :\r\n";
inline constexpr std::string_view kWriteRefusedEnd = "\r\nLe log n'a pas été modifié.";

}  // namespace dxcc::lock_messages

// Why the command line cannot open a station (UTF-8).
namespace dxcc::station_messages {

inline constexpr std::string_view kNoStationChosen =
    "aucune station n'est choisie : lancez vel_dxcc une première fois ou "
    "indiquez --station INDICATIF.";
inline constexpr std::string_view kBadStation = "indicatif de station invalide : ";

}  // namespace dxcc::station_messages
