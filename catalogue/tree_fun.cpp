#include "catalogue/tree_fun.h"

#include <limits>
#include <unordered_map>

#include "catalogue/catalogue_document.h"
#include "catalogue/text_files.h"
#include "platform/text.h"

namespace nivra::catalogue {
namespace {

std::string nameKey(const TCatalogueItem& item) { return text::toLower(text::trim(item.name())); }

bool matches(const TCatalogueItem& a, const TCatalogueItem& b) {
  if (!a.url().empty() && !b.url().empty() && text::equalsNoCase(a.url(), b.url())) return true;
  return text::equalsNoCase(text::trim(a.name()), text::trim(b.name()));
}

// FindItemNode over a tree that only grows at its end while a top-level list loads: the first
// node per url and per name, by index order, so that each lookup is a hash probe.
class NodeLookup {
 public:
  explicit NodeLookup(const CatalogueTree& tree) {
    tree.forEachNode([this](TreeNode& n) { return add(n), true; });
  }
  // Nodes must be added in index order.
  void add(TreeNode& node) {
    const std::size_t pos = next_++;
    const TCatalogueItem* item = node.item();
    if (!item) return;
    if (!item->url().empty()) byUrl_.try_emplace(text::toLower(item->url()), pos, &node);
    byName_.try_emplace(nameKey(*item), pos, &node);
  }
  TreeNode* find(const TCatalogueItem& item) const {
    Hit best{std::numeric_limits<std::size_t>::max(), nullptr};
    if (!item.url().empty()) consider(byUrl_, text::toLower(item.url()), best);
    consider(byName_, nameKey(item), best);
    return best.second;
  }

