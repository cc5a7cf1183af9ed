#include "catalogue/tree_copy.h"

#include <memory>

#include "platform/date_time.h"
#include "platform/text.h"

namespace nivra::catalogue {
namespace {

// Puts a record at the top of the tree in place of the node that matches it.
TreeNode* insertOnTop(CatalogueTree& target, const TCatalogueItem& record) {
  if (TreeNode* existing = FindItemNode(record, target)) target.deleteNode(existing);
  TreeNode* node = target.insertTop(0, record.name());
  node->setItem(std::make_unique<TCatalogueItem>(record));
  return node;
}

}  // namespace

TCatalogueItem CopyItemToTree(TreeFun& treeFun, CatalogueTree& source, CatalogueTree& target,
                              std::chrono::system_clock::time_point now) {
  TreeNode* node = source.selected();
  if (!node || !node->item()) return {};
  std::string prefix, parentCount;
  if (TreeNode* parent = node->parent(); parent && parent->item()) {
    if (!parent->item()->name().empty()) prefix = parent->item()->name() + "-";
    parentCount = parent->item()->count();
  }
  if (node->item()->isSingleEpisodeAlbum()) treeFun.ExpandNode(source, *node, false);
  if (node->item()->url().empty()) return {};

  TCatalogueItem copy = *node->item();
  if (!copy.name().empty()) {
    copy.setName(prefix + copy.name() + " ");
  } else {
    copy.setName(prefix + "第" + std::to_string(copy.id) + "集 ");
    copy.setCount(parentCount);
  }
  copy.date = platform::toDateTime(now);
  insertOnTop(target, copy)->setStateIndex(kStateCollapsed);
  return copy;
}

TCatalogueItem AddUrlToTree(std::string_view url, CatalogueTree& target, const LinkNameFn& linkName,
                            std::chrono::system_clock::time_point now) {
  TCatalogueItem record;
  record.setName(linkName ? linkName(url) : std::string());
  record.setUrl(url);
  if (record.name().empty()) record.setName(url);
  record.date = platform::toDateTime(now);
  record.list = 0;
  insertOnTop(target, record);
  return record;
}

}  // namespace nivra::catalogue
