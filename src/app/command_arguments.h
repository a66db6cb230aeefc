#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>

// The command line's arguments keep every byte: a file name that is not UTF-8
// (written by an older system in Latin-1) still names its file.
namespace ui {

// The argument as text: UTF-8 decoded; each byte that is no part of a UTF-8
// character kept as the lone code U+DC00 + byte, which no text holds (so the
// byte comes back in argumentPath, and is shown as U+FFFD).
QString argumentText(const char* argument);
QStringList argumentTexts(int argc, char** argv);

// The file an argument (or a folder name of the program) names, its bytes
// as they were given.
std::filesystem::path argumentPath(const QString& text);

}  // namespace ui
