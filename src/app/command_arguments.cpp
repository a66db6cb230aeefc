#include "app/command_arguments.h"

#include <cstring>
#include <string>

namespace ui {

namespace {

constexpr char16_t kEscapedByte = 0xDC00;

// The length of the UTF-8 character at `p` (at most `left` bytes) and its
// code; 0 when the bytes are no character (overlong, a surrogate, too large,
// cut short).
size_t utf8Character(const unsigned char* p, size_t left, char32_t& code) {
    size_t length = p[0] < 0x80   ? 1
                    : p[0] < 0xC2 ? 0
                    : p[0] < 0xE0 ? 2
                    : p[0] < 0xF0 ? 3
                    : p[0] < 0xF5 ? 4
                                  : 0;
    if (length == 0 || length > left) return 0;
    code = length == 1 ? p[0] : p[0] & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
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

}  // namespace

QString argumentText(const char* argument) {
    const auto* p = reinterpret_cast<const unsigned char*>(argument);
    size_t left = std::strlen(argument);
    QString text;
    while (left > 0) {
        char32_t code = 0;
        size_t length = utf8Character(p, left, code);
        if (length == 0) {
            text += QChar(kEscapedByte + *p);
            length = 1;
        } else {
            text += QString::fromUcs4(&code, 1);
        }
        p += length;
        left -= length;
    }
    return text;
}

QStringList argumentTexts(int argc, char** argv) {
    QStringList texts;
    for (int i = 0; i < argc; ++i) texts << argumentText(argv[i]);
    return texts;
}

std::filesystem::path argumentPath(const QString& text) {
    std::string bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            appendUtf8(bytes, QChar::surrogateToUcs4(c, text[++i].unicode()));
        } else if (c >= kEscapedByte + 0x80 && c <= kEscapedByte + 0xFF) {
            bytes += static_cast<char>(c - kEscapedByte);
        } else {
            appendUtf8(bytes, QChar::isSurrogate(c) ? U'\uFFFD' : char32_t(c));
        }
    }
    return std::filesystem::path(bytes);
}

}  // namespace ui
