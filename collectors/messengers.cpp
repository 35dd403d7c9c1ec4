#include "collectors/messengers.h"

#include <string>
#include <string_view>

#include "collectors/catalogue.h"
#include "core/files.h"
#include "core/machine.h"
#include "core/paths.h"
#include "core/registry_helpers.h"
#include "core/known_folders.h"
#include "core/system_helpers.h"

namespace zq {

namespace {

constexpr std::u16string_view kPassportSettings =
    u"Software\\Microsoft\\MSNMessenger\\PerPassportSettings";

size_t indexOf(std::string_view programName) {
  return static_cast<size_t>(catalogueIndex(programName));
}

// The program's failure text, unless an earlier reason is there.
bool failed(Entries& entries, std::string_view programName) {
  if (entries.errorText().empty()) entries.setErrorText(collectorFailureText(indexOf(programName)));
  return false;
}

void announce(Entries& entries, std::string_view programName) {
  entries.setInfoText(
      collectorInfoText(indexOf(programName), editionOf(entries.backupEdition())));
}

// A folder below a special folder; empty when the special folder is unknown,
// so that nothing is looked for relative to wherever the program runs.
std::u16string below(const std::u16string& special, std::u16string_view rest) {
  return special.empty() ? std::u16string() : addBackslash(special) + std::u16string(rest);
}

// One folder, stored when it exists; the result is that add.
bool collectOneFolder(Entries& entries, const std::u16string& folder, std::u16string_view masks,
                      const std::string& tag, std::string_view programName) {
  const bool stored = !folder.empty() && folderExists(folder) &&
                      entries.addFolder(folder, std::u16string(masks), u"", u"", tag,
                                        std::string(programName), true);
  return stored || failed(entries, programName);
}

}  // namespace

bool collectSkype(Entries& entries) {
  announce(entries, "Skype");
  return collectOneFolder(entries, below(appDataFolder(), u"Skype"), u"*", "skypemain", "Skype");
}

bool collectIcq(Entries& entries) {
  return collectOneFolder(entries, below(appDataFolder(), u"ICQ"), u"*.mdb", "icq", "ICQ");
}

bool collectYahooMessenger(Entries& entries) {
  const std::u16string folder =
      isUacEnabled()
          ? below(localAppDataFolder(), u"VirtualStore\\program files\\yahoo!\\messenger\\profiles")
          : below(programFilesFolder(), u"yahoo!\\messenger\\profiles");
  return collectOneFolder(entries, folder, u"*", "yahoo", "Yahoo Messenger");
}

bool collectWindowsLiveMessenger(Entries& entries) {
  constexpr std::string_view kName = "Windows Live Messenger";
  announce(entries, kName);
  const std::u16string main = below(localAppDataFolder(), u"Microsoft\\Messenger");
  if (main.empty() || !folderExists(main) ||
      !entries.addFolder(addBackslash(main), u"*",
                         u"activesharingfolder.dat;sharing folders;sharingmetadata", u"", "main",
                         std::string(kName), true)) {
    return failed(entries, kName);
  }
  for (const std::u16string& account :
       currentMachine().subkeyNames(RegRoot::CurrentUser, kPassportSettings)) {
    const std::u16string logs = readUserRegString(
        std::u16string(kPassportSettings) + u"\\" + account, u"MessageLogPath", u"");
    if (logs.empty() || !folderExists(logs)) continue;
    entries.addFolder(logs, u"*.xsl;*.xml", u"", u"", wideToAnsi(account), std::string(kName),
                      false);
  }
  return true;
}

}  // namespace zq
