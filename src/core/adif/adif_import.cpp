#include "core/adif/adif_import.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "core/adif/adif_messages.h"
#include "core/adif/adif_text.h"
#include "core/base/file_error.h"
#include "core/base/text_file.h"
#include "core/logbook/logbook.h"

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
    adif_messages::kDateMissing, adif_messages::kTimeMissing,     adif_messages::kCallsignMissing,
    adif_messages::kBandMissing, adif_messages::kCallsignRefused, adif_messages::kDamagedLength,
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

// What tells one QSO from another: the callsign, then the date, time, mode and
// band, which stand side by side in the record; blanks where a short line
// lacks them.
constexpr size_t kKeyTail = kRecordFieldOffsets[static_cast<size_t>(dxcc::Field::Band)] +
                            kBandWidth -
                            kRecordFieldOffsets[static_cast<size_t>(dxcc::Field::Date)];
static_assert(kRecordFieldOffsets[static_cast<size_t>(dxcc::Field::Time)] >
                  kRecordFieldOffsets[static_cast<size_t>(dxcc::Field::Date)] &&
              kRecordFieldOffsets[static_cast<size_t>(dxcc::Field::Band)] >
                  kRecordFieldOffsets[static_cast<size_t>(dxcc::Field::Mode)]);
constexpr size_t kKeyBytes = 40;
static_assert(kCallsignWidth + kKeyTail <= kKeyBytes);

struct QsoKey {
    std::array<uint64_t, kKeyBytes / 8> words{};

    explicit QsoKey(std::string_view record) {
        std::array<char, kKeyBytes> bytes;
        bytes.fill(' ');
        const size_t tail = kRecordFieldOffsets[static_cast<size_t>(dxcc::Field::Date)];
        if (record.size() >= tail + kKeyTail) {
            std::memcpy(bytes.data(), record.data(), kCallsignWidth);
            std::memcpy(bytes.data() + kCallsignWidth, record.data() + tail, kKeyTail);
        } else {
            std::memcpy(bytes.data(), record.data(), std::min(record.size(), kCallsignWidth));
            if (record.size() > tail)
                std::memcpy(bytes.data() + kCallsignWidth, record.data() + tail,
                            record.size() - tail);
        }
        std::memcpy(words.data(), bytes.data(), kKeyBytes);
    }
    bool operator==(const QsoKey&) const = default;
    uint64_t hash() const {
        uint64_t h = 0x9E3779B97F4A7C15ull;
        for (uint64_t w : words) h = (h ^ w) * 0xFF51AFD7ED558CCDull, h ^= h >> 32;
        return h;
    }
};

// The QSOs seen so far, by key: each slot holds 32 bits of the key's hash and
// the QSO's reference, so a million QSOs take a few megabytes and a new QSO
// is told from them without reading any record; the records are compared only
// when the hashes agree. The slot's place comes from the hash bits it holds,
// so growing the table reads no record either.
class QsoKeySet {
public:
    explicit QsoKeySet(size_t expected) { reserve(expected); }

    // Room for `expected` QSOs in all.
    void reserve(size_t expected) {
        size_t size = 1024;
        while (size < expected * 2) size *= 2;
        if (size <= slots_.size()) return;
        std::vector<uint64_t> old = std::move(slots_);
        slots_.assign(size, 0);
        bits_ = static_cast<unsigned>(std::countr_zero(size));
        mask_ = size - 1;
        for (uint64_t slot : old) {
            if (slot == 0) continue;
            size_t s = home(slot >> 32);
            while (slots_[s] != 0) s = (s + 1) & mask_;
            slots_[s] = slot;
        }
    }

