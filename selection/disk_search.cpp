#include "selection/disk_search.h"

#include "core/masks.h"
#include "core/paths.h"
#include "core/known_folders.h"
#include "core/strings.h"
#include "core/text.h"

namespace zq {
namespace {

// "*.ext" with a plain extension: true, with ".ext" in `extension`.
bool isExtensionMask(std::u16string_view mask, std::u16string& extension) {
  if (mask.size() < 3 || mask[0] != u'*' || mask[1] != u'.') return false;
  const std::u16string_view rest = mask.substr(1);
  if (rest.find_first_of(u"*.", 1) != std::u16string_view::npos) return false;
  extension = wideLower(rest);
  return true;
}

}  // namespace

PatternMatcher::PatternMatcher(std::u16string_view list) {
  // The list is read as matchesMaskList reads it: items trimmed, an empty
  // item ends it.
  const std::u16string trimmed = trimText(list);
  size_t start = 0;
  while (start <= trimmed.size()) {
    size_t end = trimmed.find(u';', start);
    if (end == std::u16string::npos) end = trimmed.size();
    const std::u16string item = trimText(std::u16string_view(trimmed).substr(start, end - start));
    if (item.empty()) break;
    std::u16string extension;
    if (isExtensionMask(item, extension)) {
      extensions_.insert(std::move(extension));
    } else {
      others_.push_back(item);
    }
    start = end + 1;
  }
}

bool PatternMatcher::matches(std::u16string_view name) const {
  if (name.empty()) return false;
  // A name ends in ".ext" (ext without a dot) exactly when its last dot
  // begins ".ext".
  const size_t dot = name.rfind(u'.');
  if (dot != std::u16string_view::npos && !extensions_.empty() &&
      extensions_.count(wideLower(name.substr(dot)))) {
    return true;
  }
  for (const std::u16string& mask : others_) {
    if (matchesMask(mask, name)) return true;
  }
  return false;
}

std::u16string shortenedSearchPath(std::u16string_view path, ProgressView& view, int width) {
  if (view.textWidth(path) <= width) return std::u16string(path);
  // The shortest end that fits: the widths shrink as the cut moves right.
  size_t low = 1, high = path.size();  // 0-based cut; path.size() leaves "..." alone
  while (low < high) {
    const size_t middle = low + (high - low) / 2;
    if (view.textWidth(u"..." + std::u16string(path.substr(middle))) <= width) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  // Begin at a folder boundary where there is one from the character before
  // the cut on.
  const size_t from = low - 1;
  const size_t slash = path.find(u'\\', from);
  return u"..." + std::u16string(path.substr(slash == std::u16string_view::npos ? from : slash));
}

DiskSearch::DiskSearch(ResultTree& tree, std::u16string_view patterns, ProgressView& view,
                       int lineWidth)
    : tree_(tree), matcher_(patterns), view_(view), lineWidth_(lineWidth) {
  // Systems before NT 5 have no Windows folder to skip.
  if (currentMachine().version().major >= 5) {
    windowsFolder_ = comparablePath(removeBackslash(windowsFolder()));
  }
}

bool DiskSearch::firstVisit(const FileId& id) {
  if (id == FileId{}) return true;  // the machine cannot tell: let it in
  return visited_.insert(id).second;
}

void DiskSearch::showFolder(const std::u16string& folder) {
  view_.setProgressText(shortenedSearchPath(folder, view_, lineWidth_));
  view_.pump();
}

bool DiskSearch::searchFixedDrives() {
  Machine& machine = currentMachine();
  const uint32_t mask = machine.logicalDriveMask();
  // No pattern (every type of the selected groups unticked): nothing can
  // match, so the drives are not walked at all.
  if (mask == 0 || matcher_.empty()) return false;
  const std::vector<DriveInfo> drives = machine.drives();

  tree_.setBusy(true);
  bool found = false;
  for (char16_t letter = u'C'; letter <= u'Z' && !cancelled(); ++letter) {
    if (!(mask & (1u << (letter - u'A')))) continue;
    bool fixed = false;
    for (const DriveInfo& drive : drives) {
      if (drive.letter == letter) fixed = drive.type == DriveType::Fixed;
    }
    if (!fixed) continue;
    const std::u16string root = std::u16string(1, letter) + u":\\";
    SearchNode& node = tree_.addChild(tree_.root(), root, root, CheckState::Checked);
    if (searchFolder(root, node)) {
      node.state = CheckState::Mixed;
      found = true;
    } else {
      tree_.remove(node);
    }
  }
  tree_.setBusy(false);
  return found;
}

bool DiskSearch::searchSavedTree() {
  tree_.setBusy(true);
  SearchNode* node = tree_.root().firstChild;
  if (node && node->state != CheckState::Checked) node = nextChecked(*node, true);
  while (node && !cancelled()) {
    const bool hadChildren = node->hasChildren();
    tree_.removeChildren(*node);
    // Taken before the search, so the nodes it adds are not searched again.
    SearchNode* next = nextChecked(*node, false);
    if (hadChildren && !searchFolder(tree_.pathOf(*node), *node)) {
      SearchNode* gone = node;
      while (!tree_.isRoot(*gone->parent) && gone->parent->hasOneChild()) gone = gone->parent;
      tree_.remove(*gone);
    }
    node = next;
  }
  tree_.setBusy(false);
  return !cancelled();
}

SearchNode* DiskSearch::nextChecked(SearchNode& from, bool enterChildren) {
  SearchNode* at = tree_.following(from, enterChildren);
  while (at && at->state != CheckState::Checked) at = tree_.following(*at);
  return at;
}

bool DiskSearch::searchFolder(std::u16string_view folder, SearchNode& parent) {
  view_.pump();
  const std::u16string path = addBackslash(folder);
  FileInfo info;
  if (!currentMachine().fileInfo(path, info) || !info.isFolder) return false;
  if (!firstVisit(info.id)) return false;
  return walk(path, parent);
}

bool DiskSearch::walk(const std::u16string& folder, SearchNode& parent) {
  showFolder(folder);
  std::vector<FolderEntry> entries;
  currentMachine().listFolder(folder, entries);
  bool found = false;
  for (FolderEntry& entry : entries) {
    if (cancelled()) break;
    if (entry.info.attributes & (kAttrSystem | kAttrVolumeLabel)) continue;
    if (entry.info.isFolder) {
      std::u16string sub = folder + entry.name;
      if (!windowsFolder_.empty() && comparablePath(sub) == windowsFolder_) continue;
      if (!firstVisit(entry.info.id)) continue;
      SearchNode& node = tree_.addChild(parent, std::move(entry.name), folder);
      sub += u'\\';
      if (walk(sub, node)) {
        found = true;
      } else {
        tree_.remove(node);
      }
      showFolder(folder);
    } else if (matcher_.matches(entry.name)) {
      tree_.addChild(parent, std::move(entry.name), folder);
      found = true;
    }
    view_.pump();
  }
  return found;
}

}  // namespace zq
