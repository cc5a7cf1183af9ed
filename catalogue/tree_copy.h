#pragma once
// Putting items at the top of the history or the favourites: a copy of another tree's selected
// item, or a played URL.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "catalogue/catalogue_tree.h"
#include "catalogue/tree_fun.h"

namespace nivra::catalogue {

// The display name of a private link ("Nivra://…"), empty when the text is none or names
// nothing. The player's link decoder provides it.
using LinkNameFn = std::function<std::string(std::string_view url)>;

// Copies `source`'s selected item to the top of `target`, replacing the node FindItemNode finds
// for it. The copy is named parent name + "-" + name + " " (episodes without a name: "第" + id +
// "集 ", with the parent's count) and dated `now`. A single-episode album is expanded first to
// learn its url. Returns the copy, or an all-zero record when nothing was copied.
TCatalogueItem CopyItemToTree(TreeFun& treeFun, CatalogueTree& source, CatalogueTree& target,
                              std::chrono::system_clock::time_point now);

// Puts a played URL at the top of `target` (replacing its match), named by the link's display
// name or, without one, by the URL itself. Returns the new record.
TCatalogueItem AddUrlToTree(std::string_view url, CatalogueTree& target, const LinkNameFn& linkName,
                            std::chrono::system_clock::time_point now);

}  // namespace nivra::catalogue
