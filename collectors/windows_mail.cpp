#include "collectors/windows_mail.h"

#include <string>

#include "collectors/catalogue.h"
#include "core/files.h"
#include "core/paths.h"
#include "core/registry_helpers.h"
#include "core/system_helpers.h"

namespace zq {
namespace {

bool collectStoreRootMail(Entries& entries, std::string_view programName,
                          std::u16string_view key) {
  const size_t index = static_cast<size_t>(catalogueIndex(programName));
  entries.setInfoText(collectorInfoText(index, editionOf(entries.backupEdition())));
  const std::string program(programName);

  const std::u16string store = expandEnvironment(readUserRegString(key, u"Store Root", u""));
  const bool stored = !store.empty() && folderExists(store) &&
                      entries.addFolder(store, u"*", u"userdictionary*", u"", "mail", program,
                                        true);
  if (stored) {
    const std::u16string profile = environmentVariable(u"UserProfile");
    const std::u16string contacts = addBackslash(profile) + u"Contacts";
    if (!profile.empty() && folderExists(contacts)) {
      entries.addFolder(contacts, u"*", u"", u"", "contacts", program, true);
    }
  }

  if (!stored && entries.errorText().empty()) {
    entries.setErrorText(collectorFailureText(index));
  }
  return stored;
}

}  // namespace

bool collectWindowsMail(Entries& entries) {
  return collectStoreRootMail(entries, "Windows Mail", u"Software\\Microsoft\\Windows Mail");
}

bool collectWindowsLiveMail(Entries& entries) {
  return collectStoreRootMail(entries, "Windows Live Mail",
                              u"Software\\Microsoft\\Windows Live Mail");
}

}  // namespace zq
