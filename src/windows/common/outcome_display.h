#pragma once

#include <QStringList>

#include "core/session/session_outcome.h"
#include "platform/app_context.h"
#include "windows/common/log_list_model.h"

namespace ui {

// What a command of the session tells: its file error first (number, meaning,
// file), then its messages, one text each.
QStringList outcomeTexts(const dxcc::SessionOutcome& outcome);

// Tells what a command of the session says, a dialog each: its file error
// (when it failed on a file) with `unchanged` under it (what stayed as it
// was), then its messages.
void tellEach(Dialogs& dialogs, const dxcc::SessionOutcome& outcome, std::string_view unchanged);

// Shows what a command of the session did to the log: the main list follows
// the change; on a failure the operator is told what failed and that the log
// did not change (every command changes the file whole or not at all); when
// the command found the file changed on disk and read it again first, the
// operator is told. Answers whether the command succeeded.
bool showLogOutcome(Dialogs& dialogs, LogListModel& model, const dxcc::SessionOutcome& outcome);

}  // namespace ui
