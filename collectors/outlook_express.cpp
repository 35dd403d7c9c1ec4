#include "collectors/outlook_express.h"

#include <string>

#include "collectors/catalogue.h"
#include "core/machine.h"
#include "core/registry_helpers.h"
#include "core/system_helpers.h"
#include "core/text.h"

namespace zq {
namespace {

constexpr std::string_view kProgramName = "Outlook Express";
constexpr std::u16string_view kIdentities = u"Identities";
constexpr std::u16string_view kStoreKey = u"\\Software\\Microsoft\\Outlook Express\\5.0";
constexpr std::u16string_view kAddressBookKey = u"Software\\Microsoft\\WAB\\WAB4\\Wab File Name";

}  // namespace

bool collectOutlookExpress(Entries& entries) {
  const size_t index = static_cast<size_t>(catalogueIndex(kProgramName));
  entries.setInfoText(collectorInfoText(index, editionOf(entries.backupEdition())));
  const std::string program(kProgramName);

  bool stored = false;
  const std::vector<std::u16string> identities =
      currentMachine().subkeyNames(RegRoot::CurrentUser, kIdentities);
  for (size_t i = 0; i < identities.size(); ++i) {
    const std::u16string key = std::u16string(kIdentities) + u"\\" + identities[i] +
                               std::u16string(kStoreKey);
    const std::u16string store = expandEnvironment(readUserRegString(key, u"Store Root", u""));
    if (store.empty()) continue;
    if (entries.addFolder(store, u"*", u"", u"", "mail" + std::to_string(i), program, true)) {
      stored = true;
    }
  }

  const std::u16string addressBook =
      expandEnvironment(readUserRegString(kAddressBookKey, u"", u""));
  if (!addressBook.empty()) entries.addFile(addressBook, u"", "addressbook", program);

  if (!stored && entries.errorText().empty()) {
    entries.setErrorText(collectorFailureText(index));
  }
  return stored;
}

}  // namespace zq
