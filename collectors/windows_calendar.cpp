#include "collectors/windows_calendar.h"

#include <string>

#include "collectors/catalogue.h"
#include "core/files.h"
#include "core/paths.h"
#include "core/known_folders.h"

namespace zq {
namespace {
constexpr std::string_view kProgramName = "Windows Calendar";
}  // namespace

bool collectWindowsCalendar(Entries& entries) {
  const size_t index = static_cast<size_t>(catalogueIndex(kProgramName));
  entries.setInfoText(collectorInfoText(index, editionOf(entries.backupEdition())));

  const std::u16string local = localAppDataFolder();
  const std::u16string folder = addBackslash(local) + u"Microsoft\\Windows Calendar";
  const bool stored = !local.empty() && folderExists(folder) &&
                      entries.addFolder(folder, u"*", u"", u"", "calendar",
                                        std::string(kProgramName), true);
  if (!stored && entries.errorText().empty()) {
    entries.setErrorText(collectorFailureText(index));
  }
  return stored;
}

}  // namespace zq
