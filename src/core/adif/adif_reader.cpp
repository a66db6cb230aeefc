#include "core/adif/adif_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>

#include "core/base/file_error.h"
#include "core/base/text_conversion.h"
#include "core/base/text_file.h"
#include "core/base/text_utils.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dxcc::adif {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Characters a field name may hold: no blank or control character, none of
// the characters that delimit tags.
constexpr std::array<bool, 256> makeNameChars() {
    std::array<bool, 256> t{};
    for (unsigned i = 0x21; i < 256; ++i) t[i] = true;
    for (unsigned char c : {':', '<', '>', ',', '{', '}'}) t[c] = false;
    t[0x7F] = false;
    return t;
}
constexpr std::array<bool, 256> kNameChars = makeNameChars();

bool nameChar(char c) {
    return kNameChars[static_cast<unsigned char>(c)];
}

// The first byte from `p` on that no name holds, or `end`. Names are read for
// every field of the file: sixteen bytes are tested at once where there are as
// many, so the end of a name costs no mispredicted branch.
const char* skipNameChars(const char* p, const char* end) {
#if defined(__SSE2__)
    const __m128i lowest = _mm_set1_epi8(0x21);
    auto is = [](__m128i bytes, char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i printable = _mm_cmpeq_epi8(_mm_max_epu8(bytes, lowest), bytes);
        const __m128i delimiter = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(is(bytes, ':'), is(bytes, '<')),
                         _mm_or_si128(is(bytes, '>'), is(bytes, ','))),
            _mm_or_si128(_mm_or_si128(is(bytes, '{'), is(bytes, '}')), is(bytes, '\x7F')));
        const unsigned names =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(delimiter, printable)));
        if (names != 0xFFFF) return p + std::countr_one(names);
        p += 16;
    }
#endif
    while (p < end && nameChar(*p)) ++p;
    return p;
}

// Where the next tag opens, from `from` on; `size` when none does. Writers put
// at most a blank or a line end between a value and the next tag: those few
// bytes are looked at before searching further.
size_t nextTagStart(const char* base, size_t from, size_t size) {
    constexpr size_t kNearBytes = 4;
    const size_t near = std::min(size, from + kNearBytes);
    for (size_t i = from; i < near; ++i)
        if (base[i] == '<') return i;
    if (near == size) return size;
    const void* lt = std::memchr(base + near, '<', size - near);
    return lt ? static_cast<size_t>(static_cast<const char*>(lt) - base) : size;
}

