#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include "core/session/data_folder.h"
#include "core/session/session_settings.h"

namespace ui {

// Where a sub-command takes what the operator did not give.
struct CommandDefaults {
    // The program's settings (the station chosen, its band, mode and locator,
    // the cluster's login), only read; without them, every setting reads its
    // default.
    std::shared_ptr<const dxcc::SessionSettings> settings;
    std::function<QString()> dataDir;  // the program's data folder
    // The files the program comes with, put into a data folder that lacks
    // them; none when unset.
    std::function<std::vector<dxcc::ShippedFile>()> shippedFiles = {};
};

// The settings of `defaults` for a command's session: read, never written.
std::shared_ptr<dxcc::SessionSettings> commandSettings(const CommandDefaults& defaults);

// Exit statuses of the command line.
inline constexpr int kCommandOk = 0;
inline constexpr int kCommandFailed = 1;    // no log, unreadable file, output lost
inline constexpr int kCommandBadUsage = 2;  // unknown command or option
// The log changed but the report of what changed could not be written.
inline constexpr int kCommandLogChangedReportLost = 3;

// Whether the program is asked for a sub-command, help or its version rather
// than for its windows. Qt's own options, which start with '-', still open
// windows where there is a display; without one, any argument means the
// command line (which says what it does not understand).
bool isCommandLine(int argc, char** argv, bool hasDisplay);
// Whether the environment names a display (or a Qt platform) for windows.
bool hasDisplay();

// Runs a sub-command given its arguments (program name excluded), writing the
// results to `out` and French messages to `err`; the exit status.
int runCommand(const QStringList& arguments, const CommandDefaults& defaults, std::ostream& out,
               std::ostream& err);

// Runs the command line on a QCoreApplication, with no display, taking the
// defaults from the settings and the program's data folder.
int runCommandLine(int argc, char** argv);

}  // namespace ui
