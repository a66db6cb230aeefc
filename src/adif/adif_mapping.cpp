#include "adif/adif_mapping.h"

#include "adif/adif_text.h"
#include "adif/band_table.h"
#include "logbook/dates.h"
#include "prefixes/prefix_table.h"

namespace dxcc::adif {

namespace {

struct Wanted {
    std::string_view name;
    std::string AdifQsoValues::*value;
};
constexpr std::array<Wanted, 11> kWanted{{
    {"CALL", &AdifQsoValues::callsign},
    {"NAME", &AdifQsoValues::name},
    {"QSO_DATE", &AdifQsoValues::date},
    {"TIME_ON", &AdifQsoValues::time},
    {"MODE", &AdifQsoValues::mode},
    {"BAND", &AdifQsoValues::band},
    {"FREQ", &AdifQsoValues::frequency},
    {"RST_RCVD", &AdifQsoValues::rstReceived},
    {"RST_SENT", &AdifQsoValues::rstSent},
    {"QSL_RCVD", &AdifQsoValues::qslReceived},
    {"LOTW_QSL_RCVD", &AdifQsoValues::lotwQslReceived},
}};

bool allDigits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// The first `width` characters of `value`, or `substitute` when it is empty.
std::string cutOr(std::string_view value, size_t width, std::string_view substitute) {
    return std::string(value.empty() ? substitute : value.substr(0, width));
}

}  // namespace

AdifQsoValues importedValues(const std::vector<Field>& fields) {
    AdifQsoValues values;
    std::array<bool, kWanted.size()> taken{};
    for (const Field& f : fields) {
        for (size_t i = 0; i < kWanted.size(); ++i) {
            if (taken[i] || !sameName(f.name, kWanted[i].name)) continue;
            taken[i] = true;
            values.*kWanted[i].value = logText(f.value);
            break;
        }
    }
    return values;
}

std::string logDate(std::string_view adifDate) {
    if (adifDate.size() != 8 || !allDigits(adifDate)) return {};
    std::string date;
    date.reserve(kDateWidth);
    date.append(adifDate.substr(6, 2)).append("/");
    date.append(adifDate.substr(4, 2)).append("/");
    date.append(adifDate.substr(2, 2));
    return checkDate(date) == 0 ? date : std::string();
}

std::string logTime(std::string_view adifTime) {
    if ((adifTime.size() != 4 && adifTime.size() != 6) || !allDigits(adifTime)) return {};
    std::string time;
    time.reserve(kTimeWidth);
    time.append(adifTime.substr(0, 2)).append(":").append(adifTime.substr(2, 2));
    return checkTime(time) == 0 ? time : std::string();
}

std::string logBand(std::string_view band, std::string_view frequency) {
    std::string_view found = bandForBandValue(band);
    if (found.empty()) found = bandForFrequency(frequency);
    return std::string(found);
}

MappedQso mapQso(const AdifQsoValues& v, const PrefixTable& prefixes) {
    MappedQso q;
    QsoFields& f = q.fields;
    auto notice = [&](Notice n) { q.notices[static_cast<size_t>(n)] = true; };

    f.date = logDate(v.date);
    if (f.date.empty()) {
        notice(Notice::DateMissing);
        f.date = kDateSubstitute;
    }
    f.time = logTime(v.time);
    if (f.time.empty()) {
        notice(Notice::TimeMissing);
        f.time = kTimeSubstitute;
    }
    if (v.callsign.empty()) notice(Notice::CallsignMissing);
    f.callsign = cutOr(v.callsign, kCallsignWidth, kCallsignSubstitute);
    f.mode = cutOr(v.mode, kModeWidth, kModeSubstitute);
    f.rstSent = cutOr(v.rstSent, kRstWidth, kReportSubstitute);
    f.rstReceived = cutOr(v.rstReceived, kRstWidth, kReportSubstitute);
    f.band = logBand(v.band, v.frequency);
    if (f.band.empty()) {
        notice(Notice::BandMissing);
        f.band = kBandSubstitute;
    }
    f.firstName = v.name.substr(0, kFirstNameWidth);
    f.qslMark = v.qslReceived == "Y" || v.lotwQslReceived == "Y" ? '*' : ' ';

    if (const PrefixEntry* entry = prefixes.match(f.callsign)) {
        f.dxccPrefix = entry->dxccPrefix.substr(0, kDxccPrefixWidth);
        f.entityName = entry->entityName.substr(0, kEntityNameWidth);
    }
    return q;
}

}  // namespace dxcc::adif