 private:
  using Hit = std::pair<std::size_t, TreeNode*>;
  using Index = std::unordered_map<std::string, Hit>;
  static void consider(const Index& index, const std::string& key, Hit& best) {
    auto it = index.find(key);
    if (it != index.end() && it->second.first < best.first) best = it->second;
  }
  Index byUrl_, byName_;
  std::size_t next_ = 0;
};

// The list id: the document's file name without its extension, as a number (0 otherwise).
std::int32_t listIdOf(std::string_view documentName) {
  std::string_view file = fileNameOf(documentName);
  if (auto dot = file.rfind('.'); dot != std::string_view::npos) file = file.substr(0, dot);
  return text::parseInt32(file).value_or(0);
}

TreeNode* addPlaceholder(CatalogueTree& tree, TreeNode& node) {
  return tree.addChild(node, std::string(kLoadingText));
}

// One child of ExpandNode for a record of a group or an album.
void addGroupOrAlbum(CatalogueTree& tree, TreeNode& parent, TCatalogueItem rec) {
  TreeNode* child;
  if (rec.isSingleEpisodeAlbum()) {
    rec.setUrl(kUnresolvedUrl);
    child = tree.addChild(parent, rec.name());
  } else if (rec.count() == "0") {
    return;
  } else {
    child = tree.addChild(parent, countedText(rec));
    child->setStateIndex(kStateCollapsed);
    addPlaceholder(tree, *child);
  }
  child->setItem(std::make_unique<TCatalogueItem>(std::move(rec)));
}

}  // namespace

TreeNode* FindItemNode(const TCatalogueItem& item, const CatalogueTree& tree) {
  TreeNode* found = nullptr;
  tree.forEachNode([&](TreeNode& node) {
    if (node.item() && matches(*node.item(), item)) found = &node;
    return found == nullptr;
  });
  return found;
}

std::string loadTopListText(CatalogueTree& tree, std::string_view documentText) {
  auto doc = CatalogueDocument::parse(documentText);
  if (!doc) return "0";
  std::string result = doc->count();
  if (result == "0" || !doc->hasEntries()) return result;
  tree.setItemHeight(kCatalogueItemHeight);
  NodeLookup lookup(tree);
  for (const auto& entry : doc->entries()) {
    if (tree.destroying()) return result;
    auto rec = topLevelRecord(entry);
    if (!rec) continue;
    if (TreeNode* existing = lookup.find(*rec)) {
      if (existing->hasChildren()) tree.select(existing->firstChild());
      continue;
    }
    TreeNode* node = tree.addTop(rec->kind == kItem ? rec->name() : countedText(*rec));
    const bool placeholder = rec->count() != "0";
    node->setItem(std::make_unique<TCatalogueItem>(std::move(*rec)));
    node->setStateIndex(kStateCollapsed);
    lookup.add(*node);
    if (placeholder) lookup.add(*addPlaceholder(tree, *node));
  }
  if (!tree.selected()) tree.select(tree.firstTop());
  tree.updateScrollBar();
  return result;
}

std::string expandNodeText(CatalogueTree& tree, TreeNode& node, std::string_view documentText) {
  TCatalogueItem* parent = node.item();
  if (!parent || parent->kind == kEpisode || parent->count() == "0") return "0";
  auto doc = CatalogueDocument::parse(documentText);
  if (!doc) return "0";
  std::string result = doc->count();
  if (!doc->hasEntries()) {
    if (node.hasChildren()) {
      node.firstChild()->setText(std::string(kLoadFailedText));
      while (node.childCount() > 1) tree.deleteNode(node.child(1));
    }
    return result;
  }
  if (TreeNode* first = node.firstChild()) {
    if (first->text() != kLoadFailedText && first->text() != kLoadingText) return result;
    tree.deleteChildren(node);
  }
  for (const auto& entry : doc->entries()) {
    if (tree.destroying()) return result;
    auto rec = childRecord(entry, parent->id);
    if (!rec) continue;
    if (rec->kind == kGroup || rec->kind == kAlbum) {
      addGroupOrAlbum(tree, node, std::move(*rec));
    } else if (rec->kind == kEpisode) {
      if (parent->isSingleEpisodeAlbum()) {
        // The album's one episode: the album itself becomes the playable leaf.
        parent->setUrl(rec->url());
        parent->setCount("0");
        continue;
      }
      TreeNode* child = tree.addChild(node, episodeText(*rec));
      child->setStateIndex(kStateNone);
      child->setItem(std::make_unique<TCatalogueItem>(std::move(*rec)));
    }
  }
  tree.updateScrollBar();
  return result;
}

std::string loadListDocumentText(CatalogueTree& tree, std::string_view documentName,
                                 std::string_view documentText) {
  auto doc = CatalogueDocument::parse(documentText);
  if (!doc) return "0";
  std::string result = doc->count();
  if (result == "0" || !doc->hasEntries()) return result;
  tree.setItemHeight(kCatalogueItemHeight);
  auto list = std::make_unique<TCatalogueItem>();
  list->id = listIdOf(documentName);
  list->kind = doc->listKind();
  list->setName(doc->listName());
  list->setCount(result);
  if (TreeNode* existing = FindItemNode(*list, tree)) tree.deleteNode(existing);
  TreeNode* node = tree.addTop(countedText(*list));
  node->setStateIndex(kStateCollapsed);
  const std::int32_t listId = list->id;
  node->setItem(std::move(list));
  for (const auto& entry : doc->entries()) {
    if (tree.destroying()) return result;
    auto rec = childRecord(entry, listId);
    if (!rec) continue;
    TreeNode* child = tree.addChild(*node, episodeText(*rec));
    child->setStateIndex(kStateNone);
    child->setItem(std::make_unique<TCatalogueItem>(std::move(*rec)));
  }
  if (node->hasChildren()) tree.select(node->firstChild());
  tree.updateScrollBar();
  return result;
}

std::string TreeFun::LoadTopList(CatalogueTree& tree, std::string_view name) {
  const bool localFile = !name.empty() && name.front() == '/';
  return loadTopListText(tree, localFile ? ReadTextFile(std::filesystem::path(std::string(name)))
                                         : cache_.GetCatalogueDocument(name));
}

std::string TreeFun::ExpandNode(CatalogueTree& tree, TreeNode& node, bool fromLocalCache) {
  const TCatalogueItem* item = node.item();
  if (!item || item->kind == kEpisode || item->count() == "0") return "0";
  const std::string document = std::to_string(item->id) + ".js";
  std::string text;
  if (fromLocalCache) {
    if (item->kind == kAlbum) return "0";  // albums expand asynchronously
    text = ReadTextFile(cache_.cacheFolder() / document);
  } else {
    if (item->kind == kAlbum && !item->url().empty() && item->url() != kUnresolvedUrl)
      return "0";  // already resolved
    text = cache_.GetCatalogueDocument(document);
  }
  return expandNodeText(tree, node, text);
}

std::string TreeFun::LoadListDocument(CatalogueTree& tree, std::string_view name) {
  return loadListDocumentText(tree, name, cache_.GetCatalogueDocument(name));
}

}  // namespace nivra::catalogue
