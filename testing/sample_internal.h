// Pieces of the sample-machine builder shared between its source files.
#pragma once

#include <string>
#include <vector>

#include "testing/sample_machine.h"

namespace zq::sample {

// One value of the user's "Shell Folders": its name and its folder below
// the profile (absolute when inProfile is false).
struct ShellFolderEntry {
  const char16_t* name;
  const char16_t* path;
  bool inProfile = true;
};
const std::vector<ShellFolderEntry>& userShellFolders();

// The same for the machine's common folders: path below the folder named
// by `variable` ("ProgramData", "PUBLIC", "USERPROFILE").
struct CommonFolderEntry {
  const char16_t* name;
  const char16_t* variable;
  const char16_t* path;  // may be empty: the variable's folder itself
};
const std::vector<CommonFolderEntry>& commonShellFolders();

// The sample user's profile folder, "C:\users\<user>".
std::u16string profileFolder(const SampleMachineRecipe& recipe);

// Writes user.reg, userdef.reg and system.reg: the prefix's own values and
// then `extra` in order. False with a reason on failure.
bool writeSampleRegistry(const SampleMachineRecipe& recipe, const std::string& hostDir,
                         const std::vector<SampleRegValue>& extra, std::string& error);

}  // namespace zq::sample
