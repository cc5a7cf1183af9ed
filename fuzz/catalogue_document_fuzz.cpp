// Fuzzes the catalogue document loaders: whatever a server or a cache file holds, the top-level
// list, the expansion of a node and the list document must keep every record within its field
// widths, and the favourites written from the result must load back to the same top level.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "catalogue/favourites.h"
#include "catalogue/tree_fun.h"

namespace {

using namespace nivra::catalogue;

void checkRecords(const CatalogueTree& tree) {
  tree.forEachNode([](TreeNode& node) {
    if (const TCatalogueItem* item = node.item()) {
      if (item->name().size() > TCatalogueItem::kNameBytes ||
          item->count().size() > TCatalogueItem::kCountBytes ||
          item->url().size() > TCatalogueItem::kUrlBytes ||
          item->rating().size() > TCatalogueItem::kRatingBytes)
        std::abort();
    }
    return true;
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  CatalogueTree top;
  loadTopListText(top, text);
  checkRecords(top);

  // A second load of the same document adds nothing: every entry now has its match.
  const std::size_t shown = top.topCount();
  loadTopListText(top, text);
  if (top.topCount() != shown) std::abort();

  // The favourites file written from the tree loads back to as many nodes: the top-level
  // records are distinct by name.
  CatalogueTree reloaded;
  loadTopListText(reloaded, SaveTreeToJson(top));
  if (reloaded.topCount() != top.topCount()) std::abort();

  CatalogueTree tree;
  TreeNode* group = tree.addTop("G|(1)");
  auto item = std::make_unique<TCatalogueItem>();
  item->id = 7;
  item->setCount("1");
  group->setItem(std::move(item));
  tree.addChild(*group, std::string(kLoadingText));
  expandNodeText(tree, *group, text);
  expandNodeText(tree, *group, text);
  checkRecords(tree);
  for (std::size_t i = 0; i < group->childCount(); ++i) {
    const TreeNode* child = group->child(i);
    if (child->item() && !FindItemNode(*child->item(), tree)) std::abort();
  }

  CatalogueTree list;
  loadListDocumentText(list, "12.js", text);
  loadListDocumentText(list, "12.js", text);
  if (list.topCount() > 1) std::abort();  // the second load replaces the first list node
  checkRecords(list);
  return 0;
}
