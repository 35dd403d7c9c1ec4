#include "collectors/opera.h"

#include "collectors/catalogue.h"
#include "collectors/opera_folders.h"
#include "core/files.h"

namespace zq {

namespace {
constexpr std::string_view kProgramName = "Opera";
}  // namespace

bool collectOpera(Entries& entries) {
  const size_t index = static_cast<size_t>(catalogueIndex(kProgramName));
  entries.setInfoText(collectorInfoText(index, editionOf(entries.backupEdition())));

  const std::string name(kProgramName);
  const std::u16string folder = operaFolder();
  bool stored = false;
  if (!folder.empty() && folderExists(folder)) {
    // Read before anything is stored: the settings file itself stays behind
    // (the other computer keeps its own), the caches are rebuilt.
    const std::u16string mailRoot = operaMailRoot(folder);
    stored = entries.addFolder(folder + u"profile", u"*", u"opera6.ini;cache4;opcache",
                               u"profile", "profile", name, true);
    if (!mailRoot.empty()) entries.addFolder(mailRoot, u"*", u"", u"", "mail", name, true);
  }
  if (!stored && entries.errorText().empty()) {
    entries.setErrorText(collectorFailureText(index));
  }
  return stored;
}

}  // namespace zq
