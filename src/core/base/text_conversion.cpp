#include "core/base/text_conversion.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/base/text_utils.h"

namespace dxcc {

namespace {

// A letter of another code page and the Windows-1252 letter it is written as.
struct Special {
    char32_t codePoint;
    unsigned char byte;
};

// Base letters of Latin Extended-A (U+0100-U+017F), already upper case. The
// letters Windows-1252 has (Š, Œ, Ž, Ÿ and their small forms) are found among
// the specials first.
constexpr std::string_view kLatinExtendedABase =
    "AAAAAACCCCCCCCDD"
    "DDEEEEEEEEEEGGGG"
    "GGGGHHHHIIIIIIII"
    "IIIIJJKKKLLLLLLL"
    "LLLNNNNNNNNNOOOO"
    "OOOORRRRRRSSSSSS"
    "SSTTTTTTUUUUUUUU"
    "UUUUWWYYYZZZZZZS";

// Latin Extended-B letters met in names (Romanian comma-below letters).
constexpr std::array<Special, 4> kLatinExtendedB{{
    {0x0218, 'S'},
    {0x0219, 'S'},
    {0x021A, 'T'},
    {0x021B, 'T'},
}};

constexpr char32_t kNoByte = 0xFFFFFFFF;
constexpr unsigned char kUnknown = '?';

// Upper case within Windows-1252; control characters become blanks, the
// bytes the code page leaves unassigned "?".
constexpr std::array<unsigned char, 256> makeUpperTable() {
    std::array<unsigned char, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
        const auto byte = static_cast<unsigned char>(i);
        t[i] = static_cast<unsigned char>(upperCaseCp1252(static_cast<char>(byte)));
        if (i < 0x20 || i == 0x7F) t[i] = ' ';
        if (!cp1252Assigned(byte)) t[i] = kUnknown;
    }
    return t;
}
constexpr std::array<unsigned char, 256> kUpper = makeUpperTable();

// The Windows-1252 byte for a code point, before upper-casing; kNoByte for a
// combining mark, which is dropped.
char32_t cp1252For(char32_t cp) {
    if (cp < 0x80) return cp;
    if (cp < 0xA0) return ' ';  // C1 controls
    if (cp <= 0xFF) return cp;
    if (const unsigned char byte = cp1252HighByte(cp)) return byte;
    if (cp >= 0x100 && cp < 0x180)
        return static_cast<unsigned char>(kLatinExtendedABase[cp - 0x100]);
    for (const Special& s : kLatinExtendedB)
        if (s.codePoint == cp) return s.byte;
    if (cp >= 0x300 && cp < 0x370) return kNoByte;
    return kUnknown;
}

// A letter followed by a combining accent, composed into the one character
// Windows-1252 holds (E and U+0301 is É), as a program that writes
// decomposed text means it.
struct Composition {
    char base;
    char16_t mark;
    char32_t composed;
};
constexpr char16_t kGrave = 0x300, kAcute = 0x301, kCircumflex = 0x302, kTilde = 0x303,
                   kDiaeresis = 0x308, kRing = 0x30A, kCaron = 0x30C, kCedilla = 0x327;
constexpr Composition kCompositions[] = {
    {'A', kGrave, 0xC0},      {'A', kAcute, 0xC1},      {'A', kCircumflex, 0xC2},
    {'A', kTilde, 0xC3},      {'A', kDiaeresis, 0xC4},  {'A', kRing, 0xC5},
    {'C', kCedilla, 0xC7},    {'E', kGrave, 0xC8},      {'E', kAcute, 0xC9},
    {'E', kCircumflex, 0xCA}, {'E', kDiaeresis, 0xCB},  {'I', kGrave, 0xCC},
    {'I', kAcute, 0xCD},      {'I', kCircumflex, 0xCE}, {'I', kDiaeresis, 0xCF},
    {'N', kTilde, 0xD1},      {'O', kGrave, 0xD2},      {'O', kAcute, 0xD3},
    {'O', kCircumflex, 0xD4}, {'O', kTilde, 0xD5},      {'O', kDiaeresis, 0xD6},
    {'U', kGrave, 0xD9},      {'U', kAcute, 0xDA},      {'U', kCircumflex, 0xDB},
    {'U', kDiaeresis, 0xDC},  {'Y', kAcute, 0xDD},      {'Y', kDiaeresis, 0x178},
    {'S', kCaron, 0x160},     {'Z', kCaron, 0x17D},
};

// The composed character of `letter` and `mark`, or `letter` when none.
char32_t composed(char32_t letter, char32_t mark) {
    const bool small = letter >= 'a' && letter <= 'z';
    const char32_t capital = small ? letter - 0x20 : letter;
    for (const Composition& c : kCompositions) {
        if (static_cast<char32_t>(c.base) != capital || c.mark != mark) continue;
        if (!small) return c.composed;
        if (c.composed == 0x178) return 0xFF;
        return c.composed >= 0x100 ? c.composed + 1 : c.composed + 0x20;
    }
    return letter;
}

bool combiningMark(char32_t cp) {
    return cp >= 0x300 && cp < 0x370;
}

// Calls `emit` with each Windows-1252 byte of well-formed UTF-8 `value`,
// upper-cased, control characters as blanks, until it returns false.
template <typename Emit>
void convertUtf8(std::string_view value, Emit emit) {
    for (size_t i = 0; i < value.size();) {
        const Utf8Character c = utf8CharacterAt(value, i);
        char32_t cp = c.code;
        i += c.length;
        // The accents that follow a letter: the first one Windows-1252 can
        // compose with it is kept, the others dropped.
        while (cp < 0x80 && i < value.size() && static_cast<unsigned char>(value[i]) >= 0x80) {
            const Utf8Character mark = utf8CharacterAt(value, i);
            if (!combiningMark(mark.code)) break;
            cp = composed(cp, mark.code);
            i += mark.length;
        }
        const char32_t b = cp1252For(cp);
        if (b != kNoByte && !emit(kUpper[b])) return;
    }
}

}  // namespace

