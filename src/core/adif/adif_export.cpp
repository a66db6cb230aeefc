#include "core/adif/adif_export.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/adif/adif_mapping.h"
#include "core/adif/adif_messages.h"
#include "core/base/dates.h"
#include "core/base/export_target.h"
#include "core/base/file_error.h"
#include "core/base/program_constants.h"
#include "core/base/text_conversion.h"
#include "core/base/text_file.h"
#include "core/base/text_utils.h"
#include "core/logbook/logbook.h"
#include "core/prefixes/entity_data.h"
#include "core/record/band_table.h"
#include "core/record/mode_table.h"
#include "core/record/qso_record.h"
#include "core/record/station_callsign.h"

namespace dxcc::adif {

namespace {

// The export writes through a buffer of this size, so a log of any size costs
// little memory and the bytes go to the file while they are still in cache.
constexpr size_t kChunkBytes = size_t{1} << 20;
// More than any one record can take: every text field at three UTF-8 bytes per
// character, and every tag.
constexpr size_t kMaxRecordBytes = 1024;

// Writes one record's fields into a buffer of kMaxRecordBytes: no bounds
// checks and no library calls for the short pieces, a million records a run.
class RecordWriter {
public:
    explicit RecordWriter(char* at) : start_(at), p_(at) {}
    size_t size() const { return static_cast<size_t>(p_ - start_); }

    // <NAME:LENGTH>VALUE and a blank; `tag` is "<NAME:", the length counts bytes.
    void field(std::string_view tag, std::string_view value) {
        put(tag);
        char digits[20];
        size_t count = 0;
        for (size_t n = value.size(); count == 0 || n > 0; n /= 10)
            digits[count++] = static_cast<char>('0' + n % 10);
        while (count > 0) *p_++ = digits[--count];
        *p_++ = '>';
        put(value);
        *p_++ = ' ';
    }

    // A log text (Windows-1252, blanks trimmed) as UTF-8; nothing when empty.
    void text(std::string_view tag, std::string_view logText) {
        const std::string_view t = trimBlanks(logText);
        if (t.empty()) return;
        if (isAsciiText(t))
            field(tag, t);
        else
            field(tag, cp1252ToUtf8(t));
    }

