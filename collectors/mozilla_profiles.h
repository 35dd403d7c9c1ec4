// The profile list of a Mozilla program (Firefox, Thunderbird): the folders
// its profiles.ini names, and whether such a folder lies outside the
// program's own data folder (then it needs a copy of its own).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zq {

// The profile folders named by programFolder + "profiles.ini", each with a
// trailing "\": sections "Profile0", "Profile1", ... up to the first one
// without a "Name"; "IsRelative" other than 0 puts "Path" (with "/" turned
// into "\") below programFolder, otherwise "Path" is taken as it stands.
// Sections without a "Path" are skipped. Empty when the file is missing.
std::vector<std::u16string> mozillaProfileFolders(std::u16string_view programFolder);

// True when `folder` does not lie in `mainFolder` (letter case ignored). The
// main folder is compared as a folder, with its trailing "\", so a sibling
// such as "...\Firefox Backup" counts as outside "...\Firefox".
bool liesOutsideFolder(std::u16string_view mainFolder, std::u16string_view folder);

}  // namespace zq
