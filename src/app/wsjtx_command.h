#pragma once

#include <ostream>
#include <string_view>

#include "app/command_table.h"

namespace ui {

// "vel_dxcc wsjtx [--listen ADRESSE:PORT] [--count N] [--needed] [--log]":
// listens to WSJT-X or JTDX as the digital-mode window does and writes one
// tab-separated line per decode; with --log, logs the contacts they log.
// Ends after N decodes, on the decoder's Close, or on SIGINT or SIGTERM.
int wsjtxCommand(const CommandArguments& given, const CommandDefaults& defaults, std::ostream& out,
                 std::ostream& err);

// The command's text for the general and the command's help.
inline constexpr std::string_view kWsjtxUsage =
    "wsjtx [--listen ADRESSE:PORT] [--count N] "
    "[--needed] [--log]";
inline constexpr std::string_view kWsjtxHelp =
    "              Écoute WSJT-X ou JTDX comme la fenêtre « Trafic numérique (WSJT-X) »\n"
    "              (adresse et port des réglages, par défaut 127.0.0.1:2237 ; une\n"
    "              adresse de 224.0.0.0 à 239.255.255.255 rejoint ce groupe multicast)\n"
    "              et écrit une ligne par décodage, champs séparés par des tabulations :\n"
    "              heure UTC (HHMMSS), SNR, bande, mode, indicatif de la station qui\n"
    "              émet, locator envoyé (ou vide), préfixe DXCC, contrée, puis l'état\n"
    "              de la contrée, de la bande et du mode (N jamais contacté, W\n"
    "              contacté, C confirmé). --needed : seulement les décodages dont un\n"
    "              des trois états est N. --log : chaque QSO enregistré dans WSJT-X ou\n"
    "              JTDX entre dans le log (une seule fois, même reçu deux fois) et\n"
    "              s'écrit sur une ligne « QSO enregistré depuis WSJT-X : … » ; un QSO\n"
    "              qui ne peut pas être écrit attend dans le fichier\n"
    "              Contacts_en_attente.adi du dossier de données et sera enregistré\n"
    "              plus tard. S'arrête après N décodages (--count), quand le\n"
    "              programme se ferme, ou sur Ctrl+C (SIGINT) ou SIGTERM.\n";

}  // namespace ui
