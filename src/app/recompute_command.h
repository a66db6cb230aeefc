#pragma once

#include <ostream>

#include "app/command_table.h"

namespace ui {

// "vel_dxcc recompute [--dry-run]": looks every QSO of the station's log up
// again, as the menu « Recalculer les contrées du log » does, writes the
// summary of the changes and saves them; with --dry-run, writes the summary
// only.
int recomputeCommand(const CommandArguments& given, const CommandDefaults& defaults,
                     std::ostream& out, std::ostream& err);

}  // namespace ui
