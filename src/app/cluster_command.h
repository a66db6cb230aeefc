#pragma once

#include <ostream>

#include "app/command_table.h"

namespace ui {

// "vel_dxcc cluster --host HOST --port PORT [--count N] [--needed]": logs in to
// a DX cluster server as the window does and writes one tab-separated line
// per spot, until N spots or until the server closes.
int clusterCommand(const CommandArguments& given, const CommandDefaults& defaults,
                   std::ostream& out, std::ostream& err);

}  // namespace ui
