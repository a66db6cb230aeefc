#pragma once

#include <QWidget>

#include "core/session/log_session.h"
#include "platform/app_context.h"

namespace ui {

// "Exporter le log au format ADIF": the save dialog, then the whole log
// written as an ADIF file by the safe rewrite, then what was written.
// Answers whether the file was written.
bool runAdifExport(AppContext& ctx, dxcc::LogSession& session, QWidget* parent);

}  // namespace ui
