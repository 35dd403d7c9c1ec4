#include "collectors/incredimail.h"

#include "collectors/catalogue.h"
#include "core/files.h"
#include "core/machine.h"
#include "core/paths.h"
#include "core/registry_helpers.h"
#include "core/known_folders.h"

namespace zq {
namespace {

constexpr std::string_view kProgramName = "IncrediMail";
constexpr std::u16string_view kKey = u"Software\\IncrediMail";
constexpr std::u16string_view kIdentities = u"Software\\IncrediMail\\Identities";

}  // namespace

bool collectIncrediMail(Entries& entries) {
  const size_t index = static_cast<size_t>(catalogueIndex(kProgramName));
  entries.setInfoText(collectorInfoText(index, editionOf(entries.backupEdition())));
  const std::string program(kProgramName);

  // A per-user installation names its folder in the user's hive; otherwise
  // the machine-wide one (whose identities are the machine's) is used.
  RegRoot root = RegRoot::CurrentUser;
  std::u16string folder = addBackslash(readUserRegString(kKey, u"ApplicationPath", u""));
  if (folder.empty() || !folderExists(folder)) {
    root = RegRoot::LocalMachine;
    const std::u16string local = localAppDataFolder();
    folder = addBackslash(readMachineRegString(
        kKey, u"ApplicationPath", local.empty() ? std::u16string() : addBackslash(local) + u"IM"));
  }

  bool stored = false;
  if (!folder.empty() && folderExists(folder)) {
    Machine& machine = currentMachine();
    RegValue value;
    const std::u16string defaultIdentity =
        machine.readValue(root, kIdentities, u"", value) ? value.text() : std::u16string();
    int counter = 0;
    for (const std::u16string& identity : machine.subkeyNames(root, kIdentities)) {
      std::string tag = "default";
      if (identity != defaultIdentity) tag = "profile" + std::to_string(counter++);
      const std::u16string identityFolder = folder + u"Identities\\" + identity;
      if (folderExists(identityFolder) &&
          entries.addFolder(identityFolder, u"*", u"", u"", tag, program, true)) {
        stored = true;
      }
    }
    // The program's own parts: extras whose results do not count.
    for (std::u16string_view part : {u"Lex", u"AddOns", u"Runtime"}) {
      const std::u16string sub = folder + std::u16string(part);
      if (folderExists(sub)) {
        entries.addFolder(sub, u"*", u"", std::u16string(part), "root", program, true);
      }
    }
    entries.addFolder(folder, u"*", u"", u"", "root", program, false);
  }

  if (!stored && entries.errorText().empty()) entries.setErrorText(collectorFailureText(index));
  return stored;
}

}  // namespace zq
