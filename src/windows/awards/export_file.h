#pragma once

#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/session/log_session.h"
#include "platform/app_context.h"

namespace ui {

// Writes an export through the core, which refuses the program's own files
// (see LogSession::exportFile).
using ExportWriter =
    std::function<dxcc::SessionOutcome(const std::filesystem::path& file, std::string_view bytes)>;

// The session's export, for the windows that save a table or a picture.
ExportWriter exportWriter(dxcc::LogSession& session);

// Asks where to save an export, adds `suffix` to a name without one, and has
// `write` write `bytes` (the old file stays whole on a failure). Tells the
// operator where it went or why it was not written; answers the file written,
// empty when none.
QString saveExport(AppContext& ctx, const ExportWriter& write, const QString& caption,
                   const QString& filter, const QString& suffix, const std::string& bytes);

// Asks where to save a picture of `widget` as it stands, and saves it as PNG.
QString savePicture(AppContext& ctx, const ExportWriter& write, QWidget& widget);

}  // namespace ui
