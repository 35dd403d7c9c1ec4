// The manual selection: files and folders the user ticks by hand, stored
// under the program name "Manual" with the location tag of the special
// folder they lie in (selection/locations.h).
//
// ManualSelection is the plain model behind the wizard's shell tree: the
// items that are fully ticked. A ticked folder stands for everything below
// it. The window binds its three-state tree to this model.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archive/entries.h"

namespace zq {

// The longest path an item may have (the system's limit).
inline constexpr size_t kMaxItemPath = 32767;

class ManualSelection {
 public:
  // Ticks an item by its full Windows path (a trailing "\" is dropped). The
  // tree has no check box on its top level, so a bare drive ("C:", "C:\")
  // cannot be ticked; relative, empty and over-long paths are refused: false. Ticking
  // an item that is already ticked (letter case ignored) changes nothing.
  bool check(std::u16string_view path);
  // Unticks an item (letter case ignored); true when it was ticked.
  bool uncheck(std::u16string_view path);
  bool isChecked(std::u16string_view path) const;
  // Ticks exactly these items (those check() accepts), sorting once: for
  // whole lists such as a loaded file.
  void assign(std::vector<std::u16string> items);
  void clear() { items_.clear(); }
  // Nothing is ticked (whether or not the ticked items still exist).
  bool empty() const { return items_.empty(); }

  // The ticked items as they were ticked, in tree order: sorted component by
  // component, letter case ignored, so a folder comes before the items below it.
  const std::vector<std::u16string>& items() const { return items_; }

  // The check storage the run reads: the ticked items that exist now, in tree
  // order. Rebuilt on every call, so items that were removed drop out.
  std::vector<std::u16string> checkedItems() const;

  bool operator==(const ManualSelection&) const = default;

 private:
  std::vector<std::u16string> items_;
};

// A path check() accepts: a full path below a drive root ("C:\x") or on a
// network share ("\\server\x"), at most kMaxItemPath units long, trailing "\"
// already removed, and no control characters (no Windows name holds one).
bool isTickablePath(std::u16string_view path);

// Tree order of two paths: component by component, letter case ignored; a
// path comes before the paths below it.
bool treeOrderLess(std::u16string_view a, std::u16string_view b);

// Stores the check storage list (existing ticked items in tree order) under
// the program name "Manual". Announces itself, then for each item: skips it
// when it lies in a folder already stored; stores a folder whole (every file,
// recursively) or a file alone, with its location tag and its folder relative
// to that location; names are stored in lower case. Stops at the first failed
// store, or as soon as the user has cancelled, with false.
bool collectManualSelection(Entries& entries, const std::vector<std::u16string>& checkedItems);
// The same over the selection's check storage as it is at the time of the call.
bool collectManualSelection(Entries& entries, const ManualSelection& selection);

}  // namespace zq
