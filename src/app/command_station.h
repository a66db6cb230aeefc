#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>
#include <variant>

#include "app/command_line.h"
#include "core/base/file_error.h"
#include "core/session/log_session.h"

// What every command shares: the station's session opened as the windows
// open it, and the way failures are told.
namespace ui {

struct Options {
    std::optional<QString> station;
    std::optional<QString> dataDir;
    std::optional<QString> band;
    std::optional<QString> mode;
    bool entities = false;
    bool worked = false;
    bool force = false;
    bool version = false;
    QString command;
    QStringList files;  // the arguments that are no option, after the command
};

QString plainErrorText(const dxcc::FileError& e);
QString plainText(std::string_view utf8);
int badUsage(std::ostream& err, const QString& message);
int failure(std::ostream& err, const QString& message);

enum class Access { Read, Write };

void openDataFolder(dxcc::LogSession& session, const CommandDefaults& defaults, std::ostream& err);
std::variant<std::unique_ptr<dxcc::LogSession>, int> openStation(const Options& options,
                                                                 const CommandDefaults& defaults,
                                                                 Access access, std::ostream& err);

}  // namespace ui
