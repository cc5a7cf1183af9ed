#include "ui/tree_view_model.h"

namespace nivra::ui {

const MemoryTreeModel::Node* MemoryTreeModel::Find(TreeNodeId id) const {
  return id >= 1 && id <= nodes_.size() ? &nodes_[id - 1] : nullptr;
}

MemoryTreeModel::Node* MemoryTreeModel::Find(TreeNodeId id) {
  return id >= 1 && id <= nodes_.size() ? &nodes_[id - 1] : nullptr;
}

TreeNodeId MemoryTreeModel::Add(TreeNodeId parent, std::string text, int stateIndex,
                                std::string url) {
  Node node;
  node.parent = Find(parent) ? parent : 0;
  node.text = std::move(text);
  node.url = std::move(url);
  node.stateIndex = stateIndex;
  nodes_.push_back(std::move(node));
  const TreeNodeId id = nodes_.size();
  if (Node* p = Find(parent)) {
    p->children.push_back(id);
  } else {
    roots_.push_back(id);
  }
  Changed();
  return id;
}

void MemoryTreeModel::SetText(TreeNodeId node, std::string text) {
  if (Node* n = Find(node)) n->text = std::move(text);
  Changed();
}

void MemoryTreeModel::SetStateIndex(TreeNodeId node, int index) {
  if (Node* n = Find(node)) n->stateIndex = index;
  Changed();
}

void MemoryTreeModel::SetHasChildren(TreeNodeId node, bool on) {
  if (Node* n = Find(node)) n->hasChildren = on;
  Changed();
}

void MemoryTreeModel::Clear() {
  nodes_.clear();
  roots_.clear();
  selected_ = 0;
  Changed();
}

std::vector<TreeNodeId> MemoryTreeModel::Children(TreeNodeId parent) const {
  if (parent == 0) return roots_;
  const Node* n = Find(parent);
  return n ? n->children : std::vector<TreeNodeId>{};
}

TreeNodeId MemoryTreeModel::Parent(TreeNodeId node) const {
  const Node* n = Find(node);
  return n ? n->parent : 0;
}

bool MemoryTreeModel::HasChildren(TreeNodeId node) const {
  const Node* n = Find(node);
  return n && (n->hasChildren || !n->children.empty());
}

std::string MemoryTreeModel::Text(TreeNodeId node) const {
  const Node* n = Find(node);
  return n ? n->text : std::string();
}

int MemoryTreeModel::StateIndex(TreeNodeId node) const {
  const Node* n = Find(node);
  return n ? n->stateIndex : -1;
}

std::string MemoryTreeModel::Url(TreeNodeId node) const {
  const Node* n = Find(node);
  return n ? n->url : std::string();
}

bool MemoryTreeModel::Expanded(TreeNodeId node) const {
  const Node* n = Find(node);
  return n && n->expanded;
}

void MemoryTreeModel::SetExpanded(TreeNodeId node, bool expanded) {
  if (Node* n = Find(node)) n->expanded = expanded;
  Changed();
}

void MemoryTreeModel::SetSelected(TreeNodeId node) {
  selected_ = Find(node) ? node : 0;
  Changed();
}

}  // namespace nivra::ui
