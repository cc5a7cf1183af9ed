#pragma once
// The favourites: a flat tree saved as the catalogue document "Fav.dat" (compact JSON, every
// non-ASCII character as a \u escape) in the per-user data folder.

#include <filesystem>
#include <string>

#include "catalogue/catalogue_tree.h"

namespace nivra::catalogue {

// One object per top-level node with a record, in order: "i", "t", "c" (the count text as an
// integer, 0 when it is not one), "n", and "u" for kind 3; root "c" is the number of objects
// and "arr" is left out when there are none. Written atomically to `file` when one is given.
std::string SaveTreeToJson(const CatalogueTree& tree, const std::filesystem::path& file = {});

class TFavourites {
 public:
  // `folder` holds "Fav.dat" (the per-user data folder).
  explicit TFavourites(std::filesystem::path folder) : folder_(std::move(folder)) {}

  // Loads "Fav.dat" from disk into the tree as a top-level list, marks the favourites loaded
  // and writes them back. A file that is there but is no document is first kept as
  // "Fav.dat.bak", since the write-back replaces it.
  void LoadFavourites(CatalogueTree& tree);
  void SaveFavourites(const CatalogueTree& tree);
  bool loaded() const { return loaded_; }
  std::filesystem::path file() const { return folder_ / "Fav.dat"; }

 private:
  std::filesystem::path folder_;
  bool loaded_ = false;
};

}  // namespace nivra::catalogue
