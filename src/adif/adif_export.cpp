#include "adif/adif_export.h"

#include <array>
#include <charconv>

#include "adif/adif_mapping.h"
#include "adif/adif_merge.h"
#include "adif/adif_messages.h"
#include "adif/adif_modes.h"
#include "adif/adif_text.h"
#include "adif/band_table.h"
#include "logbook/dates.h"
#include "logbook/logbook.h"
#include "logbook/program_constants.h"
#include "logbook/qso_record.h"
#include "logbook/station_callsign.h"
#include "logbook/text_file.h"

namespace dxcc::adif {

namespace {

// A typical record with every field, so the text is rarely moved while it grows.
constexpr size_t kTypicalRecordBytes = 200;

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// <NAME:LENGTH>VALUE and a blank; the length counts the value's bytes.
void appendField(std::string& out, std::string_view name, std::string_view value) {
    char length[20];
    const auto end = std::to_chars(length, length + sizeof length, value.size()).ptr;
    out += '<';
    out += name;
    out += ':';
    out.append(length, end);
    out += '>';
    out += value;
    out += ' ';
}

// A log text (Windows-1252, blanks trimmed) as UTF-8; nothing when empty.
void appendTextField(std::string& out, std::string_view name, std::string_view logText) {
    const std::string_view text = trimBlanks(logText);
    if (text.empty()) return;
    if (isAscii(text))
        appendField(out, name, text);
    else
        appendField(out, name, cp1252ToUtf8(text));
}

// A signal report; the import's "XX" (no report in the file) stays out.
void appendReportField(std::string& out, std::string_view name, std::string_view logReport) {
    if (trimBlanks(logReport) == kReportSubstitute) return;
    appendTextField(out, name, logReport);
}

// JJ/MM/AA as YYYYMMDD, the year widened by the import's rule.
bool appendDate(std::string& out, std::string_view date) {
    if (date.size() != kDateWidth || checkDate(date) != 0) return false;
    const int year = widenImportYear((date[6] - '0') * 10 + (date[7] - '0'));
    char text[8];
    std::to_chars(text, text + 4, year);
    const char rest[4] = {date[3], date[4], date[0], date[1]};
    std::copy(rest, rest + 4, text + 4);
    appendField(out, "QSO_DATE", std::string_view(text, 8));
    return true;
}

// HH:MM as HHMM.
bool appendTime(std::string& out, std::string_view time) {
    if (time.size() != kTimeWidth || checkTime(time) != 0) return false;
    const char text[4] = {time[0], time[1], time[3], time[4]};
    appendField(out, "TIME_ON", std::string_view(text, 4));
    return true;
}

// ADIF writes band names in lower case ("20m", "23cm").
bool appendBand(std::string& out, std::string_view logBand) {
    const std::string_view band = adifBandOfLogBand(logBand);
    if (band.empty()) return false;
    std::array<char, 16> lower{};
    for (size_t i = 0; i < band.size(); ++i)
        lower[i] = (band[i] >= 'A' && band[i] <= 'Z') ? static_cast<char>(band[i] + 32) : band[i];
    appendField(out, "BAND", std::string_view(lower.data(), band.size()));
    return true;
}

void appendMode(std::string& out, std::string_view logMode) {
    const AdifMode mode = adifModeOf(logMode);
    appendTextField(out, "MODE", mode.mode);
    appendTextField(out, "SUBMODE", mode.submode);
    if (mode.satellite) appendField(out, "PROP_MODE", kSatelliteMode);
}

void appendCount(std::vector<std::string>& lines, std::string_view text, size_t count) {
    if (count > 0) lines.push_back(std::string(text) + std::to_string(count));
}

}  // namespace

std::string exportHeader(std::string_view station) {
    const std::string_view version = trimBlanks(kRevision);
    std::string header = std::string(adif_messages::kExportHeaderLine) + displayForm(station) +
                         " (" + std::string(kProgramTitle) + " " + std::string(version) + ")\r\n";
    appendField(header, "ADIF_VER", kExportAdifVersion);
    appendField(header, "PROGRAMID", kProgramTitle);
    appendField(header, "PROGRAMVERSION", version);
    header += "<EOH>\r\n";
    return header;
}

void appendExportRecord(std::string& out, std::string_view record, ExportReport& report) {
    ++report.qsos;
    appendTextField(out, "CALL", recordField(record, dxcc::Field::Callsign));
    appendTextField(out, "NAME", recordField(record, dxcc::Field::FirstName));
    if (!appendDate(out, recordField(record, dxcc::Field::Date))) ++report.withoutDate;
    if (!appendTime(out, recordField(record, dxcc::Field::Time))) ++report.withoutTime;
    if (!appendBand(out, recordField(record, dxcc::Field::Band))) ++report.withoutBand;
    appendMode(out, recordField(record, dxcc::Field::Mode));
    appendReportField(out, "RST_SENT", recordField(record, dxcc::Field::RstSent));
    appendReportField(out, "RST_RCVD", recordField(record, dxcc::Field::RstReceived));
    if (recordConfirmed(record)) appendField(out, "QSL_RCVD", "Y");
    appendTextField(out, "COUNTRY", recordField(record, dxcc::Field::EntityName));
    appendTextField(out, kPrefixField, recordField(record, dxcc::Field::DxccPrefix));
    out += "<EOR>\r\n";
}

std::string exportText(const Logbook& log, ExportReport& report) {
    std::string text = exportHeader(log.stationCallsign());
    text.reserve(text.size() + log.size() * kTypicalRecordBytes);
    for (size_t i = 0; i < log.size(); ++i) appendExportRecord(text, log.record(i), report);
    return text;
}

ExportReport exportLog(const Logbook& log, const std::filesystem::path& file) {
    ExportReport report;
    const std::string text = exportText(log, report);
    std::filesystem::path scratch = file;
    scratch += ".tmp";
    rewriteFile(file, scratch, text);
    return report;
}

bool isDataFile(const Logbook& log, const std::filesystem::path& file) {
    std::error_code ec;
    const std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
    if (!std::filesystem::equivalent(folder, log.dataDir(), ec) || ec) return false;
    const std::string name = file.filename().string();
    return name.ends_with(kLogFileSuffix) || name == kPrefixFileName ||
           name == kFirstNameFileName || name == kInsertScratchName || name == kRewriteScratchName;
}

std::vector<std::string> exportReportLines(const ExportReport& report) {
    namespace msg = adif_messages;
    std::vector<std::string> lines;
    lines.push_back(std::string(msg::kExportedCount) + std::to_string(report.qsos));
    appendCount(lines, msg::kExportedWithoutDate, report.withoutDate);
    appendCount(lines, msg::kExportedWithoutTime, report.withoutTime);
    appendCount(lines, msg::kExportedWithoutBand, report.withoutBand);
    return lines;
}

}  // namespace dxcc::adif
