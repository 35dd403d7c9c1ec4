#include "core/known_folders.h"

#include <vector>

#include "core/files.h"
#include "core/machine.h"
#include "core/paths.h"
#include "core/registry_helpers.h"
#include "core/shell_link.h"
#include "core/system_helpers.h"
#include "core/text.h"

namespace zq {
namespace {

constexpr std::u16string_view kShellFolders =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// A folder without its trailing "\".
std::u16string bare(std::u16string path) {
  while (path.size() > 1 && path.back() == u'\\') path.pop_back();
  return path;
}

// The machine's answer, created when missing; else the Shell Folders value.
std::u16string shellFolder(SpecialFolder which, std::u16string_view fallbackValue) {
  std::u16string path = bare(currentMachine().specialFolder(which));
  if (!path.empty()) {
    if (!folderExists(path)) forceFolders(path);
    return path;
  }
  if (fallbackValue.empty()) return {};
  return bare(readUserRegString(kShellFolders, fallbackValue, u""));
}

}  // namespace

std::u16string desktopFolder() { return shellFolder(SpecialFolder::Desktop, u"Desktop"); }
std::u16string appDataFolder() { return shellFolder(SpecialFolder::AppData, u"AppData"); }
std::u16string localAppDataFolder() {
  return shellFolder(SpecialFolder::LocalAppData, u"Local AppData");
}
std::u16string favoritesFolder() { return shellFolder(SpecialFolder::Favorites, u"Favorites"); }
std::u16string documentsFolder() { return shellFolder(SpecialFolder::Documents, u"Personal"); }
std::u16string profileFolder() { return shellFolder(SpecialFolder::Profile, u""); }

std::u16string windowsFolder() {
  std::u16string path = shellFolder(SpecialFolder::Windows, u"");
  if (path.empty()) path = bare(environmentVariable(u"SystemRoot"));
  if (path.empty()) path = bare(environmentVariable(u"windir"));
  return path;
}

std::u16string programFilesFolder() {
  std::u16string path = shellFolder(SpecialFolder::ProgramFiles, u"");
  if (path.empty()) {
    path = bare(readMachineRegString(u"Software\\Microsoft\\Windows\\CurrentVersion",
                                     u"ProgramFilesDir", u"c:\\program files"));
  }
  return path;
}

std::u16string tempFolder() {
  std::u16string path = bare(currentMachine().specialFolder(SpecialFolder::Temp));
  for (const char16_t* name : {u"TMP", u"TEMP", u"USERPROFILE"}) {
    if (!path.empty()) break;
    path = bare(environmentVariable(name));
  }
  if (path.empty()) path = windowsFolder();
  return path;
}

bool isNetHoodPath(std::u16string_view path) {
  std::u16string netHood = bare(currentMachine().specialFolder(SpecialFolder::NetHood));
  if (netHood.empty()) netHood = bare(readUserRegString(kShellFolders, u"NetHood", u""));
  if (netHood.empty() || path.size() < netHood.size()) return false;
  if (!equalsNoCase(path.substr(0, netHood.size()), netHood)) return false;
  // "...\Network Shortcuts2" is a sibling, not a place inside.
  return path.size() == netHood.size() || path[netHood.size()] == u'\\' ||
         netHood.back() == u'\\';
}

std::u16string shortcutTarget(std::u16string_view folder) {
  // A link is a few hundred bytes; anything far larger is not one.
  constexpr int64_t kMaxLinkSize = 1 << 20;
  tfile file;
  if (!openForRead(file, addBackslash(folder) + u"target.lnk")) return {};
  const int64_t size = fileSizeOf(file);
  if (size <= 0 || size > kMaxLinkSize) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  size_t done = 0;
  while (done < bytes.size()) {
    size_t count = bytes.size() - done;
    if (readBlock(file, bytes.data() + done, count) == 0) break;
    done += count;
  }
  bytes.resize(done);
  closeFile(file);
  return shellLinkTarget(bytes, [](std::string_view text) { return ansiToWide(text); });
}

}  // namespace zq
