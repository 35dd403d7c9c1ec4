#include "selection/locations.h"

#include "core/machine.h"
#include "core/paths.h"
#include "core/known_folders.h"
#include "core/strings.h"
#include "core/text.h"

namespace zq {
namespace {

constexpr size_t kNoMatch = std::u16string_view::npos;

// The length of the location's text at the front of the path when the
// location holds the path (or is the path itself), else kNoMatch.
size_t locationPrefixLength(std::u16string_view path, std::u16string_view location) {
  const std::u16string folder = wideLower(removeBackslash(location));
  const size_t n = folder.size();
  if (n == 0 || path.size() < n) return kNoMatch;
  if (wideLower(path.substr(0, n)) != folder) return kNoMatch;
  // A longer path must go on with a new component: C:\Users\al is not a
  // folder of C:\Users\alice, and a file there must not be sent to the
  // wrong folder on the target computer.
  if (path.size() > n && path[n] != u'\\') return kNoMatch;
  return n;
}

}  // namespace

LocationFolders LocationFolders::ofCurrentMachine() {
  LocationFolders result;
  result.folders = {programFilesFolder(), desktopFolder(),   appDataFolder(),
                    localAppDataFolder(), documentsFolder(), u""};
  // Systems before NT 5 have no user profile folder.
  if (currentMachine().version().major >= 5) result.folders[5] = profileFolder();
  return result;
}

bool relativeToLocation(std::u16string_view path, std::u16string_view location,
                        std::u16string& relative) {
  relative.clear();
  const size_t n = locationPrefixLength(path, location);
  if (n == kNoMatch) return false;
  const std::u16string folder = removeBackslash(folderOfPath(path));
  if (folder.size() > n) relative = folder.substr(n);
  return true;
}

std::u16string normalLocationPath(std::u16string_view path) {
  return removeBackslash(replaceAll(replaceAll(path, u":", u""), u"\\\\", u""));
}

Location locationOfFile(std::u16string_view path, const LocationFolders& folders) {
  Location result;
  for (size_t i = 0; i < folders.folders.size(); ++i) {
    if (relativeToLocation(path, folders.folders[i], result.relativeFolder)) {
      result.tag = LocationFolders::kTags[i];
      return result;
    }
  }
  result.tag = kNormalLocationTag;
  result.relativeFolder = normalLocationPath(removeBackslash(folderOfPath(path)));
  return result;
}

Location locationOfItem(std::u16string_view path, const LocationFolders& folders) {
  const std::u16string item = removeBackslash(path);
  Location result;
  for (size_t i = 0; i < folders.folders.size(); ++i) {
    const size_t n = locationPrefixLength(item, folders.folders[i]);
    if (n == kNoMatch) continue;
    result.tag = LocationFolders::kTags[i];
    result.relativeFolder = item.substr(n);
    return result;
  }
  result.tag = kNormalLocationTag;
  result.relativeFolder = normalLocationPath(item);
  return result;
}

}  // namespace zq
