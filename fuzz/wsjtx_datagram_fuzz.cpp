// Any bytes as a datagram from a digital-mode decoder: dropped and counted
// once, or read whole, never past its end. The input also goes behind a sound
// header of each type, so that the fuzzer reaches every message's fields.
// What is read holds to the limits, and a Heartbeat or a Decode written back
// reads the same.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "core/digital/ft8_message.h"
#include "core/digital/mode_symbols.h"
#include "core/digital/wsjtx_codec.h"
#include "fuzz_support.h"

namespace {

using namespace dxcc::digital;

std::string header(std::uint32_t type, std::uint32_t schema) {
    StreamWriter out;
    out.writeU32(kMagic);
    out.writeU32(schema);
    out.writeU32(type);
    out.writeText("WSJT-X");
    return out.take();
}

void checkDate(const DateTime& d) {
    FUZZ_CHECK(d.julianDay == kNullJulianDay || civilDateOf(d.julianDay).has_value());
    FUZZ_CHECK(d.msecsSinceMidnight == kInvalidTime || d.msecsSinceMidnight < kMillisecondsPerDay);
}

void checkDecode(const Datagram& datagram, const Decode& decode) {
    FUZZ_CHECK(decode.time == kInvalidTime || decode.time < kMillisecondsPerDay);
    modeOfSymbol(decode.mode);
    const MessageReading reading = readMessage(decode.message);
    FUZZ_CHECK(reading.transmitter.size() <= decode.message.size());
    // The Reply a logbook sends repeats the decode; its bytes read back as the same fields.
    const std::string reply = encodeDatagram(replyTo(decode), {datagram.id, datagram.schema});
    StreamReader in(reply);
    std::uint32_t magic = 0, schema = 0, type = 0, time = 0;
    std::string id, mode, message;
    in.readU32(magic);
    in.readU32(schema);
    in.readU32(type);
    in.readText(id, kMaxIdBytes);
    in.readTime(time);
    std::int32_t snr = 0;
    double dt = 0;
    std::uint32_t df = 0;
    in.readI32(snr);
    in.readDouble(dt);
    in.readU32(df);
    in.readText(mode, kMaxDatagramBytes);
    in.readText(message, kMaxDatagramBytes);
    FUZZ_CHECK(in.fault() == StreamFault::None);
    FUZZ_CHECK(magic == kMagic && schema == datagram.schema && type == 4 && id == datagram.id);
    FUZZ_CHECK(time == decode.time && snr == decode.snr && dt == decode.deltaTime);
    FUZZ_CHECK(df == decode.deltaFrequency && mode == decode.mode && message == decode.message);
    FUZZ_CHECK(in.remaining() == 2);
}

void check(std::string_view bytes) {
    DropCounts drops;
    const auto datagram = decodeDatagram(bytes, drops);
    FUZZ_CHECK(datagram.has_value() == (drops.total() == 0));
    FUZZ_CHECK(drops.total() <= 1);
    if (!datagram) return;
    FUZZ_CHECK(datagram->schema == 2 || datagram->schema == 3);
    FUZZ_CHECK(datagram->id.size() <= kMaxIdBytes && datagram->id.size() <= bytes.size());
    if (const auto* heartbeat = std::get_if<Heartbeat>(&datagram->message)) {
        DropCounts again;
        const auto read =
            decodeDatagram(encodeDatagram(*heartbeat, {datagram->id, datagram->schema}), again);
        FUZZ_CHECK(read && read->id == datagram->id && read->schema == datagram->schema);
        FUZZ_CHECK(std::get<Heartbeat>(read->message) == *heartbeat);
    } else if (const auto* decode = std::get_if<Decode>(&datagram->message)) {
        checkDecode(*datagram, *decode);
    } else if (const auto* logged = std::get_if<QsoLogged>(&datagram->message)) {
        checkDate(logged->timeOff);
        checkDate(logged->timeOn);
        FUZZ_CHECK(logged->comments.size() <= bytes.size());
    } else if (const auto* adif = std::get_if<LoggedAdif>(&datagram->message)) {
        FUZZ_CHECK(adif->adif.size() <= bytes.size());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    check(input);
    if (size < 2) return 0;
    const std::uint32_t type = data[0] % 14;
    const std::uint32_t schema = kLowestSchema + data[1] % 2;
    check(header(type, schema) + std::string(input.substr(2)));
    return 0;
}
