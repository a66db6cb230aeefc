#include "core/entry/field_checks.h"

#include <array>
#include <stdexcept>

#include "core/base/dates.h"
#include "core/entry/entry_messages.h"
#include "core/record/qso_record.h"

namespace dxcc {

namespace msg = entry_messages;

namespace {

using Refusal = std::optional<std::string_view>;

Refusal checkLength(std::string_view text, size_t max, std::string_view empty,
                    std::string_view tooLong) {
    if (text.empty()) return empty;
    if (text.size() > max) return tooLong;
    return std::nullopt;
}

// A blank between two characters: a callsign is one word.
bool hasInnerBlank(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    return first != std::string_view::npos &&
           text.substr(first, text.find_last_not_of(' ') - first).find(' ') !=
               std::string_view::npos;
}

Refusal checkReport(std::string_view text) {
    if (auto r = checkLength(text, kRstWidth, msg::kReportEmpty, msg::kReportTooLong)) return r;
    // The digital modes report in dB, signed ("-12", "+05"), as WSJT-X logs them.
    const std::string_view digits = trimTrailingBlanks(text.substr(1));
    const bool decibels = (text[0] == '-' || text[0] == '+') && !digits.empty() &&
                          digits.find_first_not_of("0123456789") == std::string_view::npos;
    if (!decibels && (text[0] < '0' || text[0] > '5')) return msg::kReportFirstDigit;
    return std::nullopt;
}

Refusal checkWidth(std::string_view text, size_t width, std::string_view tooLong) {
    return trimTrailingBlanks(text).size() > width ? Refusal(tooLong) : std::nullopt;
}

// The field's text, cut to its columns where only padding or the mode's extra
// letters stand beyond them.
std::string fit(std::string_view text, size_t width) {
    if (text.size() > width) text = trimTrailingBlanks(text);
    return std::string(text.substr(0, std::min(text.size(), width)));
}

}  // namespace

std::optional<std::string_view> checkEntryField(EntryField field, std::string_view text) {
    if (hasControlCharacter(text)) return msg::kControlCharacter;
    switch (field) {
        case EntryField::Band:
            return checkLength(text, kBandFieldMax, msg::kBandEmpty, msg::kBandTooLong);
        case EntryField::Mode:
            return checkLength(text, kModeFieldMax, msg::kModeEmpty, msg::kModeTooLong);
        case EntryField::Callsign:
            if (auto r =
                    checkLength(text, kCallsignWidth, msg::kCallsignEmpty, msg::kCallsignTooLong))
                return r;
            return hasInnerBlank(text) ? Refusal(msg::kCallsignBlank) : std::nullopt;
        case EntryField::FirstName:
            return text.size() > kFirstNameWidth ? Refusal(msg::kFirstNameTooLong) : std::nullopt;
        case EntryField::Date:
            if (text.empty()) return msg::kDateEmpty;
            return checkDate(text) != 0 ? Refusal(msg::kDateFormat) : std::nullopt;
        case EntryField::Time:
            if (text.empty()) return msg::kTimeEmpty;
            return checkTime(text) != 0 ? Refusal(msg::kTimeFormat) : std::nullopt;
        case EntryField::RstReceived:
        case EntryField::RstSent:
            return checkReport(text);
        case EntryField::DxccPrefix:
            return checkWidth(text, kDxccPrefixWidth, msg::kDxccPrefixTooLong);
        case EntryField::EntityName:
            return checkWidth(text, kEntityNameWidth, msg::kEntityNameTooLong);
    }
    return std::nullopt;
}

std::optional<FieldRefusal> checkEntryTexts(const EntryTexts& t) {
    const std::array<std::pair<EntryField, const std::string*>, 10> fields{{
        {EntryField::Band, &t.band},
        {EntryField::Mode, &t.mode},
        {EntryField::Callsign, &t.callsign},
        {EntryField::FirstName, &t.firstName},
        {EntryField::Date, &t.date},
        {EntryField::Time, &t.time},
        {EntryField::RstReceived, &t.rstReceived},
        {EntryField::RstSent, &t.rstSent},
        {EntryField::DxccPrefix, &t.dxccPrefix},
        {EntryField::EntityName, &t.entityName},
    }};
    for (const auto& [field, text] : fields)
        if (auto message = checkEntryField(field, *text)) return FieldRefusal{field, *message};
    return std::nullopt;
}

std::string buildEntryRecord(const EntryTexts& t) {
    for (const std::string* text : {&t.band, &t.mode, &t.callsign, &t.firstName, &t.date, &t.time,
                                    &t.rstReceived, &t.rstSent, &t.dxccPrefix, &t.entityName})
        if (hasControlCharacter(*text))
            throw std::invalid_argument("control character in a field of the record");
    QsoFields f;
    f.callsign = fit(t.callsign, kCallsignWidth);
    f.firstName = fit(t.firstName, kFirstNameWidth);
    f.date = fit(t.date, kDateWidth);
    f.time = fit(t.time, kTimeWidth);
    f.mode = fit(t.mode, kModeWidth);
    f.band = fit(t.band, kBandWidth);
    f.rstReceived = fit(t.rstReceived, kRstWidth);
    f.rstSent = fit(t.rstSent, kRstWidth);
    f.dxccPrefix = fit(t.dxccPrefix, kDxccPrefixWidth);
    f.entityName = fit(t.entityName, kEntityNameWidth);
    f.qslMark = t.qsl ? '*' : ' ';
    return buildRecord(f);
}

std::string asListItem(std::string_view text, std::span<const std::string_view> items) {
    const int index = listItemIndex(text, items);
    return std::string(index >= 0 ? items[static_cast<size_t>(index)] : text);
}

bool recordHasPrefix(std::string_view record, std::string_view matchedPrefix) {
    return record.substr(0, std::min(record.size(), kCallsignWidth)).starts_with(matchedPrefix);
}

bool isNewPrefix(const Logbook& log, std::string_view matchedPrefix) {
    if (matchedPrefix.empty()) return false;
    for (size_t i = 0; i < log.size(); ++i)
        if (recordHasPrefix(log.record(i), matchedPrefix)) return false;
    return true;
}

}  // namespace dxcc
