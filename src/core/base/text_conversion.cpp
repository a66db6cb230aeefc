#include "core/base/text_conversion.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace dxcc::adif {

namespace {

// Windows-1252 bytes 0x80-0x9F that carry characters beyond Latin-1.
struct Special {
    char32_t codePoint;
    unsigned char byte;
};
constexpr std::array<Special, 27> kSpecials{{
    {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85}, {0x2020, 0x86},
    {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A}, {0x2039, 0x8B}, {0x0152, 0x8C},
    {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92}, {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95},
    {0x2013, 0x96}, {0x2014, 0x97}, {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B},
    {0x0153, 0x9C}, {0x017E, 0x9E}, {0x0178, 0x9F},
}};

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

// Upper case within Windows-1252; control characters become blanks.
constexpr std::array<unsigned char, 256> makeUpperTable() {
    std::array<unsigned char, 256> t{};
    for (unsigned i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
    for (unsigned i = 0; i < 0x20; ++i) t[i] = ' ';
    t[0x7F] = ' ';
    for (unsigned i = 'a'; i <= 'z'; ++i) t[i] = static_cast<unsigned char>(i - 0x20);
    for (unsigned i = 0xE0; i <= 0xFE; ++i)
        if (i != 0xF7) t[i] = static_cast<unsigned char>(i - 0x20);
    t[0x9A] = 0x8A;  // š
    t[0x9C] = 0x8C;  // œ
    t[0x9E] = 0x8E;  // ž
    t[0xFF] = 0x9F;  // ÿ
    // Left undefined by Windows-1252.
    for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) t[b] = kUnknown;
    return t;
}
constexpr std::array<unsigned char, 256> kUpper = makeUpperTable();

// The Windows-1252 byte for a code point, before upper-casing; kNoByte for a
// combining mark, which is dropped.
char32_t cp1252For(char32_t cp) {
    if (cp < 0x80) return cp;
    if (cp < 0xA0) return ' ';  // C1 controls
    if (cp <= 0xFF) return cp;
    for (const Special& s : kSpecials)
        if (s.codePoint == cp) return s.byte;
    if (cp >= 0x100 && cp < 0x180)
        return static_cast<unsigned char>(kLatinExtendedABase[cp - 0x100]);
    for (const Special& s : kLatinExtendedB)
        if (s.codePoint == cp) return s.byte;
    if (cp >= 0x300 && cp < 0x370) return kNoByte;
    return kUnknown;
}

bool continuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Length of the UTF-8 sequence starting at `s[i]`, 0 when it is not well formed.
size_t sequenceLength(std::string_view s, size_t i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) return 1;
    size_t n;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4, min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    char32_t cp = b0 & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if (!continuation(b)) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

char32_t decodeAt(std::string_view s, size_t i, size_t n) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (n == 1) return b0;
    char32_t cp = b0 & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    return cp;
}

bool isAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
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
        const size_t n = sequenceLength(value, i);
        char32_t cp = decodeAt(value, i, n);
        i += n;
        // The accents that follow a letter: the first one Windows-1252 can
        // compose with it is kept, the others dropped.
        while (cp < 0x80 && i < value.size() && static_cast<unsigned char>(value[i]) >= 0x80) {
            const size_t m = sequenceLength(value, i);
            const char32_t mark = decodeAt(value, i, m);
            if (!combiningMark(mark)) break;
            cp = composed(cp, mark);
            i += m;
        }
        const char32_t b = cp1252For(cp);
        if (b != kNoByte && !emit(kUpper[b])) return;
    }
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        const size_t n = sequenceLength(bytes, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

size_t utf8PrefixBytes(std::string_view bytes, size_t characters) {
    size_t i = 0;
    for (; characters > 0 && i < bytes.size(); --characters) {
        const size_t n = sequenceLength(bytes, i);
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
    if (isAscii(value) || !isValidUtf8(value)) return cutSingleBytes(value, out, width);
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
        char32_t cp = b;
        if (b >= 0x80 && b < 0xA0) {
            cp = '?';
            for (const Special& s : kSpecials)
                if (s.byte == b) cp = s.codePoint;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace dxcc::adif
