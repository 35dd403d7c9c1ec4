// Directory enumeration: findFirst / findNext / findClose over a pattern such
// as "C:\folder\*" or "C:\folder\*.txt", listing through the current machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/machine.h"

namespace zq {

// The record of a running enumeration. The fields describe the current entry.
struct tfinddata {
  std::u16string name;  // as stored on disk, at most 260 code units
  uint32_t attributes = 0;
  int64_t size = 0;  // 0 for folders
  bool isFolder = false;
  // Days since 1899-12-30, local time, at the 2-second resolution of the DOS
  // date/time format; 0 when the time cannot be represented.
  double creationTime = 0;
  double writeTime = 0;
  double accessTime = 0;

  // The enumeration itself (the "find handle").
  std::vector<FolderEntry> entries;
  size_t next = 0;
  bool open = false;
};

// Lists the folder of the pattern and keeps the entries whose names match its
// last component: "*" any run of characters, "?" any one character, letter
// case ignored; "*.*" matches every name. The entries come sorted by name.
// "." and ".." are never listed. False when the folder cannot be read or
// nothing matches; otherwise the first entry is in finddata.
bool findFirst(tfinddata& finddata, std::u16string_view pattern);

// The next entry; false when there is none.
bool findNext(tfinddata& finddata);

// Ends the enumeration.
void findClose(tfinddata& finddata);

// The wildcard comparison findFirst uses.
bool matchesFindPattern(std::u16string_view pattern, std::u16string_view name);

}  // namespace zq
