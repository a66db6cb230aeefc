#include "app/command_output.h"

#include "platform/text.h"

namespace ui {

namespace {

bool shownAsIs(char16_t c) {
    if (c == '\n' || c == '\t') return true;
    return c >= 0x20 && c != 0x7F && (c < 0x80 || c > 0x9F);
}

}  // namespace

std::string terminalText(const QString& text) {
    QString shown = text;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown[i].isHighSurrogate() && i + 1 < shown.size() && shown[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        // A lone surrogate: a byte of an argument that was no UTF-8.
        if (shown[i].isSurrogate() || !shownAsIs(shown[i].unicode()))
            shown[i] = QChar::ReplacementCharacter;
    }
    return shown.toStdString();
}

void write(std::ostream& stream, const QString& text) {
    stream << terminalText(text);
}

void writeUtf8Line(std::ostream& stream, std::string_view utf8) {
    write(stream, fromView(utf8) + '\n');
}

void writeCp1252Line(std::ostream& stream, std::string_view cp1252) {
    write(stream, fromCp1252(cp1252) + '\n');
}

bool delivered(std::ostream& stream) {
    stream.flush();
    return static_cast<bool>(stream);
}

}  // namespace ui
