// The restore program table: one row per catalogue entry, in catalogue order
// (the index of the trailer's presence bytes), each with the restorer the
// run calls when the user left that entry ticked.
//
// Adding a program restorer is a function and a table row:
//   1. write `void restoreFirefox(RestoreRun& run, std::string_view programName)`
//      in a file of its own under stub/ (see the contract in restore_run.h),
//      and declare it in stub/restorers.h;
//   2. put it into the row of its program in restore_table.cpp in place of
//      restoreNotYetAvailable.
#pragma once

#include <array>
#include <string_view>

#include "archive/catalogue_names.h"

namespace zq {

class RestoreRun;

// A restorer restores the entries of one program. It gets the run and the
// program name of its row (one function may serve several rows).
using Restorer = void (*)(RestoreRun& run, std::string_view programName);

struct RestoreProgram {
  std::string_view name;  // the catalogue name, also the records' programname
  Restorer restore;
};

extern const std::array<RestoreProgram, kCatalogueSize> kRestorePrograms;

// The restorer of a program name (exact comparison); the location restore
// for a name without a restorer of its own.
Restorer restorerFor(std::string_view programName);

// The location restore as a restorer (manual selection, file-type groups).
void restoreByLocation(RestoreRun& run, std::string_view programName);

// The row of a program whose restorer this version does not have yet: it
// restores nothing and says so, so that the outcome is never a false success.
void restoreNotYetAvailable(RestoreRun& run, std::string_view programName);

// True when the program's row has a restorer that can restore its data.
bool canRestore(std::string_view programName);

}  // namespace zq
