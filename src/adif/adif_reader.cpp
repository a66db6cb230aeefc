#include "adif/adif_reader.h"

#include <array>
#include <cstring>

#include "adif/adif_text.h"

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

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// What may follow a value whose length was right: the next tag, or the blank
// or line end that writers put between fields.
bool endsValue(char c) {
    return c == '<' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool sameName(std::string_view name, std::string_view upperName) {
    if (name.size() != upperName.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (upper(name[i]) != upperName[i]) return false;
    return true;
}

const Field* findField(const std::vector<Field>& fields, std::string_view upperName) {
    for (const Field& f : fields)
        if (sameName(f.name, upperName)) return &f;
    return nullptr;
}

Reader::Reader(std::string_view bytes) : data_(bytes) {
    if (data_.starts_with(kByteOrderMark)) {
        bom_ = true;
        pos_ = kByteOrderMark.size();
    }
}

bool Reader::next(std::vector<Field>& fields) {
    fields.clear();
    if (done_) return false;
    const char* base = data_.data();
    const size_t size = data_.size();
    while (pos_ < size) {
        const void* lt = std::memchr(base + pos_, '<', size - pos_);
        if (lt == nullptr) {
            pos_ = size;
            break;
        }
        const Parsed tag = parseTag(static_cast<size_t>(static_cast<const char*>(lt) - base));
        pos_ = tag.end;
        switch (tag.kind) {
            case Tag::Field:
                fields.push_back(tag.field);
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
                break;
        }
    }
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

Reader::Tag Reader::markerKind(std::string_view name) {
    if (sameName(name, "EOR")) return Tag::EndOfRecord;
    if (sameName(name, "EOH")) return Tag::EndOfHeader;
    if (sameName(name, "APP_LOTW_EOF")) return Tag::EndOfData;
    return Tag::Unknown;
}

// Walks the tag with a pointer: this runs for every field of the file.
Reader::Parsed Reader::parseTag(size_t lt) {
    const char* const base = data_.data();
    const char* const end = base + data_.size();
    auto offset = [base](const char* q) { return static_cast<size_t>(q - base); };
    const Parsed malformed{Tag::Malformed, {}, lt + 1};

    const char* p = base + lt + 1;
    const char* const nameStart = p;
    while (p < end && nameChar(*p)) ++p;
    const std::string_view name(nameStart, offset(p) - offset(nameStart));
    if (name.empty() || p == end) return malformed;
    if (*p == '>') return {markerKind(name), {}, offset(p + 1)};
    if (*p != ':') return malformed;

    const char* const digits = ++p;
    size_t length = 0;
    for (; p < end && isDigit(*p); ++p)
        if (length <= data_.size()) length = length * 10 + static_cast<size_t>(*p - '0');
    if (p == digits || p == end) return malformed;
    if (*p == ':')
        while (++p < end && *p != '<' && *p != '>' && *p != ':') {
        }
    if (p == end || *p != '>') return malformed;
    // A length written on EOR or EOH does not make them fields.
    if (name.size() == 3) {
        const Tag kind = markerKind(name);
        if (kind != Tag::Unknown) return {kind, {}, offset(p + 1)};
    }
    const size_t start = offset(p + 1);
    const size_t valueEnd = this->valueEnd(start, length);
    return {Tag::Field, {name, std::string_view(base + start, valueEnd - start)}, valueEnd};
}

size_t Reader::valueEnd(size_t start, size_t length) {
    const size_t size = data_.size();
    if (length > size - start) {
        ++warnings_.valuesCutAtEnd;
        return size;
    }
    const size_t end = start + length;
    if (end == size || endsValue(data_[end])) return end;
    auto acceptable = [&](size_t e) { return e != end && (e == size || endsValue(data_[e])); };
    // A writer that counted characters: the value holds multi-byte characters.
    if (!isAscii(data_.substr(start, length))) {
        const size_t inCharacters = start + utf8PrefixBytes(data_.substr(start), length);
        if (acceptable(inCharacters)) {
            ++warnings_.lengthsRemeasured;
            return inCharacters;
        }
    }
    // Line ends made bare LF after writing: each counted two bytes.
    size_t i = start, counted = 0;
    for (; i < size && counted < length; ++i)
        counted += data_[i] == '\n' && (i == start || data_[i - 1] != '\r') ? 2 : 1;
    if (counted > length) --i;  // the length ended between the CR and the LF
    if (acceptable(i)) {
        ++warnings_.lengthsRemeasured;
        return i;
    }
    return end;
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
