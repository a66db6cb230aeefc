#include "platform/text.h"

#include "core/base/text_conversion.h"

namespace ui {

QString fromCp1252(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    // An unassigned byte stays the C1 control of its number, so it comes back.
    for (unsigned char b : bytes)
        out.append(QChar(static_cast<char16_t>(dxcc::cp1252Character(b))));
    return out;
}

std::string toCp1252(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c <= 0xFF) {
            out += static_cast<char>(c);
            continue;
        }
        const unsigned char high = dxcc::cp1252HighByte(c);
        out += high ? static_cast<char>(high) : '?';
    }
    return out;
}

}  // namespace ui