    // Adds the QSOs 0 to `count` - 1 (see addIfNew). Their keys are worked out
    // a few at a time and their slots fetched from memory together, instead of
    // waiting for memory once a QSO: a million of them miss the cache.
    template <typename RecordAt>
    void addAll(size_t count, const RecordAt& recordAt) {
        constexpr size_t kBatch = 16;
        reserve(count_ + count);
        uint64_t tags[kBatch];
        for (size_t first = 0; first < count; first += kBatch) {
            const size_t n = std::min(kBatch, count - first);
            for (size_t i = 0; i < n; ++i) {
                tags[i] = QsoKey(recordAt(static_cast<uint32_t>(first + i))).hash() >> 32;
                __builtin_prefetch(&slots_[home(tags[i])]);
            }
            for (size_t i = 0; i < n; ++i) {
                const auto ref = static_cast<uint32_t>(first + i);
                addTagged(QsoKey(recordAt(ref)), tags[i], ref, recordAt);
            }
        }
    }

    // Adds the QSO `ref` whose record is `record` unless an equal one is in;
    // `recordAt(ref)` gives back the record of a QSO added before.
    template <typename RecordAt>
    bool addIfNew(std::string_view record, uint32_t ref, const RecordAt& recordAt) {
        const QsoKey key(record);
        return addTagged(key, key.hash() >> 32, ref, recordAt);
    }

private:
    template <typename RecordAt>
    bool addTagged(const QsoKey& key, uint64_t tag, uint32_t ref, const RecordAt& recordAt) {
        if ((count_ + 1) * 2 > slots_.size()) reserve(slots_.size());
        for (size_t s = home(tag);; s = (s + 1) & mask_) {
            const uint64_t slot = slots_[s];
            if (slot == 0) {
                slots_[s] = tag << 32 | (uint64_t{ref} + 1);
                ++count_;
                return true;
            }
            if (slot >> 32 == tag && QsoKey(recordAt(static_cast<uint32_t>(slot) - 1)) == key)
                return false;
        }
    }

    size_t home(uint64_t tag) const {
        return static_cast<size_t>((tag * 0x9E3779B97F4A7C15ull) >> (64 - bits_)) & mask_;
    }

    std::vector<uint64_t> slots_;
    unsigned bits_ = 0;
    size_t mask_ = 0;
    size_t count_ = 0;
};

// Every record the reader gives, converted into the block. The fields are
// reused from one record to the next and the record is written in place: a
// record costs no memory but its line.
template <typename AnyReader>
AdifImport importRecords(AnyReader& reader, const PrefixTable& prefixes,
                         const ImportProgress& progress, size_t roomAfter, size_t maxRecords,
                         const Logbook* log) {
    AdifImport result;
    RecordBlock& block = result.records;
    std::vector<Field> fields;
    size_t count = 0;
    // The log's QSOs and the block's, by one reference: the log's first.
    const size_t logSize = log ? log->size() : 0;
    auto recordAt = [&](uint32_t ref) -> std::string_view {
        return ref < logSize ? log->record(ref) : block[ref - logSize];
    };
    QsoKeySet seen(logSize + kRecordsToEstimate);
    seen.addAll(logSize, recordAt);
    while (reader.next(fields)) {
        // More records than a log can hold: stopped before memory runs out.
        if (count == maxRecords)
            throw FileError(kOutOfMemory, "ADIF", 0, FileProblem::LogLimitReached);
        const AdifQsoValues values = importedValues(fields);
        if (count == 0) result.mergeKey = adifMergeKey(values.date, values.time);
        if (count == kRecordsToEstimate) {
            const size_t expected =
                std::min(expectedRecords(count, reader.offset(), reader.size()), maxRecords);
            block.reserve(expected, roomAfter);
            seen.reserve(logSize + expected);
        }
        char* record = block.addLine();
        Notices notices = mapQsoRecord(values, prefixes, record);
        notices[static_cast<size_t>(Notice::DamagedLength)] = reader.recordHadDamagedLength();
        ++count;
        // A duplicate is only counted: its substitutes never reach the log.
        if (!notices[static_cast<size_t>(Notice::CallsignRefused)] &&
            !seen.addIfNew({record, kRecordLength},
                           static_cast<uint32_t>(logSize + block.size() - 1), recordAt)) {
            block.dropLastLine();
            ++result.report.duplicates;
        } else {
            tally(result.report, notices, {record, kRecordLength}, count);
            if (notices[static_cast<size_t>(Notice::CallsignRefused)]) block.dropLastLine();
        }
        if (progress && count % kProgressEvery == 0 &&
            !progress(count, reader.offset(), reader.size())) {
            result.cancelled = true;
            break;
        }
    }
    result.report.qsos = block.size();
    result.report.reader = reader.warnings();
    if (progress && !result.cancelled)
        result.cancelled = !progress(count, reader.offset(), reader.size());
    return result;
}

}  // namespace

