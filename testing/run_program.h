// Runs a program as a real process and collects what it printed, for tests
// that check a program's output and exit code.
#pragma once

#include <string>
#include <vector>

namespace zq {

struct ProgramRun {
  int exitCode = -1;  // -1 when it could not be started or did not exit normally
  std::string out;    // standard output
  std::string err;    // standard error
};

// argv[0] is the program's path. `environment` entries ("NAME=value", or
// "NAME" alone to remove it) change the environment the program gets.
// Standard input is empty.
ProgramRun runProgram(const std::vector<std::string>& argv,
                      const std::vector<std::string>& environment = {});

}  // namespace zq
