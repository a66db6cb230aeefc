#pragma once

#include <QString>
#include <memory>
#include <ostream>
#include <string_view>
#include <variant>

#include "app/command_line.h"
#include "app/command_table.h"
#include "core/base/file_error.h"
#include "core/session/log_session.h"

// What every command shares: the station's session opened as the windows
// open it, and the way failures are told.
namespace ui {

// Writes "vel_dxcc : message" and the hint to the help; kCommandBadUsage.
int badUsage(std::ostream& err, const QString& message);
// Writes "vel_dxcc : message"; kCommandFailed.
int failure(std::ostream& err, const QString& message);

// A file error's text and a core message with plain line ends.
QString plainErrorText(const dxcc::FileError& e);
QString plainText(std::string_view utf8);

// Makes the data folder ready before anything reads it, as the windows do at
// start; says on the error output what the operator must know.
void openDataFolder(dxcc::LogSession& session, const CommandDefaults& defaults, std::ostream& err);

enum class Access { Read, Write };

// The session of the station given (--station, or the one chosen in the
// program) in the data folder given (--data-dir, or the program's), with its
// log loaded; or the exit status of a failure, told on `err`. A command that
// writes the log holds the data folder from before the log is read until it
// ends, and refuses while another copy of the program has it.
std::variant<std::unique_ptr<dxcc::LogSession>, int> openStation(const CommandArguments& given,
                                                                 const CommandDefaults& defaults,
                                                                 Access access, std::ostream& err);

}  // namespace ui
