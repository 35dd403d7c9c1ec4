#include "collectors/mozilla_mail.h"

#include "collectors/catalogue.h"
#include "core/files.h"
#include "core/ini_file.h"
#include "core/paths.h"
#include "core/known_folders.h"
#include "core/strings.h"
#include "core/text.h"
#include "core/text_file.h"

namespace zq {
namespace {

// The lock a running Thunderbird holds in its profile: never worth a copy.
constexpr std::u16string_view kExclusions = u"parent.lock";

// The profile folders profiles.ini lists, each with a trailing "\". The list
// ends at the first section without a name.
std::vector<std::u16string> profileFolders(const std::u16string& mainFolder) {
  std::vector<std::u16string> folders;
  tinifile ini;
  ini.loadFile(mainFolder + u"profiles.ini");
  for (int n = 0;; ++n) {
    const std::u16string section = u"Profile" + utf8ToWide(std::to_string(n));
    if (ini.readValue(section, u"Name", u"").empty()) break;
    const std::u16string path = ini.readValue(section, u"Path", u"");
    if (path.empty()) continue;
    if (ini.readNumber(section, u"IsRelative", 0) != 0) {
      folders.push_back(addBackslash(mainFolder + slashesToBackslashes(path)));
    } else {
      folders.push_back(addBackslash(path));
    }
  }
  return folders;
}

// The quoted value of a prefs.js line: after the first ",", between the next
// two double quotes (a missing quote leaves the rest of the line).
std::u16string prefValue(std::u16string_view line) {
  const size_t comma = line.find(u',');
  std::u16string_view rest = comma == std::u16string_view::npos ? line : line.substr(comma + 1);
  const size_t open = rest.find(u'"');
  if (open != std::u16string_view::npos) rest = rest.substr(open + 1);
  const size_t close = rest.find(u'"');
  if (close != std::u16string_view::npos) rest = rest.substr(0, close);
  return replaceAll(trimText(rest), u"\\\\", u"\\");
}

// The relative folder a folder outside the Thunderbird folder is stored
// under: its own path without ":" and "\\" (D:\Mail\pop gives D\Mail\pop), so
// that below a chosen destination two such folders never share a place.
std::u16string outsideRelativeFolder(std::u16string_view folder) {
  return replaceAll(replaceAll(removeBackslash(folder), u":", u""), u"\\\\", u"");
}

}  // namespace

std::vector<std::u16string> readMailServerFolders(std::u16string_view prefsFile) {
  std::vector<std::u16string> folders;
  ttextfile file;
  if (!openTextFile(file, prefsFile)) return folders;
  const std::u16string profile = lowerText(folderOfPath(prefsFile));
  int n = 1;
  std::u16string line;
  while (readTextLine(file, line)) {
    const std::u16string wanted =
        u"\"mail.server.server" + utf8ToWide(std::to_string(n)) + u".directory\"";
    if (widePos(wanted, lowerText(line)) == 0) continue;
    ++n;
    const std::u16string value = prefValue(line);
    if (value.empty() || widePos(profile, lowerText(value)) != 0) continue;
    folders.push_back(value);
  }
  closeTextFile(file);
  return folders;
}

bool collectMozillaMail(Entries& entries, std::string_view programName) {
  const std::u16string name = utf8ToWide(programName);
  const std::string program(programName);
  entries.setInfoText(mozillaMailInfoText(name, editionOf(entries.backupEdition())));

  const std::u16string appData = appDataFolder();
  const std::u16string mainFolder =
      appData.empty() ? std::u16string() : addBackslash(appData) + u"Thunderbird\\";
  const bool stored = !mainFolder.empty() && folderExists(mainFolder) &&
                      entries.addFolder(mainFolder, u"*", std::u16string(kExclusions), u"",
                                        "thunderbird", program, true);

  // Profiles kept elsewhere, and the mail folders their accounts name: each
  // is stored where it lies (extras: their results do not count).
  const auto storeOther = [&](const std::u16string& folder) {
    if (folderExists(folder)) {
      entries.addFolder(folder, u"*", std::u16string(kExclusions), outsideRelativeFolder(folder),
                        "otherthunderbird", program, true);
    }
  };
  if (!mainFolder.empty()) {
    const std::u16string lowerMain = lowerText(mainFolder);
    for (const std::u16string& profile : profileFolders(mainFolder)) {
      if (widePos(lowerMain, lowerText(profile)) == 0) storeOther(profile);
      for (const std::u16string& folder : readMailServerFolders(profile + u"prefs.js")) {
        storeOther(folder);
      }
    }
  }

  if (!stored && entries.errorText().empty()) entries.setErrorText(mozillaMailFailureText(name));
  return stored;
}

bool collectThunderbird(Entries& entries) { return collectMozillaMail(entries, "Thunderbird"); }

}  // namespace zq
