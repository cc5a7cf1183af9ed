// Expanding nodes and resolving albums: documents are fetched on workers, and the trees change
// on the GUI thread once they are in the cache.

#include <thread>

#include "catalogue/panel/right_form.h"
#include "catalogue/prefetch.h"
#include "catalogue/text_files.h"
#include "ui/m_tree_view.h"
#include "ui/png_scroll_bar.h"

namespace nivra::catalogue::panel {

void TRightForm::OnExpanded(PanelTree which, TreeNode* node) {
  if (!node || !node->item()) return;
  const TCatalogueItem& item = *node->item();
  if (item.kind == kAlbum) {
    // The whole subtree is fetched, so that the groups below it expand from the cache.
    FetchThen(std::to_string(item.id) + ".js", true, [this, which, node] {
      if (!ContainsNode(Tree(which), node)) return;
      const std::string count = ExpandFromCache(which, node);
      TCatalogueItem* rec = node->item();
      // A document that could not be read ("0") leaves the recorded count alone.
      if (which != PanelTree::kFavourites || count == "0" || count == rec->count()) return;
      rec->setCount(count);
      node->setText(rec->name() + "|(" + count + ")");
      favourites_.SaveFavourites(Tree(which));
      Refresh(which);
    });
  } else if (!(which == PanelTree::kFavourites && item.kind == kItem)) {
    treeFun_.ExpandNode(Tree(which), *node, true);
  }
  node->setStateIndex(kStateExpanded);
  Refresh(which);
}

void TRightForm::FetchThen(std::string document, bool subtree, std::function<void()> then) {
  CatalogueCache& cache = services_.cache;
  platform::EventLoop& loop = services_.loop;
  services_.tasks.start([&cache, &loop, document = std::move(document), subtree,
                         done = alive_.guard(std::move(then))](std::stop_token stop) {
    if (subtree) {
      PrefetchSubtree(cache, document, stop);
    } else {
      cache.GetCatalogueDocument(document, stop);
    }
    if (!stop.stop_requested()) loop.post(done);
  });
}

std::string TRightForm::CachedDocument(std::string_view name) const {
  const auto file = services_.cache.localFileOf(services_.cache.relativeName(name));
  return file ? ReadTextFile(*file) : std::string();
}

std::string TRightForm::ExpandFromCache(PanelTree which, TreeNode* node) {
  const TCatalogueItem* item = node->item();
  if (!item) return "0";
  // An album whose episode is known already is a leaf.
  if (item->kind == kAlbum && !item->url().empty() && item->url() != kUnresolvedUrl) return "0";
  const std::string count =
      expandNodeText(Tree(which), *node, CachedDocument(std::to_string(item->id) + ".js"));
  Refresh(which);
  return count;
}

void TRightForm::WhenResolved(PanelTree which, TreeNode* node, std::function<void()> then) {
  if (!node->item()->isSingleEpisodeAlbum()) return then();
  FetchThen(std::to_string(node->item()->id) + ".js", false,
            [this, which, node, then = std::move(then)] {
              if (!ContainsNode(Tree(which), node)) return;
              ExpandFromCache(which, node);
              // Still unresolved: the document is not there; nothing is played or copied.
              if (node->item()->isSingleEpisodeAlbum()) return;
              then();
            });
}

void TRightForm::ReloadTree() {
  FetchThen("Tree.js", false, [this] {
    treeCount_ = loadTopListText(Tree(PanelTree::kCatalogue), CachedDocument("Tree.js"));
    Refresh(PanelTree::kCatalogue);
  });
}

}  // namespace nivra::catalogue::panel
