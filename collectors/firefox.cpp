#include "collectors/firefox.h"

#include <vector>

#include "collectors/catalogue.h"
#include "collectors/mozilla_profiles.h"
#include "core/files.h"
#include "core/paths.h"
#include "core/known_folders.h"
#include "core/text.h"

namespace zq {

namespace {

constexpr std::string_view kProgramName = "Firefox";
// Caches are rebuilt by the browser; the lock would tell the browser on the
// other computer that the profile is in use.
constexpr std::u16string_view kExclusions = u"cache;parent.lock";

// The relative folder an outside profile is stored under: its own folder
// name, made unique among the outside profiles of this run, so that
// profiles restored side by side below one folder do not overwrite each
// other. (Restoring to their own folders uses the source folder instead.)
std::u16string outsideProfileFolder(const std::u16string& profile,
                                    std::vector<std::u16string>& taken) {
  std::u16string name = nameOfPath(removeBackslash(profile));
  if (name.empty() || name.back() == u':') name = u"profile";
  std::u16string unique = name;
  for (int n = 2;; ++n) {
    bool used = false;
    for (const auto& t : taken) used = used || equalsNoCase(t, unique);
    if (!used) break;
    unique = name + u"-" + utf8ToWide(std::to_string(n));
  }
  taken.push_back(unique);
  return unique;
}

}  // namespace

bool collectFirefox(Entries& entries) {
  const size_t index = static_cast<size_t>(catalogueIndex(kProgramName));
  entries.setInfoText(collectorInfoText(index, editionOf(entries.backupEdition())));

  const std::u16string appData = appDataFolder();
  const std::u16string mainFolder =
      appData.empty() ? std::u16string() : addBackslash(appData) + u"Mozilla\\Firefox";
  const std::string name(kProgramName);
  const bool stored = !mainFolder.empty() && folderExists(mainFolder) &&
                      entries.addFolder(mainFolder, u"*", std::u16string(kExclusions), u"",
                                        "firefox", name, true);

  if (!mainFolder.empty()) {
    std::vector<std::u16string> taken;
    for (const std::u16string& profile : mozillaProfileFolders(mainFolder)) {
      if (!liesOutsideFolder(mainFolder, profile)) continue;
      if (!folderExists(profile)) continue;
      entries.addFolder(profile, u"*", std::u16string(kExclusions),
                        outsideProfileFolder(profile, taken), "otherfirefox", name, true);
    }
  }

  if (!stored && entries.errorText().empty()) {
    entries.setErrorText(collectorFailureText(index));
  }
  return stored;
}

}  // namespace zq
