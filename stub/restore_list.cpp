#include "stub/restore_list.h"

#include "core/system_helpers.h"
#include "core/text.h"
#include "stub/stub_texts.h"

namespace zq {

std::vector<RestoreListEntry> buildRestoreList(const tarchivetrailer& trailer) {
  std::vector<RestoreListEntry> list;
  if (trailer.manualpresent != 0) {
    list.push_back({std::string(kManualProgramName), std::u16string(stubtext::kManualEntry), -1});
  }
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    if (trailer.programpresent[i] == 0) continue;
    const std::string name(kCatalogueNames[i]);
    list.push_back({name, utf8ToWide(name), static_cast<int>(i)});
  }
  return list;
}

RestoreListEntry* findListEntry(std::vector<RestoreListEntry>& list, std::u16string_view name) {
  for (auto& entry : list) {
    if (equalsNoCase(utf8ToWide(entry.name), name) || equalsNoCase(entry.text, name)) {
      return &entry;
    }
  }
  return nullptr;
}

bool isBackupEdition(std::string_view productname) {
  return !productname.empty() && productname[0] == 'Z';
}

std::u16string productText(const tarchivetrailer& trailer) {
  // The name comes from the archive: nothing in it may steer a terminal.
  std::u16string text = ansiToWide(trailer.productname);
  for (char16_t& c : text) {
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) c = u'?';
  }
  return text;
}

std::u16string wizardTitle(std::u16string_view product) {
  return std::u16string(product) + std::u16string(stubtext::kWizardSuffix);
}

std::u16string welcomeTitle(std::u16string_view product) {
  return std::u16string(stubtext::kWelcomeTitleStart) + wizardTitle(product) + u"!";
}

std::u16string welcomeInfo(bool backupEdition) {
  return std::u16string(backupEdition ? stubtext::kWelcomeBackup : stubtext::kWelcomeTransfer) +
         std::u16string(stubtext::kWelcomeGuide);
}

}  // namespace zq
