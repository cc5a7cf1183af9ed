#pragma once
// CatalogueTreeModel: a catalogue tree shown by a TmTreeView. Node ids are the addresses of the
// tree's nodes. A node is expanded exactly when its state image says so (2), so the view and the
// catalogue algorithms share one record of it.

#include "catalogue/catalogue_tree.h"
#include "ui/tree_view_model.h"

namespace nivra::catalogue::panel {

class CatalogueTreeModel final : public ui::TmTreeModel {
 public:
  // The tree must outlive the model. Its scroll-bar requests (made at the end of every
  // catalogue algorithm) tell the view to lay out again.
  explicit CatalogueTreeModel(CatalogueTree& tree);
  ~CatalogueTreeModel() override;

  static ui::TreeNodeId IdOf(const TreeNode* node) {
    return reinterpret_cast<ui::TreeNodeId>(node);
  }
  static TreeNode* NodeOf(ui::TreeNodeId id) { return reinterpret_cast<TreeNode*>(id); }

  CatalogueTree& Tree() const { return tree_; }
  // Tells the view that nodes changed outside the catalogue algorithms.
  void Refresh() const { Changed(); }

  std::vector<ui::TreeNodeId> Children(ui::TreeNodeId parent) const override;
  ui::TreeNodeId Parent(ui::TreeNodeId node) const override;
  bool HasChildren(ui::TreeNodeId node) const override;
  std::string Text(ui::TreeNodeId node) const override;
  int StateIndex(ui::TreeNodeId node) const override;
  std::string Url(ui::TreeNodeId node) const override;
  bool Expanded(ui::TreeNodeId node) const override;
  void SetExpanded(ui::TreeNodeId node, bool expanded) override;
  ui::TreeNodeId Selected() const override { return IdOf(tree_.selected()); }
  void SetSelected(ui::TreeNodeId node) override;

 private:
  CatalogueTree& tree_;
};

// Whether `node` is still one of the tree's nodes (work that comes back later checks this).
bool ContainsNode(const CatalogueTree& tree, const TreeNode* node);

}  // namespace nivra::catalogue::panel
