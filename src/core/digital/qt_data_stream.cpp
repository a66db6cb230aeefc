#include "core/digital/qt_data_stream.h"

#include <bit>
#include <cmath>

#include "core/base/text_conversion.h"

namespace dxcc::digital {

namespace {

// A time zone's name: QTimeZone writes its id and, for a zone of a fixed
// offset, a few descriptive texts, all short.
constexpr std::size_t kMaxZoneTextBytes = 256;

// The Julian day of 1 January 1970, day 0 of the program's day numbers.
constexpr std::int64_t kJulianDayOf1970 = 2'440'588;

// UTF-16 code units, big-endian, as UTF-8; a lone surrogate becomes U+FFFD.
std::string utf8FromUtf16BigEndian(std::string_view bytes) {
    std::string out;
    const auto unit = [&](std::size_t i) {
        return static_cast<char16_t>((static_cast<unsigned char>(bytes[2 * i]) << 8) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]));
    };
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t u = unit(i);
        const bool high = u >= 0xD800 && u <= 0xDBFF;
        const bool low = u >= 0xDC00 && u <= 0xDFFF;
        if (high && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else {
            appendUtf8(out, high || low ? U'\uFFFD' : char32_t(u));
        }
    }
    return out;
}

}  // namespace

std::int64_t julianDayOf(const CivilDate& date) {
    return dayNumber(date) + kJulianDayOf1970;
}

std::optional<CivilDate> civilDateOf(std::int64_t julianDay) {
    if (julianDay < kFirstJulianDay || julianDay > kLastJulianDay) return std::nullopt;
    return dateOfDay(julianDay - kJulianDayOf1970);
}

bool StreamReader::fail(StreamFault fault) {
    if (fault_ == StreamFault::None) fault_ = fault;
    return false;
}

bool StreamReader::startField() {
    if (ended_ || fault_ != StreamFault::None) return false;
    if (at_ == data_.size()) {
        ended_ = true;
        return false;
    }
    return true;
}

bool StreamReader::endField(bool read) {
    if (read) ++fields_;
    return read;
}

