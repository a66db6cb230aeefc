#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/digital/qt_data_stream.h"

// WSJT-X's UDP datagrams (the protocol of its Network/NetworkMessage.hpp,
// which JTDX speaks too): every datagram starts with the magic number, the
// schema number, the message type and the sending (or, towards a decoder, the
// target) instance's id. The decoder reads the messages a decoder sends; the
// encoders write those a logbook sends. Nothing from the network is trusted:
// a datagram that cannot be read whole is dropped and counted, no more.
namespace dxcc::digital {

inline constexpr std::uint32_t kMagic = 0xadbccbda;
// Schema 2 (Qt 5.2 streams) and 3 (Qt 5.4) encode every field used here alike.
inline constexpr std::uint32_t kLowestSchema = 2;
inline constexpr std::uint32_t kHighestSchema = 3;
// A UDP datagram holds at most 65,507 bytes over IPv4; anything longer is no datagram.
inline constexpr std::size_t kMaxDatagramBytes = 65'535;
// An instance id is the program's name and a rig name ("WSJT-X - IC-7300").
inline constexpr std::size_t kMaxIdBytes = 256;
// "Not applicable" in the Status's frequency tolerance and T/R period.
inline constexpr std::uint32_t kNotApplicable = 0xffffffff;

enum class MessageType : std::uint32_t {
    Heartbeat = 0,
    Status = 1,
    Decode = 2,
    Clear = 3,
    Reply = 4,
    QsoLogged = 5,
    Close = 6,
    Replay = 7,
    HaltTx = 8,
    FreeText = 9,
    WsprDecode = 10,
    Location = 11,
    LoggedAdif = 12,
    HighlightCallsign = 13,
};

// Sent every 15 s by a decoder, and by a logbook to settle the schema.
struct Heartbeat {
    std::uint32_t maxSchema = kLowestSchema;  // what a sender that leaves it out supports
    std::string version;
    std::string revision;
    bool operator==(const Heartbeat&) const = default;
};

// The decoder's state, sent on every change. A null text reads as empty; the
// fields later versions added at the end keep these values when left out
// (JTDX ends after the special operation mode).
struct Status {
    std::uint64_t dialFrequencyHz = 0;
    std::string mode;  // "FT8", "FT4", "JT65"...
    std::string dxCall;
    std::string report;
    std::string txMode;
    bool txEnabled = false;
    bool transmitting = false;
    bool decoding = false;
    std::uint32_t rxDf = 0;
    std::uint32_t txDf = 0;
    std::string deCall;
    std::string deGrid;
    std::string dxGrid;
    bool txWatchdog = false;
    std::string subMode;
    bool fastMode = false;
    std::uint8_t specialOperationMode = 0;
    std::uint32_t frequencyTolerance = kNotApplicable;
    std::uint32_t trPeriod = kNotApplicable;
    std::string configurationName;
    std::string txMessage;
    bool operator==(const Status&) const = default;
};

// One decoded message of the band activity.
struct Decode {
    bool isNew = true;                  // false when replayed on request
    std::uint32_t time = kInvalidTime;  // milliseconds since midnight UTC
    std::int32_t snr = 0;
    double deltaTime = 0;              // seconds
    std::uint32_t deltaFrequency = 0;  // audio offset, Hz
    std::string mode;                  // the mode's one-character symbol ("~" for FT8)
    std::string message;
    bool lowConfidence = false;
    bool offAir = false;  // decoded from a recording
    bool operator==(const Decode&) const = default;
};

// The band activity was erased: the decodes before it can no longer be replied to.
struct Clear {
    bool operator==(const Clear&) const = default;
};

// The operator pressed OK in the decoder's "Log QSO" dialog.
struct QsoLogged {
    DateTime timeOff;
    std::string dxCall;
    std::string dxGrid;
    std::uint64_t txFrequencyHz = 0;
    std::string mode;
    std::string reportSent;
    std::string reportReceived;
    std::string txPower;
    std::string comments;
    std::string name;
    DateTime timeOn;
    std::string operatorCall;
    std::string myCall;
    std::string myGrid;
    std::string exchangeSent;
    std::string exchangeReceived;
    std::string propagationMode;  // ADIF PROP_MODE
    bool operator==(const QsoLogged&) const = default;
};

// The decoder is shutting down.
struct Close {
    bool operator==(const Close&) const = default;
};

struct WsprDecode {
    bool isNew = true;
    std::uint32_t time = kInvalidTime;
    std::int32_t snr = 0;
    double deltaTime = 0;
    std::uint64_t frequencyHz = 0;
    std::int32_t drift = 0;
    std::string callsign;
    std::string grid;
    std::int32_t powerDbm = 0;
    bool offAir = false;
    bool operator==(const WsprDecode&) const = default;
};

// The same contact as a QSO Logged, as the text of an ADIF file.
struct LoggedAdif {
    std::string adif;
    bool operator==(const LoggedAdif&) const = default;
};

using Message =
    std::variant<Heartbeat, Status, Decode, Clear, QsoLogged, Close, WsprDecode, LoggedAdif>;

// A datagram read whole.
struct Datagram {
    std::uint32_t schema = kLowestSchema;
    std::string id;
    Message message;
};

// Why a datagram was dropped.
enum class DropReason {
    TooLong,         // longer than any datagram
    WrongMagic,      // not this protocol
    UnknownSchema,   // neither 2 nor 3
    UnexpectedType,  // a type no decoder sends (a newer one, or one meant for a decoder)
    Truncated,       // ends within a field, or before the fields every sender writes
    BadLength,       // a text longer than what is left, or than its limit
    BadValue,        // a value no sender writes (a time past midnight, a NaN...)
};
inline constexpr std::size_t kDropReasonCount = 7;

// How many datagrams were dropped, per reason.
class DropCounts {
public:
    void add(DropReason reason) { ++counts_[static_cast<std::size_t>(reason)]; }
    std::uint64_t operator[](DropReason reason) const {
        return counts_[static_cast<std::size_t>(reason)];
    }
    std::uint64_t total() const;

private:
    std::array<std::uint64_t, kDropReasonCount> counts_{};
};

// The message of one datagram, or none (and the reason counted in `drops`).
// Bytes after the last field known here are ignored, as the protocol asks.
std::optional<Datagram> decodeDatagram(std::string_view bytes, DropCounts& drops);

// Messages a logbook sends to a decoder.

// Ask the decoder to act as if the operator double-clicked a decode (it then
// calls that station); it must repeat the decode exactly.
struct Reply {
    std::uint32_t time = kInvalidTime;
    std::int32_t snr = 0;
    double deltaTime = 0;
    std::uint32_t deltaFrequency = 0;
    std::string mode;
    std::string message;
    bool lowConfidence = false;
    std::uint8_t modifiers = 0;  // keyboard modifiers held: 0x02 Shift, 0x04 Ctrl, 0x08 Alt...
};
Reply replyTo(const Decode& decode, std::uint8_t modifiers = 0);

// Stop transmitting now, or only stop the automatic transmissions.
struct HaltTx {
    bool autoTxOnly = false;
};

// Colour a callsign wherever the band activity shows it; two invalid colours
// take a highlight away.
struct HighlightCallsign {
    std::string callsign;
    Colour background;
    Colour foreground;
    bool highlightLast = false;  // only in the last period
};

// The decoder instance a datagram goes to: its id and the schema to write.
struct Addressee {
    std::string_view id;
    std::uint32_t schema = kLowestSchema;
};

// The schema to speak with a decoder whose Heartbeat gives `peerMaxSchema`:
// the highest both know, so that the decoder moves to it too.
std::uint32_t negotiatedSchema(std::uint32_t peerMaxSchema);

std::string encodeDatagram(const Heartbeat& message, const Addressee& to);
std::string encodeDatagram(const Reply& message, const Addressee& to);
std::string encodeDatagram(const HaltTx& message, const Addressee& to);
std::string encodeDatagram(const HighlightCallsign& message, const Addressee& to);

}  // namespace dxcc::digital
