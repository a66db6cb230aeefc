#include "core/adif/adif_import.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <exception>
#include <future>
#include <memory>
#include <system_error>
#include <thread>

#include "core/adif/adif_messages.h"
#include "core/adif/qso_key_set.h"
#include "core/base/file_error.h"
#include "core/base/text_conversion.h"
#include "core/base/text_file.h"
#include "core/base/two_processors.h"
#include "core/logbook/logbook.h"
#include "core/prefixes/lookup_messages.h"

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
    adif_messages::kDateMissing,      adif_messages::kTimeMissing,
    adif_messages::kCallsignMissing,  adif_messages::kBandMissing,
    adif_messages::kCallsignRefused,  adif_messages::kDamagedLength,
    lookup_messages::kMaritimeMobile,
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
    if (front_ + used_ + kLineLength > lines_.capacity())
        reserve(std::max<size_t>(2 * size(), 512));  // doubled: each line is copied once or twice
    lines_.resize(front_ + used_ + kLineLength);
    char* line = lines_.data() + front_ + used_;
    used_ += kLineLength;
    line[kRecordLength] = kLineEnd[0];
    line[kRecordLength + 1] = kLineEnd[1];
    return line;
}

void RecordBlock::reserve(size_t records, size_t moreBytes, std::optional<size_t> frontBytes) {
    const size_t front = frontBytes.value_or(front_);
    const size_t capacity = std::max(front + records * kLineLength + moreBytes, front + used_);
    if (front == front_ && capacity <= lines_.capacity()) return;
    // New memory, only the lines copied; what lies before them is left
    // untouched, so it costs nothing until it is written.
    ByteBuffer moved;
    moved.reserve(capacity);
    moved.resize(front + used_);
    if (used_ > 0) std::memcpy(moved.data() + front, lines_.data() + front_, used_);
    lines_ = std::move(moved);
    front_ = front;
}

BlockBytes RecordBlock::takeLines() {
    lines_.resize(front_ + used_);
    BlockBytes taken{std::move(lines_), front_};
    used_ = 0;
    front_ = 0;
    return taken;
}

namespace {

// What a record gave beside its line: its notices, a bit each, and whether it
// repeats a QSO of the log or an earlier record of the file.
using RecordMarks = uint8_t;
constexpr RecordMarks kRepeatMark = 0x80;
static_assert(kNoticeCount < 8);

RecordMarks marksOf(const Notices& notices) {
    unsigned marks = 0;
    for (size_t n = 0; n < kNoticeCount; ++n)
        if (notices[n]) marks |= 1u << n;
    return static_cast<RecordMarks>(marks);
}

Notices noticesOf(RecordMarks marks) {
    Notices notices{};
    for (size_t n = 0; n < kNoticeCount; ++n) notices[n] = (marks >> n) & 1u;
    return notices;
}

bool callsignRefused(RecordMarks marks) {
    return (marks >> static_cast<size_t>(Notice::CallsignRefused)) & 1u;
}

// A part of the file converted by one processor: a line for each of its
// records, in file order, refused and repeated ones included (they are left
// out once the parts are put together), and what each record gave.
struct ConvertedPart {
    RecordBlock lines;
    std::vector<RecordMarks> marks;
    ReaderWarnings warnings;
    std::optional<MergeKey> mergeKey;
    size_t start = 0;  // the file's offset where the part begins
    // Room before the lines for the log's lines that go before them.
    std::optional<size_t> roomBefore;

