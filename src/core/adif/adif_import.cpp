#include "core/adif/adif_import.h"

#include "core/adif/adif_messages.h"
#include "core/adif/adif_text.h"
#include "core/base/file_error.h"
#include "core/logbook/logbook.h"
#include "core/base/text_file.h"

namespace dxcc::adif {

namespace {

void tally(ImportReport& report, const Notices& notices, std::string_view record, size_t number) {
    for (size_t n = 0; n < kNoticeCount; ++n) {
        if (!notices[n]) continue;
        NoticeTally& t = report.notices[n];
        ++t.count;
        if (t.first.size() < NoticeTally::kExamples)
            t.first.push_back({number,
                               std::string(trimBlanks(recordField(record, dxcc::Field::Callsign))),
                               std::string(recordField(record, dxcc::Field::Date)),
                               std::string(recordField(record, dxcc::Field::Time))});
    }
}

// After this many records, the bytes they took tell how many the file holds.
constexpr size_t kRecordsToEstimate = 1024;

// The records the whole file should give, a little over, judging by the first
// ones: memory reserved and never touched costs nothing, while a block that
// outgrows its memory is copied.
size_t expectedRecords(size_t recordsRead, size_t bytesRead, size_t bytesTotal) {
    if (bytesRead == 0) return recordsRead;
    const double perByte = static_cast<double>(recordsRead) / static_cast<double>(bytesRead);
    return static_cast<size_t>(perByte * static_cast<double>(bytesTotal) * 1.1) + recordsRead;
}

constexpr std::array<std::string_view, kNoticeCount> kNoticeTexts{
    adif_messages::kDateMissing,
    adif_messages::kTimeMissing,
    adif_messages::kCallsignMissing,
    adif_messages::kBandMissing,
};
// The message names the band the record gets.
static_assert(adif_messages::kBandMissing.ends_with(kBandSubstitute));

std::string recordLine(const RecordRef& r) {
    std::string line(adif_messages::kRecordNumber);
    line += std::to_string(r.number);
    line += "  " + cp1252ToUtf8(r.callsign) + "  " + r.date + " " + r.time;
    return line;
}

void addNotice(std::vector<std::string>& lines, std::string_view text, const NoticeTally& t) {
    if (t.count == 0) return;
    lines.push_back(std::string(trimBlanks(text)) + " : " + std::to_string(t.count) +
                    std::string(adif_messages::kRecordsConcerned));
    for (const RecordRef& r : t.first) lines.push_back(recordLine(r));
    if (t.count > t.first.size()) lines.emplace_back(adif_messages::kMoreRecords);
}

void addCount(std::vector<std::string>& lines, std::string_view text, size_t count) {
    if (count > 0) lines.push_back(std::string(text) + std::to_string(count));
}

MergePlan planFor(size_t lineCount, size_t index, const AdifImport& import) {
    return {index, import.mergeKey.has_value(), index, lineCount - index};
}

}  // namespace

char* RecordBlock::addLine() {
    // Grown a few hundred lines at a time: one resize per line would cost more
    // than writing the line.
    constexpr size_t kGrowthLines = 512;
    if (used_ + kLineLength > lines_.size()) lines_.resize(used_ + kGrowthLines * kLineLength);
    char* line = lines_.data() + used_;
    used_ += kLineLength;
    line[kRecordLength] = kLineEnd[0];
    line[kRecordLength + 1] = kLineEnd[1];
    return line;
}

void RecordBlock::reserve(size_t records, size_t moreBytes) {
    lines_.reserve(records * kLineLength + moreBytes);
}

std::string RecordBlock::takeLines() {
    lines_.resize(used_);
    used_ = 0;
    return std::move(lines_);
}

namespace {

// Every record the reader gives, converted into the block. The fields are
// reused from one record to the next and the record is written in place: a
// record costs no memory but its line.
template <typename AnyReader>
AdifImport importRecords(AnyReader& reader, const PrefixTable& prefixes,
                         const ImportProgress& progress, size_t roomAfter, size_t maxRecords) {
    AdifImport result;
    RecordBlock& block = result.records;
    std::vector<Field> fields;
    size_t count = 0;
    while (reader.next(fields)) {
        // More records than a log can hold: stopped before memory runs out.
        if (count == maxRecords) throw FileError(kOutOfMemory, "ADIF");
        const AdifQsoValues values = importedValues(fields);
        if (count == 0) result.mergeKey = adifMergeKey(values.date, values.time);
        if (count == kRecordsToEstimate)
            block.reserve(expectedRecords(count, reader.offset(), reader.size()), roomAfter);
        char* record = block.addLine();
        const Notices notices = mapQsoRecord(values, prefixes, record);
        tally(result.report, notices, {record, kRecordLength}, ++count);
        if (progress && count % kProgressEvery == 0 &&
            !progress(count, reader.offset(), reader.size())) {
            result.cancelled = true;
            break;
        }
    }
    result.report.qsos = count;
    result.report.reader = reader.warnings();
    if (progress && !result.cancelled)
        result.cancelled = !progress(count, reader.offset(), reader.size());
    return result;
}

}  // namespace

AdifImport importAdif(std::string_view fileBytes, const PrefixTable& prefixes,
                      const ImportProgress& progress, size_t maxRecords) {
    Reader reader(fileBytes);
    return importRecords(reader, prefixes, progress, 0, maxRecords);
}

AdifImport importAdifFile(const std::filesystem::path& file, const PrefixTable& prefixes,
                          const ImportProgress& progress, size_t roomAfter) {
    try {
        FileReader reader(file);
        return importRecords(reader, prefixes, progress, roomAfter, kLogFileLimits.maxLines);
    } catch (const FileError& e) {
        throw FileError(e.code(), file.string(), e.systemError());
    }
}

MergePlan planMerge(const Logbook& log, const AdifImport& import) {
    return planFor(log.size(), mergeIndex(log, import.mergeKey), import);
}

MergePlan planMerge(const std::vector<std::string_view>& lines, const AdifImport& import) {
    return planFor(lines.size(), mergeIndex(lines, import.mergeKey), import);
}

LogImport importIntoLog(Logbook& log, const std::filesystem::path& file,
                        const PrefixTable& prefixes, const ImportProgress& progress) {
    LogImport result;
    // Room for the log after the block: the log is merged into its memory.
    result.imported =
        importAdifFile(file, prefixes, progress, log.byteSize() + Logbook::kSpareBytes);
    result.plan = planMerge(log, result.imported);
    result.change = {LogChange::Kind::Inserted, result.plan.index, 0};
    if (result.imported.cancelled || result.imported.records.empty()) return result;
    result.change = log.insertBlockLines(result.plan.index, result.imported.records.takeLines());
    return result;
}

std::vector<std::string> reportLines(const ImportReport& report) {
    std::vector<std::string> lines;
    lines.push_back(std::string(adif_messages::kImportedCount) + std::to_string(report.qsos));
    for (size_t n = 0; n < kNoticeCount; ++n) addNotice(lines, kNoticeTexts[n], report.notices[n]);
    appendReaderWarningLines(lines, report.reader);
    return lines;
}

void appendReaderWarningLines(std::vector<std::string>& lines, const ReaderWarnings& w) {
    addCount(lines, adif_messages::kMalformedTags, w.malformedTags);
    addCount(lines, adif_messages::kValuesCutAtEnd, w.valuesCutAtEnd);
    addCount(lines, adif_messages::kLengthsRemeasured, w.lengthsRemeasured);
    addCount(lines, adif_messages::kHeadersAfterRecords, w.headersAfterRecords);
    if (w.unterminatedRecordKept) lines.emplace_back(adif_messages::kUnterminatedRecordKept);
}

}  // namespace dxcc::adif
