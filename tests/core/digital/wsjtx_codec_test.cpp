// The datagrams of WSJT-X and JTDX: recorded ones, ones written by hand from the
// protocol, hostile ones, and those a logbook sends, byte for byte.
#include "core/digital/wsjtx_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace dxcc::digital {
namespace {

// Bytes written by hand from the protocol, independently of the encoder.
std::string hex(std::string_view digits) {
    std::string out;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        out += static_cast<char>(std::stoi(std::string(digits.substr(i, 2)), nullptr, 16));
    return out;
}
std::string be(std::uint64_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}
std::string u8(std::uint8_t v) {
    return be(v, 1);
}
std::string u32(std::uint32_t v) {
    return be(v, 4);
}
std::string u64(std::uint64_t v) {
    return be(v, 8);
}
std::string utf8(std::string_view s) {
    return u32(static_cast<std::uint32_t>(s.size())) + std::string(s);
}
const std::string kNull = u32(0xffffffff);
std::string header(std::uint32_t type, std::uint32_t schema = 2, std::string_view id = "WSJT-X") {
    return u32(0xadbccbda) + u32(schema) + u32(type) + utf8(id);
}
// 2026-12-08 and 11:37:30.778, as WSJT-X sent them in a recorded QSO Logged.
const std::string kDay = u64(2461383);
const std::string kTime = u32(41850778);

DateTime at(std::int64_t julianDay, std::uint32_t msecs, TimeSpec spec, std::int32_t offset = 0,
            std::string zone = "") {
    return DateTime{julianDay, msecs, spec, offset, std::move(zone)};
}

std::optional<Datagram> decode(const std::string& bytes, DropCounts& drops) {
    return decodeDatagram(bytes, drops);
}

template <typename T>
T decodeAs(const std::string& bytes, std::uint32_t schema = 2) {
    DropCounts drops;
    const auto d = decode(bytes, drops);
    EXPECT_TRUE(d.has_value()) << "dropped";
    EXPECT_EQ(drops.total(), 0u);
    if (!d) return T{};
    EXPECT_EQ(d->schema, schema);
    EXPECT_TRUE(std::holds_alternative<T>(d->message));
    return std::holds_alternative<T>(d->message) ? std::get<T>(d->message) : T{};
}

// Datagrams recorded from the running WSJT-X 2.6.1 and JTDX 2.2.159.
TEST(WsjtxCodec, ReadsRecordedHeartbeatsClearsAndCloses) {
    DropCounts drops;
    const auto wsjtx = decode(
        hex("adbccbda00000002000000000000000657534a542d580000000300000005322e362e3100000000"),
        drops);
    ASSERT_TRUE(wsjtx);
    EXPECT_EQ(wsjtx->id, "WSJT-X");
    EXPECT_EQ(std::get<Heartbeat>(wsjtx->message), (Heartbeat{3, "2.6.1", ""}));

    // JTDX leaves the revision out.
    const auto jtdx = decode(
        hex("adbccbda0000000200000000000000044a5444580000000300000007322e322e313539"), drops);
    ASSERT_TRUE(jtdx);
    EXPECT_EQ(jtdx->id, "JTDX");
    EXPECT_EQ(std::get<Heartbeat>(jtdx->message), (Heartbeat{3, "2.2.159", ""}));

    const auto clear = decode(hex("adbccbda0000000200000003000000044a544458"), drops);
    ASSERT_TRUE(clear);
    EXPECT_TRUE(std::holds_alternative<Clear>(clear->message));
    const auto close = decode(hex("adbccbda00000002000000060000000657534a542d58"), drops);
    ASSERT_TRUE(close);
    EXPECT_TRUE(std::holds_alternative<Close>(close->message));
    EXPECT_EQ(drops.total(), 0u);
}

TEST(WsjtxCodec, ReadsRecordedDecodes) {
    const auto live = decodeAs<Decode>(
        hex("adbccbda00000002000000020000000657534a542d5801027e59f8fffffff63fb99999a00000000000"
            "05dc000000017e0000000d4351204541385a5a20494c31380000"));
    EXPECT_TRUE(live.isNew);
    EXPECT_EQ(live.time, ((11 * 60 + 37) * 60 + 15) * 1000u);
    EXPECT_EQ(live.snr, -10);
    EXPECT_NEAR(live.deltaTime, 0.1, 1e-6);
    EXPECT_EQ(live.deltaFrequency, 1500u);
    EXPECT_EQ(live.mode, "~");
    EXPECT_EQ(live.message, "CQ EA8ZZ IL18");
    EXPECT_FALSE(live.lowConfidence);
    EXPECT_FALSE(live.offAir);

    // JTDX, replayed from a recording (new false, off air true).
    const auto replayed = decodeAs<Decode>(
        hex("adbccbda0000000200000002000000044a5444580002b80798fffffffa00000000000000000000"
            "02bd000000017e0000000e5731545354204b395a5a202d30370001"));
    EXPECT_FALSE(replayed.isNew);
    EXPECT_EQ(replayed.snr, -6);
    EXPECT_EQ(replayed.deltaFrequency, 701u);
    EXPECT_EQ(replayed.message, "W1TST K9ZZ -07");
    EXPECT_TRUE(replayed.offAir);
}

TEST(WsjtxCodec, ReadsRecordedStatusWholeAndJtdxShort) {
    const auto wsjtx = decodeAs<Status>(
        hex("adbccbda00000002000000010000000657534a542d580000000000d6c0900000000346543800000005"
            "4541385a5a000000032d313500000003465438000000000005dc000005dc0000000557315453540000"
            "0004464e3432ffffffff00ffffffff0000ffffffffffffffff0000000744656661756c74ffffffff"));
    EXPECT_EQ(wsjtx.dialFrequencyHz, 14'074'000u);
    EXPECT_EQ(wsjtx.mode, "FT8");
    EXPECT_EQ(wsjtx.dxCall, "EA8ZZ");
    EXPECT_EQ(wsjtx.report, "-15");
    EXPECT_EQ(wsjtx.deCall, "W1TST");
    EXPECT_EQ(wsjtx.deGrid, "FN42");
    EXPECT_EQ(wsjtx.dxGrid, "");  // null
    EXPECT_EQ(wsjtx.frequencyTolerance, kNotApplicable);
    EXPECT_EQ(wsjtx.configurationName, "Default");

    // JTDX stops after the special operation mode.
    const auto jtdx = decodeAs<Status>(
        hex("adbccbda0000000200000001000000044a5444580000000000d6c09000000003465438000000044b39"
            "5a5a000000032d313500000003465438000001000005dc000005dc00000005573154535400000004464e"
            "34320000000000ffffffff0000"));
    EXPECT_EQ(jtdx.dialFrequencyHz, 14'074'000u);
    EXPECT_EQ(jtdx.dxCall, "K9ZZ");
    EXPECT_TRUE(jtdx.decoding);
    EXPECT_EQ(jtdx.rxDf, 1500u);
    EXPECT_EQ(jtdx.specialOperationMode, 0);
    EXPECT_EQ(jtdx.frequencyTolerance, kNotApplicable);
    EXPECT_EQ(jtdx.trPeriod, kNotApplicable);
    EXPECT_EQ(jtdx.configurationName, "");
}

TEST(WsjtxCodec, ReadsRecordedQsoLoggedOfBothPrograms) {
    const auto wsjtx = decodeAs<QsoLogged>(
        hex("adbccbda00000002000000050000000657534a542d580000000000258ec7027dcafa01000000055650"
            "384c5000000004474431380000000000d6c7c900000003465438000000032d3134000000032d303900"
            "0000000000000873656c66746573740000000946616c6b6c616e64730000000000258ec7027dcafa01"
            "0000000000000005573154535400000004464e34320000000000000000ffffffff"));
    EXPECT_EQ(wsjtx.dxCall, "VP8LP");
    EXPECT_EQ(wsjtx.dxGrid, "GD18");
    EXPECT_EQ(wsjtx.txFrequencyHz, 14'075'849u);
    EXPECT_EQ(wsjtx.reportSent, "-14");
    EXPECT_EQ(wsjtx.reportReceived, "-09");
    EXPECT_EQ(wsjtx.comments, "selftest");
    EXPECT_EQ(wsjtx.name, "Falklands");
    EXPECT_EQ(wsjtx.timeOn.spec, TimeSpec::Utc);
    EXPECT_EQ(civilDateOf(wsjtx.timeOn.julianDay), (CivilDate{2026, 12, 8}));
    EXPECT_EQ(wsjtx.timeOn.msecsSinceMidnight, ((11 * 60 + 36) * 60 + 38) * 1000u + 394);
    EXPECT_EQ(wsjtx.myCall, "W1TST");
    EXPECT_EQ(wsjtx.propagationMode, "");

    // JTDX: marked local time (holding UTC), no exchange or propagation fields.
    const auto jtdx = decodeAs<QsoLogged>(
        hex("adbccbda0000000200000005000000044a5444580000000000258c0600ad333800000000064a413158"
            "595a00000004504d393500000000006bf6ac00000003465438000000032d3038000000032d31320000"
            "000000000000000000000000000000258c0600a888880000000005573154535400000005573154535400"
            "000004464e3432"));
    EXPECT_EQ(jtdx.dxCall, "JA1XYZ");
    EXPECT_EQ(jtdx.timeOn.spec, TimeSpec::Local);
    EXPECT_EQ(civilDateOf(jtdx.timeOn.julianDay), (CivilDate{2025, 1, 2}));
    EXPECT_EQ(jtdx.timeOn.msecsSinceMidnight, (3 * 3600 + 4 * 60 + 5) * 1000u);
    EXPECT_EQ(jtdx.operatorCall, "W1TST");
    EXPECT_EQ(jtdx.myGrid, "FN42");
    EXPECT_EQ(jtdx.exchangeSent, "");
}

TEST(WsjtxCodec, ReadsRecordedLoggedAdif) {
    const auto adif = decodeAs<LoggedAdif>(
        hex("adbccbda000000020000000c000000044a5444580000011e0a3c616469665f7665723a353e332e312e"
            "300a3c70726f6772616d69643a343e4a5444580a3c454f483e0a3c42414e443a333e32306d203c5354"
            "4154494f4e5f43414c4c5349474e3a353e5731545354203c4d595f475249445351554152453a343e46"
            "4e3432203c43414c4c3a353e4541385a5a203c465245513a393e31342e303735353030203c4d4f4445"
            "3a333e465438203c51534f5f444154453a383e3230323631323038203c54494d455f4f4e3a363e3132"
            "34303537203c51534f5f444154455f4f46463a383e3230323631323038203c54494d455f4f46463a36"
            "3e313234313136203c5253545f53454e543a333e2d3130203c5253545f524356443a333e2d3034203c"
            "475249445351554152453a343e494c3138203c454f523e"));
    EXPECT_EQ(adif.adif.size(), 0x11eu);
    EXPECT_EQ(adif.adif.substr(0, 19), "\n<adif_ver:5>3.1.0\n");
    EXPECT_NE(adif.adif.find("<CALL:5>EA8ZZ"), std::string::npos);
    EXPECT_EQ(adif.adif.substr(adif.adif.size() - 5), "<EOR>");
}

// Every type a decoder sends, written from the protocol, in both schemas.
TEST(WsjtxCodec, ReadsEveryTypeInBothSchemas) {
    for (std::uint32_t schema : {2u, 3u}) {
        SCOPED_TRACE(schema);
        EXPECT_EQ(decodeAs<Heartbeat>(header(0, schema) + u32(3) + utf8("2.7.0") + utf8("abc123"),
                                      schema),
                  (Heartbeat{3, "2.7.0", "abc123"}));
        // Without its maximum schema, a Heartbeat means schema 2.
        EXPECT_EQ(decodeAs<Heartbeat>(header(0, schema), schema).maxSchema, 2u);

        const Status status = decodeAs<Status>(
            header(1, schema) + u64(7'074'000) + utf8("FT4") + utf8("K1ABC") + utf8("+05") +
                utf8("FT4") + u8(1) + u8(1) + u8(0) + u32(900) + u32(1100) + utf8("F5XYZ") +
                utf8("JN18") + utf8("FN42") + u8(1) + kNull + u8(0) + u8(5) + u32(20) + u32(15) +
                utf8("Contest") + utf8("K1ABC F5XYZ R-05"),
            schema);
        EXPECT_EQ(
            status,
            (Status{7'074'000, "FT4", "K1ABC", "+05",   "FT4",  true,      true,
                    false,     900,   1100,    "F5XYZ", "JN18", "FN42",    true,
                    "",        false, 5,       20,      15,     "Contest", "K1ABC F5XYZ R-05"}));

        EXPECT_EQ(decodeAs<Decode>(header(2, schema) + u8(1) + u32(45'000) + u32(-21) +
                                       u64(0xbfe0000000000000) + u32(2500) + utf8("+") +
                                       utf8("CQ DX VP8LP GD18") + u8(1) + u8(0),
                                   schema),
                  (Decode{true, 45'000, -21, -0.5, 2500, "+", "CQ DX VP8LP GD18", true, false}));

        EXPECT_EQ(decodeAs<Clear>(header(3, schema), schema), Clear{});

        const QsoLogged logged = decodeAs<QsoLogged>(
            header(5, schema) + kDay + kTime + u8(1) + utf8("EA8ZZ") + utf8("IL18") +
                u64(14'075'500) + utf8("FT8") + utf8("-10") + utf8("-04") + utf8("100") +
                utf8("tnx") + utf8("Juan") + kDay + u32(41'800'000) + u8(1) + utf8("") +
                utf8("F5XYZ") + utf8("JN18") + utf8("") + utf8("") + utf8("SAT"),
            schema);
        EXPECT_EQ(logged.timeOff, at(2461383, 41850778, TimeSpec::Utc));
        EXPECT_EQ(logged.timeOn, at(2461383, 41'800'000, TimeSpec::Utc));
        EXPECT_EQ(logged.txPower, "100");
        EXPECT_EQ(logged.name, "Juan");
        EXPECT_EQ(logged.propagationMode, "SAT");

        EXPECT_EQ(decodeAs<Close>(header(6, schema), schema), Close{});

        EXPECT_EQ(
            decodeAs<WsprDecode>(header(10, schema) + u8(0) + u32(120'000) + u32(-27) +
                                     u64(0x3ff0000000000000) + u64(14'097'050) + u32(-1) +
                                     utf8("G4ABC") + utf8("IO91") + u32(37) + u8(1),
                                 schema),
            (WsprDecode{false, 120'000, -27, 1.0, 14'097'050, -1, "G4ABC", "IO91", 37, true}));

        EXPECT_EQ(
            decodeAs<LoggedAdif>(header(12, schema) + utf8("<call:5>EA8ZZ <eor>"), schema).adif,
            "<call:5>EA8ZZ <eor>");
    }
}

TEST(WsjtxCodec, NullAndEmptyTextsBothReadEmpty) {
    const Decode d = decodeAs<Decode>(header(2, 2, "") + u8(1) + kNull + u32(0) + u64(0) + u32(0) +
                                      kNull + utf8("") + u8(0) + u8(0));
    EXPECT_EQ(d.time, kInvalidTime);
    EXPECT_EQ(d.mode, "");
    EXPECT_EQ(d.message, "");
    DropCounts drops;
    EXPECT_EQ(decode(header(6, 2, ""), drops)->id, "");
    const auto nullId = decode(u32(0xadbccbda) + u32(2) + u32(6) + kNull, drops);
    ASSERT_TRUE(nullId);
    EXPECT_EQ(nullId->id, "");
}

TEST(WsjtxCodec, ReadsEachTimeSpecOfADateTime) {
    const std::string before = header(5, 3);
    const std::string after = utf8("K1ABC") + utf8("FN42") + u64(14'074'000) + utf8("FT8") +
                              utf8("-01") + utf8("-02") + utf8("") + utf8("") + utf8("") + kDay +
                              kTime + u8(1);
    struct Case {
        const char* name;
        std::string bytes;
        DateTime expected;
    };
    const Case cases[] = {
        {"local", kDay + kTime + u8(0), at(2461383, 41850778, TimeSpec::Local)},
        {"UTC", kDay + kTime + u8(1), at(2461383, 41850778, TimeSpec::Utc)},
        {"offset", kDay + kTime + u8(2) + u32(-5 * 3600),
         at(2461383, 41850778, TimeSpec::OffsetFromUtc, -5 * 3600)},
        // QTimeZone: its IANA id as a QString (UTF-16, big-endian).
        {"time zone",
         kDay + kTime + u8(3) + u32(24) + hex("004500750072006f00700065002f00500061007200690073"),
         at(2461383, 41850778, TimeSpec::TimeZone, 0, "Europe/Paris")},
        // A zone of a fixed offset: "OffsetFromUtc", its id, the offset, name,
        // abbreviation, territory and comment.
        {"fixed-offset zone",
         kDay + kTime + u8(3) + u32(26) +
             hex("004f0066006600730065007400460072006f006d005500740063") + u32(18) +
             hex("005500540043002b00300033003a00300030") + u32(3 * 3600) + kNull + kNull + u32(0) +
             kNull,
         at(2461383, 41850778, TimeSpec::TimeZone, 3 * 3600, "UTC+03:00")},
        {"null date and time", u64(0x8000000000000000) + kNull + u8(1),
         at(kNullJulianDay, kInvalidTime, TimeSpec::Utc)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QsoLogged logged = decodeAs<QsoLogged>(before + c.bytes + after, 3);
        EXPECT_EQ(logged.timeOff, c.expected);
        EXPECT_EQ(logged.dxCall, "K1ABC");  // the fields after it are read in step
        EXPECT_EQ(logged.timeOn.spec, TimeSpec::Utc);
    }
}

TEST(WsjtxCodec, IgnoresBytesAfterTheKnownFields) {
    // Newer WSJT-X appends fields to the QSO Logged; anyone may append to any type.
    const Decode d =
        decodeAs<Decode>(header(2) + u8(1) + u32(0) + u32(0) + u64(0) + u32(0) + utf8("~") +
                         utf8("CQ K1ABC FN42") + u8(0) + u8(0) + utf8("satellite") + u32(7));
    EXPECT_EQ(d.message, "CQ K1ABC FN42");
    EXPECT_EQ(decodeAs<Clear>(header(3) + u8(2)), Clear{});  // a Clear's window byte
}

// Hostile or broken datagrams: dropped, counted by reason, nothing else.
TEST(WsjtxCodec, DropsWhatCannotBeReadWholeAndCountsWhy) {
    const std::string decodeHead = header(2) + u8(1) + u32(0) + u32(0) + u64(0) + u32(0);
    struct Case {
        const char* name;
        std::string bytes;
        DropReason reason;
    };
    const Case cases[] = {
        {"empty", "", DropReason::Truncated},
        {"shorter than the magic", hex("adbccb"), DropReason::Truncated},
        {"wrong magic", u32(0xdacbbcad) + u32(2) + u32(0) + utf8("X"), DropReason::WrongMagic},
        {"no schema", u32(0xadbccbda), DropReason::Truncated},
        {"schema 1", header(0, 1), DropReason::UnknownSchema},
        {"schema 4", header(0, 4), DropReason::UnknownSchema},
        {"huge schema", header(0, 0xffffffff), DropReason::UnknownSchema},
        {"no type", u32(0xadbccbda) + u32(2), DropReason::Truncated},
        {"unknown type", header(99), DropReason::UnexpectedType},
        {"a Reply, meant for a decoder", header(4), DropReason::UnexpectedType},
        {"a Highlight, meant for a decoder", header(13), DropReason::UnexpectedType},
        {"no id", u32(0xadbccbda) + u32(2) + u32(6), DropReason::Truncated},
        {"id longer than what is left", u32(0xadbccbda) + u32(2) + u32(6) + u32(10) + "WSJT",
         DropReason::BadLength},
        {"id of 4 GiB less one", u32(0xadbccbda) + u32(2) + u32(6) + u32(0xfffffffe),
         DropReason::BadLength},
        {"id beyond its limit", header(6, 2, std::string(257, 'W')), DropReason::BadLength},
        {"message length beyond the datagram", decodeHead + utf8("~") + u32(0x7fffffff) + "CQ",
         DropReason::BadLength},
        {"cut within a field", decodeHead + utf8("~") + hex("000000"), DropReason::Truncated},
        {"cut within a text", decodeHead + utf8("~") + u32(13) + "CQ K1A", DropReason::BadLength},
        {"Decode without its message", decodeHead + utf8("~"), DropReason::Truncated},
        {"Status without its mode", header(1) + u64(14'074'000), DropReason::Truncated},
        {"LoggedADIF without its text", header(12), DropReason::Truncated},
        {"time past midnight",
         header(2) + u8(1) + u32(86'400'000) + u32(0) + u64(0) + u32(0) + utf8("~") + utf8("CQ"),
         DropReason::BadValue},
        {"NaN time offset",
         header(2) + u8(1) + u32(0) + u32(0) + u64(0x7ff8000000000000) + u32(0) + utf8("~") +
             utf8("CQ"),
         DropReason::BadValue},
        {"infinite time offset",
         header(2) + u8(1) + u32(0) + u32(0) + u64(0x7ff0000000000000) + u32(0) + utf8("~") +
             utf8("CQ"),
         DropReason::BadValue},
        {"unknown time spec", header(5) + kDay + kTime + u8(4), DropReason::BadValue},
        {"date beyond year 9999", header(5) + u64(5'373'485) + kTime + u8(1), DropReason::BadValue},
        {"negative Julian day", header(5) + u64(-1) + kTime + u8(1), DropReason::BadValue},
        {"date-time cut after its time", header(5) + kDay + kTime, DropReason::Truncated},
        {"offset cut short", header(5) + kDay + kTime + u8(2) + hex("0000"), DropReason::Truncated},
        {"zone name of odd length", header(5) + kDay + kTime + u8(3) + u32(3) + "abc",
         DropReason::BadValue},
        {"zone name beyond its limit",
         header(5) + kDay + kTime + u8(3) + u32(1000) + std::string(1000, 'a'),
         DropReason::BadLength},
        {"longer than any datagram", header(12) + utf8(std::string(65'600, 'x')),
         DropReason::TooLong},
    };
    DropCounts total;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DropCounts drops;
        EXPECT_FALSE(decode(c.bytes, drops).has_value());
        EXPECT_EQ(drops[c.reason], 1u);
        EXPECT_EQ(drops.total(), 1u);
        decode(c.bytes, total);
    }
    EXPECT_EQ(total.total(), std::size(cases));
    EXPECT_EQ(total[DropReason::UnknownSchema], 3u);
}

TEST(WsjtxCodec, ALengthIsNeverTrustedBeyondTheData) {
    // Every prefix of a sound datagram is dropped or read, never read past its end.
    const std::string whole = header(5) + kDay + kTime + u8(3) + u32(24) +
                              hex("004500750072006f00700065002f00500061007200690073") +
                              utf8("EA8ZZ") + utf8("IL18") + u64(1) + utf8("FT8") + utf8("") +
                              utf8("") + utf8("") + utf8("") + utf8("") + kDay + kTime + u8(1);
    DropCounts drops;
    ASSERT_TRUE(decode(whole, drops));
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const std::string prefix = whole.substr(0, size);
        EXPECT_FALSE(decode(prefix, drops)) << size;
    }
    EXPECT_EQ(drops.total(), whole.size());
}

TEST(WsjtxCodec, WritesTheMessagesOfALogbookByteForByte) {
    EXPECT_EQ(
        encodeDatagram(Heartbeat{3, "1.0.4", ""}, {"WSJT-X", 3}),
        hex("adbccbda00000003000000000000000657534a542d580000000300000005312e302e3400000000"));

    // A Reply repeats the recorded decode it answers.
    const std::string recorded =
        hex("adbccbda00000002000000020000000657534a542d5801027e59f8fffffff63fb99999a0000000000005dc"
            "000000017e0000000d4351204541385a5a20494c31380000");
    DropCounts drops;
    const auto decoded = decode(recorded, drops);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(encodeDatagram(replyTo(std::get<Decode>(decoded->message)), {decoded->id, 2}),
              hex("adbccbda00000002000000040000000657534a542d58027e59f8fffffff63fb99999a000000000"
                  "0005dc000000017e0000000d4351204541385a5a20494c31380000"));
    Reply withShift = replyTo(std::get<Decode>(decoded->message), 0x02);
    EXPECT_EQ(encodeDatagram(withShift, {"WSJT-X", 2}).back(), '\x02');

    EXPECT_EQ(encodeDatagram(HaltTx{true}, {"JTDX", 2}),
              hex("adbccbda0000000200000008000000044a54445801"));
    EXPECT_EQ(encodeDatagram(HaltTx{false}, {"JTDX", 3}),
              hex("adbccbda0000000300000008000000044a54445800"));
}

TEST(WsjtxCodec, WritesHighlightColoursAsQColor) {
    // Spec 1 (RGB), each component as 16 bits (0xff -> 0xffff), then a zero pad.
    EXPECT_EQ(encodeDatagram(HighlightCallsign{"EA8ZZ", Colour::rgb(255, 0, 0),
                                               Colour::rgb(255, 255, 255), false},
                             {"WSJT-X", 3}),
              hex("adbccbda000000030000000d0000000657534a542d58000000054541385a5a01ffffffff0000000"
                  "00000"
                  "01ffffffffffffffff000000"));
    EXPECT_EQ(encodeDatagram(HighlightCallsign{"K1ABC", Colour::rgb(0x12, 0x34, 0x56),
                                               Colour::rgb(0, 0, 0), true},
                             {"JTDX", 2}),
              header(13, 2, "JTDX") + utf8("K1ABC") +
                  hex("01ffff121234345656"
                      "0000") +
                  hex("01ffff000000000000"
                      "0000") +
                  u8(1));
    // The invalid colour, which takes the highlight away: spec 0, alpha 0xffff, the rest 0.
    EXPECT_EQ(encodeDatagram(HighlightCallsign{"EA8ZZ", Colour::none(), Colour::none(), false},
                             {"WSJT-X", 3}),
              hex("adbccbda000000030000000d0000000657534a542d58000000054541385a5a00ffff000000000000"
                  "000000ffff000000000000000000"));
}

TEST(WsjtxCodec, NegotiatesTheHighestSchemaBothKnow) {
    EXPECT_EQ(negotiatedSchema(3), 3u);
    EXPECT_EQ(negotiatedSchema(2), 2u);
    EXPECT_EQ(negotiatedSchema(7), 3u);  // a newer decoder
    EXPECT_EQ(negotiatedSchema(0), 2u);
}

TEST(WsjtxCodec, JulianDaysAreQtsDays) {
    EXPECT_EQ(julianDayOf({1970, 1, 1}), 2440588);
    EXPECT_EQ(julianDayOf({2000, 2, 29}), 2451604);
    EXPECT_EQ(julianDayOf({1, 1, 1}), kFirstJulianDay);
    EXPECT_EQ(julianDayOf({9999, 12, 31}), kLastJulianDay);
    for (std::int64_t day : {kFirstJulianDay, std::int64_t{2440588}, std::int64_t{2451604},
                             std::int64_t{2461383}, kLastJulianDay})
        EXPECT_EQ(julianDayOf(*civilDateOf(day)), day);
    EXPECT_FALSE(civilDateOf(kNullJulianDay));
    EXPECT_FALSE(civilDateOf(kFirstJulianDay - 1));
    EXPECT_FALSE(civilDateOf(std::numeric_limits<std::int64_t>::max()));
}

}  // namespace
}  // namespace dxcc::digital
