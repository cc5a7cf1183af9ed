#include "catalogue/catalogue_tree.h"

#include <algorithm>
#include <utility>

namespace nivra::catalogue {

int TreeNode::level() const {
  int depth = 0;
  for (const TreeNode* p = parent_; p; p = p->parent_) ++depth;
  return depth;
}

CatalogueTree::~CatalogueTree() {
  destroying_ = true;
  onDelete_ = nullptr;
}

TreeNode* CatalogueTree::insertInto(NodeList& list, std::size_t index, TreeNode* parent,
                                    std::string text) {
  auto node = std::make_unique<TreeNode>(TreeNode::Key{}, std::move(text));
  node->parent_ = parent;
  TreeNode* raw = node.get();
  index = std::min(index, list.size());
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), std::move(node));
  return raw;
}

TreeNode* CatalogueTree::addTop(std::string text) {
  return insertInto(top_, top_.size(), nullptr, std::move(text));
}

TreeNode* CatalogueTree::insertTop(std::size_t index, std::string text) {
  return insertInto(top_, index, nullptr, std::move(text));
}

TreeNode* CatalogueTree::insertTopBefore(const TreeNode* before, std::string text) {
  auto it =
      std::find_if(top_.begin(), top_.end(), [&](const auto& n) { return n.get() == before; });
  return insertInto(top_, static_cast<std::size_t>(it - top_.begin()), nullptr, std::move(text));
}

TreeNode* CatalogueTree::addChild(TreeNode& parent, std::string text) {
  return insertInto(parent.children_, parent.children_.size(), &parent, std::move(text));
}

CatalogueTree::NodeList& CatalogueTree::siblingsOf(const TreeNode& node) {
  return node.parent_ ? node.parent_->children_ : top_;
}

void CatalogueTree::notifyDeletion(TreeNode& node) {
  for (TreeNode* p = selected_; p; p = p->parent_) {
    if (p == &node) {
      selected_ = nullptr;
      break;
    }
  }
  if (!onDelete_) return;
  onDelete_(node);
  for (auto& c : node.children_) notifyDeletion(*c);
}

void CatalogueTree::deleteNode(TreeNode* node) {
  if (!node) return;
  notifyDeletion(*node);
  NodeList& list = siblingsOf(*node);
  auto it = std::find_if(list.begin(), list.end(), [&](const auto& n) { return n.get() == node; });
  if (it != list.end()) list.erase(it);
}

void CatalogueTree::deleteChildren(TreeNode& node) {
  for (auto& c : node.children_) notifyDeletion(*c);
  node.children_.clear();
}

void CatalogueTree::clear() {
  for (auto& n : top_) notifyDeletion(*n);
  top_.clear();
  selected_ = nullptr;
}

void CatalogueTree::forEachNode(const std::function<bool(TreeNode&)>& visit) const {
  // Iterative pre-order walk: deep trees must not exhaust the stack.
  std::vector<std::pair<const NodeList*, std::size_t>> stack{{&top_, 0}};
  while (!stack.empty()) {
    auto& [list, index] = stack.back();
    if (index >= list->size()) {
      stack.pop_back();
      continue;
    }
    TreeNode& node = *(*list)[index++];
    if (!visit(node)) return;
    if (!node.children_.empty()) stack.emplace_back(&node.children_, 0);
  }
}

std::size_t CatalogueTree::nodeCount() const {
  std::size_t n = 0;
  forEachNode([&](TreeNode&) { return ++n, true; });
  return n;
}

void CatalogueTree::updateScrollBar() {
  ++scrollBarUpdates_;
  if (onScrollBar_) onScrollBar_();
}

std::string describeTree(const CatalogueTree& tree) {
  std::string out;
  tree.forEachNode([&](TreeNode& node) {
    out.append(static_cast<std::size_t>(node.level()) * 2, ' ');
    out += "[" + std::to_string(node.stateIndex()) + "] " + node.text() + "\n";
    return true;
  });
  return out;
}

}  // namespace nivra::catalogue
