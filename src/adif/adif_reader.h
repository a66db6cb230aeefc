#pragma once

#include <cstddef>
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

    bool any() const {
        return malformedTags || valuesCutAtEnd || lengthsRemeasured || headersAfterRecords ||
               unterminatedRecordKept;
    }
    bool operator==(const ReaderWarnings&) const = default;
};

// Reads records one after the other out of the whole file held in memory.
//
// The header is what comes before an <EOH> that stands before the first <EOR>;
// without one, records start at the first byte (after a UTF-8 byte-order
// mark). A record without fields (<EOR><EOR>) is no record. The fields left
// after the last <EOR> form a last record. <APP_LoTW_EOF> ends the data.
class Reader {
public:
    explicit Reader(std::string_view bytes);

    // The next record's fields, in file order, into `fields` (cleared first;
    // its memory is reused). False when no record is left.
    bool next(std::vector<Field>& fields);

    // The header's fields; known once the first record has been read.
    const std::vector<Field>& header() const { return header_; }
    const ReaderWarnings& warnings() const { return warnings_; }
    bool hasByteOrderMark() const { return bom_; }
    // Bytes read so far and in all, for a progress display.
    size_t offset() const { return pos_; }
    size_t size() const { return data_.size(); }

private:
    enum class Tag { Field, EndOfRecord, EndOfHeader, EndOfData, Malformed, Unknown };
    struct Parsed {
        Tag kind;
        Field field;
        size_t end;  // where reading goes on
    };

    static Tag markerKind(std::string_view name);
    Parsed parseTag(size_t lt);
    size_t valueEnd(size_t start, size_t length);
    // The pending fields end the header.
    void closeHeader(std::vector<Field>& fields);

    std::string_view data_;
    size_t pos_ = 0;
    bool bom_ = false;
    bool done_ = false;
    bool recordSeen_ = false;
    bool headerClosed_ = false;
    // Malformed tags since the last record: dropped when they turn out to be
    // the header's free text.
    size_t pendingMalformed_ = 0;
    std::vector<Field> header_;
    ReaderWarnings warnings_;
};

// Whether a field name is `upperName` in any letter case.
bool sameName(std::string_view name, std::string_view upperName);

// The first field named `upperName` (any case in the file); null when absent.
const Field* findField(const std::vector<Field>& fields, std::string_view upperName);

// Every record of `bytes` (for small files and tests; the import streams).
std::vector<std::vector<Field>> readAll(std::string_view bytes, ReaderWarnings* warnings = nullptr);

}  // namespace dxcc::adif
