#include "selection/manual_selection.h"

#include <algorithm>

#include "archive/catalogue_names.h"
#include "collectors/catalogue.h"
#include "core/files.h"
#include "core/paths.h"
#include "core/text.h"
#include "selection/locations.h"

namespace zq {
namespace {

bool isDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// Comparing these keys compares paths component by component: a separator
// becomes the smallest unit, so "data" + "\" sorts before "data x".
std::u16string treeOrderKey(std::u16string_view p) {
  std::u16string key = wideLower(p);
  std::replace(key.begin(), key.end(), u'\\', u'\0');
  return key;
}

}  // namespace

bool isTickablePath(std::u16string_view p) {
  if (p.size() > kMaxItemPath || p.ends_with(u'\\')) return false;
  if (std::any_of(p.begin(), p.end(), [](char16_t c) { return c < 0x20; })) return false;
  if (p.size() > 3 && isDriveLetter(p[0]) && p[1] == u':' && p[2] == u'\\') return true;
  return p.size() > 2 && p[0] == u'\\' && p[1] == u'\\' && p[2] != u'\\';
}

bool treeOrderLess(std::u16string_view a, std::u16string_view b) {
  return treeOrderKey(a) < treeOrderKey(b);
}

void ManualSelection::assign(std::vector<std::u16string> items) {
  std::vector<std::pair<std::u16string, std::u16string>> keyed;
  keyed.reserve(items.size());
  for (std::u16string& item : items) {
    std::u16string path = removeBackslash(item);
    if (isTickablePath(path)) keyed.emplace_back(treeOrderKey(path), std::move(path));
  }
  // Stable, so of two spellings of one item the first one given is kept.
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  items_.clear();
  for (size_t i = 0; i < keyed.size(); ++i) {
    if (i > 0 && keyed[i].first == keyed[i - 1].first) continue;
    items_.push_back(std::move(keyed[i].second));
  }
}

bool ManualSelection::check(std::u16string_view path) {
  const std::u16string item = removeBackslash(path);
  if (!isTickablePath(item)) return false;
  const auto at = std::lower_bound(
      items_.begin(), items_.end(), item,
      [](const std::u16string& x, const std::u16string& y) { return treeOrderLess(x, y); });
  if (at != items_.end() && equalsNoCase(*at, item)) return true;
  items_.insert(at, item);
  return true;
}

bool ManualSelection::uncheck(std::u16string_view path) {
  const std::u16string item = removeBackslash(path);
  const auto at = std::find_if(items_.begin(), items_.end(),
                               [&](const std::u16string& x) { return equalsNoCase(x, item); });
  if (at == items_.end()) return false;
  items_.erase(at);
  return true;
}

bool ManualSelection::isChecked(std::u16string_view path) const {
  const std::u16string item = removeBackslash(path);
  return std::any_of(items_.begin(), items_.end(),
                     [&](const std::u16string& x) { return equalsNoCase(x, item); });
}

std::vector<std::u16string> ManualSelection::checkedItems() const {
  std::vector<std::u16string> existing;
  for (const std::u16string& item : items_) {
    if (folderExists(item) || fileExists(item)) existing.push_back(item);
  }
  return existing;
}

bool collectManualSelection(Entries& entries, const std::vector<std::u16string>& checkedItems) {
  entries.setInfoText(manualSelectionInfoText(editionOf(entries.backupEdition())));
  const LocationFolders folders = LocationFolders::ofCurrentMachine();
  const std::string programName(kManualProgramName);

  // Ticked items are stored under their lower-cased names. A folder that was
  // stored whole makes the ticked items below it redundant (the tree lists
  // them too when the folder is ticked).
  std::u16string lastFolder;
  for (const std::u16string& ticked : checkedItems) {
    const std::u16string item = wideLower(removeBackslash(ticked));
    if (!lastFolder.empty() && item.starts_with(lastFolder)) continue;

    const Location location = locationOfItem(item, folders);
    bool stored;
    if (folderExists(item)) {
      lastFolder = addBackslash(item);
      stored = entries.addFolder(item, u"*", u"", location.relativeFolder, location.tag,
                                 programName, true);
    } else {
      // A file goes with its folder: relative to its location, or for
      // "normal" its full folder with the trailing "\" kept.
      const std::u16string relative = location.tag == kNormalLocationTag
                                          ? folderOfPath(location.relativeFolder)
                                          : removeBackslash(folderOfPath(location.relativeFolder));
      stored = entries.addFile(item, relative, location.tag, programName);
    }
    if (!stored || entries.cancelled()) return false;
  }
  return true;
}

bool collectManualSelection(Entries& entries, const ManualSelection& selection) {
  return collectManualSelection(entries, selection.checkedItems());
}

}  // namespace zq