    size_t size() const { return marks.size(); }
};

// The records a log can still take, counted over both parts: a file with more
// is stopped once the two together have read that many (give or take a step
// each), not once each has, so its memory stays that of one log's worth.
class RecordBudget {
public:
    static constexpr size_t kStep = 4096;
    explicit RecordBudget(size_t max) : max_(max) {}
    size_t max() const { return max_; }
    // A part has read `kStep` more records; false when both have read too many.
    bool stepTaken() { return taken_.fetch_add(kStep, std::memory_order_relaxed) + kStep <= max_; }

private:
    const size_t max_;
    std::atomic<size_t> taken_ = 0;
};

[[noreturn]] void refuseTooManyRecords() {
    throw FileError(kOutOfMemory, "ADIF", 0, FileProblem::LogLimitReached);
}

// Converts the reader's next record into the part; false when none is left.
// The fields are reused from one record to the next and the record is written
// in place: a record costs no memory but its line and its marks.
template <typename AnyReader>
bool convertNext(AnyReader& reader, const PrefixTable& prefixes, ConvertedPart& part,
                 std::vector<Field>& fields, RecordBudget& budget, size_t roomAfter) {
    if (!reader.next(fields)) return false;
    // More records than a log can hold: stopped before memory runs out.
    const size_t maxRecords = budget.max();
    if (part.size() == maxRecords) refuseTooManyRecords();
    if (part.size() % RecordBudget::kStep == 0 && part.size() > 0 && !budget.stepTaken())
        refuseTooManyRecords();
    const AdifQsoValues values = importedValues(fields);
    if (part.marks.empty()) part.mergeKey = adifMergeKey(values.date, values.time);
    if (part.size() == kRecordsToEstimate) {
        // The first part's estimate is for the whole file: the second's lines join it.
        const size_t expected = std::min(
            expectedRecords(part.size(), reader.offset() - part.start, reader.size() - part.start),
            maxRecords);
        part.lines.reserve(expected, roomAfter, part.roomBefore);
        part.marks.reserve(expected);
    }
    char* record = part.lines.addLine();
    Notices notices = mapQsoRecord(values, prefixes, record);
    notices[static_cast<size_t>(Notice::DamagedLength)] = reader.recordHadDamagedLength();
    part.marks.push_back(marksOf(notices));
    return true;
}

void addWarnings(ReaderWarnings& to, const ReaderWarnings& more) {
    to.malformedTags += more.malformedTags;
    to.valuesCutAtEnd += more.valuesCutAtEnd;
    to.lengthsRemeasured += more.lengthsRemeasured;
    to.headersAfterRecords += more.headersAfterRecords;
    to.unterminatedRecordKept = to.unterminatedRecordKept || more.unterminatedRecordKept;
    to.longRecordsSkipped += more.longRecordsSkipped;
    to.damagedLengths += more.damagedLengths;
}

// Marks each record equal to a QSO of the log or to an earlier record (the
// parts in file order); a record with a refused callsign is never compared.
void markRepeats(const Logbook* log, std::vector<ConvertedPart>& parts, unsigned shares) {
    const auto logSize = static_cast<uint32_t>(log ? log->size() : 0);
    size_t total = logSize;
    for (const ConvertedPart& p : parts) total += p.size();
    // The log's QSOs and the parts' records by one reference: the log's first.
    auto recordAt = [&](uint32_t ref) -> std::string_view {
        if (ref < logSize) return log->record(ref);
        size_t index = ref - logSize;
        for (const ConvertedPart& p : parts) {
            if (index < p.size()) return p.lines[index];
            index -= p.size();
        }
        return {};
    };
    // Each share reads and writes the marks of its own records only.
    auto markShare = [&](unsigned share) {
        QsoKeySet seen(total, share, shares);
        seen.addRange(
            0, logSize, recordAt, [](uint32_t) { return false; }, [](uint32_t) {});
        auto base = logSize;
        for (ConvertedPart& p : parts) {
            std::vector<RecordMarks>& marks = p.marks;
            seen.addRange(
                base, static_cast<uint32_t>(base + p.size()), recordAt,
                [&](uint32_t ref) { return callsignRefused(marks[ref - base]); },
                [&](uint32_t ref) { marks[ref - base] |= kRepeatMark; });
            base += static_cast<uint32_t>(p.size());
        }
    };
    if (shares < 2) return markShare(0);
    onTwoProcessors([&] { markShare(0); }, [&] { markShare(1); });
}

// Below this many QSOs to compare, a second processor costs more than it saves.
constexpr size_t kSharedRepeatsFrom = 32768;

unsigned repeatShares(const Logbook* log, const std::vector<ConvertedPart>& parts,
                      const ImportSharing& sharing) {
    if (sharing.repeatShares != 0) return std::min(sharing.repeatShares, 2u);
    size_t total = log ? log->size() : 0;
    for (const ConvertedPart& p : parts) total += p.size();
    return total >= kSharedRepeatsFrom && twoProcessors() ? 2 : 1;
}

// The parts put together in file order into the first part's memory: the
// repeats and the refused callsigns left out, the messages gathered.
AdifImport assemble(std::vector<ConvertedPart>& parts, const Logbook* log, size_t roomAfter,
                    const ImportSharing& sharing) {
    markRepeats(log, parts, repeatShares(log, parts, sharing));
    AdifImport result;
    result.mergeKey = parts.front().mergeKey;
    RecordBlock& block = result.records;
    block = std::move(parts.front().lines);
    size_t total = 0;
    for (const ConvertedPart& p : parts) total += p.size();
    block.reserve(total, roomAfter);
    size_t kept = 0, number = 0;
    for (ConvertedPart& part : parts) {
        // The first part's lines are read from the block as it is compacted.
        const RecordBlock& lines = &part == &parts.front() ? block : part.lines;
        for (size_t i = 0; i < part.size(); ++i) {
            ++number;
            const RecordMarks marks = part.marks[i];
            // A repeat is only counted: its substitutes never reach the log.
            if (marks & kRepeatMark) {
                ++result.report.duplicates;
                continue;
            }
            tally(result.report, noticesOf(marks), lines[i], number);
            if (!callsignRefused(marks)) block.putLine(kept++, lines[i]);
        }
        addWarnings(result.report.reader, part.warnings);
        if (&part != &parts.front()) part.lines = RecordBlock();  // its memory, given back now
    }
    block.keepFirst(kept);
    result.report.qsos = kept;
    return result;
}

// The file's bytes in memory, and readers of them.
class BytesSource {
public:
    explicit BytesSource(std::string_view bytes) : bytes_(bytes), first_(bytes) {}
    Reader& first() { return first_; }
    std::unique_ptr<Reader> second(AfterRecordAt start) const {
        return std::make_unique<Reader>(bytes_, start);
    }
    std::string peek(size_t at, size_t count) const {
        return std::string(bytes_.substr(std::min(at, bytes_.size()), count));
    }
    size_t size() const { return bytes_.size(); }

private:
    std::string_view bytes_;
    Reader first_;
};

// An open file, and readers of it.
class FileSource {
public:
    explicit FileSource(const std::filesystem::path& file) : first_(file) {}
    FileReader& first() { return first_; }
    std::unique_ptr<FileReader> second(AfterRecordAt start) const {
        return std::make_unique<FileReader>(first_, start);
    }
    std::string peek(size_t at, size_t count) const { return first_.peek(at, count); }
    size_t size() const { return first_.size(); }

private:
    FileReader first_;
};

// Files smaller than this are read by one processor.
constexpr size_t kTwoPartsFrom = 4 * kMebibyte;
// How far from its guess the second part's start is sought.
constexpr size_t kStartSearchBytes = 64 * 1024;

// Where the second part may start: just after the first <EOR> from the middle
// of the file on (or from where `sharing` says); npos for no second part.
template <typename Source>
size_t secondPartStart(const Source& source, const ImportSharing& sharing) {
    size_t from = sharing.secondPartFrom;
    if (from == ImportSharing::kOnePart) return std::string::npos;
    if (from == ImportSharing::kAutomatic) {
        if (source.size() < kTwoPartsFrom || !twoProcessors()) return std::string::npos;
        from = source.size() / 2;
    }
    constexpr size_t kEorBytes = 5;
    const std::string window = source.peek(from, kStartSearchBytes);
    for (size_t lt = window.find('<'); lt != std::string::npos; lt = window.find('<', lt + 1)) {
        if (lt + kEorBytes > window.size()) break;
        if (sameName(std::string_view(window).substr(lt + 1, 3), "EOR") && window[lt + 4] == '>')
            return from + lt + kEorBytes < source.size() ? from + lt + kEorBytes
                                                         : std::string::npos;
    }
    return std::string::npos;
}

// The second part, converted on another processor from its start to the
// file's end while the first part is converted here.
class SecondPart {
public:
    template <typename Source>
    SecondPart(const Source& source, size_t start, const PrefixTable& prefixes,
               RecordBudget& budget) {
        part_.start = start;
        finished_ = done_.get_future().share();
        // Made here, not on the other thread, which would read the first
        // reader's state while this thread reads on with it.
        thread_ =
            std::thread([this, reader = source.second(AfterRecordAt{start}), &prefixes, &budget] {
                try {
                    convert(*reader, prefixes, budget);
                } catch (...) {
                    error_ = std::current_exception();
                }
                done_.set_value();
            });
    }
    ~SecondPart() { abandon(); }
    SecondPart(const SecondPart&) = delete;
    SecondPart& operator=(const SecondPart&) = delete;

