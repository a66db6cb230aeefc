#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "core/base/dates.h"

// The few Qt QDataStream encodings that WSJT-X's UDP datagrams use (stream
// versions Qt 5.2 and 5.4, which agree on all of them), written by hand over
// plain bytes: big-endian integers, IEEE doubles, byte arrays with a quint32
// length (0xffffffff for a null one), QTime, QDateTime and QColor.
namespace dxcc::digital {

inline constexpr std::uint32_t kNullLength = 0xffffffff;
// A QTime that holds no time (QTime()): milliseconds since midnight otherwise.
inline constexpr std::uint32_t kInvalidTime = 0xffffffff;
inline constexpr std::uint32_t kMillisecondsPerDay = 86'400'000;
// QDate() on the wire: the smallest qint64 as its Julian day.
inline constexpr std::int64_t kNullJulianDay = std::numeric_limits<std::int64_t>::min();

// How a QDateTime tells its clock values apart (Qt::TimeSpec).
enum class TimeSpec : std::uint8_t { Local = 0, Utc = 1, OffsetFromUtc = 2, TimeZone = 3 };

// A QDateTime as sent: the day, the time of day and what they are relative to.
struct DateTime {
    std::int64_t julianDay = kNullJulianDay;
    std::uint32_t msecsSinceMidnight = kInvalidTime;
    TimeSpec spec = TimeSpec::Local;
    std::int32_t offsetSeconds = 0;  // ahead of UTC, for OffsetFromUtc (and fixed-offset zones)
    std::string zoneId;              // TimeZone: the zone's id ("Europe/Paris")

    bool operator==(const DateTime&) const = default;
};

// The Julian days that years 1 to 9999 cover: a date outside is not a date a
// decoder can mean.
inline constexpr std::int64_t kFirstJulianDay = 1'721'426;  // 0001-01-01
inline constexpr std::int64_t kLastJulianDay = 5'373'484;   // 9999-12-31

// The Julian day of a date of the proleptic Gregorian calendar, as QDate
// counts it.
std::int64_t julianDayOf(const CivilDate& date);
// None outside years 1 to 9999 (and for the null day).
std::optional<CivilDate> civilDateOf(std::int64_t julianDay);

// A QColor as QDataStream writes it from version Qt 4.0 on: spec, then alpha,
// red, green, blue and a pad, each 16 bits. An invalid colour (spec 0) is what
// clears a highlight.
struct Colour {
    bool valid = false;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;

    static Colour rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {true, r, g, b}; }
    static Colour none() { return {}; }
    bool operator==(const Colour&) const = default;
};

// Why the data of a datagram cannot be read.
enum class StreamFault {
    None,
    Truncated,  // a field cut short by the end of the data
    BadLength,  // a length beyond what is left of the data, or beyond a field's limit
    BadValue,   // a value no sender writes: a time past midnight, an unknown time spec...
};

// Reads one datagram's fields in order, never past its end. At the very end of
// the data a read takes nothing and the field is absent: a sender may leave
// out the fields that later versions of the protocol added at the end. Once
// the end is reached or a fault found, every further read takes nothing, so a
// message reads its fields in a row and asks afterwards how far it got.
class StreamReader {
public:
    explicit StreamReader(std::string_view data) : data_(data) {}

    // Each returns whether the field was there and sound; on false the target
    // keeps its value.
    bool readU8(std::uint8_t& value);
    bool readBool(bool& value);  // any byte but 0 is true, as QDataStream reads it
    bool readU32(std::uint32_t& value);
    bool readI32(std::int32_t& value);
    bool readU64(std::uint64_t& value);
    bool readI64(std::int64_t& value);
    bool readDouble(double& value);  // finite values only
    // A QByteArray holding UTF-8, at most `maxBytes`; a null one reads as empty.
    bool readText(std::string& value, std::size_t maxBytes);
    bool readTime(std::uint32_t& msecsSinceMidnight);  // kInvalidTime or within the day
    bool readDateTime(DateTime& value);

    // Fields read whole so far (a QDateTime counts as one).
    int fieldsRead() const { return fields_; }
    StreamFault fault() const { return fault_; }
    std::size_t remaining() const { return data_.size() - at_; }

private:
    // Whether a field can start here; at the end of the data the reader stops.
    bool startField();
    bool endField(bool read);
    bool fail(StreamFault fault);
    // The parts of a field: the data may not end within one.
    std::optional<std::uint64_t> bigEndian(std::size_t bytes);
    bool rawText(std::string& value, std::size_t maxBytes);
    bool rawTime(std::uint32_t& msecsSinceMidnight);
    bool rawQString(std::string& utf8);  // UTF-16BE, inside a time zone
    bool rawTimeZone(DateTime& value);

    std::string_view data_;
    std::size_t at_ = 0;
    int fields_ = 0;
    bool ended_ = false;
    StreamFault fault_ = StreamFault::None;
};

// Appends QDataStream encodings to a datagram being built.
class StreamWriter {
public:
    void writeU8(std::uint8_t value);
    void writeBool(bool value) { writeU8(value ? 1 : 0); }
    void writeU16(std::uint16_t value);
    void writeU32(std::uint32_t value);
    void writeI32(std::int32_t value) { writeU32(static_cast<std::uint32_t>(value)); }
    void writeU64(std::uint64_t value);
    void writeDouble(double value);
    void writeText(std::string_view utf8);  // never null: an empty text has length 0
    void writeTime(std::uint32_t msecsSinceMidnight) { writeU32(msecsSinceMidnight); }
    void writeColour(const Colour& colour);

    const std::string& bytes() const { return bytes_; }
    std::string take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

}  // namespace dxcc::digital
