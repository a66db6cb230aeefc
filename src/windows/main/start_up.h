#pragma once

#include "core/session/log_session.h"
#include "core/session/session_messages.h"
#include "platform/app_context.h"

namespace ui {

namespace lock_messages = dxcc::lock_messages;

// Start-up: the session takes the data folder's lock. When another copy holds
// it, says so and offers to quit; answers false, after ctx.quit(0), when the
// operator quits (a copy that goes on cannot write while the other one runs).
// When the folder cannot be locked, says so and goes on.
bool claimDataDir(AppContext& ctx, dxcc::LogSession& session);

// Start-up, before anything reads the data folder: the session makes it ready
// (see LogSession::openDataFolder) with the files the program comes with, and
// the operator is told what must be known (an interrupted prefix update, a
// file that is still missing).
void openDataDir(AppContext& ctx, dxcc::LogSession& session);

}  // namespace ui
