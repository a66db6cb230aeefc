#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/byte_buffer.h"
#include "core/base/program_constants.h"
#include "core/base/text_file.h"

namespace dxcc {

// What an operation changed in the memory copy, so a list over it can keep its
// selection and scroll position. Reset: anything may have changed.
struct LogChange {
    enum class Kind { Reset, Inserted, Changed, Removed };
    Kind kind = Kind::Reset;
    size_t row = 0;
    size_t count = 0;
    // The file had been changed on disk (by another program) since this copy was
    // read: it was read again and the operation made on what it now holds, so
    // the outside change is kept. The kind is then Reset.
    bool reloaded = false;
};

// The line an operation was aimed at no longer holds the expected record.
class LogLineChanged : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The station log: the file of the current station and its one in-memory copy,
// held as the file's bytes plus a line index, so a million records cost little
// more than the file itself. Every operation that changes the file leaves the
// memory equal to what the file now holds.
// Lines to insert as one block: the bytes from `front` on; those before it
// are room for the log's lines that go before the block.
struct BlockBytes {
    ByteBuffer bytes;
    size_t front = 0;
};

class Logbook {
public:
    // `limits`: the most a log may hold, on reading as on writing.
    explicit Logbook(std::filesystem::path dataDir, FileLimits limits = kLogFileLimits);

    const std::filesystem::path& dataDir() const { return dataDir_; }
    // Station callsign in stored form ('/' already replaced by '_').
    void setStationCallsign(std::string callsign) { station_ = std::move(callsign); }
    const std::string& stationCallsign() const { return station_; }
    std::filesystem::path logPath() const;
    const FileLimits& limits() const { return limits_; }

    // Reads the station's log file. Throws FileError (53 when it does not exist,
    // 7 when it is beyond kLogFileLimits); on failure the memory copy is left empty.
    void load();
    // Empties the memory copy without touching any file.
    void clear();

    size_t size() const { return uniform_ ? uniformCount_ : starts_.size() - 1; }
    bool empty() const { return size() == 0; }
    // Bytes of the log in memory, line ends included.
    size_t byteSize() const { return bytes_.size(); }
    // Room kept after the log in memory, so that appending QSOs needs no new memory.
    static constexpr size_t kSpareBytes = 64 * 1024;
    // The record at 0-based `index`, as stored (without line end).
    std::string_view record(size_t index) const;
    // The display line of the record at 0-based `index`.
    std::string displayLine(size_t index) const;

    // Every operation below leaves the memory copy equal to the file. On a
    // failure (FileError, LogLineChanged) the file is unchanged; when it could
    // not even be opened (a folder that vanished), the copy keeps what the file
    // held when last read, and the next operation reads it again.
    // An operation after which the log would hold more than limits() allow
    // (the program could not read it again) is refused before anything is
    // written: FileError 7, FileProblem::LogLimitReached. Another program's
    // change that lands while the file is being rewritten is kept: the
    // operation is abandoned (FileProblem::ChangedWhileWriting).

    // Adds the record as the last line of the file, without reading the file
    // again (unless another program changed it since this copy was read). A log
    // file that vanished is not created again: error 53.
    LogChange appendRecord(std::string_view record);
    // Rewrites the file with the record before the first line dated at or after
    // it; lines whose date or time cannot be read never move it.
    LogChange insertInDateOrder(std::string_view record);
    // Rewrites the file with `records` inserted as one block before the line at
    // 0-based `index` (at the end when `index` is past the last line).
    LogChange insertBlock(size_t index, const std::vector<std::string>& records);
    // The same with the block's records already written as lines, each ending
    // in CR LF. When the block's memory has room for the whole log, the log is
    // merged into it, which then holds the log: a large block then costs
    // neither a second copy of the log nor new memory for it. Where the lines
    // start where the block goes in the file (the bytes of the lines before
    // it), they are not even moved.
    LogChange insertBlockLines(size_t index, BlockBytes&& block);
    // Where line `row` starts in the file (its size past the last line).
    size_t lineOffset(size_t row) const { return row < size() ? lineStart(row) : byteSize(); }
    // Rewrites the file with the line at `row` replaced by `newRecord`. Throws
    // LogLineChanged, and changes nothing, when that line no longer holds
    // `expected` (the file changed since the contact was opened).
    LogChange modifyAt(size_t row, std::string_view expected, std::string_view newRecord);
    // Rewrites the file without the line at `row`; LogLineChanged as modifyAt.
    LogChange removeAt(size_t row, std::string_view expected);
    // Rewrites the file once with the QSL mark "*" set on every line of `rows`
    // (0-based; a short line is first padded with blanks to the mark's column).
    // Answers the range of rows changed. Throws LogLineChanged, changing
    // nothing, when another program changed the file since this copy was read:
    // the copy is then read again, so the rows can be chosen anew.
    LogChange confirmRows(const std::vector<size_t>& rows);
    // Rewrites the file once with the DXCC prefix and entity name of each
    // edit's line set to its texts (padded with blanks, cut to their columns);
    // every other byte of the file stays. A line too short to hold the entity
    // name is first padded with blanks up to its end. Rows ascending, each
    // once. Throws LogLineChanged, changing nothing, when another program
    // changed the file since this copy was read (see confirmRows).
    struct EntityEdit {
        size_t row = 0;
        std::string_view dxccPrefix;  // viewed, not copied: a million edits stay cheap
        std::string_view entityName;
    };
    LogChange setEntities(const std::vector<EntityEdit>& edits);
    // Creates or empties the log file of `stationCallsign`.
    void createEmptyLog(std::string_view stationCallsign) const;

