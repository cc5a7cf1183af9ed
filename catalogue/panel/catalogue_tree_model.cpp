#include "catalogue/panel/catalogue_tree_model.h"

namespace nivra::catalogue::panel {

CatalogueTreeModel::CatalogueTreeModel(CatalogueTree& tree) : tree_(tree) {
  tree_.setScrollBarHandler([this] { Changed(); });
}

CatalogueTreeModel::~CatalogueTreeModel() { tree_.setScrollBarHandler(nullptr); }

std::vector<ui::TreeNodeId> CatalogueTreeModel::Children(ui::TreeNodeId parent) const {
  std::vector<ui::TreeNodeId> ids;
  if (parent == 0) {
    ids.reserve(tree_.topCount());
    for (std::size_t i = 0; i < tree_.topCount(); ++i) ids.push_back(IdOf(tree_.top(i)));
  } else {
    const TreeNode* node = NodeOf(parent);
    ids.reserve(node->childCount());
    for (std::size_t i = 0; i < node->childCount(); ++i) ids.push_back(IdOf(node->child(i)));
  }
  return ids;
}

ui::TreeNodeId CatalogueTreeModel::Parent(ui::TreeNodeId node) const {
  return node ? IdOf(NodeOf(node)->parent()) : 0;
}

bool CatalogueTreeModel::HasChildren(ui::TreeNodeId node) const {
  return node ? NodeOf(node)->hasChildren() : tree_.topCount() > 0;
}

std::string CatalogueTreeModel::Text(ui::TreeNodeId node) const {
  return node ? NodeOf(node)->text() : std::string();
}

int CatalogueTreeModel::StateIndex(ui::TreeNodeId node) const {
  return node ? NodeOf(node)->stateIndex() : kStateNone;
}

std::string CatalogueTreeModel::Url(ui::TreeNodeId node) const {
  const TCatalogueItem* item = node ? NodeOf(node)->item() : nullptr;
  return item ? item->url() : std::string();
}

bool CatalogueTreeModel::Expanded(ui::TreeNodeId node) const {
  return node && NodeOf(node)->hasChildren() && NodeOf(node)->stateIndex() == kStateExpanded;
}

void CatalogueTreeModel::SetExpanded(ui::TreeNodeId node, bool expanded) {
  if (!node) return;
  NodeOf(node)->setStateIndex(expanded ? kStateExpanded : kStateCollapsed);
  Changed();
}

void CatalogueTreeModel::SetSelected(ui::TreeNodeId node) {
  tree_.select(NodeOf(node));
  Changed();
}

bool ContainsNode(const CatalogueTree& tree, const TreeNode* node) {
  if (!node) return false;
  bool found = false;
  tree.forEachNode([&](TreeNode& n) { return !(found = &n == node); });
  return found;
}

}  // namespace nivra::catalogue::panel
