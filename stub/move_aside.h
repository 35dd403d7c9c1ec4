// Moving a program's current data aside before the archive's copy takes its
// place, so that a restore never destroys what the user has now.
//
// The old data gets the name of the folder (or file) followed by ".old";
// when that name is taken (by an earlier restore), ".old1", ".old2", ... so
// that a second restore keeps the first one's leftovers as well.
#pragma once

#include <string>
#include <string_view>

namespace zq {

class RestoreRun;

// True when the archive holds at least one entry of `programName` (exact)
// whose tag matches `tagmask` (";"-separated masks, case ignored).
bool archiveHolds(const RestoreRun& run, std::string_view programName,
                  std::u16string_view tagmask);

// Renames the existing folder or file `path` (a trailing "\" is ignored) to
// the first free name of path + ".old", ".old1", ".old2", ... The new name,
// or empty when nothing was moved (the path does not exist, no free name,
// or the rename failed).
std::u16string moveAside(std::u16string_view path);

// Moves `path` aside only when the run will restore something into it: the
// archive holds entries of `programName` matching `tagmask`, and the run is
// not a planning run. The new name, or empty when nothing was moved.
std::u16string moveAsideFor(RestoreRun& run, std::u16string_view path,
                            std::u16string_view tagmask, std::string_view programName);

}  // namespace zq
