#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dxcc {
class EntityData;
class Logbook;
}  // namespace dxcc

// The station's log written out as an ADIF file (.adi), for other programs and
// for the awarding body's online service.
namespace dxcc::adif {

inline constexpr std::string_view kExportAdifVersion = "3.1.4";
// The application field that carries the log's DXCC prefix.
inline constexpr std::string_view kPrefixField = "APP_VEL_DXCC_PREFIX";

// What the export could not write, for the operator.
struct ExportReport {
    size_t qsos = 0;
    size_t withoutDate = 0;  // no readable date: no QSO_DATE
    size_t withoutTime = 0;  // no readable time: no TIME_ON
    size_t withoutBand = 0;  // a band that ADIF does not know: no BAND
    bool operator==(const ExportReport&) const = default;
};

// The header: a line naming the program, its version and the station (stored
// form), then ADIF_VER, PROGRAMID, PROGRAMVERSION and <EOH>.
std::string exportHeader(std::string_view station);

// One stored record as one ADIF record on one line (UTF-8, lengths in bytes,
// CR LF after <EOR>), appended to `out`. Empty fields, the import's "XX" and
// "XXX" substitutes and a band or date that cannot be read are left out and
// counted in `report`. DXCC carries the entity's ADIF number when `entities`
// knows the record's DXCC prefix and its number.
void appendExportRecord(std::string& out, std::string_view record, ExportReport& report,
                        const EntityData* entities = nullptr);

// The header and every record of the log, in file order.
std::string exportText(const Logbook& log, ExportReport& report,
                       const EntityData* entities = nullptr);

// Writes the whole log to `file` by the safe rewrite: the complete text goes
// to a scratch file beside it, which is then renamed over it. Throws FileError;
// `file` then keeps what it held.
ExportReport exportLog(const Logbook& log, const std::filesystem::path& file,
                       const EntityData* entities = nullptr);

// What the export did, as lines of text (UTF-8): the number of QSOs and what
// had to be left out.
std::vector<std::string> exportReportLines(const ExportReport& report);

}  // namespace dxcc::adif
