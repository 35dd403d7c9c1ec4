// The result of the disk search: one node per fixed drive that holds matches,
// below it the folders and files as on disk. Every node has a three-state
// check box (unchecked, checked, mixed). This is the plain model behind the
// search page's tree; the window binds to it, the store walk reads it and
// "tree.zvb" saves it.
//
// Nodes are linked in place (parent, first and last child, siblings), so
// adding, removing and stepping to the next node in tree order cost the same
// however wide a folder is. The tree owns every node; removing a node
// removes everything below it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace zq {

enum class CheckState : uint8_t { Unchecked = 0, Checked = 1, Mixed = 2 };

struct SearchNode {
  // File or folder name; for a drive node the drive root ("C:\").
  std::u16string name;
  // The folder that holds the item, with trailing "\"; for a drive node the root again.
  std::u16string folder;
  int32_t imageIndex = 0;
  CheckState state = CheckState::Checked;

  SearchNode* parent = nullptr;
  SearchNode* firstChild = nullptr;
  SearchNode* lastChild = nullptr;
  SearchNode* previous = nullptr;
  SearchNode* next = nullptr;

  bool hasChildren() const { return firstChild != nullptr; }
  bool hasOneChild() const { return firstChild != nullptr && firstChild == lastChild; }
};

class ResultTree {
 public:
  ResultTree() = default;
  ResultTree(const ResultTree&) = delete;
  ResultTree& operator=(const ResultTree&) = delete;

  // The invisible root; its children are the drive nodes.
  SearchNode& root() { return root_; }
  const SearchNode& root() const { return root_; }
  bool isRoot(const SearchNode& node) const { return &node == &root_; }
  // No drive node.
  bool empty() const { return root_.firstChild == nullptr; }
  size_t nodeCount() const { return count_; }

  // Appends a node as the parent's last child.
  SearchNode& addChild(SearchNode& parent, std::u16string name, std::u16string folder,
                       CheckState state = CheckState::Checked, int32_t imageIndex = 0);
  // Removes a node with everything below it (never the root).
  void remove(SearchNode& node);
  void removeChildren(SearchNode& node);
  void clear() { removeChildren(root_); }

  // The path a node stands for: a drive node its root, any other its folder + name.
  std::u16string pathOf(const SearchNode& node) const;

  // The node after `node` in tree order (a folder before what lies in it),
  // stepping into its children when `enterChildren` is set; null at the end.
  // The root itself is never returned.
  const SearchNode* following(const SearchNode& node, bool enterChildren = true) const;
  SearchNode* following(SearchNode& node, bool enterChildren = true);

  // The user ticked or unticked a node. Unticking unticks everything below
  // it; ticking (or a click that would make it mixed) ticks it and
  // everything below it. Then every ancestor up to the drive node becomes
  // mixed when one of its children is not unchecked, else unchecked:
  // ancestors never become plainly checked. Ignored while the tree is busy.
  void userChecked(SearchNode& node, CheckState state);

  // Set while the search fills the tree and while a click propagates, so the
  // tree's own state changes are not taken for clicks.
  bool busy() const { return busy_; }
  void setBusy(bool busy) { busy_ = busy; }

 private:
  SearchNode* newNode();
  void setSubtree(SearchNode& node, CheckState state);

  SearchNode root_;
  std::deque<SearchNode> pool_;  // addresses stay put as it grows
  std::vector<SearchNode*> free_;
  size_t count_ = 0;
  bool busy_ = false;
};

}  // namespace zq
