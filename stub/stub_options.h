// The restore program's command line. Every option is an addition: run
// without any, the program restores the archive it carries and asks its
// questions.
#pragma once

#include <string>
#include <vector>

namespace zq {

struct StubOptions {
  bool help = false;
  bool info = false;
  bool list = false;
  bool check = false;
  bool detect = false;
  bool hasTarget = false;
  std::string target;             // as typed: a host path or a Windows path
  std::vector<std::string> only;  // list entry names
  std::string passphraseFile;
  std::string machine;  // --machine DIR, empty when not given
};

extern const char kStubUsage[];

// False with the reason for an unknown option, a missing value or options
// that do not go together.
bool parseStubOptions(int argc, const char* const* argv, StubOptions& out, std::string& error);

}  // namespace zq
