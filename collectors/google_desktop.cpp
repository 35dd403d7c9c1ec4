#include "collectors/google_desktop.h"

#include "collectors/catalogue.h"
#include "core/files.h"
#include "core/registry_helpers.h"

namespace zq {

namespace {

constexpr std::string_view kProgramName = "Google Desktop";
constexpr std::u16string_view kSettingsKey = u"software\\google\\google desktop";

bool addWhole(Entries& entries, const std::u16string& folder, const std::string& tag) {
  return !folder.empty() && folderExists(folder) &&
         entries.addFolder(folder, u"*", u"", u"", tag, std::string(kProgramName), true);
}

}  // namespace

bool collectGoogleDesktop(Entries& entries) {
  const std::u16string index = readUserRegString(kSettingsKey, u"data_dir", u"");
  const std::u16string gadgets = readUserRegString(kSettingsKey, u"plugin_dir", u"");
  const bool stored =
      addWhole(entries, index, "gdindex") && addWhole(entries, gadgets, "gdgadgets");
  if (!stored && entries.errorText().empty()) {
    entries.setErrorText(collectorFailureText(static_cast<size_t>(catalogueIndex(kProgramName))));
  }
  return stored;
}

}  // namespace zq
