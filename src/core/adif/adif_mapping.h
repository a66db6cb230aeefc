#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/adif/adif_reader.h"
#include "core/base/program_constants.h"
#include "core/record/qso_record.h"

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
inline constexpr std::string_view kBandSubstitute = kBands[kBand160m];

// The substitutions the operator is told about, in the order they are noticed.
enum class Notice { DateMissing, TimeMissing, CallsignMissing, BandMissing };
inline constexpr size_t kNoticeCount = 4;

// The fields the import reads, as they stand in the file; empty when the record
// lacks the field. A field given twice counts once, the first time.
struct AdifQsoValues {
    std::string_view callsign;
    std::string_view name;
    std::string_view date;  // QSO_DATE: YYYYMMDD
    std::string_view time;  // TIME_ON: HHMM or HHMMSS
    std::string_view mode;
    std::string_view submode;
    std::string_view propagation;  // PROP_MODE
    std::string_view band;
    std::string_view frequency;
    std::string_view rstReceived;
    std::string_view rstSent;
    std::string_view qslReceived;
    std::string_view lotwQslReceived;
};
AdifQsoValues importedValues(const std::vector<Field>& fields);

// The conversions of single values, from the file's bytes (any letter case,
// blanks around). An empty result means that the value is none.
// YYYYMMDD as the log's JJ/MM/AA, when eight digits make a date.
std::string logDate(std::string_view qsoDate);
// HHMM or HHMMSS as the log's HH:MM, when they make a time.
std::string logTime(std::string_view timeOn);
// BAND when it names a band, else FREQ.
std::string logBand(std::string_view band, std::string_view frequency);
// MODE's first three characters, or the mode a SUBMODE stands for ("FT4"),
// or "SAT" for a satellite contact without MODE; empty when there is none.
std::string logMode(std::string_view mode, std::string_view submode, std::string_view propagation);

// Which substitutions were made, by Notice.
using Notices = std::array<bool, kNoticeCount>;

struct MappedQso {
    QsoFields fields;
    Notices notices{};

    bool noticed(Notice n) const { return notices[static_cast<size_t>(n)]; }
};

// The QSO record's fields, substitutes and notices for one ADIF record. Texts
// are upper-case Windows-1252; the DXCC prefix and entity name come from the
// callsign lookup in `prefixes`.
MappedQso mapQso(const AdifQsoValues& values, const PrefixTable& prefixes);
// The same into `qso`, reusing its memory (one record after another).
void mapQso(const AdifQsoValues& values, const PrefixTable& prefixes, MappedQso& qso);
// The same written straight into the kRecordLength bytes of a record at
// `record`: buildRecord(mapQso(values, prefixes).fields), without a string per
// field (the import maps every record this way).
Notices mapQsoRecord(const AdifQsoValues& values, const PrefixTable& prefixes, char* record);
inline MappedQso mapRecord(const std::vector<Field>& fields, const PrefixTable& prefixes) {
    return mapQso(importedValues(fields), prefixes);
}

}  // namespace dxcc::adif
