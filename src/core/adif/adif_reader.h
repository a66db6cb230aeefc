#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A length-true reader of ADIF files (the .adi form): every field is
// <NAME:LENGTH> or <NAME:LENGTH:TYPE> followed by exactly LENGTH bytes of value,
// whatever those bytes hold; <EOR> ends a record wherever it stands; text
// between fields is ignored.
namespace dxcc::adif {

// One field as it stands in the file: the name in its own letter case and the
// value's raw bytes. Both point into the bytes given to the reader.
struct Field {
    std::string_view name;
    std::string_view value;
};

// What the reader skipped or repaired on its way; the reading always goes on.
struct ReaderWarnings {
    // A "<" that opens no well-formed tag, or a tag without length other than
    // EOR and EOH. Those in the header's free text are not counted.
    size_t malformedTags = 0;
    // A value whose length ran past the end of the file: it took the rest.
    size_t valuesCutAtEnd = 0;
    // A value whose declared length did not end at a tag or a blank, read again
    // in characters (a writer that counted UTF-8 characters) or with its line
    // ends counted as CR LF (a file whose line ends were changed after writing).
    size_t lengthsRemeasured = 0;
    // An <EOH> that came after records: ignored.
    size_t headersAfterRecords = 0;
    // The last record had fields but no <EOR>: it was kept.
    bool unterminatedRecordKept = false;
    // Read from a file: a record (or text) that went on for more than
    // FileReader::kMaxRecordBytes without an <EOR>, passed over up to the next
    // one so that memory stays bounded.
    size_t longRecordsSkipped = 0;
    // A value whose declared length could not be right (neither a tag, a
    // blank, a line end nor the file's end followed it) and that held the
    // start of another field (<NAME:LENGTH or <EOR>): cut there, and that
    // field read. A value of the right length is never cut.
    size_t damagedLengths = 0;

    bool any() const {
        return malformedTags || valuesCutAtEnd || lengthsRemeasured || headersAfterRecords ||
               unterminatedRecordKept || longRecordsSkipped || damagedLengths;
    }
    bool operator==(const ReaderWarnings&) const = default;
};

// Where a second reader starts: just after the <EOR> of a record, at
// `offset` bytes from the file's start. It reads what a reader from the file's
// start would read from there on (no header, no byte-order mark), so that two
// processors can each read a part of a large file.
struct AfterRecordAt {
    size_t offset = 0;
};

// Reads records one after the other out of the file's bytes in memory: the
// whole file, or the file piece by piece (see FileReader).
//
// The header is what comes before an <EOH> that stands before the first <EOR>;
// without one, records start at the first byte (after a UTF-8 byte-order
// mark). A record without fields (<EOR><EOR>) is no record. The fields left
// after the last <EOR> form a last record. <APP_LoTW_EOF> ends the data.
class Reader {
public:
    // The whole file.
    explicit Reader(std::string_view bytes) : Reader(bytes, true) {}
    // The file's first bytes; `last` when they are all of it.
    Reader(std::string_view firstPiece, bool last);
    // The whole file, from a record's end on; offset() counts from the file's start.
    Reader(std::string_view bytes, AfterRecordAt start);

    // The next record's fields, in file order, into `fields` (cleared first;
    // its memory is reused). False when no record is left, or when the piece
    // ends before the record does (needsMore()).
    bool next(std::vector<Field>& fields);

    // The piece ended inside a record, which was left unread: go on with
    // `piece`, which starts at offset() of the piece before (the bytes not read
    // yet) and adds the file's next bytes; `last` when they reach its end.
    bool needsMore() const { return needMore_; }
    void continueWith(std::string_view piece, bool last);

    // The header's fields; known once the first record has been read. They
    // point into the bytes given, so read piece by piece they last only until
    // the piece is replaced.
    const std::vector<Field>& header() const { return header_; }
    const ReaderWarnings& warnings() const { return warnings_; }
    // The record last given had a value cut at the start of another field.
    bool recordHadDamagedLength() const { return damagedLength_; }
    bool hasByteOrderMark() const { return bom_; }
    // Bytes of the current piece read so far, and in all.
    size_t offset() const { return pos_; }
    size_t size() const { return data_.size(); }

private:
    enum class Tag { Field, EndOfRecord, EndOfHeader, EndOfData, Malformed, Unknown, Incomplete };
    struct Parsed {
        Tag kind;
        size_t end;  // where reading goes on
    };
    // What reading a record changes, kept to read it again from its start.
    struct Progress {
        size_t pos;
        bool recordSeen;
        bool headerClosed;
        size_t pendingMalformed;
        ReaderWarnings warnings;
    };

