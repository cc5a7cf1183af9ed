#pragma once
// The Qt-free model behind a tree view of the library panel: nodes with a text, a state image
// and children, each optionally owning a TCatalogueItem, plus the view state the catalogue
// algorithms touch (selection, item height, scroll-bar updates, destruction). The panel's
// widgets draw this model; every change happens on the GUI thread.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/catalogue_item.h"

namespace nivra::catalogue {

// State images of nodes.
enum StateImage : int { kStateNone = -1, kStateCollapsed = 1, kStateExpanded = 2 };
// Item height the catalogue, history and favourites views use once filled.
inline constexpr int kCatalogueItemHeight = 20;

class TreeNode {
  // Only the tree makes nodes.
  class Key {
    friend class CatalogueTree;
    Key() = default;
  };

 public:
  TreeNode(Key, std::string text) : text_(std::move(text)) {}
  TreeNode(const TreeNode&) = delete;
  TreeNode& operator=(const TreeNode&) = delete;

  const std::string& text() const { return text_; }
  void setText(std::string text) { text_ = std::move(text); }
  int stateIndex() const { return stateIndex_; }
  void setStateIndex(int state) { stateIndex_ = state; }
  // The owned record; null for placeholder nodes.
  TCatalogueItem* item() const { return item_.get(); }
  void setItem(std::unique_ptr<TCatalogueItem> item) { item_ = std::move(item); }

  TreeNode* parent() const { return parent_; }
  bool hasChildren() const { return !children_.empty(); }
  std::size_t childCount() const { return children_.size(); }
  TreeNode* child(std::size_t i) const { return children_.at(i).get(); }
  TreeNode* firstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
  // Depth below the top level (0 for top-level nodes).
  int level() const;

 private:
  friend class CatalogueTree;

  std::string text_;
  int stateIndex_ = kStateNone;
  std::unique_ptr<TCatalogueItem> item_;
  TreeNode* parent_ = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children_;
};

class CatalogueTree {
 public:
  CatalogueTree() = default;
  CatalogueTree(const CatalogueTree&) = delete;
  CatalogueTree& operator=(const CatalogueTree&) = delete;
  ~CatalogueTree();

  // Appends a top-level node.
  TreeNode* addTop(std::string text);
  // Inserts a top-level node before position `index` (appends when past the end).
  TreeNode* insertTop(std::size_t index, std::string text);
  // Inserts a top-level node before `before` (a top-level node), or appends when null.
  TreeNode* insertTopBefore(const TreeNode* before, std::string text);
  TreeNode* addChild(TreeNode& parent, std::string text);
  // Deletes a node with its subtree (records freed). A selection inside it is cleared.
  void deleteNode(TreeNode* node);
  void deleteChildren(TreeNode& node);
  void clear();

  std::size_t topCount() const { return top_.size(); }
  TreeNode* top(std::size_t i) const { return top_.at(i).get(); }
  TreeNode* firstTop() const { return top_.empty() ? nullptr : top_.front().get(); }
  // Every node in index order (a node, then its subtree); stops when `visit` returns false.
  void forEachNode(const std::function<bool(TreeNode&)>& visit) const;
  std::size_t nodeCount() const;

  TreeNode* selected() const { return selected_; }
  void select(TreeNode* node) { selected_ = node; }

  int itemHeight() const { return itemHeight_; }
  void setItemHeight(int px) { itemHeight_ = px; }

  // Set while the view is being destroyed: running algorithms stop early.
  bool destroying() const { return destroying_; }
  void setDestroying(bool on) { destroying_ = on; }

  // Asks the view to refresh its scroll bar; counted, and forwarded to the handler if any.
  void updateScrollBar();
  int scrollBarUpdates() const { return scrollBarUpdates_; }
  void setScrollBarHandler(std::function<void()> fn) { onScrollBar_ = std::move(fn); }
  // Called for every node about to be deleted (subtree nodes too), before its record is freed.
  void setDeletionHandler(std::function<void(TreeNode&)> fn) { onDelete_ = std::move(fn); }

 private:
  using NodeList = std::vector<std::unique_ptr<TreeNode>>;
  NodeList& siblingsOf(const TreeNode& node);
  void notifyDeletion(TreeNode& node);
  static TreeNode* insertInto(NodeList& list, std::size_t index, TreeNode* parent,
                              std::string text);

  NodeList top_;
  TreeNode* selected_ = nullptr;
  int itemHeight_ = 16;
  bool destroying_ = false;
  int scrollBarUpdates_ = 0;
  std::function<void()> onScrollBar_;
  std::function<void(TreeNode&)> onDelete_;
};

// The tree as text, one line per node in index order: two spaces per level, the state image in
// brackets, a space and the node text ("[1] 动作片|(12)").
std::string describeTree(const CatalogueTree& tree);

}  // namespace nivra::catalogue
