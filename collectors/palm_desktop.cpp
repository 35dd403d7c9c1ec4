#include "collectors/palm_desktop.h"

#include "collectors/catalogue.h"
#include "collectors/mail_b_folders.h"
#include "core/find_data.h"
#include "core/system_helpers.h"

namespace zq {
namespace {
constexpr std::string_view kProgramName = "Palm Desktop";

// The Palm folder of the registry, or on Windows 6.x its per-user copy in
// the virtual store when Palm Desktop wrote its data there.
std::u16string palmFolder() {
  const std::u16string registered = palmRegistryFolder();
  if (isWindowsVista()) {
    const std::u16string store = palmVirtualStoreFolder(registered);
    if (!store.empty() && fileExists(addBackslash(store) + u"users.dat")) return store;
  }
  return registered;
}

}  // namespace

bool collectPalmDesktop(Entries& entries) {
  const size_t index = static_cast<size_t>(catalogueIndex(kProgramName));
  entries.setInfoText(collectorInfoText(index, editionOf(entries.backupEdition())));
  const std::string program(kProgramName);

  const std::u16string folder = addBackslash(palmFolder());
  bool stored = false;
  tfinddata found;
  if (!folder.empty() && folderExists(folder) && findFirst(found, folder + u"*")) {
    do {
      const std::u16string user = folder + found.name;
      if (found.isFolder && folderExists(user + u"\\address") &&
          entries.addFolder(user, u"*", u"", found.name, "main", program, true)) {
        stored = true;
      }
    } while (findNext(found));
    findClose(found);
  }
  if (stored) entries.addFile(folder + u"users.dat", u"", "users", program);

  if (!stored && entries.errorText().empty()) entries.setErrorText(collectorFailureText(index));
  return stored;
}

}  // namespace zq
