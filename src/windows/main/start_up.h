#pragma once

#include "core/session/log_session.h"
#include "platform/app_context.h"

namespace ui {

// Tells the operator what the start found of the data folder (see
// LogSession::startUp). When another copy of the program holds it, says so
// and offers to quit; answers false, after ctx.quit(0), when the operator
// quits (a copy that goes on cannot write while the other one runs). When the
// folder cannot be locked, says so and goes on. Then what must be known of the
// folder: an interrupted prefix update, a file that is still missing.
bool tellStartUp(AppContext& ctx, const dxcc::StartUpOutcome& start, const QString& folder);

}  // namespace ui
