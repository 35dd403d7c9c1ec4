// Which Windows computer the programs work on, as the user chose it:
// "--machine DIR", else the WINEPREFIX environment variable, else ~/.wine.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/machine.h"

namespace zq {

struct MachineChoice {
  std::string folder;  // absolute host folder of the prefix
  std::string source;  // where it came from, for messages: "--machine", "WINEPREFIX", "~/.wine"
};

// Picks the folder from the option (empty when not given), WINEPREFIX and
// HOME (either may be null when unset). A leading "~/" (or a lone "~") is
// HOME; a relative folder counts from the current folder. False with a
// reason when no folder can be named (no option, no WINEPREFIX, no HOME).
bool chooseMachineFolder(std::string_view option, const char* winePrefix, const char* home,
                         MachineChoice& out, std::string& error);

// Opens the prefix in choice.folder. Null with a reason that names the
// folder when it does not exist, is not a folder, holds no registry
// (neither system.reg nor user.reg) or cannot be read as a prefix.
std::unique_ptr<Machine> openChosenMachine(const MachineChoice& choice, std::string& error);

// Both steps with the process's own environment.
std::unique_ptr<Machine> openMachineFromOption(std::string_view option, MachineChoice& choice,
                                               std::string& error);

}  // namespace zq
