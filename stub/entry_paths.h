// Where a record may send its file. Names and folders in an archive come from
// outside and are checked before a target path is built from them: a file
// name is one plain name, a relative folder stays below the base it is
// appended to, a source folder is an absolute drive path. And whatever the
// records say, nothing is written into the Windows folder or into the host's
// system folders.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zq {

// True for one plain name a file or folder can have: not empty, not "." or
// "..", no "\", "/", ":", wildcard or quoting characters, no control
// characters, no trailing dot or space, not a device name ("CON", "NUL",
// "COM1", "LPT3.txt", ...). Otherwise false with the reason in *why.
bool isPlainName(std::u16string_view name, std::string* why = nullptr);

// The components of a record's relative folder, split at "\" (and "/"),
// empty components dropped ("\taxes" and "C\Data\" are both fine). False
// with the reason when a component is ".", "..", or not a plain name.
bool splitRelativeFolder(std::u16string_view folder, std::vector<std::u16string>& components,
                         std::string* why = nullptr);

// A record's source folder as a target: "X:\..." (or a "\\server\share\..."
// path), every component below the drive or share a plain name. The result
// is the folder with one trailing "\". False with the reason otherwise.
bool checkSourceFolder(std::u16string_view folder, std::u16string& normalized,
                       std::string* why = nullptr);

// True when a target path (a Windows path of the current machine) lies in
// the machine's Windows folder, or its host path lies in one of the host's
// system folders (/etc, /usr, /bin, /sbin, /lib*, /boot, /dev, /proc, /sys),
// links resolved as far as the path exists. The reason says which.
bool isProtectedTarget(std::u16string_view target, std::string* why = nullptr);

// The host-side rule alone, for an absolute host path.
bool isHostSystemPath(const std::string& hostPath);

// A name or path from the archive as UTF-8 fit to print: control characters
// (which could steer a terminal) become "?".
std::string printable(std::u16string_view text);

}  // namespace zq
