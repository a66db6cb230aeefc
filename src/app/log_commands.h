#pragma once

#include <ostream>

#include "app/command_table.h"

// The commands that read or change the station's log and the prefix files,
// as the menu items of the windows do. Each is reached through its row of the
// command table, which has checked its arguments and options.
namespace ui {

int reportCommand(const CommandArguments& given, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err);
int importCommand(const CommandArguments& given, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err);
int exportCommand(const CommandArguments& given, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err);
int confirmCommand(const CommandArguments& given, const CommandDefaults& defaults,
                   std::ostream& out, std::ostream& err);
int neededCommand(const CommandArguments& given, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err);
int gridCommand(const CommandArguments& given, const CommandDefaults& defaults, std::ostream& out,
                std::ostream& err);
int prefixesCommand(const CommandArguments& given, const CommandDefaults& defaults,
                    std::ostream& out, std::ostream& err);

}  // namespace ui
