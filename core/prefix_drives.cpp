#include "core/prefix_drives.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "core/text.h"

namespace zq {
namespace {

bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

char16_t upperLetter(char16_t c) { return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c; }

std::string joinHost(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

// The entry of `folder` whose name equals `name` without regard to case. When
// several do (a host file system may hold "a" and "A"), the lowest in byte
// order wins, so the answer never depends on listing order.
bool findNoCase(const std::string& folder, const std::u16string& name, std::string& match) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return false;
  bool found = false;
  while (struct dirent* entry = readdir(dir)) {
    std::string candidate = entry->d_name;
    if (candidate == "." || candidate == "..") continue;
    if (!equalsNoCase(utf8ToWide(candidate), name)) continue;
    if (!found || candidate < match) match = candidate;
    found = true;
  }
  closedir(dir);
  return found;
}

// The path with every link resolved, as far as it exists; the part that does
// not exist is appended unchanged.
std::string resolveExisting(const std::string& path) {
  std::string head = path;
  std::string tail;
  while (!head.empty()) {
    char buffer[PATH_MAX];
    if (realpath(head.c_str(), buffer)) {
      std::string resolved = buffer;
      return tail.empty() ? resolved : normalizeHostPath(joinHost(resolved, tail));
    }
    size_t slash = head.find_last_of('/');
    if (slash == std::string::npos || head == "/") break;
    std::string last = head.substr(slash + 1);
    tail = tail.empty() ? last : last + "/" + tail;
    head = slash == 0 ? "/" : head.substr(0, slash);
  }
  return path;
}

// Length of `root` when it holds `path`, else 0 (the root "/" counts as 1).
size_t rootMatch(const std::string& root, const std::string& path) {
  if (root == "/") return 1;
  if (path.compare(0, root.size(), root) != 0) return 0;
  if (path.size() != root.size() && path[root.size()] != '/') return 0;
  return root.size();
}

}  // namespace

bool splitWindowsPath(std::u16string_view path, WindowsPathParts& out) {
  out = WindowsPathParts{};
  std::u16string text(path);
  for (char16_t& c : text) {
    if (c == u'/') c = u'\\';
    if (c == 0) return false;
  }
  // "\\?\C:\..." is the long form of an ordinary drive path.
  if (text.rfind(u"\\\\?\\", 0) == 0) text.erase(0, 4);
  if (text.rfind(u"\\\\", 0) == 0) return false;  // UNC share or device
  if (text.size() < 2 || !isAsciiLetter(text[0]) || text[1] != u':') return false;
  if (text.size() > 2 && text[2] != u'\\') return false;  // "C:name" is relative
  out.drive = upperLetter(text[0]);
  size_t at = 2;
  while (at < text.size()) {
    size_t next = text.find(u'\\', at + 1);
    if (next == std::u16string::npos) next = text.size();
    std::u16string component = text.substr(at + 1, next - at - 1);
    at = next;
    if (component.empty() || component == u".") continue;
    if (component == u"..") {
      if (out.components.empty()) return false;
      out.components.pop_back();
      continue;
    }
    out.components.push_back(std::move(component));
  }
  return true;
}

DriveType driveTypeFromName(std::u16string_view name) {
  std::u16string lower = wideLower(name);
  if (lower == u"cdrom" || lower == u"dvd") return DriveType::CdRom;
  if (lower == u"floppy") return DriveType::Removable;
  if (lower == u"network") return DriveType::Remote;
  if (lower == u"ramdisk") return DriveType::RamDisk;
  return DriveType::Fixed;
}

std::u16string fileSystemOf(DriveType type) {
  switch (type) {
    case DriveType::CdRom: return u"CDFS";
    case DriveType::Removable: return u"FAT";
    default: return u"NTFS";
  }
}

std::string normalizeHostPath(std::string_view path) {
  bool absolute = !path.empty() && path[0] == '/';
  std::vector<std::string> parts;
  size_t at = 0;
  while (at <= path.size()) {
    size_t next = path.find('/', at);
    if (next == std::string_view::npos) next = path.size();
    std::string part(path.substr(at, next - at));
    at = next + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty() && parts.back() != "..") {
        parts.pop_back();
      } else if (!absolute) {
        parts.push_back(part);
      }
      continue;
    }
    parts.push_back(std::move(part));
  }
  std::string out = absolute ? "/" : "";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += '/';
    out += parts[i];
  }
  return out.empty() ? "." : out;
}

