#include "selection/result_tree.h"

#include <utility>

namespace zq {

SearchNode* ResultTree::newNode() {
  if (!free_.empty()) {
    SearchNode* node = free_.back();
    free_.pop_back();
    *node = SearchNode{};
    return node;
  }
  return &pool_.emplace_back();
}

SearchNode& ResultTree::addChild(SearchNode& parent, std::u16string name, std::u16string folder,
                                 CheckState state, int32_t imageIndex) {
  SearchNode* node = newNode();
  node->name = std::move(name);
  node->folder = std::move(folder);
  node->state = state;
  node->imageIndex = imageIndex;
  node->parent = &parent;
  node->previous = parent.lastChild;
  if (parent.lastChild) {
    parent.lastChild->next = node;
  } else {
    parent.firstChild = node;
  }
  parent.lastChild = node;
  ++count_;
  return *node;
}

void ResultTree::removeChildren(SearchNode& node) {
  // Without recursion: a deep or wide branch must not exhaust the stack.
  std::vector<SearchNode*> pending;
  for (SearchNode* child = node.firstChild; child; child = child->next) pending.push_back(child);
  node.firstChild = node.lastChild = nullptr;
  while (!pending.empty()) {
    SearchNode* current = pending.back();
    pending.pop_back();
    for (SearchNode* child = current->firstChild; child; child = child->next) {
      pending.push_back(child);
    }
    // Texts are let go now; the node's place is used again.
    current->name = std::u16string();
    current->folder = std::u16string();
    free_.push_back(current);
    --count_;
  }
}

void ResultTree::remove(SearchNode& node) {
  if (isRoot(node)) return;
  removeChildren(node);
  SearchNode& parent = *node.parent;
  (node.previous ? node.previous->next : parent.firstChild) = node.next;
  (node.next ? node.next->previous : parent.lastChild) = node.previous;
  node.name = std::u16string();
  node.folder = std::u16string();
  free_.push_back(&node);
  --count_;
}

std::u16string ResultTree::pathOf(const SearchNode& node) const {
  if (node.parent == &root_) return node.folder;
  return node.folder + node.name;
}

const SearchNode* ResultTree::following(const SearchNode& node, bool enterChildren) const {
  if (enterChildren && node.firstChild) return node.firstChild;
  for (const SearchNode* at = &node; at && at != &root_; at = at->parent) {
    if (at->next) return at->next;
  }
  return nullptr;
}

SearchNode* ResultTree::following(SearchNode& node, bool enterChildren) {
  return const_cast<SearchNode*>(std::as_const(*this).following(node, enterChildren));
}

void ResultTree::setSubtree(SearchNode& node, CheckState state) {
  node.state = state;
  for (SearchNode* at = node.firstChild; at && at != &node;) {
    at->state = state;
    if (at->firstChild) {
      at = at->firstChild;
      continue;
    }
    while (at != &node && !at->next) at = at->parent;
    if (at != &node) at = at->next;
  }
}

void ResultTree::userChecked(SearchNode& node, CheckState state) {
  if (busy_ || isRoot(node)) return;
  busy_ = true;
  setSubtree(node, state == CheckState::Unchecked ? CheckState::Unchecked : CheckState::Checked);
  for (SearchNode* up = node.parent; up && !isRoot(*up); up = up->parent) {
    bool anyTicked = false;
    for (const SearchNode* child = up->firstChild; child; child = child->next) {
      if (child->state != CheckState::Unchecked) {
        anyTicked = true;
        break;
      }
    }
    up->state = anyTicked ? CheckState::Mixed : CheckState::Unchecked;
  }
  busy_ = false;
}

}  // namespace zq