    // Stops the work, whose result is not wanted.
    void abandon() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    // Records and bytes converted so far.
    size_t records() const { return records_; }
    size_t bytesRead() const { return bytesRead_; }
    // Waits up to `wait` for the part; true when it is done.
    bool waitFor(std::chrono::milliseconds wait) const {
        return finished_.wait_for(wait) == std::future_status::ready;
    }
    // The part, once done (throws what the conversion threw).
    ConvertedPart take() {
        thread_.join();
        if (error_) std::rethrow_exception(error_);
        return std::move(part_);
    }

private:
    template <typename AnyReader>
    void convert(AnyReader& reader, const PrefixTable& prefixes, RecordBudget& budget) {
        std::vector<Field> fields;
        while (!stop_.load(std::memory_order_relaxed) &&
               convertNext(reader, prefixes, part_, fields, budget, 0)) {
            if (part_.size() % kProgressEvery != 0) continue;
            records_ = part_.size();
            bytesRead_ = reader.offset() - part_.start;
        }
        part_.warnings = reader.warnings();
    }

    ConvertedPart part_;
    std::atomic<bool> stop_ = false;
    std::atomic<size_t> records_ = 0, bytesRead_ = 0;
    std::exception_ptr error_;
    std::promise<void> done_;
    std::shared_future<void> finished_;
    std::thread thread_;
};

// Every record of the file, converted in one or two parts, then put together.
template <typename Source>
AdifImport importRecords(Source& source, const PrefixTable& prefixes,
                         const ImportProgress& progress, size_t roomAfter, size_t maxRecords,
                         const Logbook* log, const ImportSharing& sharing) {
    auto& reader = source.first();
    std::vector<ConvertedPart> parts(1);
    parts.reserve(2);  // `first` stays where it is when the second part joins
    ConvertedPart& first = parts.front();
    size_t secondStart = secondPartStart(source, sharing);
    RecordBudget budget(maxRecords);  // outlives the second part, which uses it
    std::unique_ptr<SecondPart> second;
    try {
        if (secondStart != std::string::npos)
            second = std::make_unique<SecondPart>(source, secondStart, prefixes, budget);
    } catch (const std::system_error&) {
        secondStart = std::string::npos;  // no thread to be had: this part reads it all
    }
    auto report = [&](size_t bytesRead) {
        const size_t records = first.size() + (second ? second->records() : 0);
        return progress(records, bytesRead + (second ? second->bytesRead() : 0), reader.size());
    };
    bool cancelled = false, reachedSecond = false;
    std::vector<Field> fields;
    while (convertNext(reader, prefixes, first, fields, budget, roomAfter)) {
        // Merged into the log's memory: the lines go where the log will have them.
        if (first.size() == 1 && log && roomAfter > 0)
            first.roomBefore = log->lineOffset(mergeIndex(*log, first.mergeKey));
        if (reader.offset() >= secondStart) {
            reachedSecond = reader.offset() == secondStart;
            if (reachedSecond) break;
            // The guess stood inside a record: this part reads on alone.
            second.reset();
            secondStart = std::string::npos;
        }
        if (progress && first.size() % kProgressEvery == 0 && !report(reader.offset())) {
            cancelled = true;
            break;
        }
    }
    first.warnings = reader.warnings();
    if (second && (cancelled || !reachedSecond)) second.reset();
    if (second) {
        while (progress && !cancelled && !second->waitFor(std::chrono::milliseconds(100)))
            cancelled = !report(reader.offset());
        if (cancelled)
            second.reset();
        else
            parts.push_back(second->take());
    }
    size_t records = 0;
    for (const ConvertedPart& p : parts) records += p.size();
    if (records > maxRecords) refuseTooManyRecords();
    AdifImport result = assemble(parts, log, roomAfter, sharing);
    const size_t bytesRead = parts.size() > 1 ? reader.size() : reader.offset();
    result.cancelled = cancelled || (progress && !progress(records, bytesRead, reader.size()));
    return result;
}

}  // namespace

