#include "collectors/browsers.h"

#include "collectors/catalogue.h"
#include "core/files.h"
#include "core/paths.h"
#include "core/known_folders.h"

namespace zq {

namespace {

struct OneFolder {
  std::string_view programName;
  std::string_view tag;
  std::u16string_view exclusions;
  bool testExistence;  // false: the walk itself says whether the folder is there
};

// Announces the program (when it has a text), walks the folder and leaves
// the program's failure text when nothing was stored. An unknown base folder
// gives an empty path, which stores nothing.
bool collectOneFolder(Entries& entries, const OneFolder& what, const std::u16string& folder) {
  const size_t index = static_cast<size_t>(catalogueIndex(what.programName));
  const std::u16string info = collectorInfoText(index, editionOf(entries.backupEdition()));
  if (!info.empty()) entries.setInfoText(info);

  const bool stored = !folder.empty() && (!what.testExistence || folderExists(folder)) &&
                      entries.addFolder(folder, u"*", std::u16string(what.exclusions), u"",
                                        std::string(what.tag), std::string(what.programName),
                                        true);
  if (!stored && entries.errorText().empty()) {
    entries.setErrorText(collectorFailureText(index));
  }
  return stored;
}

// base + "\" + sub, or empty when the base folder is unknown.
std::u16string below(const std::u16string& base, std::u16string_view sub) {
  return base.empty() ? std::u16string() : addBackslash(base) + std::u16string(sub);
}

}  // namespace

bool collectGoogleChrome(Entries& entries) {
  // Only folders named exactly "cache" are left out: the browser rebuilds
  // them. Databases travel with their -journal, -wal and -shm companions.
  return collectOneFolder(entries, {"Google Chrome", "chrome", u"cache", true},
                          below(localAppDataFolder(), u"Google\\Chrome\\User Data"));
}

bool collectInternetExplorer(Entries& entries) {
  return collectOneFolder(entries, {"Internet Explorer", "favorites", u"", false},
                          favoritesFolder());
}

bool collectSafari(Entries& entries) {
  return collectOneFolder(entries, {"Safari", "safari", u"", true},
                          below(appDataFolder(), u"Apple Computer\\Safari"));
}

}  // namespace zq
