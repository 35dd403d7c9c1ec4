#include "testing/run_program.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "testing/scratch_dir.h"

namespace zq {

namespace {

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

ProgramRun runProgram(const std::vector<std::string>& argv,
                      const std::vector<std::string>& environment) {
  ProgramRun run;
  if (argv.empty()) return run;
  // Output goes to files rather than pipes: nothing can block on a full pipe.
  ScratchDir dir("zq-run");
  if (dir.path().empty()) return run;
  const std::string outPath = dir.sub("out"), errPath = dir.sub("err");

  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) return run;
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    for (const auto& e : environment) {
      const size_t eq = e.find('=');
      if (eq == std::string::npos) {
        unsetenv(e.c_str());
      } else {
        setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
      }
    }
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  run.out = readAll(outPath);
  run.err = readAll(errPath);
  return run;
}

}  // namespace zq
