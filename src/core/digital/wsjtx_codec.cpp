#include "core/digital/wsjtx_codec.h"

#include <algorithm>
#include <numeric>

namespace dxcc::digital {

namespace {

// Texts other than the id are bounded by the datagram itself.
constexpr std::size_t kAnyText = kMaxDatagramBytes;
// The header's fields: magic, schema, type and id.
constexpr int kHeaderFields = 4;

Message readHeartbeat(StreamReader& in) {
    Heartbeat m;
    in.readU32(m.maxSchema);
    in.readText(m.version, kAnyText);
    in.readText(m.revision, kAnyText);
    return m;
}

Message readStatus(StreamReader& in) {
    Status m;
    in.readU64(m.dialFrequencyHz);
    in.readText(m.mode, kAnyText);
    in.readText(m.dxCall, kAnyText);
    in.readText(m.report, kAnyText);
    in.readText(m.txMode, kAnyText);
    in.readBool(m.txEnabled);
    in.readBool(m.transmitting);
    in.readBool(m.decoding);
    in.readU32(m.rxDf);
    in.readU32(m.txDf);
    in.readText(m.deCall, kAnyText);
    in.readText(m.deGrid, kAnyText);
    in.readText(m.dxGrid, kAnyText);
    in.readBool(m.txWatchdog);
    in.readText(m.subMode, kAnyText);
    in.readBool(m.fastMode);
    in.readU8(m.specialOperationMode);
    in.readU32(m.frequencyTolerance);
    in.readU32(m.trPeriod);
    in.readText(m.configurationName, kAnyText);
    in.readText(m.txMessage, kAnyText);
    return m;
}

Message readDecode(StreamReader& in) {
    Decode m;
    in.readBool(m.isNew);
    in.readTime(m.time);
    in.readI32(m.snr);
    in.readDouble(m.deltaTime);
    in.readU32(m.deltaFrequency);
    in.readText(m.mode, kAnyText);
    in.readText(m.message, kAnyText);
    in.readBool(m.lowConfidence);
    in.readBool(m.offAir);
    return m;
}

// A decoder's Clear has no field; the window byte only goes the other way.
Message readClear(StreamReader&) {
    return Clear{};
}

Message readQsoLogged(StreamReader& in) {
    QsoLogged m;
    in.readDateTime(m.timeOff);
    in.readText(m.dxCall, kAnyText);
    in.readText(m.dxGrid, kAnyText);
    in.readU64(m.txFrequencyHz);
    in.readText(m.mode, kAnyText);
    in.readText(m.reportSent, kAnyText);
    in.readText(m.reportReceived, kAnyText);
    in.readText(m.txPower, kAnyText);
    in.readText(m.comments, kAnyText);
    in.readText(m.name, kAnyText);
    in.readDateTime(m.timeOn);
    in.readText(m.operatorCall, kAnyText);
    in.readText(m.myCall, kAnyText);
    in.readText(m.myGrid, kAnyText);
    in.readText(m.exchangeSent, kAnyText);
    in.readText(m.exchangeReceived, kAnyText);
    in.readText(m.propagationMode, kAnyText);
    return m;
}

Message readClose(StreamReader&) {
    return Close{};
}

Message readWsprDecode(StreamReader& in) {
    WsprDecode m;
    in.readBool(m.isNew);
    in.readTime(m.time);
    in.readI32(m.snr);
    in.readDouble(m.deltaTime);
    in.readU64(m.frequencyHz);
    in.readI32(m.drift);
    in.readText(m.callsign, kAnyText);
    in.readText(m.grid, kAnyText);
    in.readI32(m.powerDbm);
    in.readBool(m.offAir);
    return m;
}

Message readLoggedAdif(StreamReader& in) {
    LoggedAdif m;
    in.readText(m.adif, kAnyText);
    return m;
}

// Each type a decoder sends, with the number of its fields that every sender
// writes; the later ones may be left out. A Heartbeat without its maximum
// schema means schema 2; a Status needs its dial frequency and mode; a QSO
// Logged its fields up to the time on (JTDX stops at my grid).
struct MessageReader {
    MessageType type;
    Message (*read)(StreamReader&);
    int requiredFields;
};

constexpr MessageReader kReaders[] = {
    {MessageType::Heartbeat, readHeartbeat, 0},   {MessageType::Status, readStatus, 2},
    {MessageType::Decode, readDecode, 7},         {MessageType::Clear, readClear, 0},
    {MessageType::QsoLogged, readQsoLogged, 11},  {MessageType::Close, readClose, 0},
    {MessageType::WsprDecode, readWsprDecode, 9}, {MessageType::LoggedAdif, readLoggedAdif, 1},
};

const MessageReader* readerOf(std::uint32_t type) {
    for (const MessageReader& r : kReaders)
        if (static_cast<std::uint32_t>(r.type) == type) return &r;
    return nullptr;
}

DropReason reasonOf(const StreamReader& in) {
    switch (in.fault()) {
        case StreamFault::BadLength:
            return DropReason::BadLength;
        case StreamFault::BadValue:
            return DropReason::BadValue;
        case StreamFault::None:
        case StreamFault::Truncated:
            break;
    }
    return DropReason::Truncated;
}

void writeHeader(StreamWriter& out, MessageType type, const Addressee& to) {
    out.writeU32(kMagic);
    out.writeU32(to.schema);
    out.writeU32(static_cast<std::uint32_t>(type));
    out.writeText(to.id.substr(0, kMaxIdBytes));
}

}  // namespace

std::uint64_t DropCounts::total() const {
    return std::accumulate(counts_.begin(), counts_.end(), std::uint64_t{0});
}

std::optional<Datagram> decodeDatagram(std::string_view bytes, DropCounts& drops) {
    const auto drop = [&drops](DropReason reason) -> std::optional<Datagram> {
        drops.add(reason);
        return std::nullopt;
    };
    if (bytes.size() > kMaxDatagramBytes) return drop(DropReason::TooLong);
    StreamReader in(bytes);
    std::uint32_t magic = 0, type = 0;
    Datagram datagram;
    if (!in.readU32(magic)) return drop(DropReason::Truncated);
    if (magic != kMagic) return drop(DropReason::WrongMagic);
    if (!in.readU32(datagram.schema)) return drop(DropReason::Truncated);
    if (datagram.schema < kLowestSchema || datagram.schema > kHighestSchema)
        return drop(DropReason::UnknownSchema);
    if (!in.readU32(type)) return drop(DropReason::Truncated);
    const MessageReader* reader = readerOf(type);
    if (!reader) return drop(DropReason::UnexpectedType);
    if (!in.readText(datagram.id, kMaxIdBytes)) return drop(reasonOf(in));
    datagram.message = reader->read(in);
    if (in.fault() != StreamFault::None || in.fieldsRead() < kHeaderFields + reader->requiredFields)
        return drop(reasonOf(in));
    return datagram;
}

Reply replyTo(const Decode& decode, std::uint8_t modifiers) {
    return Reply{decode.time, decode.snr,     decode.deltaTime,     decode.deltaFrequency,
                 decode.mode, decode.message, decode.lowConfidence, modifiers};
}

std::uint32_t negotiatedSchema(std::uint32_t peerMaxSchema) {
    return std::clamp(peerMaxSchema, kLowestSchema, kHighestSchema);
}

std::string encodeDatagram(const Heartbeat& message, const Addressee& to) {
    StreamWriter out;
    writeHeader(out, MessageType::Heartbeat, to);
    out.writeU32(message.maxSchema);
    out.writeText(message.version);
    out.writeText(message.revision);
    return out.take();
}

std::string encodeDatagram(const Reply& message, const Addressee& to) {
    StreamWriter out;
    writeHeader(out, MessageType::Reply, to);
    out.writeTime(message.time);
    out.writeI32(message.snr);
    out.writeDouble(message.deltaTime);
    out.writeU32(message.deltaFrequency);
    out.writeText(message.mode);
    out.writeText(message.message);
    out.writeBool(message.lowConfidence);
    out.writeU8(message.modifiers);
    return out.take();
}

std::string encodeDatagram(const HaltTx& message, const Addressee& to) {
    StreamWriter out;
    writeHeader(out, MessageType::HaltTx, to);
    out.writeBool(message.autoTxOnly);
    return out.take();
}

std::string encodeDatagram(const HighlightCallsign& message, const Addressee& to) {
    StreamWriter out;
    writeHeader(out, MessageType::HighlightCallsign, to);
    out.writeText(message.callsign);
    out.writeColour(message.background);
    out.writeColour(message.foreground);
    out.writeBool(message.highlightLast);
    return out.take();
}

}  // namespace dxcc::digital
