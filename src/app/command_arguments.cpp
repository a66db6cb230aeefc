#include "app/command_arguments.h"

#include <string>
#include <string_view>

#include "core/base/text_conversion.h"

namespace ui {

namespace {

constexpr char16_t kEscapedByte = 0xDC00;

}  // namespace

QString argumentText(const char* argument) {
    const std::string_view bytes(argument);
    QString text;
    for (size_t i = 0; i < bytes.size();) {
        const dxcc::Utf8Character c = dxcc::utf8CharacterAt(bytes, i);
        if (c.length == 0) {
            text += QChar(kEscapedByte + static_cast<unsigned char>(bytes[i]));
            ++i;
        } else {
            text += QString::fromUcs4(&c.code, 1);
            i += c.length;
        }
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
            dxcc::appendUtf8(bytes, QChar::surrogateToUcs4(c, text[++i].unicode()));
        } else if (c >= kEscapedByte + 0x80 && c <= kEscapedByte + 0xFF) {
            bytes += static_cast<char>(c - kEscapedByte);
        } else {
            dxcc::appendUtf8(bytes, QChar::isSurrogate(c) ? U'\uFFFD' : char32_t(c));
        }
    }
    return std::filesystem::path(bytes);
}

}  // namespace ui
