#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace ui {

// Data-file bytes (Windows-1252) to QString and back; a character that
// Windows-1252 lacks becomes '?'.
QString fromCp1252(std::string_view bytes);
std::string toCp1252(const QString& text);

// Program texts written in the sources (UTF-8).
inline QString fromView(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A path from a QString and back, right on every platform (a folder named
// with "é" included): never through the local 8-bit code page.
inline std::filesystem::path toPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}
inline QString fromPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

}  // namespace ui