// What may follow a value whose length was right: the next tag, or the blank
// or line end that writers put between fields.
bool endsValue(char c) {
    return c == '<' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

bool sameName(std::string_view name, std::string_view upperName) {
    if (name.size() != upperName.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (upperAscii(name[i]) != upperName[i]) return false;
    return true;
}

const Field* findField(const std::vector<Field>& fields, std::string_view upperName) {
    for (const Field& f : fields)
        if (sameName(f.name, upperName)) return &f;
    return nullptr;
}

Reader::Reader(std::string_view firstPiece, bool last) : data_(firstPiece), last_(last) {
    skipByteOrderMark();
}

Reader::Reader(std::string_view bytes, AfterRecordAt start)
    : data_(bytes), pos_(std::min(start.offset, bytes.size())), started_(true), recordSeen_(true) {}

bool Reader::skipByteOrderMark() {
    if (started_) return true;
    if (!last_ && data_.size() < kByteOrderMark.size()) return false;
    started_ = true;
    if (data_.starts_with(kByteOrderMark)) {
        bom_ = true;
        pos_ = kByteOrderMark.size();
    }
    return true;
}

void Reader::continueWith(std::string_view piece, bool last) {
    data_ = piece;
    last_ = last;
    pos_ = 0;
    needMore_ = false;
}

bool Reader::waitForMore(const Progress& start, std::vector<Field>& fields) {
    if (headerClosed_ && !start.headerClosed) header_.clear();
    pos_ = start.pos;
    recordSeen_ = start.recordSeen;
    headerClosed_ = start.headerClosed;
    pendingMalformed_ = start.pendingMalformed;
    warnings_ = start.warnings;
    fields.clear();
    needMore_ = true;
    return false;
}

Reader::Tag Reader::markerKind(std::string_view name) {
    if (sameName(name, "EOR")) return Tag::EndOfRecord;
    if (sameName(name, "EOH")) return Tag::EndOfHeader;
    if (sameName(name, "APP_LOTW_EOF")) return Tag::EndOfData;
    return Tag::Unknown;
}

// Walks the tag with a pointer: this runs for every field of the file, and is
// compiled into the loop that calls it.
[[gnu::always_inline]] inline Reader::Parsed Reader::parseTag(size_t lt,
                                                              std::vector<Field>& fields) {
    const char* const base = data_.data();
    const char* const end = base + data_.size();
    auto offset = [base](const char* q) { return static_cast<size_t>(q - base); };
    const Parsed malformed{Tag::Malformed, lt + 1};
    // Where the file ends, the tag is malformed; where only the piece ends,
    // the rest of the tag is still to come.
    const Parsed cut = last_ ? malformed : Parsed{Tag::Incomplete, lt};

    const char* const nameStart = base + lt + 1;
    const char* p = skipNameChars(nameStart, end);
    const std::string_view name(nameStart, offset(p) - offset(nameStart));
    if (p == end) return cut;
    if (name.empty()) return malformed;
    if (*p == '>') return {markerKind(name), offset(p + 1)};
    if (*p != ':') return malformed;

    const char* const digits = ++p;
    size_t length = 0;
    for (; p < end && isAsciiDigit(*p); ++p)
        if (length <= data_.size()) length = length * 10 + static_cast<size_t>(*p - '0');
    if (p == end) return cut;
    if (p == digits) return malformed;
    if (*p == ':')
        while (++p < end && *p != '<' && *p != '>' && *p != ':') {
        }
    if (p == end) return cut;
    if (*p != '>') return malformed;
    // A length written on EOR or EOH does not make them fields.
    if (name.size() == 3) {
        const Tag kind = markerKind(name);
        if (kind != Tag::Unknown) return {kind, offset(p + 1)};
    }
    const size_t start = offset(p + 1);
    const size_t valueEnd = this->valueEnd(start, length);
    if (valueEnd == kIncomplete) return {Tag::Incomplete, lt};
    fields.push_back({name, std::string_view(base + start, valueEnd - start)});
    return {Tag::Field, valueEnd};
}

Reader::TagStart Reader::tagStartAt(size_t lt) const {
    const char* const base = data_.data();
    const char* const end = base + data_.size();
    const char* p = skipNameChars(base + lt + 1, end);
    if (p == end) return last_ ? TagStart::No : TagStart::NeedMore;
    const std::string_view name(base + lt + 1, static_cast<size_t>(p - (base + lt + 1)));
    if (name.empty()) return TagStart::No;
    if (*p == '>') return markerKind(name) == Tag::Unknown ? TagStart::No : TagStart::Yes;
    if (*p != ':') return TagStart::No;
    if (++p == end) return last_ ? TagStart::No : TagStart::NeedMore;
    return isAsciiDigit(*p) ? TagStart::Yes : TagStart::No;
}

size_t Reader::innerTag(size_t start, size_t valueEnd) const {
    const char* const base = data_.data();
    size_t from = start;
    while (from < valueEnd) {
        // Most values are a few bytes: looked at in place rather than by a call.
        size_t lt = from;
        if (valueEnd - from <= 16) {
            while (lt < valueEnd && base[lt] != '<') ++lt;
            if (lt == valueEnd) return valueEnd;
        } else {
            const void* found = std::memchr(base + from, '<', valueEnd - from);
            if (!found) return valueEnd;
            lt = static_cast<size_t>(static_cast<const char*>(found) - base);
        }
        switch (tagStartAt(lt)) {
            case TagStart::Yes:
                return lt;
            case TagStart::NeedMore:
                return kIncomplete;
            case TagStart::No:
                break;
        }
        from = lt + 1;
    }
    return valueEnd;
}

inline size_t Reader::valueEnd(size_t start, size_t length) {
    // The common case: the length is right, a tag or a blank follows. The
    // value is then whatever its bytes hold, tags included.
    const size_t size = data_.size();
    if (length < size - start && endsValue(data_[start + length])) return start + length;
    return checkedValueEnd(start, length);
}

size_t Reader::checkedValueEnd(size_t start, size_t length) {
    const size_t size = data_.size();
    if (length <= size - start) {
        const size_t end = start + length;
        if (end == size) return last_ ? end : kIncomplete;
        if (endsValue(data_[end])) return end;
    } else if (!last_) {
        return kIncomplete;
    }
    // The declared length cannot be right: it is repaired where it can be.
    Repair repair = Repair::None;
    const size_t end = repairedValueEnd(start, length, repair);
    if (end == kIncomplete) return kIncomplete;
    // A value that then holds the start of another field was damaged: it ends
    // there, and the reading goes on with that field.
    const size_t inner = innerTag(start, end);
    if (inner == kIncomplete) return kIncomplete;
    if (inner != end) {
        damagedLength_ = true;
        ++warnings_.damagedLengths;
        return inner;
    }
    if (repair == Repair::CutAtEnd) ++warnings_.valuesCutAtEnd;
    if (repair == Repair::Remeasured) ++warnings_.lengthsRemeasured;
    return end;
}

size_t Reader::repairedValueEnd(size_t start, size_t length, Repair& repair) const {
    const size_t size = data_.size();
    if (length > size - start) {
        repair = Repair::CutAtEnd;
        return size;
    }
    const size_t end = start + length;
    // The repairs below look at most four bytes a character ahead.
    if (!last_ && size - start <= 4 * length) return kIncomplete;
    auto acceptable = [&](size_t e) { return e != end && (e == size || endsValue(data_[e])); };
    repair = Repair::Remeasured;
    // A writer that counted characters: the value holds multi-byte characters.
    if (!isAsciiText(data_.substr(start, length))) {
        const size_t inCharacters = start + utf8PrefixBytes(data_.substr(start), length);
        if (acceptable(inCharacters)) return inCharacters;
    }
    // Line ends made bare LF after writing: each counted two bytes.
    size_t i = start, counted = 0;
    for (; i < size && counted < length; ++i)
        counted += data_[i] == '\n' && (i == start || data_[i - 1] != '\r') ? 2 : 1;
    if (counted > length) --i;  // the length ended between the CR and the LF
    if (acceptable(i)) return i;
    repair = Repair::None;
    return end;
}

bool Reader::next(std::vector<Field>& fields) {
    fields.clear();
    needMore_ = false;
    damagedLength_ = false;
    if (done_) return false;
    if (!skipByteOrderMark()) {
        needMore_ = true;
        return false;
    }
    const Progress start{pos_, recordSeen_, headerClosed_, pendingMalformed_, warnings_};
    const char* base = data_.data();
    const size_t size = data_.size();
    while (pos_ < size) {
        const size_t lt = nextTagStart(base, pos_, size);
        if (lt == size) {
            pos_ = size;
            break;
        }
        const Parsed tag = parseTag(lt, fields);
        if (tag.kind == Tag::Incomplete) return waitForMore(start, fields);
        pos_ = tag.end;
        switch (tag.kind) {
            case Tag::Field:
                break;
            case Tag::Malformed:
            case Tag::Unknown:
                ++pendingMalformed_;
                break;
            case Tag::EndOfHeader:
                if (recordSeen_ || headerClosed_)
                    ++warnings_.headersAfterRecords;
                else
                    closeHeader(fields);
                break;
            case Tag::EndOfRecord:
                recordSeen_ = true;
                warnings_.malformedTags += pendingMalformed_;
                pendingMalformed_ = 0;
                if (!fields.empty()) return true;
                break;
            case Tag::EndOfData:
                pos_ = size;
                last_ = true;  // nothing after it is read
                break;
            case Tag::Incomplete:
                break;
        }
    }
    if (!last_) return waitForMore(start, fields);
    done_ = true;
    warnings_.malformedTags += pendingMalformed_;
    pendingMalformed_ = 0;
    if (fields.empty()) return false;
    warnings_.unterminatedRecordKept = true;
    recordSeen_ = true;
    return true;
}

void Reader::closeHeader(std::vector<Field>& fields) {
    header_ = fields;
    fields.clear();
    headerClosed_ = true;
    pendingMalformed_ = 0;
}

FileReader::FileReader(const std::filesystem::path& file, size_t bufferBytes, size_t maxRecordBytes)
    : path_(file), maxRecordBytes_(std::max<size_t>(maxRecordBytes, 1)), reader_({}, false) {
    // The checks every data file gets: a pipe or a device is refused at once.
    FileIdentity identity;
    fd_ = openPlainFileForReading(path_, &identity);
    fileSize_ = static_cast<size_t>(identity.size);
    buffer_.resize(std::max<size_t>(bufferBytes, 1));
    readFirstBytes();
}

FileReader::FileReader(const FileReader& first, AfterRecordAt start)
    : path_(first.path_),
      fileSize_(first.fileSize_),
      consumed_(start.offset),
      readAt_(start.offset),
      maxRecordBytes_(first.maxRecordBytes_),
      reader_({}, AfterRecordAt{0}) {
    // The same open file: a file put in its place since cannot be read instead.
    fd_ = ::fcntl(first.fd_, F_DUPFD_CLOEXEC, 0);
    if (fd_ < 0) throwFileError(errno, path_.string());
    buffer_.resize(first.buffer_.size());
    readFirstBytes();
}

void FileReader::readFirstBytes() {
    try {
        atEnd_ = !fill(0);
    } catch (...) {
        ::close(fd_);
        throw;
    }
    reader_.continueWith({buffer_.data(), filled_}, atEnd_);
}

std::string FileReader::peek(size_t at, size_t count) const {
    std::string bytes(count, '\0');
    size_t got = 0;
    while (got < count) {
        const ssize_t n =
            ::pread(fd_, bytes.data() + got, count - got, static_cast<off_t>(at + got));
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throwFileError(errno, path_.string());
        }
        got += static_cast<size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

FileReader::~FileReader() {
    ::close(fd_);
}

size_t FileReader::size() const {
    return std::max(fileSize_, consumed_ + filled_);
}

ReaderWarnings FileReader::warnings() const {
    ReaderWarnings w = reader_.warnings();
    w.longRecordsSkipped = longRecordsSkipped_;
    return w;
}

bool FileReader::next(std::vector<Field>& fields) {
    while (!reader_.next(fields)) {
        if (!reader_.needsMore()) return false;
        refill();
    }
    return true;
}

void FileReader::refill() {
    size_t from = reader_.offset();
    if (filled_ - from >= maxRecordBytes_) {
        ++longRecordsSkipped_;
        from = skipPastEndOfRecord(from);
    }
    const size_t kept = filled_ - from;
    std::memmove(buffer_.data(), buffer_.data() + from, kept);
    consumed_ += from;
    filled_ = kept;
    // A record that fills most of the buffer: room for a longer one.
    if (kept > buffer_.size() / 2) buffer_.resize(buffer_.size() * 2);
    atEnd_ = atEnd_ || !fill(kept);
    reader_.continueWith({buffer_.data(), filled_}, atEnd_);
}

size_t FileReader::skipPastEndOfRecord(size_t from) {
    constexpr size_t kEorBytes = 5;  // <EOR>
    for (;;) {
        const char* const base = buffer_.data();
        for (size_t at = from; at + kEorBytes <= filled_; ++at) {
            const void* lt = std::memchr(base + at, '<', filled_ - at);
            if (lt == nullptr) break;
            at = static_cast<size_t>(static_cast<const char*>(lt) - base);
            if (at + kEorBytes <= filled_ && sameName({base + at + 1, 3}, "EOR") &&
                base[at + 4] == '>')
                return at + kEorBytes;
        }
        if (atEnd_) return filled_;
        // The last bytes may begin an <EOR> that the next read completes.
        const size_t keep = std::min(kEorBytes - 1, filled_ - from);
        std::memmove(buffer_.data(), base + filled_ - keep, keep);
        consumed_ += filled_ - keep;
        atEnd_ = !fill(keep);
        from = 0;
    }
}

bool FileReader::fill(size_t from) {
    filled_ = from;
    while (filled_ < buffer_.size()) {
        // Read at its own offset: a second reader shares the open file.
        const ssize_t n = ::pread(fd_, buffer_.data() + filled_, buffer_.size() - filled_,
                                  static_cast<off_t>(readAt_));
        if (n == 0) return false;
        if (n < 0) {
            if (errno == EINTR) continue;
            throwFileError(errno, path_.string());
        }
        filled_ += static_cast<size_t>(n);
        readAt_ += static_cast<size_t>(n);
    }
    return true;
}

std::vector<std::vector<Field>> readAll(std::string_view bytes, ReaderWarnings* warnings) {
    Reader reader(bytes);
    std::vector<std::vector<Field>> records;
    std::vector<Field> fields;
    while (reader.next(fields)) records.push_back(fields);
    if (warnings) *warnings = reader.warnings();
    return records;
}

}  // namespace dxcc::adif
