#include "stub/move_aside.h"

#include <string>

#include "core/files.h"
#include "core/masks.h"
#include "core/paths.h"
#include "core/system_helpers.h"
#include "stub/restore_run.h"

namespace zq {
namespace {

// Enough for years of repeated restores; past it nothing is moved rather
// than anything overwritten.
constexpr int kMaxOldNames = 1000;

}  // namespace

bool archiveHolds(const RestoreRun& run, std::string_view programName,
                  std::u16string_view tagmask) {
  for (const tfilerecord& record : run.entries()) {
    if (record.programname == programName && matchesMaskList(tagmask, ansiToWide(record.tag))) {
      return true;
    }
  }
  return false;
}

std::u16string moveAside(std::u16string_view path) {
  Machine& machine = currentMachine();
  const std::u16string from = removeBackslash(path);
  FileInfo info;
  if (from.empty() || !machine.fileInfo(from, info)) return {};
  for (int n = 0; n < kMaxOldNames; ++n) {
    std::u16string candidate = from + u".old";
    if (n > 0) {
      for (char c : std::to_string(n)) candidate += static_cast<char16_t>(c);
    }
    if (machine.fileInfo(candidate, info)) continue;
    return machine.moveFile(from, candidate) ? candidate : std::u16string();
  }
  return {};
}

std::u16string moveAsideFor(RestoreRun& run, std::u16string_view path,
                            std::u16string_view tagmask, std::string_view programName) {
  if (run.planning() || !archiveHolds(run, programName, tagmask)) return {};
  return moveAside(path);
}

}  // namespace zq
