#pragma once

#include <string_view>

// What the main window tells the operator (UTF-8), defined once.
namespace dxcc::main_messages {

inline constexpr std::string_view kFirstInstallation =
    "\r\nPremiere installation, vous devez entrer votre Indicatif\r\n\r\n";
inline constexpr std::string_view kLoadingLog = "Lecture du log";
inline constexpr std::string_view kLoadingLogOfStation = "de la station ";
inline constexpr std::string_view kTitle = "  VEL_DXCC    Revision ";
inline constexpr std::string_view kAbout = "VEL_DXCC  Révision ";
// The keyboard help (menu Aide, F1).
inline constexpr std::string_view kHelpMenuItem = "Aide clavier (F1)";
inline constexpr std::string_view kHelpText =
    "Raccourcis :\r\n"
    "  Ctrl+F : rechercher un QSO\r\n"
    "  Ctrl+I : importer un fichier ADIF\r\n"
    "  F1 : cette aide\r\n"
    "  Entrée : passe au champ suivant ou valide le bouton qui a le focus\r\n"
    "  Échap : ferme la fenêtre secondaire\r\n\r\n"
    "Menu Outils : Tableau DXCC, Progression DXCC, Carte du monde.";
// What a web page of the Help menu shows when it cannot be reached.
inline constexpr std::string_view kPageUnreachable =
    "Pas de connexion Internet : cette page s'affichera quand la connexion reviendra";
inline constexpr std::string_view kPageAddress = "Adresse de la page : ";
inline constexpr std::string_view kAboutLine =
    "    Carnet de trafic et suivi des diplômes DXCC de l'ARRL";

}  // namespace dxcc::main_messages
