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
    "Menu Outils :\r\n"
    "  Tableau DXCC : une ligne par contrée, C confirmée, W contactée ; « Seulement ce qui\r\n"
    "    manque » ne garde que les contrées à faire ; Entrée ou un double clic sur une\r\n"
    "    contrée cherche ses QSO ; export CSV.\r\n"
    "  Progression DXCC : contrées contactées et confirmées au fil des dates, pour le\r\n"
    "    diplôme choisi ; export PNG.\r\n"
    "  Carte du monde : pointer une contrée donne son cap et sa distance, un clic ouvre\r\n"
    "    sa ligne du tableau ; export PNG.\r\n"
    "  Cluster DX : Entrée ou un double clic sur un spot met l'indicatif, la bande et le\r\n"
    "    mode dans la saisie et règle la radio ; fermer la fenêtre la cache, la connexion\r\n"
    "    et les alertes continuent. Réglages du cluster DX : serveur, port, indicatif.\r\n"
    "  Réglages de la radio (Hamlib) : en saisie, la bande et le mode suivent la radio ;\r\n"
    "    la barre d'état en montre la fréquence.\r\n\r\n"
    "Le panneau sous l'indicatif dit, dès la frappe, ce que le QSO rapporterait.";
// What a web page of the Help menu shows when it cannot be reached.
inline constexpr std::string_view kPageUnreachable =
    "Pas de connexion Internet : cette page s'affichera quand la connexion reviendra";
inline constexpr std::string_view kPageAddress = "Adresse de la page : ";
inline constexpr std::string_view kAboutLine =
    "    Carnet de trafic et suivi des diplômes DXCC de l'ARRL";

}  // namespace dxcc::main_messages
