#pragma once

#include <QString>
#include <string>

#include "platform/app_context.h"

namespace ui {

// Asks where to save an export, adds `suffix` to a name without one, and
// writes `bytes` through the safe rewrite (the old file stays whole on a
// failure). Tells the operator where it went or why it failed; answers the
// file written, empty when none.
QString saveExport(AppContext& ctx, const QString& caption, const QString& filter,
                   const QString& suffix, const std::string& bytes);

}  // namespace ui
