#pragma once

#include <ostream>

#include "app/command_station.h"

// The commands that read or change the station's log and the prefix files,
// as the menu items of the windows do.
namespace ui {

int reportCommand(const Options& options, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err);
int importCommand(const Options& options, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err);
int exportCommand(const Options& options, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err);
int confirmCommand(const Options& options, const CommandDefaults& defaults, std::ostream& out,
                   std::ostream& err);
int neededCommand(const Options& options, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err);
int gridCommand(const Options& options, const CommandDefaults& defaults, std::ostream& out,
                std::ostream& err);
int prefixesCommand(const Options& options, const CommandDefaults& defaults, std::ostream& out,
                    std::ostream& err);

}  // namespace ui
