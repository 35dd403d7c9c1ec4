#include "stub/entry_paths.h"

#include <filesystem>
#include <system_error>

#include "core/machine.h"
#include "core/paths.h"
#include "core/known_folders.h"
#include "core/text.h"

namespace zq {
namespace {

void setWhy(std::string* why, std::string text) {
  if (why != nullptr) *why = std::move(text);
}

std::string quoted(std::u16string_view text) { return "\"" + printable(text) + "\""; }

bool isForbiddenChar(char16_t c) {
  if (c < 0x20) return true;
  switch (c) {
    case u'\\':
    case u'/':
    case u':':
    case u'*':
    case u'?':
    case u'"':
    case u'<':
    case u'>':
    case u'|':
      return true;
    default:
      return false;
  }
}

// The names Windows keeps for devices, with or without an extension.
bool isReservedDeviceName(std::u16string_view name) {
  std::u16string stem = wideUpper(name.substr(0, name.find(u'.')));
  while (!stem.empty() && stem.back() == u' ') stem.pop_back();
  if (stem == u"CON" || stem == u"PRN" || stem == u"AUX" || stem == u"NUL" || stem == u"CONIN$" ||
      stem == u"CONOUT$") {
    return true;
  }
  return stem.size() == 4 && (stem.starts_with(u"COM") || stem.starts_with(u"LPT")) &&
         stem[3] >= u'0' && stem[3] <= u'9';
}

bool isAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// Splits at "\" and "/" and checks every non-empty component.
bool plainComponents(std::u16string_view text, std::vector<std::u16string>& out, std::string* why) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of(u"\\/", start);
    if (end == std::u16string_view::npos) end = text.size();
    const std::u16string_view part = text.substr(start, end - start);
    if (!part.empty()) {
      std::string reason;
      if (!isPlainName(part, &reason)) {
        setWhy(why, "the folder " + quoted(text) + " has a bad component: " + reason);
        return false;
      }
      out.emplace_back(part);
    }
    start = end + 1;
  }
  return true;
}

bool isInside(const std::filesystem::path& path, const std::filesystem::path& folder) {
  auto p = path.begin();
  for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
    if (f->empty()) continue;  // a trailing separator
    if (p == path.end() || *p != *f) return false;
  }
  return true;
}

std::filesystem::path canonicalHost(const std::string& hostPath) {
  std::error_code error;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(hostPath, error);
  return error ? std::filesystem::path(hostPath).lexically_normal() : canonical;
}

}  // namespace

bool isPlainName(std::u16string_view name, std::string* why) {
  if (name.empty()) {
    setWhy(why, "the name is empty");
    return false;
  }
  if (name == u"." || name == u"..") {
    setWhy(why, "the name " + quoted(name) + " names a folder, not an entry");
    return false;
  }
  for (char16_t c : name) {
    if (isForbiddenChar(c)) {
      setWhy(why, "the name " + quoted(name) + " holds a character no name may hold");
      return false;
    }
  }
  if (name.back() == u'.' || name.back() == u' ') {
    setWhy(why, "the name " + quoted(name) + " ends in a dot or a space");
    return false;
  }
  if (isReservedDeviceName(name)) {
    setWhy(why, "the name " + quoted(name) + " is a device name");
    return false;
  }
  return true;
}

bool splitRelativeFolder(std::u16string_view folder, std::vector<std::u16string>& components,
                         std::string* why) {
  components.clear();
  if (!plainComponents(folder, components, why)) {
    components.clear();
    return false;
  }
  return true;
}

bool checkSourceFolder(std::u16string_view folder, std::u16string& normalized, std::string* why) {
  normalized.clear();
  std::u16string root;
  std::u16string_view rest;
  if (folder.size() >= 3 && isAsciiLetter(folder[0]) && folder[1] == u':' &&
      (folder[2] == u'\\' || folder[2] == u'/')) {
    root = std::u16string(1, upperChar(folder[0])) + u":";
    rest = folder.substr(3);
  } else if (folder.size() > 2 && folder[0] == u'\\' && folder[1] == u'\\') {
    // \\server\share\...: server and share are plain names like the rest.
    std::vector<std::u16string> head;
    const std::u16string_view unc = folder.substr(2);
    const size_t server = unc.find(u'\\');
    const size_t share = server == std::u16string_view::npos ? server : unc.find(u'\\', server + 1);
    const std::u16string_view shareText = unc.substr(0, share);
    if (server == std::u16string_view::npos || !plainComponents(shareText, head, why) ||
        head.size() != 2) {
      if (why != nullptr && why->empty())
        *why = "the source folder " + quoted(folder) + " names no share";
      return false;
    }
    root = u"\\\\" + head[0] + u"\\" + head[1];
    rest = share == std::u16string_view::npos ? std::u16string_view{} : unc.substr(share + 1);
  } else {
    setWhy(why, "the source folder " + quoted(folder) + " is not an absolute drive path");
    return false;
  }
  std::vector<std::u16string> parts;
  if (!plainComponents(rest, parts, why)) return false;
  normalized = root + u"\\";
  for (const auto& part : parts) normalized += part + u"\\";
  if (root.starts_with(u"\\\\") && currentMachine().hostPath(normalized).empty()) {
    setWhy(why, "the share of the source folder " + quoted(folder) +
                    " is not reachable on this computer");
    normalized.clear();
    return false;
  }
  return true;
}

bool isHostSystemPath(const std::string& hostPath) {
  static const char* const kSystemFolders[] = {"/etc",  "/usr", "/bin",  "/sbin",
                                               "/boot", "/dev", "/proc", "/sys"};
  const std::filesystem::path path = canonicalHost(hostPath);
  for (const char* folder : kSystemFolders) {
    if (isInside(path, folder)) return true;
  }
  // /lib, /lib32, /lib64, /libx32 ...
  auto first = path.begin();
  if (first != path.end() && *first == "/" && ++first != path.end()) {
    return first->string().starts_with("lib");
  }
  return false;
}

bool isProtectedTarget(std::u16string_view target, std::string* why) {
  const std::u16string windows = windowsFolder();
  if (!windows.empty()) {
    const std::u16string prefix = comparablePath(addBackslash(windows));
    if (comparablePath(target).starts_with(prefix) || equalsNoCase(target, windows)) {
      setWhy(why, printable(target) + " lies in the Windows folder");
      return true;
    }
  }
  Machine& machine = currentMachine();
  const std::string host = machine.hostPath(target);
  if (host.empty()) return false;  // nothing can be written there anyway
  if (isHostSystemPath(host)) {
    setWhy(why, printable(target) + " lies in a system folder of the host (" + host + ")");
    return true;
  }
  if (!windows.empty()) {
    const std::string windowsHost = machine.hostPath(windows);
    if (!windowsHost.empty() && isInside(canonicalHost(host), canonicalHost(windowsHost))) {
      setWhy(why, printable(target) + " lies in the Windows folder (" + host + ")");
      return true;
    }
  }
  return false;
}

std::string printable(std::u16string_view text) {
  std::u16string safe(text);
  for (char16_t& c : safe) {
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) c = u'?';
  }
  return wideToUtf8(safe);
}

}  // namespace zq
