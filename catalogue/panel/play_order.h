#pragma once
// The next and previous item of a list played from the favourites: the steps of the main
// window's "下一个节目" and "上一个节目". Qt-free.

#include "catalogue/catalogue_tree.h"

namespace nivra::catalogue::panel {

enum class PlayStep { kNext, kPrevious };

// The sibling of `playing` to play next: only when `playing` carries an episode record (kind 2)
// and the sibling in that direction carries a record. None otherwise: the caller then stops.
TreeNode* SiblingToPlay(const TreeNode* playing, const CatalogueTree& tree, PlayStep step);

}  // namespace nivra::catalogue::panel
