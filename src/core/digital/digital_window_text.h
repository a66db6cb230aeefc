#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/digital/decoder_states.h"

// What the digital-mode window and the main window say of the decoders (UTF-8).
namespace dxcc::digital {

namespace window_messages {
inline constexpr std::string_view kMenuItem = "Trafic numérique (WSJT-X)";
inline constexpr std::string_view kWindowTitle = "Trafic numérique (WSJT-X)";
inline constexpr std::string_view kNewEntityHeard = "Nouvelle contrée entendue : ";
inline constexpr std::string_view kNotListening = "WSJT-X : pas d'écoute";
inline constexpr std::string_view kListeningOn = "WSJT-X : écoute sur ";
inline constexpr std::string_view kNoDecoder = "Aucun programme de décodage entendu";
inline constexpr std::string_view kSilent = "muet";
inline constexpr std::string_view kCannotListen = "Écoute de WSJT-X impossible sur ";
inline constexpr std::string_view kSettingsTitle = "Réglages WSJT-X / JTDX";
inline constexpr std::string_view kHighlightsOption =
    "Colorer les indicatifs dans la fenêtre de WSJT-X";
inline constexpr std::string_view kSoundOption = "Son pour une nouvelle contrée";
inline constexpr std::string_view kFollowDxCallOption =
    "L'indicatif appelé dans WSJT-X va dans la saisie";
inline constexpr std::string_view kAskOption = "Demander avant d'enregistrer";
inline constexpr std::string_view kAddressTip =
    "127.0.0.1 pour WSJT-X sur cet ordinateur ; une adresse de 224.0.0.0 à 239.255.255.255 "
    "pour partager les datagrammes avec GridTracker ou JTAlert";
}  // namespace window_messages

// One decoder on the window's line: "WSJT-X : 14 Mhz FT8", "JTDX : 7 Mhz FT8
// (muet)", "WSJT-X : en attente de son état" before its first Status.
std::string decoderText(const DecoderState& decoder, bool silent);

// "Nouvelle contrée entendue : 3B8ABC (Mauritius)", of the callsign and the
// entity's name as the log holds them (Windows-1252).
std::string newEntityText(std::string_view callsign, std::string_view entityName);

// The audio offset, SNR and DT as the decoders print them: "1234", "-12",
// "+05", "0.2", "-1.3".
std::string snrText(std::int32_t snr);
std::string deltaTimeText(double seconds);

// "HH:MM:SS" of milliseconds since midnight; empty for an invalid time.
std::string clockText(std::uint32_t msecsSinceMidnight);

}  // namespace dxcc::digital
