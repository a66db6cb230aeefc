#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/adif/adif_mapping.h"
#include "core/adif/adif_merge.h"
#include "core/adif/adif_reader.h"
#include "core/base/byte_buffer.h"
#include "core/base/text_file.h"
#include "core/logbook/logbook.h"

namespace dxcc {
class Logbook;
class PrefixTable;
}  // namespace dxcc

// A whole ADIF file turned into a block of QSO records for the log, with the
// messages gathered instead of one box per record.
namespace dxcc::adif {

// A record that a message concerns, as the log stores it.
struct RecordRef {
    size_t number = 0;  // 1-based, in file order
    std::string callsign;
    std::string date;
    std::string time;
    bool operator==(const RecordRef&) const = default;
};

// How many records one message concerns, and the first of them.
struct NoticeTally {
    static constexpr size_t kExamples = 10;
    size_t count = 0;
    std::vector<RecordRef> first;
};

struct ImportReport {
    size_t qsos = 0;  // records that became QSOs of the block
    // Records equal to a QSO of the log or to an earlier record of the file
    // (callsign, date, time, band and mode): not added again.
    size_t duplicates = 0;
    std::array<NoticeTally, kNoticeCount> notices;
    ReaderWarnings reader;

    const NoticeTally& tally(Notice n) const { return notices[static_cast<size_t>(n)]; }
};

// The QSO records of an import as the lines they become in the log: each
// record (kRecordLength characters) followed by CR LF, all in one buffer, so a
// million records cost one allocation and the log can take the buffer whole.
// The lines may start some way into the buffer: room left for the log's lines
// that go before them, so that merging them into the log moves no line.
class RecordBlock {
public:
    static constexpr size_t kLineLength = kRecordLength + 2;

    size_t size() const { return used_ / kLineLength; }
    bool empty() const { return used_ == 0; }
    // The record at 0-based `index`, without its line end.
    std::string_view operator[](size_t index) const {
        return lines().substr(index * kLineLength, kRecordLength);
    }
    // A new last line, its line end written: the caller writes the
    // kRecordLength bytes of its record at the pointer given.
    char* addLine();
    // Puts `record` at line `index`, one past the last at most (a new line).
    void putLine(size_t index, std::string_view record);
    // Keeps the first `count` lines only.
    void keepFirst(size_t count) { used_ = std::min(used_, count * kLineLength); }
    // Room for `records` records, `moreBytes` bytes after them and, when
    // given, `frontBytes` before them (the lines move there).
    void reserve(size_t records, size_t moreBytes = 0, std::optional<size_t> frontBytes = {});
    // Every line with its CR LF.
    std::string_view lines() const { return {lines_.data() + front_, used_}; }
    // The buffer, memory and all, and where its lines start; the block is left empty.
    BlockBytes takeLines();

private:
    // Grown by many lines at a time; the bytes past the lines are no lines yet,
    // and those before `front_` are not written.
    ByteBuffer lines_;
    size_t front_ = 0;
    size_t used_ = 0;
};

struct AdifImport {
    // The QSO records, in file order.
    RecordBlock records;
    // From the first record's QSO_DATE and TIME_ON; none when either is missing.
    std::optional<MergeKey> mergeKey;
    ImportReport report;
    // The progress callback asked to stop: `records` is incomplete and must not
    // reach the log.
    bool cancelled = false;
};

// Called now and then with the records read so far and the file's bytes read
// and in all; returns false to stop the import.
using ImportProgress = std::function<bool(size_t records, size_t bytesRead, size_t bytesTotal)>;
inline constexpr size_t kProgressEvery = 4096;

// Reads every record of the ADIF file's bytes and builds its QSO records.
// A record whose callsign, date, time, band and mode equal those of a QSO of
// `log` (when given) or of an earlier record is left out and counted; so is a
// record with a refused callsign. More than `maxRecords` records could never
// be held by the log: the import stops there with FileError 7,
// FileProblem::LogLimitReached (a hostile file cannot exhaust memory).
//
// A file of a few megabytes or more is read in two parts, each on its own
// processor, and the repeats are then looked for on both: `sharing` lets a
// test choose where the file is cut. The result is always that of one reading
// from start to end: where the second part was begun at the wrong place (an
// <EOR> inside a value), its work is thrown away and the first reads on.
struct ImportSharing {
    static constexpr size_t kAutomatic = static_cast<size_t>(-1);
    static constexpr size_t kOnePart = static_cast<size_t>(-2);
    // Where the second part's start, the first <EOR> from there on, is sought.
    size_t secondPartFrom = kAutomatic;
    // Processors that look for the repeats (1 or 2); 0: as many QSOs need.
    unsigned repeatShares = 0;
};
AdifImport importAdif(std::string_view fileBytes, const PrefixTable& prefixes,
                      const ImportProgress& progress = {},
                      size_t maxRecords = kLogFileLimits.maxLines, const Logbook* log = nullptr,
                      const ImportSharing& sharing = {});
// The same from a file, read piece by piece: no size of file is refused, only
// more records than `maxRecords`. Throws FileError when it cannot be read (75
// for a folder, a pipe or a device). `roomAfter` bytes are kept free after the
// records (for the log they will be merged with, see
// Logbook::insertBlockLines); given with the log, the lines are put where the
// first record's date places them in it, the room before them left for the
// log's lines.
AdifImport importAdifFile(const std::filesystem::path& file, const PrefixTable& prefixes,
                          const ImportProgress& progress = {}, size_t roomAfter = 0,
                          size_t maxRecords = kLogFileLimits.maxLines, const Logbook* log = nullptr,
                          const ImportSharing& sharing = {});

// Where the block goes in the log and what it leaves around it.
struct MergePlan {
    size_t index = 0;    // 0-based line index of the block's first record
    bool dated = false;  // false: no merge key, the block goes at the end
    size_t linesBefore = 0;
    size_t linesAfter = 0;
};
MergePlan planMerge(const Logbook& log, const AdifImport& import);
MergePlan planMerge(const std::vector<std::string_view>& lines, const AdifImport& import);

// An import carried into the log: what was read, where the block went, and
// what changed in the log (for the main list). The records themselves are in
// the log: `imported.records` is left empty.
struct LogImport {
    AdifImport imported;
    MergePlan plan;
    LogChange change;
};

// Reads `file`, converts its records and inserts them as one block at their
// chronological place, with one safe rewrite of the log. Throws FileError with
// the log unchanged (7 as soon as the records would not fit in the log's
// limits, before the rest of the file is read); a cancelled import (or one with no record) leaves
// the log untouched. The same routine serves the window and the command line.
LogImport importIntoLog(Logbook& log, const std::filesystem::path& file,
                        const PrefixTable& prefixes, const ImportProgress& progress = {});

// The same with the ADIF text itself (a contact that a program sent), not a
// file.
LogImport importTextIntoLog(Logbook& log, std::string_view adifText, const PrefixTable& prefixes);

// The gathered messages as lines of text (UTF-8) for the closing window and
// the command line: the number of QSOs imported, then each message the import
// had to give with its count and the first records concerned, then what the
// reader skipped or repaired.
std::vector<std::string> reportLines(const ImportReport& report);

// What the reader skipped or repaired, one line per kind, appended to `lines`.
void appendReaderWarningLines(std::vector<std::string>& lines, const ReaderWarnings& warnings);

}  // namespace dxcc::adif