AdifImport importAdif(std::string_view fileBytes, const PrefixTable& prefixes,
                      const ImportProgress& progress, size_t maxRecords, const Logbook* log) {
    Reader reader(fileBytes);
    return importRecords(reader, prefixes, progress, 0, maxRecords, log);
}

AdifImport importAdifFile(const std::filesystem::path& file, const PrefixTable& prefixes,
                          const ImportProgress& progress, size_t roomAfter, size_t maxRecords,
                          const Logbook* log) {
    try {
        FileReader reader(file);
        return importRecords(reader, prefixes, progress, roomAfter, maxRecords, log);
    } catch (const FileError& e) {
        throw FileError(e.code(), file.string(), e.systemError(), e.problem());
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
    // What the log may still take; the insert itself checks again.
    const FileLimits& limits = log.limits();
    const size_t roomBytes = limits.maxBytes - std::min(limits.maxBytes, log.byteSize());
    const size_t roomLines = limits.maxLines - std::min(limits.maxLines, log.size());
    const size_t maxRecords = std::min(roomLines, roomBytes / RecordBlock::kLineLength);
    // Room for the log after the block: the log is merged into its memory.
    result.imported = importAdifFile(file, prefixes, progress,
                                     log.byteSize() + Logbook::kSpareBytes, maxRecords, &log);
    result.plan = planMerge(log, result.imported);
    result.change = {LogChange::Kind::Inserted, result.plan.index, 0};
    if (result.imported.cancelled || result.imported.records.empty()) return result;
    result.change = log.insertBlockLines(result.plan.index, result.imported.records.takeLines());
    return result;
}

std::vector<std::string> reportLines(const ImportReport& report) {
    std::vector<std::string> lines;
    lines.push_back(std::string(adif_messages::kImportedCount) + std::to_string(report.qsos));
    addCount(lines, adif_messages::kDuplicates, report.duplicates);
    for (size_t n = 0; n < kNoticeCount; ++n) addNotice(lines, kNoticeTexts[n], report.notices[n]);
    // The damaged lengths are listed above with their records.
    ReaderWarnings others = report.reader;
    others.damagedLengths = 0;
    appendReaderWarningLines(lines, others);
    return lines;
}

void appendReaderWarningLines(std::vector<std::string>& lines, const ReaderWarnings& w) {
    addCount(lines, adif_messages::kMalformedTags, w.malformedTags);
    addCount(lines, adif_messages::kValuesCutAtEnd, w.valuesCutAtEnd);
    addCount(lines, adif_messages::kLengthsRemeasured, w.lengthsRemeasured);
    addCount(lines, adif_messages::kHeadersAfterRecords, w.headersAfterRecords);
    addCount(lines,
             std::string(adif_messages::kLongRecordsSkippedBefore) +
                 std::to_string(FileReader::kMaxRecordBytes / kMebibyte) +
                 std::string(adif_messages::kLongRecordsSkippedAfter),
             w.longRecordsSkipped);
    addCount(lines, adif_messages::kDamagedLengths, w.damagedLengths);
    if (w.unterminatedRecordKept) lines.emplace_back(adif_messages::kUnterminatedRecordKept);
}

}  // namespace dxcc::adif
