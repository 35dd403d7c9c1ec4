// Ends folder walks that would go round in circles. A walk keeps the
// identities of the folders on its current path (root to the folder being
// listed) and does not enter a folder that is already on it: a link back to
// an ancestor (a prefix's Documents linked to the home folder that holds the
// prefix itself) is then skipped instead of being walked forever. The same
// folder reached twice by different, non-circular roads is still walked.
#pragma once

#include <algorithm>
#include <vector>

#include "core/machine.h"

namespace zq {

class FolderPathGuard {
 public:
  // Puts a folder on the path. False, and nothing changes, when a folder with
  // this identity is already on it. An unknown identity (all zero: the
  // machine cannot tell) is always let in.
  bool enter(const FileId& id) {
    if (!(id == FileId{}) && std::find(path_.begin(), path_.end(), id) != path_.end()) {
      return false;
    }
    path_.push_back(id);
    return true;
  }

  // Takes the folder entered last off the path.
  void leave() {
    if (!path_.empty()) path_.pop_back();
  }

  size_t depth() const { return path_.size(); }

  // Enters for the lifetime of the scope when the folder is not on the path.
  class Scope {
   public:
    Scope(FolderPathGuard& guard, const FileId& id) : guard_(guard), entered_(guard.enter(id)) {}
    ~Scope() {
      if (entered_) guard_.leave();
    }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
    // False when the folder was already on the path: skip it.
    bool entered() const { return entered_; }

   private:
    FolderPathGuard& guard_;
    bool entered_;
  };

 private:
  std::vector<FileId> path_;
};

}  // namespace zq
