#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "adif/adif_reader.h"
#include "logbook/qso_record.h"

namespace dxcc {
class PrefixTable;
}

// One ADIF record turned into one QSO record of the log.
namespace dxcc::adif {

// What the log stores when the record lacks a value.
inline constexpr std::string_view kCallsignSubstitute = "FXXXX";
inline constexpr std::string_view kDateSubstitute = "01/01/00";
inline constexpr std::string_view kTimeSubstitute = "00:00";
inline constexpr std::string_view kModeSubstitute = "XXX";
inline constexpr std::string_view kReportSubstitute = "XX";
inline constexpr std::string_view kBandSubstitute = "1.8 Mhz";

// The substitutions the operator is told about, in the order they are noticed.
enum class Notice { DateMissing, TimeMissing, CallsignMissing, BandMissing };
inline constexpr size_t kNoticeCount = 4;

struct MappedQso {
    QsoFields fields;
    std::array<bool, kNoticeCount> notices{};

    bool noticed(Notice n) const { return notices[static_cast<size_t>(n)]; }
};

// The ADIF values the import reads, as the log wants them (upper-case
// Windows-1252, trimmed); empty when the record lacks the field. A field given
// twice counts once, the first time.
struct AdifQsoValues {
    std::string callsign;
    std::string name;
    std::string date;  // QSO_DATE as written: YYYYMMDD
    std::string time;  // TIME_ON as written: HHMM or HHMMSS
    std::string mode;
    std::string band;
    std::string frequency;
    std::string rstReceived;
    std::string rstSent;
    std::string qslReceived;
    std::string lotwQslReceived;
};
AdifQsoValues importedValues(const std::vector<Field>& fields);

// YYYYMMDD as the log's JJ/MM/AA; empty unless eight digits make a date.
std::string logDate(std::string_view adifDate);
// HHMM or HHMMSS as the log's HH:MM; empty unless they make a time.
std::string logTime(std::string_view adifTime);
// The record's band: BAND when it names a band, else FREQ; empty when neither does.
std::string logBand(std::string_view band, std::string_view frequency);

// The QSO record's fields, substitutes and notices for one ADIF record. The
// DXCC prefix and entity name come from the callsign lookup in `prefixes`.
MappedQso mapQso(const AdifQsoValues& values, const PrefixTable& prefixes);
inline MappedQso mapRecord(const std::vector<Field>& fields, const PrefixTable& prefixes) {
    return mapQso(importedValues(fields), prefixes);
}

}  // namespace dxcc::adif
