#include "platform/text.h"

#include <array>

namespace ui {

namespace {

// Windows-1252 bytes 0x80-0x9F; 0 marks the five unassigned ones, kept as C1 controls.
constexpr std::array<char16_t, 32> kHighTable{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

QString fromCp1252(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes) {
        char16_t c = b;
        if (b >= 0x80 && b <= 0x9F && kHighTable[b - 0x80] != 0) c = kHighTable[b - 0x80];
        out.append(QChar(c));
    }
    return out;
}

std::string toCp1252(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar qc : text) {
        char16_t c = qc.unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
            continue;
        }
        char mapped = '?';
        for (size_t i = 0; i < kHighTable.size(); ++i)
            if (kHighTable[i] == c && c != 0) mapped = static_cast<char>(0x80 + i);
        if (c >= 0x80 && c <= 0x9F) mapped = static_cast<char>(c);  // unassigned, kept as is
        out += mapped;
    }
    return out;
}

}  // namespace ui
