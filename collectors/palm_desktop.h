// The Palm Desktop collector: every user folder of the Palm Desktop folder
// (a folder with an "address" subfolder) under the tag "main", each with its
// own name as relative folder, and the users list file users.dat under
// "users".
#pragma once

#include "archive/entries.h"

namespace zq {

// True when at least one user folder was stored.
bool collectPalmDesktop(Entries& entries);

}  // namespace zq
