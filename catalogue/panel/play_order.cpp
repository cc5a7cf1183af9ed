#include "catalogue/panel/play_order.h"

namespace nivra::catalogue::panel {

TreeNode* SiblingToPlay(const TreeNode* playing, const CatalogueTree& tree, PlayStep step) {
  if (!playing || !playing->item() || playing->item()->kind != kEpisode) return nullptr;
  const TreeNode* parent = playing->parent();
  const std::size_t count = parent ? parent->childCount() : tree.topCount();
  auto at = [&](std::size_t i) { return parent ? parent->child(i) : tree.top(i); };
  for (std::size_t i = 0; i < count; ++i) {
    if (at(i) != playing) continue;
    TreeNode* sibling = nullptr;
    if (step == PlayStep::kNext && i + 1 < count) sibling = at(i + 1);
    if (step == PlayStep::kPrevious && i > 0) sibling = at(i - 1);
    return sibling && sibling->item() ? sibling : nullptr;
  }
  return nullptr;
}

}  // namespace nivra::catalogue::panel
