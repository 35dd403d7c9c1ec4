#include "collectors/mozilla_profiles.h"

#include "core/ini_file.h"
#include "core/paths.h"
#include "core/strings.h"
#include "core/text.h"

namespace zq {

namespace {

// The path with "." and ".." components worked out ("a\b\..\c" is "a\c"),
// so that a relative profile reached through ".." is compared where it
// really lies. ".." never climbs above the drive.
std::u16string collapseDots(const std::u16string& path) {
  std::vector<std::u16string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(u'\\', start);
    if (end == std::u16string::npos) end = path.size();
    const std::u16string part = path.substr(start, end - start);
    if (part == u"..") {
      if (parts.size() > 1) parts.pop_back();
    } else if (part != u"." && !(part.empty() && !parts.empty())) {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::u16string out;
  for (const auto& part : parts) out += part + u"\\";
  return out;
}

}  // namespace

std::vector<std::u16string> mozillaProfileFolders(std::u16string_view programFolder) {
  std::vector<std::u16string> folders;
  tinifile ini;
  const std::u16string base = addBackslash(programFolder);
  if (!ini.loadFile(base + u"profiles.ini")) return folders;
  for (int n = 0;; ++n) {
    const std::u16string section = u"Profile" + utf8ToWide(std::to_string(n));
    if (ini.readValue(section, u"Name", u"").empty()) break;
    const std::u16string path = trimText(ini.readValue(section, u"Path", u""));
    // Without a path the profile would be the program folder itself (or,
    // read as an absolute path, nothing at all).
    if (path.empty()) continue;
    if (ini.readNumber(section, u"IsRelative", 0) != 0) {
      folders.push_back(collapseDots(base + slashesToBackslashes(path)));
    } else {
      folders.push_back(addBackslash(path));
    }
  }
  return folders;
}

bool liesOutsideFolder(std::u16string_view mainFolder, std::u16string_view folder) {
  const std::u16string main = wideLower(addBackslash(mainFolder));
  const std::u16string other = wideLower(addBackslash(folder));
  return other.find(main) == std::u16string::npos;
}

}  // namespace zq
