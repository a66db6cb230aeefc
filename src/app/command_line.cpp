#include "app/command_line.h"

#include <QCoreApplication>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <variant>

#include "app/command_arguments.h"
#include "app/command_output.h"
#include "app/command_station.h"
#include "app/command_table.h"
#include "core/base/program_constants.h"
#include "platform/qt_platform.h"
#include "platform/text.h"

namespace ui {

namespace {

bool isOptionFor(const QString& arg, OptionRow::Use use) {
    const OptionRow* option = findOption(arg.toStdString());
    return option && option->use == use;
}

// Help asked anywhere before "--", whatever other options stand beside it: the
// help of the command named, or the general help; the exit status.
std::optional<int> helpIfAsked(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    const qsizetype end = arguments.indexOf("--");
    const QStringList options = end < 0 ? arguments : arguments.mid(0, end);
    if (std::none_of(options.begin(), options.end(),
                     [](const QString& a) { return isOptionFor(a, OptionRow::Use::Help); }))
        return std::nullopt;
    const qsizetype at = commandIndex(options);
    const CommandRow* command = at >= 0 ? findCommand(options[at]) : nullptr;
    if (at >= 0 && !command) return badUsage(err, "commande inconnue : " + options[at]);
    write(out, fromView(command ? commandHelp(*command) : generalHelp()));
    return delivered(out) ? kCommandOk : failure(err, fromView(kOutputLost));
}

}  // namespace

bool isCommandLine(int argc, char** argv, bool hasDisplay) {
    if (argc < 2) return false;
    const QString first = QString::fromLocal8Bit(argv[1]);
    if (!first.startsWith('-')) return true;
    bool qtOption = false;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (findOption(arg.section('=', 0, 0).toStdString()) || findCommand(arg)) return true;
        if (arg == "-platform") qtOption = true;
    }
    // Without a display the windows could only fail: the arguments are read
    // as a command line, which says what it does not understand.
    return !hasDisplay && !qtOption;
}

bool hasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

int runCommand(const QStringList& arguments, const CommandDefaults& defaults, std::ostream& out,
               std::ostream& err) {
    if (const std::optional<int> status = helpIfAsked(arguments, out, err)) return *status;
    auto read = readArguments(arguments);
    if (const QString* error = std::get_if<QString>(&read)) return badUsage(err, *error);
    const CommandArguments& given = std::get<CommandArguments>(read);
    if (given.has("--version")) {
        writeUtf8Line(out, "vel_dxcc" + std::string(dxcc::kRevision));
        return delivered(out) ? kCommandOk : failure(err, fromView(kOutputLost));
    }
    if (!given.command) return badUsage(err, "commande manquante.");
    // Only the row of the command named runs: no other command's handler.
    const CommandRow* command = findCommand(*given.command);
    if (!command) return badUsage(err, "commande inconnue : " + *given.command);
    if (const std::optional<QString> refused = refusedBy(*command, given))
        return badUsage(err, *refused);
    return command->handler(given, defaults, out, err);
}

int runCommandLine(int argc, char** argv) {
    // A reader that closes the pipe (| head) makes a write fail, which the
    // command reports, rather than kill the program after the log changed.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(fromView(dxcc::kProgramTitle));
    const CommandDefaults defaults{std::make_shared<const QtSettingsStore>(),
                                   [] { return chooseDataDir(); }, [] { return shippedFiles(); }};
    return runCommand(argumentTexts(argc, argv).mid(1), defaults, std::cout, std::cerr);
}

}  // namespace ui
