#pragma once

#include <string>
#include <string_view>

// The texts that FT8 and FT4 (and the other WSJT modes) carry, as a decoder
// prints them: who transmits, to whom, and the grid or report sent.
namespace dxcc::digital {

enum class MessageKind {
    Cq,        // "CQ K1ABC FN42", "CQ DX K1ABC FN42", "CQ POTA K1ABC", "QRZ K1ABC"
    Directed,  // "K1ABC W9XYZ EN37", "K1ABC W9XYZ R-09", "W9XYZ K1ABC RR73", contest exchanges
    FreeText,  // anything else ("TNX BOB 73 GL")
};

struct MessageReading {
    MessageKind kind = MessageKind::FreeText;
    std::string transmitter;  // the station sending; empty when unknown ("<...>", free text)
    std::string called;       // the station it calls; empty for a CQ or an unknown "<...>"
    std::string cqTarget;     // a CQ's addressees: "DX", "NA", "POTA", "290"; empty when none
    std::string grid;         // the locator sent: 4 characters, 6 in the EU VHF contest
    std::string report;       // "-09", "+05", "579"; without the R
    bool roger = false;       // "R-09", "R EN37", "R 579 MA", "RRR", "RR73"
    bool signOff = false;     // "RR73", "73"

    bool isCq() const { return kind == MessageKind::Cq; }
};

// Reads a decoded message. Blanks around and between words do not matter
// (JTDX pads free text), nor letter case. A call in angle brackets is one the
// decoder knows from its hash ("<PJ4/K1ABC>", given without the brackets);
// "<...>" is one it does not. "RR73" is never a grid: it means roger and 73.
MessageReading readMessage(std::string_view text);

// Whether `word` is written as a callsign: letters, digits and '/', at least
// one letter and one digit, 3 to 12 characters, no '/' at either end or twice
// in a row ("F5ABC", "EA8/F5ABC", "F5ABC/P", "4U1UN", "3DA0RS").
bool isCallsign(std::string_view word);

}  // namespace dxcc::digital
