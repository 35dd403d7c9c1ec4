#include "collectors/opera_folders.h"

#include "core/files.h"
#include "core/ini_file.h"
#include "core/paths.h"
#include "core/registry_helpers.h"
#include "core/known_folders.h"
#include "core/strings.h"

namespace zq {

namespace {

bool hasProfile(const std::u16string& folder) {
  return !folder.empty() && fileExists(folder + u"profile\\opera6.ini");
}

}  // namespace

std::u16string operaInstallationFolder() {
  std::u16string line =
      trimText(readUserRegString(u"Software\\Opera Software", u"Last CommandLine", u""));
  // "C:\Program Files\Opera\opera.exe" -newwindow: the program is the quoted part.
  if (!line.empty() && line.front() == u'"') {
    const size_t close = line.find(u'"', 1);
    line = line.substr(1, close == std::u16string::npos ? std::u16string::npos : close - 1);
  }
  return folderOfPath(line);
}

std::u16string operaFolder() {
  const std::u16string installation = operaInstallationFolder();
  const std::u16string appData = appDataFolder();
  const std::u16string appOpera = appData.empty() ? u"" : addBackslash(appData) + u"Opera\\";

  tinifile defaults;
  if (!installation.empty()) defaults.loadFile(installation + u"operadef6.ini");
  const std::u16string multiUser = trimText(defaults.readValue(u"System", u"Multi User", u"1"));
  std::u16string folder =
      multiUser.starts_with(u"1") ? (appOpera.empty() ? u"" : appOpera + u"Opera\\") : installation;

  if (!hasProfile(folder)) {
    for (const std::u16string& candidate :
         {appOpera.empty() ? u"" : appOpera + u"Opera\\", appOpera, installation}) {
      if (hasProfile(candidate)) return candidate;
    }
  }
  return folder;
}

std::u16string operaMailRoot(const std::u16string& operaFolder) {
  if (operaFolder.empty()) return {};
  tinifile ini;
  ini.loadFile(operaFolder + u"Profile\\opera6.ini");
  return trimText(ini.readValue(u"Mail", u"Mail Root Directory", u""));
}

}  // namespace zq
