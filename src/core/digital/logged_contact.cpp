#include "core/digital/logged_contact.h"

#include <cstdio>
#include <variant>

#include "core/base/text_utils.h"
#include "core/digital/decoder_states.h"
#include "core/record/mode_table.h"

namespace dxcc::digital {

namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;

// One ADIF field, its length counted in bytes; an empty value is left out.
void field(std::string& record, std::string_view name, std::string_view value) {
    value = trimBlanks(value);
    if (value.empty()) return;
    record.append("<").append(name).append(":").append(std::to_string(value.size()));
    record.append(">").append(value).append(" ");
}

std::string twoDigits(int n) {
    char text[4];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

void timeFields(std::string& record, const UtcTime& t, std::string_view dateName,
                std::string_view timeName) {
    char date[16];
    std::snprintf(date, sizeof date, "%04d%02d%02d", t.date.year, t.date.month, t.date.day);
    field(record, dateName, date);
    field(record, timeName, twoDigits(t.hour) + twoDigits(t.minute) + twoDigits(t.second));
}

// The MODE and SUBMODE ADIF gives a decoder's mode: the mode itself when the
// mode table knows it so (FT8, JT65), else as a submode of MFSK (FT4, Q65).
std::pair<std::string, std::string> adifModeOfDecoderMode(std::string_view mode) {
    const std::string name = upperCaseCp1252(trimBlanks(mode));
    if (name.empty() || !adif::loggedModeOf(name, "").empty()) return {name, ""};
    if (!adif::loggedModeOf("MFSK", name).empty()) return {"MFSK", name};
    return {name, ""};
}

}  // namespace

std::optional<UtcTime> utcOf(const DateTime& time) {
    if (time.msecsSinceMidnight >= kMillisecondsPerDay) return std::nullopt;
    std::int64_t offset = 0;
    if (time.spec == TimeSpec::OffsetFromUtc || time.spec == TimeSpec::TimeZone)
        offset = time.offsetSeconds;
    std::int64_t seconds = time.msecsSinceMidnight / 1000 - offset;
    std::int64_t day = time.julianDay;
    if (day == kNullJulianDay) return std::nullopt;
    day += seconds >= 0 ? seconds / kSecondsPerDay
                        : -((-seconds + kSecondsPerDay - 1) / kSecondsPerDay);
    seconds -= (day - time.julianDay) * kSecondsPerDay;
    const std::optional<CivilDate> date = civilDateOf(day);
    if (!date) return std::nullopt;
    return UtcTime{*date, static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                   static_cast<int>(seconds % 60)};
}

std::optional<std::string> adifOfQsoLogged(const QsoLogged& q) {
    std::optional<UtcTime> on = utcOf(q.timeOn);
    const std::optional<UtcTime> off = utcOf(q.timeOff);
    if (!on) on = off;
    if (!on || trimBlanks(q.dxCall).empty()) return std::nullopt;
    std::string record;
    field(record, "CALL", q.dxCall);
    field(record, "NAME", q.name);
    timeFields(record, *on, "QSO_DATE", "TIME_ON");
    if (off) timeFields(record, *off, "QSO_DATE_OFF", "TIME_OFF");
    const auto [mode, submode] = adifModeOfDecoderMode(q.mode);
    field(record, "MODE", mode);
    field(record, "SUBMODE", submode);
    if (q.txFrequencyHz > 0) {
        char megahertz[32];
        std::snprintf(megahertz, sizeof megahertz, "%.6f",
                      static_cast<double>(q.txFrequencyHz) / 1e6);
        field(record, "FREQ", megahertz);
    }
    field(record, "RST_SENT", q.reportSent);
    field(record, "RST_RCVD", q.reportReceived);
    field(record, "GRIDSQUARE", q.dxGrid);
    field(record, "TX_PWR", q.txPower);
    field(record, "COMMENT", q.comments);
    field(record, "PROP_MODE", q.propagationMode);
    record += "<EOR>\n";
    return record;
}

std::optional<std::string> contactToLog(const Datagram& datagram, const DecoderState& decoder) {
    if (const auto* adif = std::get_if<LoggedAdif>(&datagram.message)) return adif->adif;
    if (const auto* logged = std::get_if<QsoLogged>(&datagram.message))
        if (!decoder.sendsLoggedAdif) return adifOfQsoLogged(*logged);
    return std::nullopt;
}

}  // namespace dxcc::digital