std::optional<std::uint64_t> StreamReader::bigEndian(std::size_t bytes) {
    if (fault_ != StreamFault::None) return std::nullopt;
    if (remaining() < bytes) {
        fail(StreamFault::Truncated);
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        value = (value << 8) | static_cast<unsigned char>(data_[at_ + i]);
    at_ += bytes;
    return value;
}

bool StreamReader::readU8(std::uint8_t& value) {
    if (!startField()) return false;
    const auto v = bigEndian(1);
    if (v) value = static_cast<std::uint8_t>(*v);
    return endField(v.has_value());
}

bool StreamReader::readBool(bool& value) {
    std::uint8_t byte = 0;
    if (!readU8(byte)) return false;
    value = byte != 0;
    return true;
}

bool StreamReader::readU32(std::uint32_t& value) {
    if (!startField()) return false;
    const auto v = bigEndian(4);
    if (v) value = static_cast<std::uint32_t>(*v);
    return endField(v.has_value());
}

bool StreamReader::readI32(std::int32_t& value) {
    std::uint32_t bits = 0;
    if (!readU32(bits)) return false;
    value = static_cast<std::int32_t>(bits);
    return true;
}

bool StreamReader::readU64(std::uint64_t& value) {
    if (!startField()) return false;
    const auto v = bigEndian(8);
    if (v) value = *v;
    return endField(v.has_value());
}

bool StreamReader::readI64(std::int64_t& value) {
    std::uint64_t bits = 0;
    if (!readU64(bits)) return false;
    value = static_cast<std::int64_t>(bits);
    return true;
}

bool StreamReader::readDouble(double& value) {
    if (!startField()) return false;
    const auto v = bigEndian(8);
    if (!v) return false;
    const double d = std::bit_cast<double>(*v);
    if (!std::isfinite(d)) return fail(StreamFault::BadValue);
    value = d;
    return endField(true);
}

bool StreamReader::rawText(std::string& value, std::size_t maxBytes) {
    const auto length = bigEndian(4);
    if (!length) return false;
    if (*length == kNullLength) {
        value.clear();
        return true;
    }
    if (*length > remaining() || *length > maxBytes) return fail(StreamFault::BadLength);
    value.assign(data_.substr(at_, *length));
    at_ += *length;
    return true;
}

bool StreamReader::readText(std::string& value, std::size_t maxBytes) {
    if (!startField()) return false;
    return endField(rawText(value, maxBytes));
}

bool StreamReader::rawTime(std::uint32_t& msecsSinceMidnight) {
    const auto v = bigEndian(4);
    if (!v) return false;
    if (*v != kInvalidTime && *v >= kMillisecondsPerDay) return fail(StreamFault::BadValue);
    msecsSinceMidnight = static_cast<std::uint32_t>(*v);
    return true;
}

bool StreamReader::readTime(std::uint32_t& msecsSinceMidnight) {
    if (!startField()) return false;
    return endField(rawTime(msecsSinceMidnight));
}

bool StreamReader::rawQString(std::string& utf8) {
    const auto length = bigEndian(4);
    if (!length) return false;
    if (*length == kNullLength) {
        utf8.clear();
        return true;
    }
    if (*length > remaining() || *length > kMaxZoneTextBytes) return fail(StreamFault::BadLength);
    if (*length % 2 != 0) return fail(StreamFault::BadValue);
    utf8 = utf8FromUtf16BigEndian(data_.substr(at_, *length));
    at_ += *length;
    return true;
}

// QTimeZone: its id as a QString; a zone of a fixed offset (id "OffsetFromUtc")
// follows with its own id, the offset, name, abbreviation, territory and
// comment; Qt 6 writes a bare offset as "AheadOfUtcBy" and the seconds.
bool StreamReader::rawTimeZone(DateTime& value) {
    std::string id;
    if (!rawQString(id)) return false;
    if (id == "AheadOfUtcBy") {
        const auto offset = bigEndian(4);
        if (!offset) return false;
        value.offsetSeconds = static_cast<std::int32_t>(static_cast<std::uint32_t>(*offset));
        value.zoneId.clear();
        return true;
    }
    if (id != "OffsetFromUtc") {
        value.zoneId = std::move(id);
        return true;
    }
    std::string zone, name, abbreviation, comment;
    if (!rawQString(zone)) return false;
    const auto offset = bigEndian(4);
    if (!offset || !rawQString(name) || !rawQString(abbreviation) || !bigEndian(4) ||
        !rawQString(comment))
        return false;
    value.zoneId = std::move(zone);
    value.offsetSeconds = static_cast<std::int32_t>(static_cast<std::uint32_t>(*offset));
    return true;
}

bool StreamReader::readDateTime(DateTime& value) {
    if (!startField()) return false;
    DateTime read;
    const auto day = bigEndian(8);
    if (!day || !rawTime(read.msecsSinceMidnight)) return false;
    read.julianDay = static_cast<std::int64_t>(*day);
    if (read.julianDay != kNullJulianDay &&
        (read.julianDay < kFirstJulianDay || read.julianDay > kLastJulianDay))
        return fail(StreamFault::BadValue);
    const auto spec = bigEndian(1);
    if (!spec) return false;
    if (*spec > static_cast<std::uint8_t>(TimeSpec::TimeZone)) return fail(StreamFault::BadValue);
    read.spec = static_cast<TimeSpec>(*spec);
    if (read.spec == TimeSpec::OffsetFromUtc) {
        const auto offset = bigEndian(4);
        if (!offset) return false;
        read.offsetSeconds = static_cast<std::int32_t>(static_cast<std::uint32_t>(*offset));
    } else if (read.spec == TimeSpec::TimeZone && !rawTimeZone(read)) {
        return false;
    }
    value = std::move(read);
    return endField(true);
}

void StreamWriter::writeU8(std::uint8_t value) {
    bytes_ += static_cast<char>(value);
}

void StreamWriter::writeU16(std::uint16_t value) {
    bytes_ += static_cast<char>(value >> 8);
    bytes_ += static_cast<char>(value & 0xFF);
}

void StreamWriter::writeU32(std::uint32_t value) {
    writeU16(static_cast<std::uint16_t>(value >> 16));
    writeU16(static_cast<std::uint16_t>(value & 0xFFFF));
}

void StreamWriter::writeU64(std::uint64_t value) {
    writeU32(static_cast<std::uint32_t>(value >> 32));
    writeU32(static_cast<std::uint32_t>(value & 0xFFFFFFFF));
}

void StreamWriter::writeDouble(double value) {
    writeU64(std::bit_cast<std::uint64_t>(value));
}

void StreamWriter::writeText(std::string_view utf8) {
    writeU32(static_cast<std::uint32_t>(utf8.size()));
    bytes_ += utf8;
}

// Qt keeps each 8-bit component as 16 bits (c * 0x101); an invalid colour is
// written with alpha 0xffff and the rest 0, as QColor() holds it.
void StreamWriter::writeColour(const Colour& colour) {
    constexpr std::uint8_t kSpecInvalid = 0, kSpecRgb = 1;
    writeU8(colour.valid ? kSpecRgb : kSpecInvalid);
    writeU16(colour.valid ? colour.alpha * 0x101 : 0xFFFF);
    writeU16(colour.valid ? colour.red * 0x101 : 0);
    writeU16(colour.valid ? colour.green * 0x101 : 0);
    writeU16(colour.valid ? colour.blue * 0x101 : 0);
    writeU16(0);
}

}  // namespace dxcc::digital
