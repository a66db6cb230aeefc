#include "adif/adif_import.h"

#include "adif/adif_messages.h"
#include "adif/adif_text.h"
#include "logbook/file_error.h"
#include "logbook/logbook.h"
#include "logbook/text_file.h"

namespace dxcc::adif {

namespace {

void tally(ImportReport& report, const MappedQso& q, size_t number) {
    for (size_t n = 0; n < kNoticeCount; ++n) {
        if (!q.notices[n]) continue;
        NoticeTally& t = report.notices[n];
        ++t.count;
        if (t.first.size() < NoticeTally::kExamples)
            t.first.push_back({number, q.fields.callsign, q.fields.date, q.fields.time});
    }
}

// A rough count of the records to come, so the block is rarely moved while it grows.
size_t expectedRecords(std::string_view bytes) {
    constexpr size_t kTypicalRecordBytes = 200;
    return bytes.size() / kTypicalRecordBytes + 1;
}

constexpr std::array<std::string_view, kNoticeCount> kNoticeTexts{
    adif_messages::kDateMissing,
    adif_messages::kTimeMissing,
    adif_messages::kCallsignMissing,
    adif_messages::kBandMissing,
};

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

AdifImport importAdif(std::string_view fileBytes, const PrefixTable& prefixes,
                      const ImportProgress& progress, size_t maxRecords) {
    AdifImport result;
    result.records.reserve(expectedRecords(fileBytes));
    Reader reader(fileBytes);
    // Reused from one record to the next, so a record costs no memory but its own.
    std::vector<Field> fields;
    MappedQso q;
    while (reader.next(fields)) {
        if (result.records.size() == maxRecords) throw FileError(kOutOfMemory, "ADIF");
        const AdifQsoValues values = importedValues(fields);
        if (result.records.empty()) result.mergeKey = adifMergeKey(values.date, values.time);
        mapQso(values, prefixes, q);
        tally(result.report, q, result.records.size() + 1);
        result.records.push_back(buildRecord(q.fields));
        if (progress && result.records.size() % kProgressEvery == 0 &&
            !progress(result.records.size(), reader.offset(), reader.size())) {
            result.cancelled = true;
            break;
        }
    }
    result.report.qsos = result.records.size();
    result.report.reader = reader.warnings();
    if (progress && !result.cancelled)
        result.cancelled = !progress(result.records.size(), reader.offset(), reader.size());
    return result;
}

AdifImport importAdifFile(const std::filesystem::path& file, const PrefixTable& prefixes,
                          const ImportProgress& progress) {
    const std::string bytes = readFileBytes(file);
    try {
        return importAdif(bytes, prefixes, progress);
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
    result.imported = importAdifFile(file, prefixes, progress);
    result.plan = planMerge(log, result.imported);
    result.change = {LogChange::Kind::Inserted, result.plan.index, 0};
    if (result.imported.cancelled || result.imported.records.empty()) return result;
    result.change = log.insertBlock(result.plan.index, result.imported.records);
    return result;
}

std::vector<std::string> reportLines(const ImportReport& report) {
    std::vector<std::string> lines;
    lines.push_back(std::string(adif_messages::kImportedCount) + std::to_string(report.qsos));
    for (size_t n = 0; n < kNoticeCount; ++n) addNotice(lines, kNoticeTexts[n], report.notices[n]);
    const ReaderWarnings& w = report.reader;
    addCount(lines, adif_messages::kMalformedTags, w.malformedTags);
    addCount(lines, adif_messages::kValuesCutAtEnd, w.valuesCutAtEnd);
    addCount(lines, adif_messages::kLengthsRemeasured, w.lengthsRemeasured);
    addCount(lines, adif_messages::kHeadersAfterRecords, w.headersAfterRecords);
    if (w.unterminatedRecordKept) lines.emplace_back(adif_messages::kUnterminatedRecordKept);
    return lines;
}

}  // namespace dxcc::adif
