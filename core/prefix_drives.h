// The drives of a prefix machine and the mapping between Windows paths and
// host paths.
//
// Drives come from the prefix's "dosdevices/<letter>:" links (a relative link
// counts from dosdevices/), else "drive_c" is C:; Z: is the host root unless
// the prefix maps it elsewhere. Windows paths are resolved one component at
// a time, exact match first, then a case-insensitive match found by listing
// the folder; components that do not exist keep the case they were given.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/machine.h"

namespace zq {

// A Windows path taken apart: an upper-case drive letter and its components
// with "." and ".." already resolved. False for anything that is not an
// absolute drive path: UNC and device paths, relative paths ("a\b", "\a",
// "C:a"), a ".." that climbs above the drive root, an embedded NUL.
struct WindowsPathParts {
  char16_t drive = 0;
  std::vector<std::u16string> components;
};
bool splitWindowsPath(std::u16string_view path, WindowsPathParts& out);

// The drive type named in HKLM "Software\Wine\Drives" ("hd", "cdrom",
// "floppy", "network", "ramdisk"); anything else is a fixed disk.
DriveType driveTypeFromName(std::u16string_view name);
// The file system name a drive of that type reports.
std::u16string fileSystemOf(DriveType type);

// Host path text with "." and ".." resolved and no doubled or trailing "/".
// Relative input stays relative.
std::string normalizeHostPath(std::string_view path);

class DriveTable {
 public:
  // typeNames: drive letter (upper case) -> type name from the registry.
  static DriveTable read(const std::string& prefixDir,
                         const std::map<char16_t, std::u16string>& typeNames);

  const std::vector<DriveInfo>& drives() const { return drives_; }
  const DriveInfo* find(char16_t letter) const;

  // Host path of split Windows path parts (see the header comment); empty
  // for an unknown drive.
  std::string hostPath(const WindowsPathParts& parts) const;
  std::string hostPath(std::u16string_view windowsPath) const;
  // The Windows name of an absolute host path through the drive with the
  // longest root that holds it; empty when no drive does.
  std::u16string windowsPath(std::string_view hostPath) const;

 private:
  struct Root {
    size_t drive;  // index into drives_
    std::string path;
  };
  std::vector<DriveInfo> drives_;
  std::vector<Root> roots_;  // each drive's root as given and as resolved
};

}  // namespace zq