    // Index at which insertInDateOrder places a record with `record`'s date key.
    static size_t insertionIndex(const std::vector<std::string_view>& lines,
                                 std::string_view record);

    static constexpr const char* kInsertScratch = kInsertScratchName;
    static constexpr const char* kRewriteScratch = kRewriteScratchName;

private:
    // Replace `removed` bytes at `offset` of the copy with `inserted`.
    struct Splice {
        size_t offset;
        size_t removed;
        std::string_view inserted;
    };

    // Reads the file into the copy, reusing its memory, and indexes its lines.
    // When the file cannot be opened or is refused, the copy is left as it was;
    // a failure after that empties it.
    void readAndIndex();
    // Indexes the copy's lines; FileError 7 beyond the limits' line count.
    void index();
    // Starts the index of an empty copy, with memory for about `bytes` of lines.
    void startIndex(size_t bytes);
    // Indexes the lines ended in bytes_ between `from` and `to`, as they are read.
    void indexFrom(size_t from, size_t to);
    // The quick way for lines of the one length: false, having changed
    // nothing, when the range holds anything else.
    bool indexUniformLines(size_t from, size_t to);
    // Closes the index once every byte has been indexed.
    void finishIndex();
    size_t lineLength(size_t row) const;
    size_t lineStart(size_t row) const { return uniform_ ? row * stride_ : starts_[row]; }
    // Gives up the implicit index for the list of starts (a line of another length).
    void listStarts();
    // Refuses a log of `bytes` and `lines` that could not be read again.
    void checkRoom(size_t bytes, size_t lines) const;
    // After a failed write: reads the file (old or new, whole) again, or
    // empties the copy when that fails too.
    void mirrorFileOrClear();
    // Rewrites the copy in the one form the file is written in: CR LF after
    // every line.
    void normalizeLineEnds();
    // Applies splices in ascending offset order that all grow or all shrink the
    // copy, in place, then indexes it again.
    void applySplices(const std::vector<Splice>& splices);
    // Puts the copy's bytes around `block` in its own memory, at `offset` of
    // the copy, and makes that memory the copy; `block` gets the old memory.
    void mergeAround(BlockBytes& block, size_t offset);
    // Reads the file, lets `edit` change the copy, rewrites the file safely from
    // the copy. The copy is edited in place, so a rewrite needs no second copy of
    // the log in memory.
    // Answers `change` (read after `edit`, which may fill it in), or Reset when
    // another program had changed the file since this copy was read or written.
    LogChange rewriteWith(const char* scratchName, const std::function<void()>& edit,
                          const LogChange& change = {});
    // The file as it is now, to see a change made elsewhere.
    FileIdentity currentStamp() const;
    void checkLine(size_t row, std::string_view expected) const;

    std::filesystem::path dataDir_;
    FileLimits limits_;
    std::string station_;
    ByteBuffer bytes_;
    // The line index. A log written by this program has lines of one length,
    // each ended by CR LF: line i then starts at i * stride_ and no index is
    // kept (uniform_). Otherwise starts_ says where each line starts, then one
    // more: where a next line would start (one past the end when the last line
    // has no line end); four bytes a line, as the log's size limit keeps every
    // offset below 4 GiB.
    bool uniform_ = true;
    size_t stride_ = 0;  // line length with its CR LF; 0 until the first line
    size_t uniformCount_ = 0;
    std::vector<uint32_t> starts_;
    size_t expectedBytes_ = 0;  // of the file being indexed, for the list's room
    // Every line of bytes_ ends in CR LF, exactly as a rewrite would write it.
    bool normalized_ = true;
    // The file as this copy last read or wrote it.
    FileIdentity stamp_;
};

}  // namespace dxcc
