#pragma once

#include <string_view>

// Texts of the DX cluster and the radio.
namespace dxcc::cluster {

namespace messages {
inline constexpr std::string_view kWindowTitle = "Cluster DX";
inline constexpr std::string_view kMenuCluster = "Cluster DX";
inline constexpr std::string_view kMenuClusterSettings = "Réglages du cluster DX";
inline constexpr std::string_view kMenuRigSettings = "Réglages de la radio (Hamlib)";
inline constexpr std::string_view kDisconnected = "Déconnecté";
inline constexpr std::string_view kConnecting = "Connexion à %1…";
inline constexpr std::string_view kConnected = "Connecté à %1";
inline constexpr std::string_view kLost = "Connexion perdue (%1) : nouvel essai dans %2 s";
inline constexpr std::string_view kNoServer =
    "Aucun serveur de cluster n'est réglé : choisissez « Réglages du cluster DX ».";
inline constexpr std::string_view kRefused = "connexion refusée par %1:%2.";
inline constexpr std::string_view kHostNotFound = "serveur %1 introuvable.";
inline constexpr std::string_view kConnectionFailed = "connexion à %1:%2 impossible : %3";
// The class of the data modes in the window (the awards call it RTTY).
inline constexpr std::string_view kDigitalClass = "Numérique";
inline constexpr std::string_view kDigitalClassTip =
    "Modes numériques (RTTY, FT8, FT4, PSK…) : ils comptent pour le DXCC RTTY.";
// Before the counts of what a flood left out of the window.
inline constexpr std::string_view kDropped = "Arrivés trop vite, non affichés : ";
inline constexpr std::string_view kRadioNone = "Radio : aucune";
inline constexpr std::string_view kRadioConnecting = "Radio : connexion…";
inline constexpr std::string_view kRadioPortMissing = "Radio : port %1 absent";
inline constexpr std::string_view kRadioNoAnswer = "Radio : pas de réponse";
inline constexpr std::string_view kRadioOpenFailed = "Radio : ouverture impossible (%1)";
inline constexpr std::string_view kRadioNoHamlib = "Radio : bibliothèque Hamlib introuvable";
}  // namespace messages

}  // namespace dxcc::cluster
