// The restorers of Windows Mail and Windows Live Mail (the store folder and
// the user's contacts) and of Windows Calendar (the calendar folder).
#include <string>

#include "core/paths.h"
#include "core/registry_helpers.h"
#include "core/known_folders.h"
#include "core/system_helpers.h"
#include "core/text.h"
#include "stub/restore_run.h"
#include "stub/restorers.h"

namespace zq {
namespace {

// The two mail programs differ only in their name and registry key.
void restoreStoreRootMail(RestoreRun& run, std::string_view programName,
                          std::u16string_view name) {
  run.view().setInfoText(u"Restoring " + std::u16string(name) + u" Files...");
  if (run.detectFolder()) {
    const std::u16string store = expandEnvironment(
        readUserRegString(u"Software\\Microsoft\\" + std::u16string(name), u"Store Root", u""));
    run.restored = !store.empty() && run.restoreEntries(store, u"mail", false, programName);
    // Without a profile folder the contacts have no place of their own; an
    // empty base would send them back to the source computer's folders.
    const std::u16string profile = environmentVariable(u"UserProfile");
    if (!profile.empty()) {
      run.restoreEntries(addBackslash(profile) + u"Contacts", u"contacts", false, programName);
    }
  } else {
    const std::u16string folder = addBackslash(run.destinationPath()) + std::u16string(name);
    run.restored = run.restoreEntries(folder + u"\\Mail", u"mail", false, programName);
    run.restoreEntries(folder + u"\\Contacts", u"contacts", false, programName);
  }
  if (!run.restored) {
    run.errortext = u"An error occured while restoring your " + std::u16string(name) +
                    u" data.\nThis archive file may be corrupt!";
  }
}

}  // namespace

void restoreWindowsMail(RestoreRun& run, std::string_view programName) {
  restoreStoreRootMail(run, programName, u"Windows Mail");
}

void restoreWindowsLiveMail(RestoreRun& run, std::string_view programName) {
  restoreStoreRootMail(run, programName, u"Windows Live Mail");
}

void restoreWindowsCalendar(RestoreRun& run, std::string_view programName) {
  run.view().setInfoText(u"Restoring Windows Calendar Files...");
  std::u16string base;
  if (run.detectFolder()) {
    const std::u16string local = localAppDataFolder();
    if (!local.empty()) base = addBackslash(local) + u"Microsoft\\Windows Calendar";
  } else {
    base = addBackslash(run.destinationPath()) + u"Windows Calendar\\";
  }
  // An unknown local folder leaves no place to restore to (an empty base
  // would mean the source computer's folders).
  run.restored = !base.empty() && run.restoreEntries(base, u"calendar", false, programName);
  if (!run.restored) {
    run.errortext =
        u"An error occured while restoring your Windows Calendar data.\nThis archive file may "
        u"be corrupt!";
  }
}

}  // namespace zq
