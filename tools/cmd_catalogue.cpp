// nivra-tool catalogue get NAME | tree NAME [--expand ID ...]: catalogue documents through the
// per-user cache, and the tree model the library panel would show for them.

#include <iostream>

#include "catalogue/catalogue_tree.h"
#include "catalogue/json_cache.h"
#include "catalogue/prefetch.h"
#include "catalogue/tree_fun.h"
#include "net/server_endpoints.h"
#include "platform/manual_event_loop.h"
#include "platform/text.h"
#include "tools/tool_command.h"

namespace nivra::tool {
namespace {

using namespace nivra::catalogue;

constexpr const char* kUsage =
    "usage: nivra-tool catalogue get NAME\n"
    "       nivra-tool catalogue tree NAME [--expand ID ...]\n"
    "get   prints the document NAME (a name below the catalogue's /rjson/, its full URL, or an\n"
    "      absolute file path for tree) as the cache gives it: fresh for 30 minutes, else asked\n"
    "      for again with its ETag\n"
    "tree  loads NAME as a top-level list and prints \"count=C\" and then one line per node:\n"
    "      two spaces per level, [state image] and the node text. Each --expand ID expands the\n"
    "      first node with that id as the panel does: albums fetch their subtree, other kinds\n"
    "      read the local cache only\n";

int fail(const std::string& message) {
  std::cerr << "nivra-tool catalogue: " << message << "\n";
  return 2;
}

// The panel's expansion of a node: albums prefetch their subtree and then expand from the
// network, other kinds expand from the cache files alone.
void expandLikePanel(TreeFun& fun, CatalogueTree& tree, TreeNode& node) {
  const TCatalogueItem& item = *node.item();
  if (item.kind == kAlbum) {
    PrefetchSubtree(fun.cache(), std::to_string(item.id) + ".js");
    fun.ExpandNode(tree, node, false);
  } else {
    fun.ExpandNode(tree, node, true);
  }
  node.setStateIndex(kStateExpanded);
}

TreeNode* findById(const CatalogueTree& tree, std::int32_t id) {
  TreeNode* found = nullptr;
  tree.forEachNode([&](TreeNode& n) {
    if (n.item() && n.item()->id == id && n.item()->kind != kEpisode) found = &n;
    return found == nullptr;
  });
  return found;
}

int runCatalogue(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::cout << kUsage;
    return 0;
  }
  if (args.size() < 2 || (args[0] != "get" && args[0] != "tree"))
    return fail("expected 'get NAME' or 'tree NAME [--expand ID ...]' (see --help)");

  platform::ManualEventLoop clock(
      std::chrono::time_point_cast<platform::EventLoop::Clock::duration>(
          std::chrono::system_clock::now()));
  CatalogueCache cache(net::ServerEndpoints::current(), clock);
  const std::string& name = args[1];

  if (args[0] == "get") {
    if (args.size() != 2) return fail("get takes one NAME");
    const std::string text = cache.GetCatalogueDocument(name);
    if (text.empty()) return fail("no document " + name);
    std::cout << text;
    return 0;
  }

  std::vector<std::int32_t> expand;
  for (std::size_t i = 2; i < args.size(); ++i) {
    auto id =
        i + 1 < args.size() && args[i] == "--expand" ? text::parseInt32(args[i + 1]) : std::nullopt;
    if (!id) return fail("unexpected argument '" + args[i] + "'");
    expand.push_back(*id);
    ++i;
  }
  TreeFun fun(cache);
  CatalogueTree tree;
  const std::string count = fun.LoadTopList(tree, name);
  for (std::int32_t id : expand) {
    TreeNode* node = findById(tree, id);
    if (!node) return fail("no node with id " + std::to_string(id));
    expandLikePanel(fun, tree, *node);
  }
  std::cout << "count=" << count << "\n" << describeTree(tree);
  return 0;
}

const ToolCommandRegistrar registrar{
    {"catalogue", "print catalogue documents and the trees built from them", runCatalogue}};

}  // namespace
}  // namespace nivra::tool
