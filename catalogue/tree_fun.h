#pragma once
// Catalogue documents turned into nodes of a tree model: the top-level list, the children of a
// node, and a whole list document as one node with its entries. Every failure is swallowed: the
// tree stays as it was, or shows the failure text in place of the placeholder. All of this is
// GUI-thread work; PrefetchSubtree (prefetch.h) is the part that runs on workers.

#include <string>
#include <string_view>

#include "catalogue/catalogue_tree.h"
#include "catalogue/json_cache.h"

namespace nivra::catalogue {

inline constexpr std::string_view kLoadingText = "正在加载...";
inline constexpr std::string_view kLoadFailedText = "加载失败，请稍后重试！";
inline constexpr std::string_view kUnresolvedUrl = "Nivra://";

class TreeFun {
 public:
  explicit TreeFun(CatalogueCache& cache) : cache_(cache) {}

  // Fills the top level of `tree` from a document: a name or URL for GetCatalogueDocument, or
  // an absolute path (beginning with "/"), read directly from disk. Returns the root "c" ("0"
  // when the document cannot be read).
  std::string LoadTopList(CatalogueTree& tree, std::string_view name);
  // Fills the children of `node` from the document id + ".js": the cache file only when
  // `fromLocalCache` is set (albums are then left alone), else through GetCatalogueDocument.
  std::string ExpandNode(CatalogueTree& tree, TreeNode& node, bool fromLocalCache);
  // Shows a list document as one top-level node holding all its entries.
  std::string LoadListDocument(CatalogueTree& tree, std::string_view name);

  CatalogueCache& cache() const { return cache_; }

 private:
  CatalogueCache& cache_;
};

// The same algorithms over a document text already read (used by the above, the fuzz targets
// and the benchmarks).
std::string loadTopListText(CatalogueTree& tree, std::string_view documentText);
std::string expandNodeText(CatalogueTree& tree, TreeNode& node, std::string_view documentText);
std::string loadListDocumentText(CatalogueTree& tree, std::string_view documentName,
                                 std::string_view documentText);

// The first node in index order whose record has a non-empty url equal to the item's non-empty
// url, or whose trimmed name equals the item's trimmed name (both without regard to case).
TreeNode* FindItemNode(const TCatalogueItem& item, const CatalogueTree& tree);

}  // namespace nivra::catalogue
