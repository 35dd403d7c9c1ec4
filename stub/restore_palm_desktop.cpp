// Palm Desktop: the user folders and the users list go into the Palm folder
// the target's registry names (on Windows 6.x its per-user virtual store copy
// when it lies below Program Files), or below the chosen folder.
#include "collectors/mail_b_folders.h"
#include "core/system_helpers.h"
#include "stub/restore_run.h"
#include "stub/restorers.h"

namespace zq {

void restorePalmDesktop(RestoreRun& run, std::string_view programName) {
  run.view().setInfoText(u"Restoring Palm Desktop Files...");
  std::u16string folder;
  if (run.detectFolder()) {
    // Without a Palm folder on this computer the files go back to the
    // folders they came from (an empty base).
    folder = palmRegistryFolder();
    if (isWindowsVista()) {
      const std::u16string store = palmVirtualStoreFolder(folder);
      if (!store.empty()) folder = store;
    }
  } else {
    folder = addBackslash(run.destinationPath()) + u"Palm Desktop";
  }
  if (!folder.empty() && !run.planning()) forceFolders(folder);
  run.restored = run.restoreEntries(folder, u"main", false, programName) &&
                 run.restoreEntries(folder, u"users", false, programName);
  if (!run.restored) {
    run.errortext =
        u"An error occured while restoring your Palm Desktop "
        u"data.\nThis archive file may be "
        u"corrupt!";
  }
}

}  // namespace zq
