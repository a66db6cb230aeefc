#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dxcc::cluster {

// One spot as a cluster server wrote it.
struct Spot {
    std::string spotter;        // without the trailing ':' or the angle brackets
    std::string frequencyText;  // kHz, as the server wrote it ("14025.0", "7013")
    double kilohertz = 0;
    std::string dx;             // the spotted callsign, in capitals
    std::string comment;        // blanks trimmed, inner spacing kept
    std::string time;           // "HHMM" (UTC), empty when the line gives none
    std::string date;           // listing lines only ("8-Dec-2026")
    std::string locator;        // a Maidenhead locator after the time, when given
};

// A longer line is cut: the server is not trusted to end its lines.
inline constexpr size_t kMaxLineBytes = 4096;

// Reads a spot from one line of a cluster server: the broadcast form
//   "DX de W3LPL:     14025.0  JA1ABC       CW 599       0312Z FN20"
// and the listing form that SH/DX answers
//   "  14025.0  JA1ABC       8-Dec-2026 0312Z CW 599        <W3LPL>".
// Nothing for any other line (announcements, prompts, talk, WWV...).
std::optional<Spot> parseSpotLine(std::string_view line);

}  // namespace dxcc::cluster