void RecordBlock::putLine(size_t index, std::string_view record) {
    char* line = index == size() ? addLine() : lines_.data() + front_ + index * kLineLength;
    if (line != record.data()) std::memmove(line, record.data(), kRecordLength);
}

AdifImport importAdif(std::string_view fileBytes, const PrefixTable& prefixes,
                      const ImportProgress& progress, size_t maxRecords, const Logbook* log,
                      const ImportSharing& sharing) {
    BytesSource source(fileBytes);
    return importRecords(source, prefixes, progress, 0, maxRecords, log, sharing);
}

AdifImport importAdifFile(const std::filesystem::path& file, const PrefixTable& prefixes,
                          const ImportProgress& progress, size_t roomAfter, size_t maxRecords,
                          const Logbook* log, const ImportSharing& sharing) {
    try {
        FileSource source(file);
        return importRecords(source, prefixes, progress, roomAfter, maxRecords, log, sharing);
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

LogImport importTextIntoLog(Logbook& log, std::string_view adifText, const PrefixTable& prefixes) {
    LogImport result;
    const FileLimits& limits = log.limits();
    const size_t roomBytes = limits.maxBytes - std::min(limits.maxBytes, log.byteSize());
    const size_t roomLines = limits.maxLines - std::min(limits.maxLines, log.size());
    const size_t maxRecords = std::min(roomLines, roomBytes / RecordBlock::kLineLength);
    result.imported = importAdif(adifText, prefixes, {}, maxRecords, &log);
    result.plan = planMerge(log, result.imported);
    result.change = {LogChange::Kind::Inserted, result.plan.index, 0};
    if (result.imported.records.empty()) return result;
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
