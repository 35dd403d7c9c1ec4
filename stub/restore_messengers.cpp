// The messengers' restorers: Skype, ICQ and Yahoo Messenger (one folder
// each), AIM (settings and conversation logs) and Windows Live Messenger
// (its data and each account's message history).
#include <string>
#include <string_view>

#include "core/machine.h"
#include "core/registry_helpers.h"
#include "core/known_folders.h"
#include "core/system_helpers.h"
#include "stub/restore_helpers.h"
#include "stub/restore_run.h"
#include "stub/restorers.h"

namespace zq {

namespace {

constexpr std::u16string_view kPassportSettings =
    u"Software\\Microsoft\\MSNMessenger\\PerPassportSettings";

// One tag into one folder of the current mode; the outcome is that call.
void restoreOneFolder(RestoreRun& run, std::string_view programName,
                      std::u16string_view progressText, std::u16string_view tag,
                      const std::u16string& detected, std::u16string_view chosenSub,
                      std::u16string_view failureText) {
  run.view().setInfoText(std::u16string(progressText));
  const std::u16string base = run.detectFolder() ? detected : chosenFolder(run, chosenSub);
  run.restored = extractInto(run, base, tag, false, programName);
  if (!run.restored) run.errortext = std::u16string(failureText);
}

// An account's key name is used as a tag mask: a name with mask characters
// would also pick the entries of other accounts or the program's own data.
bool usableAsTag(std::u16string_view account) {
  return !account.empty() && account.find_first_of(u"*;") == std::u16string_view::npos;
}

}  // namespace

void restoreSkype(RestoreRun& run, std::string_view programName) {
  restoreOneFolder(run, programName, u"Restoring Skype Files...", u"skypemain",
                   belowSpecial(appDataFolder(), u"Skype\\"), u"Skype\\",
                   u"An error occured while restoring your Skype contacts and settings.\n"
                   u"This archive file may be corrupt.");
}

void restoreICQ(RestoreRun& run, std::string_view programName) {
  restoreOneFolder(run, programName, u"Restoring your ICQ files...", u"icq",
                   belowSpecial(appDataFolder(), u"ICQ\\"), u"ICQ\\",
                   u"An error occured while restoring your ICQ message history and settings.\n"
                   u"Make sure ICQ is installed on this computer before restoring.");
}

// With user account control on, the program's writes below Program Files
// land in the user's virtual store, so that is where it looks for them.
void restoreYahooMessenger(RestoreRun& run, std::string_view programName) {
  const std::u16string detected =
      isUacEnabled()
          ? belowSpecial(localAppDataFolder(),
                         u"VirtualStore\\program files\\yahoo!\\messenger\\profiles")
          : belowSpecial(programFilesFolder(), u"yahoo!\\messenger\\profiles");
  restoreOneFolder(run, programName, u"Restoring your Yahoo Messenger files...", u"yahoo",
                   detected, u"Yahoo Messenger\\",
                   u"An error occured while restoring your Yahoo Messenger message archives.\n"
                   u"Make sure Yahoo Messenger is installed on this computer before restoring.");
}

void restoreAIM(RestoreRun& run, std::string_view programName) {
  run.view().setInfoText(u"Restoring your AIM files...");
  bool ok;
  if (run.detectFolder()) {
    // The logs of a folder of the user's choice go back to that folder.
    ok = extractInto(run, belowSpecial(localAppDataFolder(), u"aim\\settings\\"), u"aim", false,
                     programName) &&
         run.restoreEntries(u"", u"aimlogs", true, programName) &&
         extractInto(run, belowSpecial(documentsFolder(), u"AIMLogger"), u"aimlogsdocs", true,
                     programName);
  } else {
    const std::u16string base = chosenFolder(run, u"AIM\\");
    ok = run.restoreEntries(base, u"aim", false, programName) &&
         run.restoreEntries(base + u"Logs", u"aimlogs", true, programName) &&
         run.restoreEntries(base + u"Logs", u"aimlogsdocs", true, programName);
  }
  run.restored = ok;
  if (!ok) {
    run.errortext =
        u"An error occured while restoring your AIM IM archives (conversations) and settings.\n"
        u"Make sure AIM is installed on this computer before restoring.";
  }
}

void restoreWindowsLiveMessenger(RestoreRun& run, std::string_view programName) {
  run.view().setInfoText(u"Restoring Windows Live Messenger Files...");
  if (!run.detectFolder()) {
    run.restored =
        run.restoreEntries(chosenFolder(run, u"Windows Live Messenger"), u"*", false, programName);
  } else {
    run.restored = extractInto(run, belowSpecial(localAppDataFolder(), u"Microsoft\\Messenger"),
                               u"main", false, programName);
    // Each account's history goes to the folder the same account uses on
    // this computer; accounts it does not know yet get nothing.
    if (run.restored) {
      for (const std::u16string& account :
           currentMachine().subkeyNames(RegRoot::CurrentUser, kPassportSettings)) {
        if (!usableAsTag(account)) continue;
        const std::u16string logs = readUserRegString(
            std::u16string(kPassportSettings) + u"\\" + account, u"MessageLogPath", u"");
        if (!logs.empty()) run.restoreEntries(logs, account, true, programName);
      }
    }
  }
  if (!run.restored) {
    run.errortext = u"Your Windows Live Messenger data files could not be restored.";
  }
}

}  // namespace zq
