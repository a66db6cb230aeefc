#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/adif/adif_reader.h"
#include "core/base/program_constants.h"
#include "core/record/mode_table.h"
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
inline constexpr std::string_view kReportSubstitute = "XX";
inline constexpr std::string_view kBandSubstitute = kBands[kBand160m];

// The substitutions and refusals the operator is told about, in the order
// they are noticed. A refused callsign (a character no callsign holds: another
// alphabet, a blank inside, the start of a tag) keeps the record out of the
// log; a damaged length is noticed by the reader.
enum class Notice {
    DateMissing,
    TimeMissing,
    CallsignMissing,
    BandMissing,
    CallsignRefused,
    DamagedLength,
    MaritimeMobile  // stored without prefix nor entity
};
inline constexpr size_t kNoticeCount = 7;

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
    std::string_view ownMode;      // the application field of the logged mode
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
// "SAT" for a satellite contact (PROP_MODE SAT, whatever MODE says); else the
// logged mode the application field carries; else the mode table's code for
// MODE and SUBMODE ("DST" for DIGITALVOICE with DSTAR, "PSK" for PSK31);
// else MODE's first three characters; empty when there is no mode.
std::string logMode(std::string_view mode, std::string_view submode, std::string_view propagation,
                    std::string_view ownMode = {});

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
