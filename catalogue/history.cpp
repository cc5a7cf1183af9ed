#include "catalogue/history.h"

#include <memory>

#include "platform/folders.h"

namespace nivra::catalogue {
namespace {

std::unique_ptr<TCatalogueItem> slotRecord(const TIniOptions& list, std::int32_t slot,
                                           std::int32_t listNumber) {
  if (list.Name(slot).empty() || list.Url(slot).empty()) return nullptr;
  auto item = std::make_unique<TCatalogueItem>();
  item->setName(list.Name(slot));
  item->setUrl(list.Url(slot));
  item->setRating(list.Rating(slot));
  item->date = list.Date(slot);
  item->list = listNumber;
  item->kind = kItem;
  return item;
}

void fillList(TIniOptions& list, const CatalogueTree& tree, std::int32_t listNumber) {
  list.Clear();
  std::int32_t slot = 0, walked = 0;
  for (std::size_t i = 0; i < tree.topCount() && walked < list.capacity(); ++i, ++walked) {
    const TCatalogueItem* item = tree.top(i)->item();
    if (!item || item->list != listNumber || item->name().empty() || item->url().empty()) continue;
    list.SetName(slot, item->name());
    list.SetUrl(slot, item->url());
    list.SetRating(slot, item->rating());
    list.SetDate(slot, item->date);
    ++slot;
  }
  list.Save();
}

}  // namespace

THistory::THistory(std::filesystem::path folder, std::int32_t firstCapacity)
    : folder_(std::move(folder)),
      first_(firstCapacity),  // "udHistory" 0 (or less) leaves no slots: nothing is kept
      second_(kSecondListCapacity) {}

void THistory::LoadHistory(CatalogueTree& tree) {
  tree.clear();
  tree.setItemHeight(kCatalogueItemHeight);
  platform::ensureDir(folder_);
  first_.Load(firstFile());
  for (std::int32_t i = 0; i < first_.capacity(); ++i) {
    if (auto rec = slotRecord(first_, i, 0)) {
      TreeNode* node = tree.addTop(rec->name());
      node->setItem(std::move(rec));
    }
  }
  second_.Load(secondFile());
  for (std::int32_t i = 0; i < second_.capacity(); ++i) {
    auto rec = slotRecord(second_, i, 1);
    if (!rec) continue;
    const TreeNode* before = nullptr;
    for (std::size_t n = 0; n < tree.topCount() && !before; ++n) {
      const TCatalogueItem* other = tree.top(n)->item();
      if (other && other->date <= rec->date) before = tree.top(n);
    }
    TreeNode* node = tree.insertTopBefore(before, rec->name());
    node->setItem(std::move(rec));
  }
  tree.updateScrollBar();
  if (!tree.selected()) tree.select(tree.firstTop());
}

void THistory::SaveHistory(const CatalogueTree& tree) {
  fillList(first_, tree, 0);
  fillList(second_, tree, 1);
}

}  // namespace nivra::catalogue
