#include "stub/restore_helpers.h"

#include <algorithm>

#include "core/masks.h"
#include "core/paths.h"
#include "core/system_helpers.h"
#include "stub/restore_run.h"

namespace zq {

std::u16string chosenFolder(const RestoreRun& run, std::u16string_view rest) {
  return addBackslash(run.destinationPath()) + std::u16string(rest);
}

std::u16string belowSpecial(const std::u16string& special, std::u16string_view rest) {
  return special.empty() ? std::u16string() : addBackslash(special) + std::u16string(rest);
}

bool extractInto(RestoreRun& run, const std::u16string& base, std::u16string_view tagmask,
                 bool initialresult, std::string_view programName) {
  if (!base.empty()) return run.restoreEntries(base, tagmask, initialresult, programName);
  const bool any = std::any_of(run.entries().begin(), run.entries().end(), [&](const auto& r) {
    return r.programname == programName && matchesMaskList(tagmask, ansiToWide(r.tag));
  });
  return any ? false : initialresult;
}

}  // namespace zq
