#include "core/machine_choice.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "core/prefix_machine.h"

namespace zq {

namespace {

// "~" and "~/..." name the home folder.
bool expandHome(std::string_view path, const char* home, std::string& out, std::string& error) {
  if (path != "~" && !path.starts_with("~/")) {
    out = path;
    return true;
  }
  if (!home || !*home) {
    error = "cannot use \"" + std::string(path) + "\": HOME is not set";
    return false;
  }
  out = std::string(home) + std::string(path.substr(1));
  return true;
}

std::string absolute(const std::string& path) {
  if (path.starts_with("/")) return path;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof(cwd))) return path;
  return std::string(cwd) + "/" + path;
}

bool exists(const std::string& path, bool folder) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  return folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode);
}

}  // namespace

bool chooseMachineFolder(std::string_view option, const char* winePrefix, const char* home,
                         MachineChoice& out, std::string& error) {
  std::string_view path;
  if (!option.empty()) {
    path = option;
    out.source = "--machine";
  } else if (winePrefix && *winePrefix) {
    path = winePrefix;
    out.source = "WINEPREFIX";
  } else if (home && *home) {
    out.folder = std::string(home) + "/.wine";
    out.source = "~/.wine";
    return true;
  } else {
    error = "no machine chosen: give --machine DIR, or set WINEPREFIX or HOME";
    return false;
  }
  std::string expanded;
  if (!expandHome(path, home, expanded, error)) return false;
  out.folder = absolute(expanded);
  return true;
}

std::unique_ptr<Machine> openChosenMachine(const MachineChoice& choice, std::string& error) {
  const std::string& dir = choice.folder;
  const std::string from = " (chosen by " + choice.source + ")";
  if (!exists(dir, true)) {
    struct stat st;
    error = stat(dir.c_str(), &st) == 0
                ? "the machine folder " + dir + from + " is not a folder"
                : "the machine folder " + dir + from + " does not exist";
    return nullptr;
  }
  if (!exists(dir + "/system.reg", false) && !exists(dir + "/user.reg", false)) {
    error = "the machine folder " + dir + from +
            " holds no Windows registry (no system.reg or user.reg): it is not a Wine-style prefix";
    return nullptr;
  }
  std::string reason;
  auto machine = PrefixMachine::open(dir, reason);
  if (!machine) {
    error = "cannot open the machine in " + dir + from + ": " + reason;
    return nullptr;
  }
  return machine;
}

std::unique_ptr<Machine> openMachineFromOption(std::string_view option, MachineChoice& choice,
                                               std::string& error) {
  if (!chooseMachineFolder(option, std::getenv("WINEPREFIX"), std::getenv("HOME"), choice,
                           error)) {
    return nullptr;
  }
  return openChosenMachine(choice, error);
}

}  // namespace zq
