#pragma once

#include <QWidget>

#include "windows/adif/import_window.h"
#include "core/session/log_session.h"
#include "platform/app_context.h"

namespace ui {

// "Importer les confirmations (LoTW)": the open dialog, the confirmations
// matched against the log and the contacts marked with one safe rewrite, then
// the report in a window the operator can copy from. Answers whether the log
// was read through (the report shown).
bool runConfirmationImport(AppContext& ctx, dxcc::LogSession& session, const ImportEnvironment& env,
                           QWidget* parent);

}  // namespace ui
