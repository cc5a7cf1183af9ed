#pragma once
// What the skinned tree view needs from a tree: for each node its text ("name|label"), state
// image index, url and children, plus the expanded flags and the selected node. The library
// panel adapts the catalogue's Qt-free tree to this; MemoryTreeModel is a small ready-made one.
// Node ids are the model's own handles; 0 means no node.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nivra::ui {

using TreeNodeId = std::uintptr_t;

class TmTreeModel {
 public:
  virtual ~TmTreeModel() = default;

  // The children of `parent` in order; parent 0 gives the top-level nodes.
  virtual std::vector<TreeNodeId> Children(TreeNodeId parent) const = 0;
  // The node's parent; 0 for a top-level node.
  virtual TreeNodeId Parent(TreeNodeId node) const = 0;
  // True when the node has or may have children (it can be expanded before they exist).
  virtual bool HasChildren(TreeNodeId node) const { return !Children(node).empty(); }
  // The node text in UTF-8: the name, then optionally "|" and the label.
  virtual std::string Text(TreeNodeId node) const = 0;
  // The state image index; -1 for none.
  virtual int StateIndex(TreeNodeId node) const = 0;
  // The url of the record the node owns; empty when none.
  virtual std::string Url(TreeNodeId node) const = 0;
  virtual bool Expanded(TreeNodeId node) const = 0;
  virtual void SetExpanded(TreeNodeId node, bool expanded) = 0;
  virtual TreeNodeId Selected() const = 0;
  virtual void SetSelected(TreeNodeId node) = 0;

  // The view registers here; a model calls Changed() after any change of its nodes.
  void SetChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }

 protected:
  void Changed() const {
    if (listener_) listener_();
  }

 private:
  std::function<void()> listener_;
};

// An in-memory tree: nodes added under a parent, owned by the model.
class MemoryTreeModel final : public TmTreeModel {
 public:
  // Adds a node at the end of `parent`'s children and returns its id.
  TreeNodeId Add(TreeNodeId parent, std::string text, int stateIndex = -1, std::string url = {});
  void SetText(TreeNodeId node, std::string text);
  void SetStateIndex(TreeNodeId node, int index);
  void SetHasChildren(TreeNodeId node, bool on);
  void Clear();

  std::vector<TreeNodeId> Children(TreeNodeId parent) const override;
  TreeNodeId Parent(TreeNodeId node) const override;
  bool HasChildren(TreeNodeId node) const override;
  std::string Text(TreeNodeId node) const override;
  int StateIndex(TreeNodeId node) const override;
  std::string Url(TreeNodeId node) const override;
  bool Expanded(TreeNodeId node) const override;
  void SetExpanded(TreeNodeId node, bool expanded) override;
  TreeNodeId Selected() const override { return selected_; }
  void SetSelected(TreeNodeId node) override;

 private:
  struct Node {
    TreeNodeId parent = 0;
    std::string text, url;
    int stateIndex = -1;
    bool expanded = false, hasChildren = false;
    std::vector<TreeNodeId> children;
  };
  const Node* Find(TreeNodeId id) const;
  Node* Find(TreeNodeId id);

  std::vector<Node> nodes_;  // id = index + 1
  std::vector<TreeNodeId> roots_;
  TreeNodeId selected_ = 0;
};

}  // namespace nivra::ui
