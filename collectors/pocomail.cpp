#include "collectors/pocomail.h"

#include "collectors/catalogue.h"
#include "collectors/mail_b_folders.h"

namespace zq {
namespace {

constexpr std::string_view kProgramName = "PocoMail";
// The data folder's subfolders that are stored under their own tags (or are
// not worth storing: the cache).
constexpr std::u16string_view kMainExclusions =
    u"cache;address;attach;mail;scripts;signatures;skins;templates;users";

}  // namespace

bool collectPocoMail(Entries& entries) {
  const size_t index = static_cast<size_t>(catalogueIndex(kProgramName));
  entries.setInfoText(collectorInfoText(index, editionOf(entries.backupEdition())));
  const std::string program(kProgramName);

  const std::u16string dataFolder = pocoDataFolder(pocoProgramFolder());
  tinifile ini;
  if (!dataFolder.empty()) ini.loadFile(dataFolder + u"poco.ini");

  const auto store = [&](const std::u16string& folder, std::u16string_view exclusions,
                         const std::string& tag) {
    return !folder.empty() && folderExists(folder) &&
           entries.addFolder(folder, u"*", std::u16string(exclusions), u"", tag, program, true);
  };
  bool stored = store(dataFolder, kMainExclusions, "main");
  for (const PocoFolderSetting& setting : kPocoFolderSettings) {
    if (!stored) break;
    const std::u16string value = ini.readValue(pocoSettingSection(setting), setting.key, u"");
    const bool ok = store(resolvePocoFolder(dataFolder, value), u"", std::string(setting.tag));
    // The mail folder counts; the others are extras.
    if (setting.tag == "mailpath") stored = ok;
  }

  if (!stored && entries.errorText().empty()) entries.setErrorText(collectorFailureText(index));
  return stored;
}

}  // namespace zq
