// Thunderbird, and Eudora in both of its kinds: the newer Eudora is built on
// Thunderbird and comes back the Thunderbird way under its own name; classic
// Eudora's data folder is moved aside and restored, then its attachment folder.
#include "collectors/mail_b_folders.h"
#include "core/text.h"
#include "stub/entry_paths.h"
#include "stub/move_aside.h"
#include "stub/restore_run.h"
#include "stub/restorers.h"

namespace zq {
namespace {

constexpr std::string_view kEudora = "Eudora";
constexpr std::u16string_view kEudoraFailure = u"Your Eudora data files could not be found!";

std::u16string chosen(const RestoreRun& run, std::u16string_view rest) {
  return addBackslash(run.destinationPath()) + std::u16string(rest);
}

// The attachment folder the restored eudora.ini names comes from the archive:
// it must be an absolute drive or share path outside the protected places,
// like every source folder. Empty when it is not.
std::u16string checkedAttachmentFolder(const std::u16string& folder) {
  std::u16string normalized;
  if (!checkSourceFolder(folder, normalized) || isProtectedTarget(normalized)) return {};
  return normalized;
}

void restoreClassicEudora(RestoreRun& run) {
  if (!run.detectFolder()) {
    const std::u16string base = chosen(run, u"Eudora\\");
    run.restored = run.restoreEntries(base, u"main", false, kEudora);
    run.restoreEntries(base, u"attachments", true, kEudora);
    return;
  }
  const std::u16string dataFolder = eudoraDataFolder();
  if (dataFolder.empty() || !fileExists(dataFolder + u"eudora.ini")) {
    run.restored = false;
    return;
  }
  // The user's current data stays beside it when the archive brings data.
  if (!moveAsideFor(run, dataFolder, u"main", kEudora).empty()) forceFolders(dataFolder);
  run.restored = run.restoreEntries(dataFolder, u"main", false, kEudora);

  const std::u16string attachments = checkedAttachmentFolder(eudoraAttachmentFolder(dataFolder));
  if (!attachments.empty() && folderExists(attachments) && !liesInside(attachments, dataFolder)) {
    run.restoreEntries(attachments, u"attachments", true, kEudora);
  }
}

}  // namespace

void restoreThunderbird(RestoreRun& run, std::string_view programName) {
  const std::u16string name = utf8ToWide(programName);
  run.view().setInfoText(u"Restoring " + name + u" Files...");
  std::u16string base;
  if (run.detectFolder()) {
    const std::u16string appData = appDataFolder();
    if (!appData.empty()) base = addBackslash(appData) + u"Thunderbird\\";
  } else {
    base = chosen(run, u"Thunderbird\\");
  }
  // Without an application data folder there is no place for the main data
  // (an empty base would mean "back to the source folders").
  run.restored = !base.empty() && run.restoreEntries(base, u"thunderbird", false, programName);
  // Profiles and mail folders that lay outside go back to where they were.
  if (!base.empty()) {
    run.restoreEntries(run.detectFolder() ? u"" : base, u"otherthunderbird", true, programName);
  }
  if (!run.restored) {
    run.errortext = u"An error occured while restoring your " + name + u" data.\nMake sure " +
                    name + u" is not running.";
  }
}

void restoreEudora(RestoreRun& run, std::string_view) {
  // An archive of the newer Eudora holds Thunderbird's tags and no classic
  // data folder: it comes back the Thunderbird way wherever it goes.
  const bool thunderbirdData =
      archiveHolds(run, kEudora, u"thunderbird") && !archiveHolds(run, kEudora, u"main");
  if (thunderbirdData || (run.detectFolder() && isThunderbirdBasedEudora())) {
    restoreThunderbird(run, kEudora);
  } else {
    run.view().setInfoText(u"Restoring Eudora Files...");
    restoreClassicEudora(run);
  }
  if (!run.restored) run.errortext = std::u16string(kEudoraFailure);
}

}  // namespace zq
