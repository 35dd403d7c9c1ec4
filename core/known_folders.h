// The shell's special folders, without a trailing "\". Each comes from the
// machine's own lookup (the folder is created when it is missing, as the
// shell does when asked with its create flag); when the machine has no answer
// the registry value of the user's "Shell Folders" key (or the source named
// below) is used; empty when neither knows it.
#pragma once

#include <string>
#include <string_view>

namespace zq {

std::u16string desktopFolder();       // fallback "Desktop"
std::u16string appDataFolder();       // roaming; fallback "AppData"
std::u16string localAppDataFolder();  // fallback "Local AppData"
std::u16string favoritesFolder();     // fallback "Favorites"
std::u16string documentsFolder();     // fallback "Personal"
std::u16string windowsFolder();       // fallback the SystemRoot / windir variable
std::u16string profileFolder();       // no fallback
// Fallback HKLM "Software\Microsoft\Windows\CurrentVersion" "ProgramFilesDir",
// then "c:\program files".
std::u16string programFilesFolder();
// The temporary-files folder: the machine's, else the TMP, TEMP or
// USERPROFILE variable, else the Windows folder.
std::u16string tempFolder();

// True when the user's network-places folder is known and the path lies in
// it (that folder or below; letter case ignored).
bool isNetHoodPath(std::u16string_view path);

// The target path of the shell link "target.lnk" inside the folder (how a
// network place points at its share); empty when it cannot be read.
std::u16string shortcutTarget(std::u16string_view folder);

}  // namespace zq