    void put(std::string_view bytes) {
        for (char c : bytes) *p_++ = c;
    }

private:
    char* start_;
    char* p_;
};

// A signal report; the import's "XX" (no report in the file) stays out.
void writeReport(RecordWriter& w, std::string_view tag, std::string_view logReport) {
    if (trimBlanks(logReport) == kReportSubstitute) return;
    w.text(tag, logReport);
}

// JJ/MM/AA as YYYYMMDD, the year widened by the import's rule. Only a day of
// the calendar is written: not 00/01/24 nor 30/02/24, and not the import's
// substitute for a missing date, which no QSO was made on.
bool writeDate(RecordWriter& w, std::string_view date) {
    const std::optional<LogDate> read = readLogDate(date);
    if (!read || date == kDateSubstitute) return false;
    const int year = widenImportYear(read->twoDigitYear);
    if (!isCalendarDate({year, read->month, read->day})) return false;
    const char text[8] = {static_cast<char>('0' + year / 1000),
                          static_cast<char>('0' + year / 100 % 10),
                          static_cast<char>('0' + year / 10 % 10),
                          static_cast<char>('0' + year % 10),
                          date[3],
                          date[4],
                          date[0],
                          date[1]};
    w.field("<QSO_DATE:", std::string_view(text, 8));
    return true;
}

// HH:MM as HHMM.
bool writeTime(RecordWriter& w, std::string_view time) {
    if (time.size() != kTimeWidth || checkTime(time) != 0) return false;
    const char text[4] = {time[0], time[1], time[3], time[4]};
    w.field("<TIME_ON:", std::string_view(text, 4));
    return true;
}

// ADIF writes band names in lower case ("20m", "23cm").
bool writeBand(RecordWriter& w, std::string_view logBand) {
    const std::string_view band = adifBandOfLogBand(logBand);
    if (band.empty()) return false;
    std::array<char, 16> lower{};
    for (size_t i = 0; i < band.size(); ++i)
        lower[i] = (band[i] >= 'A' && band[i] <= 'Z') ? static_cast<char>(band[i] + 32) : band[i];
    w.field("<BAND:", std::string_view(lower.data(), band.size()));
    return true;
}

// Only modes of the ADIF list go into MODE and SUBMODE; a logged mode they
// would not give back travels in the application field as well.
void writeMode(RecordWriter& w, std::string_view logMode) {
    static const std::string kOwnModeTag = "<" + std::string(kModeField) + ":";
    const AdifMode mode = adifModeOf(logMode);
    w.text("<MODE:", mode.mode);
    w.text("<SUBMODE:", mode.submode);
    if (mode.satellite) w.field("<PROP_MODE:", kSatelliteMode);
    w.text(kOwnModeTag, mode.ownMode);
}

// The tag of the DXCC prefix's field, as the writer wants it.
std::string prefixTag() {
    return "<" + std::string(kPrefixField) + ":";
}

// A DXCC prefix (at most 8 bytes, letters upper case) in one word.
uint64_t prefixKey(std::string_view prefix) {
    uint64_t key = 0;
    for (size_t i = 0; i < prefix.size() && i < 8; ++i) {
        const char c =
            prefix[i] >= 'a' && prefix[i] <= 'z' ? static_cast<char>(prefix[i] - 32) : prefix[i];
        key |= uint64_t{static_cast<unsigned char>(c)} << (8 * i);
    }
    return key;
}

// The entities' ADIF numbers by DXCC prefix, read once per export: a record
// then finds its number with a few integer comparisons.
class EntityNumbers {
public:
    explicit EntityNumbers(const EntityData* entities) {
        if (entities == nullptr) return;
        for (const EntityInfo& e : entities->entities()) {
            const std::string_view prefix = trimBlanks(e.dxccPrefix);
            if (e.adifNumber > 0 && !prefix.empty() && prefix.size() <= 8)
                numbers_.push_back({prefixKey(prefix), std::to_string(e.adifNumber)});
        }
        // The first line of a prefix wins, as in the entity data.
        std::stable_sort(numbers_.begin(), numbers_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }

    // The number's text; empty when unknown.
    std::string_view of(std::string_view dxccPrefix) const {
        const std::string_view prefix = trimBlanks(dxccPrefix);
        if (numbers_.empty() || prefix.empty() || prefix.size() > 8) return {};
        const uint64_t key = prefixKey(prefix);
        const auto it = std::lower_bound(numbers_.begin(), numbers_.end(), key,
                                         [](const auto& n, uint64_t k) { return n.first < k; });
        return it != numbers_.end() && it->first == key ? std::string_view(it->second)
                                                        : std::string_view();
    }

private:
    std::vector<std::pair<uint64_t, std::string>> numbers_;
};

size_t writeRecord(char* buffer, std::string_view record, ExportReport& report,
                   const EntityNumbers& numbers) {
    static const std::string kPrefixTag = prefixTag();
    using dxcc::Field;
    RecordWriter w(buffer);
    ++report.qsos;
    w.text("<CALL:", recordField(record, Field::Callsign));
    w.text("<NAME:", recordField(record, Field::FirstName));
    if (!writeDate(w, recordField(record, Field::Date))) ++report.withoutDate;
    if (!writeTime(w, recordField(record, Field::Time))) ++report.withoutTime;
    if (!writeBand(w, recordField(record, Field::Band))) ++report.withoutBand;
    writeMode(w, recordField(record, Field::Mode));
    writeReport(w, "<RST_SENT:", recordField(record, Field::RstSent));
    writeReport(w, "<RST_RCVD:", recordField(record, Field::RstReceived));
    if (recordConfirmed(record)) w.field("<QSL_RCVD:", "Y");
    w.text("<COUNTRY:", recordField(record, Field::EntityName));
    w.text(kPrefixTag, recordField(record, Field::DxccPrefix));
    w.text("<DXCC:", numbers.of(recordField(record, Field::DxccPrefix)));
    w.put("<EOR>\r\n");
    return w.size();
}

// The log's records from `first` on, appended to `out` until it holds
// `bytes` or the log ends; the index of the next record.
size_t appendRecords(const Logbook& log, size_t first, std::string& out, size_t bytes,
                     ExportReport& report, const EntityNumbers& numbers) {
    std::array<char, kMaxRecordBytes> buffer;
    size_t i = first;
    for (; i < log.size() && out.size() < bytes; ++i)
        out.append(buffer.data(), writeRecord(buffer.data(), log.record(i), report, numbers));
    return i;
}

void appendCount(std::vector<std::string>& lines, std::string_view text, size_t count) {
    if (count > 0) lines.push_back(std::string(text) + std::to_string(count));
}

}  // namespace

std::string exportHeader(std::string_view station) {
    const std::string_view version = trimBlanks(kRevision);
    std::string header = std::string(adif_messages::kExportHeaderLine) + displayForm(station) +
                         " (" + std::string(kProgramTitle) + " " + std::string(version) + ")\r\n";
    std::array<char, kMaxRecordBytes> buffer;
    RecordWriter w(buffer.data());
    w.field("<ADIF_VER:", kExportAdifVersion);
    w.field("<PROGRAMID:", kProgramTitle);
    w.field("<PROGRAMVERSION:", version);
    w.put("<EOH>\r\n");
    header.append(buffer.data(), w.size());
    return header;
}

void appendExportRecord(std::string& out, std::string_view record, ExportReport& report,
                        const EntityData* entities) {
    std::array<char, kMaxRecordBytes> buffer;
    out.append(buffer.data(), writeRecord(buffer.data(), record, report, EntityNumbers(entities)));
}

std::string exportText(const Logbook& log, ExportReport& report, const EntityData* entities) {
    std::string text = exportHeader(log.stationCallsign());
    appendRecords(log, 0, text, std::string::npos, report, EntityNumbers(entities));
    return text;
}

ExportReport exportLog(const Logbook& log, const std::filesystem::path& file,
                       const EntityData* entities) {
    const EntityNumbers numbers(entities);
    ExportReport report;
    SafeRewrite out(file, exportScratchFor(file));
    std::string chunk = exportHeader(log.stationCallsign());
    chunk.reserve(kChunkBytes + kMaxRecordBytes);
    for (size_t next = 0; next < log.size();) {
        next = appendRecords(log, next, chunk, kChunkBytes, report, numbers);
        out.write(chunk);
        chunk.clear();
    }
    out.write(chunk);
    out.commit();
    return report;
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
