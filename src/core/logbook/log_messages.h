#pragma once

#include <string_view>

// What the operator is told when a command on the log fails (UTF-8), defined once.
namespace dxcc::log_messages {

// Said after every failure that left the log as it was.
inline constexpr std::string_view kLogUnchanged = "Le log n'a pas été modifié.";
inline constexpr std::string_view kLineChanged =
    "Ce QSO a été changé dans le fichier du log depuis que vous l'avez ouvert "
    "(par un autre programme ?).\r\nLe log n'a pas été modifié.";
inline constexpr std::string_view kFileChangedReloaded =
    "Le fichier du log a été changé sur le disque depuis sa lecture (par un autre "
    "programme ?).\r\nIl a été relu avant l'enregistrement, qui a été fait sur son "
    "contenu actuel : la liste montre maintenant ce que contient le fichier.";
inline constexpr std::string_view kStationNotChanged = "\r\nLa station n'a pas été changée.";
inline constexpr std::string_view kStoredButFirstNameLost =
    "Le QSO a été enregistré dans le log, mais le prénom n'a pas pu être mémorisé :\r\n";
inline constexpr std::string_view kResetQuestion = "!!! ATTENTION !!! le log ";
inline constexpr std::string_view kResetQuestionEnd = " va etre effacé , Continuer ?";

}  // namespace dxcc::log_messages