    static Tag markerKind(std::string_view name);
    enum class TagStart { No, Yes, NeedMore };
    // Whether the "<" at `lt` opens a field (<NAME:digit) or a marker (<EOR>).
    TagStart tagStartAt(size_t lt) const;
    // Where in the value [start, valueEnd) another field starts; valueEnd
    // when none does, kIncomplete when the piece ends too soon to tell.
    size_t innerTag(size_t start, size_t valueEnd) const;
    // The tag opening at `lt`; a field is added to `fields`.
    Parsed parseTag(size_t lt, std::vector<Field>& fields);
    // Where the value starting at `start` ends; kIncomplete when the piece
    // ends too soon to tell. A value is cut short only when its declared
    // length cannot be right (no tag, blank or line end follows it) and it
    // holds the start of another field.
    size_t valueEnd(size_t start, size_t length);
    size_t checkedValueEnd(size_t start, size_t length);
    enum class Repair { None, CutAtEnd, Remeasured };
    // Where a value whose declared length cannot be right ends once repaired:
    // at the file's end, in characters, or with its line ends counted twice;
    // at its declared length when no repair fits.
    size_t repairedValueEnd(size_t start, size_t length, Repair& repair) const;
    static constexpr size_t kIncomplete = static_cast<size_t>(-1);
    // The pending fields end the header.
    void closeHeader(std::vector<Field>& fields);
    // Back to where the record started, to read it again from a longer piece.
    bool waitForMore(const Progress& start, std::vector<Field>& fields);
    // Passes over a byte-order mark once the piece is long enough to tell.
    bool skipByteOrderMark();

    std::string_view data_;
    // The piece ends where the file does.
    bool last_ = true;
    size_t pos_ = 0;
    bool started_ = false;
    bool bom_ = false;
    bool done_ = false;
    bool needMore_ = false;
    bool damagedLength_ = false;
    bool recordSeen_ = false;
    bool headerClosed_ = false;
    // Malformed tags since the last record: dropped when they turn out to be
    // the header's free text.
    size_t pendingMalformed_ = 0;
    std::vector<Field> header_;
    ReaderWarnings warnings_;
};

// Reads the records of an ADIF file through a buffer of a few hundred
// kilobytes, refilled as the reading goes, so a file of any size costs little
// memory: the records and warnings are those of a Reader over the whole file.
// A record longer than the buffer makes it grow, up to `maxRecordBytes`: a
// longer one (a file of zeros, a length of a gigabyte) is passed over up to
// the next <EOR> and counted (ReaderWarnings::longRecordsSkipped).
class FileReader {
public:
    static constexpr size_t kDefaultBufferBytes = 256 * 1024;
    // Far beyond any record a logger writes.
    static constexpr size_t kMaxRecordBytes = 8 << 20;

    // Throws FileError when the file cannot be opened: 53 when missing, 75
    // (without waiting) for a folder, a pipe or a device.
    explicit FileReader(const std::filesystem::path& file, size_t bufferBytes = kDefaultBufferBytes,
                        size_t maxRecordBytes = kMaxRecordBytes);
    // The file that `first` reads (the same open file, not the path again),
    // from a record's end on; offset() counts from the file's start.
    FileReader(const FileReader& first, AfterRecordAt start);
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // As Reader::next; the fields point into the buffer and last until the next
    // call. Throws FileError when the file cannot be read.
    bool next(std::vector<Field>& fields);

    ReaderWarnings warnings() const;
    bool recordHadDamagedLength() const { return reader_.recordHadDamagedLength(); }
    // Bytes of the file read into records so far, and its size (at least
    // the bytes read, should the file have grown), for a progress display.
    size_t offset() const { return consumed_ + reader_.offset(); }
    size_t size() const;
    // Up to `count` bytes of the file from `at`, read without moving the
    // reading on (to find where a second reader may start).
    std::string peek(size_t at, size_t count) const;

private:
    // Fills the buffer from where reading starts, and gives it to the reader;
    // on a failure the file is closed (the constructor does not finish).
    void readFirstBytes();
    // Keeps the bytes not read yet, adds the file's next ones behind them.
    void refill();
    // Reads until the buffer is full or the file ends; false at its end.
    bool fill(size_t from);
    // Passes over the buffer's bytes from `from` on, and the file's next ones,
    // up to the first <EOR>; answers where reading goes on in the buffer.
    size_t skipPastEndOfRecord(size_t from);

    std::filesystem::path path_;
    int fd_ = -1;
    size_t fileSize_ = 0;
    std::string buffer_;
    size_t filled_ = 0;
    // File offset of the buffer's first byte, and of the next byte to read.
    size_t consumed_ = 0;
    size_t readAt_ = 0;
    bool atEnd_ = false;
    size_t maxRecordBytes_;
    size_t longRecordsSkipped_ = 0;
    Reader reader_;
};

// Whether a field name is `upperName` in any letter case.
bool sameName(std::string_view name, std::string_view upperName);

// The first field named `upperName` (any case in the file); null when absent.
const Field* findField(const std::vector<Field>& fields, std::string_view upperName);

// Every record of `bytes` (for small files and tests; the import streams).
std::vector<std::vector<Field>> readAll(std::string_view bytes, ReaderWarnings* warnings = nullptr);

}  // namespace dxcc::adif
