#pragma once

#include <functional>

#include "windows/main/log_list_model.h"
#include "platform/app_context.h"

namespace ui {

// Runs an operation on the log through the main list's model, so the list
// follows. On a failure the operator is told what failed and that the log did
// not change (every operation changes the file whole or not at all). When the
// operation found the file changed on disk and read it again first, the
// operator is told. Answers whether the operation succeeded.
bool runLogOperation(Dialogs& dialogs, LogListModel& model,
                     const std::function<dxcc::LogChange()>& operation);

}  // namespace ui
