#pragma once

#include <QString>
#include <ostream>
#include <string>
#include <string_view>

// What the command line writes: always UTF-8, whatever the text quotes (a
// name from the log, a line of a binary file, a server's bytes).
namespace ui {

// The message of a command whose output could not be written.
inline constexpr std::string_view kOutputLost =
    "écriture de la sortie impossible (disque plein ou sortie fermée).";

// `text` as UTF-8 for a terminal or a pipe: line ends and tabs kept, every
// other control character (an escape sequence from a hostile file included)
// shown as U+FFFD, as an invalid byte already is.
std::string terminalText(const QString& text);

// Writes `text` as terminalText() does.
void write(std::ostream& stream, const QString& text);
// A line of the program's own texts (UTF-8; an invalid byte shown as U+FFFD).
void writeUtf8Line(std::ostream& stream, std::string_view utf8);
// A line of the data files' text (Windows-1252).
void writeCp1252Line(std::ostream& stream, std::string_view cp1252);

// Whether everything written reached its destination, once flushed: false on
// a full disk or a pipe closed by its reader.
bool delivered(std::ostream& stream);

}  // namespace ui