DriveTable DriveTable::read(const std::string& prefixDir,
                            const std::map<char16_t, std::u16string>& typeNames) {
  std::map<char16_t, std::string> roots;
  std::string devices = joinHost(prefixDir, "dosdevices");
  if (DIR* dir = opendir(devices.c_str())) {
    while (struct dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      // Only "<letter>:"; "<letter>::" names raw devices, "com1" ports.
      if (name.size() != 2 || name[1] != ':' || !isAsciiLetter(static_cast<char16_t>(name[0])))
        continue;
      std::string full = joinHost(devices, name);
      char target[PATH_MAX];
      ssize_t length = readlink(full.c_str(), target, sizeof(target) - 1);
      std::string root;
      if (length > 0) {
        std::string link(target, static_cast<size_t>(length));
        root = normalizeHostPath(link[0] == '/' ? link : joinHost(devices, link));
      } else {
        struct stat st;
        if (lstat(full.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
        root = full;
      }
      roots[upperLetter(static_cast<char16_t>(name[0]))] = root;
    }
    closedir(dir);
  }
  struct stat st;
  std::string driveC = joinHost(prefixDir, "drive_c");
  if (!roots.count(u'C') && stat(driveC.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    roots[u'C'] = driveC;
  if (!roots.count(u'Z')) roots[u'Z'] = "/";

  DriveTable table;
  for (const auto& [letter, root] : roots) {
    DriveInfo info;
    info.letter = letter;
    auto type = typeNames.find(letter);
    info.type = type == typeNames.end() ? DriveType::Fixed : driveTypeFromName(type->second);
    info.fileSystem = fileSystemOf(info.type);
    info.hostRoot = root;
    size_t index = table.drives_.size();
    table.drives_.push_back(info);
    table.roots_.push_back({index, root});
    std::string resolved = resolveExisting(root);
    if (resolved != root) table.roots_.push_back({index, resolved});
  }
  return table;
}

const DriveInfo* DriveTable::find(char16_t letter) const {
  letter = upperLetter(letter);
  for (const DriveInfo& drive : drives_) {
    if (drive.letter == letter) return &drive;
  }
  return nullptr;
}

std::string DriveTable::hostPath(const WindowsPathParts& parts) const {
  const DriveInfo* drive = find(parts.drive);
  if (!drive) return {};
  std::string path = drive->hostRoot;
  bool present = true;  // false once a component does not exist
  for (const std::u16string& component : parts.components) {
    std::string name = wideToUtf8(component);
    std::string next = joinHost(path, name);
    struct stat st;
    if (present && lstat(next.c_str(), &st) != 0) {
      std::string match;
      if (findNoCase(path, component, match)) {
        next = joinHost(path, match);
      } else {
        present = false;
      }
    }
    path = std::move(next);
  }
  return path;
}

std::string DriveTable::hostPath(std::u16string_view windowsPath) const {
  WindowsPathParts parts;
  if (!splitWindowsPath(windowsPath, parts)) return {};
  return hostPath(parts);
}

std::u16string DriveTable::windowsPath(std::string_view hostPath) const {
  if (hostPath.empty() || hostPath[0] != '/') return {};
  std::string lexical = normalizeHostPath(hostPath);
  std::string candidates[2] = {lexical, resolveExisting(lexical)};
  const Root* best = nullptr;
  const std::string* bestPath = nullptr;
  size_t bestLength = 0;
  for (const std::string& path : candidates) {
    for (const Root& root : roots_) {
      size_t length = rootMatch(root.path, path);
      if (length > bestLength) {
        best = &root;
        bestPath = &path;
        bestLength = length;
      }
    }
  }
  if (!best) return {};
  std::string rest = best->path == "/" ? bestPath->substr(1) : bestPath->substr(best->path.size());
  if (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
  std::u16string out;
  out += drives_[best->drive].letter;
  out += u":\\";
  for (char16_t c : utf8ToWide(rest)) out += c == u'/' ? u'\\' : c;
  return out;
}

}  // namespace zq