Utf8Character utf8CharacterAt(std::string_view s, size_t i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) return {1, b0};
    size_t n;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4, min = 0x10000;
    } else {
        return {};
    }
    if (i + n > s.size()) return {};
    char32_t cp = b0 & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return {};
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {};
    return {n, cp};
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isValidUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        const size_t n = utf8CharacterAt(bytes, i).length;
        if (n == 0) return false;
        i += n;
    }
    return true;
}

size_t utf8PrefixBytes(std::string_view bytes, size_t characters) {
    size_t i = 0;
    for (; characters > 0 && i < bytes.size(); --characters) {
        const size_t n = utf8CharacterAt(bytes, i).length;
        i += n == 0 ? 1 : n;
    }
    return i;
}

namespace {

unsigned char upperAt(std::string_view s, size_t i) {
    return kUpper[static_cast<unsigned char>(s[i])];
}

// The common case, one byte per character, without decoding.
CutText cutSingleBytes(std::string_view value, char* out, size_t width) {
    size_t first = 0, last = value.size();
    while (first < last && upperAt(value, first) == ' ') ++first;
    while (last > first && upperAt(value, last - 1) == ' ') --last;
    CutText result{std::min(last - first, width), last - first > width};
    for (size_t i = 0; i < result.size; ++i) out[i] = static_cast<char>(upperAt(value, first + i));
    while (result.size > 0 && out[result.size - 1] == ' ') --result.size;
    return result;
}

}  // namespace

CutText logTextCut(std::string_view value, char* out, size_t width) {
    if (isAsciiText(value) || !isValidUtf8(value)) return cutSingleBytes(value, out, width);
    CutText result;
    convertUtf8(value, [&](unsigned char b) {
        if (b == ' ' && result.size == 0) return true;
        if (result.size == width) {
            result.cut = b != ' ';
            return !result.cut;
        }
        out[result.size++] = static_cast<char>(b);
        return true;
    });
    while (result.size > 0 && out[result.size - 1] == ' ') --result.size;
    return result;
}

std::string logText(std::string_view value) {
    // Never longer than the value: a character takes one byte or more in UTF-8.
    std::string out(value.size(), '\0');
    out.resize(logTextCut(value, out.data(), out.size()).size);
    return out;
}

std::string cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        appendUtf8(out, cp1252Assigned(b) ? cp1252Character(b) : U'?');
    }
    return out;
}

}  // namespace dxcc
