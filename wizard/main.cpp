// zarvoquilloprime: the backup wizard's program entry. For now it chooses
// the machine, can show what the programs see there, and runs unattended
// backups ("-auto", as the scheduled task starts it) in the terminal.
#include <cstdio>
#include <string>
#include <string_view>

#include "core/machine_choice.h"
#include "core/text.h"
#include "wizard/auto_run.h"
#include "wizard/show_machine.h"

namespace {

constexpr char kUsage[] =
    "usage: zarvoquilloprime [-auto] [--machine DIR] [--show-machine]\n"
    "  -auto           back up unattended with the saved settings (letter case ignored);\n"
    "                  exit status 0 when the archive was written, 1 when not\n"
    "  --machine DIR   the Windows computer to work on: a Wine-style prefix folder\n"
    "                  (default: $WINEPREFIX, else ~/.wine)\n"
    "  --show-machine  print what the programs see on that computer and exit\n";

}  // namespace

int main(int argc, char** argv) {
  std::string machineOption;
  bool showMachine = false;
  bool automated = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--machine" && i + 1 < argc && argv[i + 1][0] != '\0') {
      machineOption = argv[++i];
    } else if (arg.starts_with("--machine=") && arg.size() > 10) {
      machineOption = arg.substr(10);
    } else if (zq::wideLower(zq::utf8ToWide(arg)) == u"-auto") {
      automated = true;
    } else if (arg == "--show-machine") {
      showMachine = true;
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      std::fprintf(stderr, "zarvoquilloprime: unknown option \"%s\"\n%s", argv[i], kUsage);
      return 2;
    }
  }

  if (automated && !showMachine) return zq::automatedMain(machineOption);
  if (!showMachine) {
    std::puts("zarvoquilloprime: the wizard window is not built yet; try --show-machine");
    return 0;
  }
  zq::MachineChoice choice;
  std::string error;
  auto machine = zq::openMachineFromOption(machineOption, choice, error);
  if (!machine) {
    std::fprintf(stderr, "zarvoquilloprime: %s\n", error.c_str());
    return 1;
  }
  std::fputs(zq::describeMachine(*machine, choice.folder).c_str(), stdout);
  return 0;
}
