// IncrediMail: the archive's default identity goes into the target's default
// identity folder and its n-th other identity into the target's n-th other
// one (each current identity folder moved aside first), the program's own
// parts into the application folder; or all of it below the chosen folder.
#include <string>

#include "core/files.h"
#include "core/machine.h"
#include "core/paths.h"
#include "core/registry_helpers.h"
#include "core/known_folders.h"
#include "core/text.h"
#include "stub/move_aside.h"
#include "stub/restore_run.h"
#include "stub/restorers.h"

namespace zq {
namespace {

constexpr std::u16string_view kKey = u"Software\\IncrediMail";
constexpr std::u16string_view kIdentities = u"Software\\IncrediMail\\Identities";

bool restoreDetected(RestoreRun& run, std::string_view programName) {
  // The machine-wide installation first, then the user's own.
  RegRoot root = RegRoot::LocalMachine;
  std::u16string folder = addBackslash(readMachineRegString(kKey, u"ApplicationPath", u""));
  if (folder.empty() || !folderExists(folder)) {
    root = RegRoot::CurrentUser;
    const std::u16string local = localAppDataFolder();
    folder = addBackslash(readUserRegString(
        kKey, u"ApplicationPath", local.empty() ? std::u16string() : addBackslash(local) + u"IM"));
    if (folder.empty() || !folderExists(folder)) return false;
  }

  Machine& machine = currentMachine();
  RegValue value;
  const std::u16string defaultIdentity =
      machine.readValue(root, kIdentities, u"", value) ? value.text() : std::u16string();
  bool restored = false;
  int counter = 0;
  for (const std::u16string& identity : machine.subkeyNames(root, kIdentities)) {
    std::u16string tag = u"default";
    if (identity != defaultIdentity) tag = u"profile" + utf8ToWide(std::to_string(counter++));
    const std::u16string identityFolder = folder + u"Identities\\" + identity;
    if (!moveAsideFor(run, identityFolder, tag, programName).empty()) {
      forceFolders(identityFolder);
    }
    if (run.restoreEntries(identityFolder, tag, false, programName)) restored = true;
  }
  run.restoreEntries(folder, u"root", true, programName);
  return restored;
}

bool restoreChosen(RestoreRun& run, std::string_view programName) {
  const std::u16string base = addBackslash(run.destinationPath()) + u"IncrediMail\\";
  bool anyProfile = false;
  for (int i = 0;; ++i) {
    const std::u16string number = utf8ToWide(std::to_string(i));
    if (!run.restoreEntries(base + u"identity" + number, u"profile" + number, false, programName)) {
      break;
    }
    anyProfile = true;
  }
  const bool main = run.restoreEntries(base + u"MainProfile", u"default", false, programName);
  run.restoreEntries(base, u"root", true, programName);
  return main || anyProfile;
}

}  // namespace

void restoreIncrediMail(RestoreRun& run, std::string_view programName) {
  run.view().setInfoText(u"Restoring IncrediMail Files...");
  run.restored =
      run.detectFolder() ? restoreDetected(run, programName) : restoreChosen(run, programName);
  if (!run.restored) {
    run.errortext =
        u"An error occured while restoring your IncrediMail "
        u"data.\nThis file may be "
        u"corrupt!";
  }
}

}  // namespace zq
