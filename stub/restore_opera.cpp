// The Opera restorer: the profile into the Opera folder this computer uses,
// the mail into the mail folder this computer's Opera names.
#include "collectors/opera_folders.h"
#include "stub/restore_helpers.h"
#include "stub/restore_run.h"
#include "stub/restorers.h"

namespace zq {

void restoreOpera(RestoreRun& run, std::string_view programName) {
  run.view().setInfoText(u"Restoring Opera Files...");
  std::u16string profileBase;
  std::u16string mailBase;
  if (run.detectFolder()) {
    // Both read before anything is restored: the mail folder is this
    // computer's own setting. The profile entries carry the relative folder
    // "profile", so they land in the Opera folder's "profile\".
    profileBase = operaFolder();
    mailBase = operaMailRoot(profileBase);
  } else {
    profileBase = chosenFolder(run, u"Opera");
    mailBase = chosenFolder(run, u"Opera\\Mail");
  }
  run.restored = extractInto(run, profileBase, u"profile", false, programName);
  if (!run.restored) {
    run.errortext =
        u"The Opera data files could not be found!  Make sure Opera is installed on your "
        u"computer before restoring.";
    return;
  }
  // Without a mail folder setting here the mail goes back to the folder it
  // came from.
  run.restoreEntries(mailBase, u"mail", true, programName);
}

}  // namespace zq
