#include "core/find_data.h"

#include <algorithm>

#include "core/dos_time.h"
#include "core/text.h"

namespace zq {
namespace {

constexpr size_t kMaxName = 260;

// Glob with "*" and "?" on upper-cased text, backtracking only to the last
// "*" (linear in practice, never exponential).
bool glob(std::u16string_view p, std::u16string_view n) {
  size_t pi = 0, ni = 0;
  size_t starP = std::u16string_view::npos, starN = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == u'?' || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == u'*') {
      starP = pi++;
      starN = ni;
    } else if (starP != std::u16string_view::npos) {
      pi = starP + 1;
      ni = ++starN;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == u'*') ++pi;
  return pi == p.size();
}

void fill(tfinddata& fd, const FolderEntry& entry) {
  fd.name = entry.name;
  fd.isFolder = entry.info.isFolder;
  fd.attributes = entry.info.attributes | (entry.info.isFolder ? uint32_t{kAttrDirectory} : uint32_t{0});
  fd.size = entry.info.isFolder ? 0 : static_cast<int64_t>(entry.info.size);
  fd.creationTime = fileTimeToDays(entry.info.creationTime);
  fd.writeTime = fileTimeToDays(entry.info.writeTime);
  fd.accessTime = fileTimeToDays(entry.info.accessTime);
}

}  // namespace

bool matchesFindPattern(std::u16string_view pattern, std::u16string_view name) {
  if (pattern == u"*.*") return !name.empty();
  return glob(wideUpper(pattern), wideUpper(name));
}

bool findFirst(tfinddata& fd, std::u16string_view pattern) {
  findClose(fd);
  const size_t slash = pattern.rfind(u'\\');
  if (slash == std::u16string_view::npos) return false;
  const std::u16string_view mask = pattern.substr(slash + 1);
  if (mask.empty()) return false;
  // The folder keeps its "\" when it is a drive root ("C:\").
  const std::u16string upperMask = wideUpper(mask);
  std::u16string folder(pattern.substr(0, slash));
  if (folder.size() == 2 && folder[1] == u':') folder += u'\\';

  std::vector<FolderEntry> listed;
  if (!currentMachine().listFolder(folder, listed)) return false;
  std::vector<std::pair<std::u16string, FolderEntry>> keyed;
  for (FolderEntry& entry : listed) {
    if (entry.name.size() > kMaxName) continue;
    std::u16string key = wideUpper(entry.name);
    if (mask == u"*.*" || glob(upperMask, key)) keyed.emplace_back(std::move(key), std::move(entry));
  }
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
  });
  fd.entries.reserve(keyed.size());
  for (auto& [key, entry] : keyed) fd.entries.push_back(std::move(entry));
  fd.open = true;
  return findNext(fd);
}

bool findNext(tfinddata& fd) {
  if (!fd.open || fd.next >= fd.entries.size()) return false;
  fill(fd, fd.entries[fd.next++]);
  return true;
}

void findClose(tfinddata& fd) {
  fd.entries.clear();
  fd.next = 0;
  fd.open = false;
}

}  // namespace zq
