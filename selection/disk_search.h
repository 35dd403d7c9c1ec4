// The disk search: walks the computer's fixed drives C: to Z: for files whose
// names match the ticked patterns and fills the result tree with the drives,
// folders and files that hold matches (empty branches are removed as soon as
// their walk returns). Entries with the system or volume-label attribute and
// the Windows folder are skipped; hidden ones are searched like others.
//
// A folder reached a second time (through a link, a loop of links, or a
// drive whose folder lies inside another drive, as a Wine prefix's C: lies
// inside Z:) is not walked again, so every folder is searched once and the
// walk ends. The folder being searched is shown on the view, shortened to
// fit its line; Cancel is looked at between entries.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/machine.h"
#include "core/progress_view.h"
#include "selection/result_tree.h"

namespace zq {

// A ";"-separated list of "*" masks, matched against names without regard to
// case (as matchesMaskList does), made quick for long lists: "*.ext" masks
// are looked up by the name's extension, any other mask is compared as such.
class PatternMatcher {
 public:
  explicit PatternMatcher(std::u16string_view list);
  bool matches(std::u16string_view name) const;
  bool empty() const { return extensions_.empty() && others_.empty(); }

 private:
  std::unordered_set<std::u16string> extensions_;  // ".doc", lower case
  std::vector<std::u16string> others_;
};

// "..." + the path's end when the path is wider than `width` in the view's
// font: the shortest end that fits, begun at a "\" where one lies at or after
// the cut; else the path itself.
std::u16string shortenedSearchPath(std::u16string_view path, ProgressView& view, int width);

class DiskSearch {
 public:
  // `lineWidth`: the width the shown folder must fit into.
  DiskSearch(ResultTree& tree, std::u16string_view patterns, ProgressView& view,
             int lineWidth = 600);

  // Searches every fixed drive from C: to Z:. A drive with matches gets a
  // node in mixed state; one without is removed. True when something was found.
  bool searchFixedDrives();

  // Searches a folder (with or without trailing "\") and adds what matches
  // below `parent`; true when the folder holds matches at any depth. A
  // folder that does not exist or cannot be listed holds none.
  bool searchFolder(std::u16string_view folder, SearchNode& parent);

  // The unattended form: the saved tree (already loaded) is searched again.
  // Every checked node that had children (a folder or drive the user ticked
  // whole) loses them and its folder is searched afresh below it; checked
  // files are kept as they are. A folder that no longer holds matches is
  // removed together with every folder above it that held nothing else
  // (up to a whole drive node). False when the user cancelled.
  bool searchSavedTree();

  bool cancelled() { return view_.cancelled(); }

 private:
  struct IdHash {
    size_t operator()(const FileId& id) const { return id.index * 1000003u ^ id.volume; }
  };

  bool walk(const std::u16string& folder, SearchNode& parent);
  // The next checked node in tree order after `from`.
  SearchNode* nextChecked(SearchNode& from, bool enterChildren);
  // False when the folder was walked before (its identity already seen).
  bool firstVisit(const FileId& id);
  void showFolder(const std::u16string& folder);

  ResultTree& tree_;
  PatternMatcher matcher_;
  ProgressView& view_;
  int lineWidth_;
  std::u16string windowsFolder_;  // lower case, no trailing "\"; empty: none skipped
  std::unordered_set<FileId, IdHash> visited_;
};

// What the unattended run says when it cannot search again.
inline constexpr std::u16string_view kAutomatedSearchFailedText =
    u"Quillo Transfer Prime was unable to load your previous file and folder selections and is "
    u"unable to perform a scheduled backup.\nPlease restart Quillo Transfer Prime and perform a "
    u"manual backup.";
// What a search that found nothing says.
inline constexpr std::u16string_view kNothingFoundText =
    u"Quillo Transfer Prime did not find any files matching the types you specified.";

}  // namespace zq
