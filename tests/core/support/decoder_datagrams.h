#pragma once

#include <string>
#include <string_view>

#include "core/digital/wsjtx_codec.h"

// The datagrams a decoder (WSJT-X, JTDX) sends, built as it writes them, for
// the tests and the bench that play a decoder.
namespace testing_support {

namespace decoder_datagrams {

using dxcc::digital::StreamWriter;

inline StreamWriter headed(dxcc::digital::MessageType type, std::string_view id,
                           std::uint32_t schema = 2) {
    StreamWriter out;
    out.writeU32(dxcc::digital::kMagic);
    out.writeU32(schema);
    out.writeU32(static_cast<std::uint32_t>(type));
    out.writeText(id);
    return out;
}

inline void writeDateTime(StreamWriter& out, const dxcc::digital::DateTime& t) {
    out.writeU64(static_cast<std::uint64_t>(t.julianDay));
    out.writeTime(t.msecsSinceMidnight);
    out.writeU8(static_cast<std::uint8_t>(t.spec));
    if (t.spec == dxcc::digital::TimeSpec::OffsetFromUtc) out.writeI32(t.offsetSeconds);
}

inline std::string heartbeat(std::string_view id, std::uint32_t maxSchema = 3) {
    StreamWriter out = headed(dxcc::digital::MessageType::Heartbeat, id);
    out.writeU32(maxSchema);
    out.writeText("2.6.1");
    out.writeText("");
    return out.take();
}

// A Status as JTDX writes it: it ends after the special operation mode.
// `dxCall`: the station the operator is working.
inline std::string status(std::string_view id, std::uint64_t dialHz, std::string_view mode,
                          std::string_view dxCall = {}) {
    StreamWriter out = headed(dxcc::digital::MessageType::Status, id);
    out.writeU64(dialHz);
    for (std::string_view text : {mode, dxCall, std::string_view(), mode}) out.writeText(text);
    for (bool b : {false, false, false}) out.writeBool(b);
    out.writeU32(1500);
    out.writeU32(1500);
    for (std::string_view text : {"F6XYZ", "JN18", ""}) out.writeText(text);
    out.writeBool(false);
    out.writeText("");
    out.writeBool(false);
    out.writeU8(0);
    return out.take();
}

inline std::string decode(std::string_view id, std::uint32_t msecs, std::int32_t snr,
                          std::string_view message, std::string_view symbol = "~") {
    StreamWriter out = headed(dxcc::digital::MessageType::Decode, id);
    out.writeBool(true);
    out.writeTime(msecs);
    out.writeI32(snr);
    out.writeDouble(0.2);
    out.writeU32(1200);
    out.writeText(symbol);
    out.writeText(message);
    out.writeBool(false);
    out.writeBool(false);
    return out.take();
}

// A QSO Logged as JTDX writes it: ends after my grid.
inline std::string qsoLogged(std::string_view id, const dxcc::digital::QsoLogged& q) {
    StreamWriter out = headed(dxcc::digital::MessageType::QsoLogged, id);
    writeDateTime(out, q.timeOff);
    out.writeText(q.dxCall);
    out.writeText(q.dxGrid);
    out.writeU64(q.txFrequencyHz);
    for (const std::string* t :
         {&q.mode, &q.reportSent, &q.reportReceived, &q.txPower, &q.comments, &q.name})
        out.writeText(*t);
    writeDateTime(out, q.timeOn);
    for (const std::string* t : {&q.operatorCall, &q.myCall, &q.myGrid}) out.writeText(*t);
    return out.take();
}

inline std::string loggedAdif(std::string_view id, std::string_view adif) {
    StreamWriter out = headed(dxcc::digital::MessageType::LoggedAdif, id);
    out.writeText(adif);
    return out.take();
}

inline std::string close(std::string_view id) {
    return headed(dxcc::digital::MessageType::Close, id).take();
}

}  // namespace decoder_datagrams

}  // namespace testing_support
