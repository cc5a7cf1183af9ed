#include "catalogue/favourites.h"

#include <nlohmann/json.hpp>

#include "catalogue/catalogue_document.h"
#include "catalogue/text_files.h"
#include "catalogue/tree_fun.h"
#include "platform/atomic_file.h"
#include "platform/folders.h"
#include "platform/text.h"

namespace nivra::catalogue {

std::string SaveTreeToJson(const CatalogueTree& tree, const std::filesystem::path& file) {
  using nlohmann::json;
  json arr = json::array();
  for (std::size_t i = 0; i < tree.topCount(); ++i) {
    const TCatalogueItem* item = tree.top(i)->item();
    if (!item) continue;
    json entry = {{"i", item->id},
                  {"t", item->kind},
                  {"c", text::parseInt32(item->count()).value_or(0)},
                  {"n", item->name()}};
    if (item->kind == kItem) entry["u"] = item->url();
    arr.push_back(std::move(entry));
  }
  json root = json::object();
  if (!arr.empty()) root["arr"] = std::move(arr);
  root["c"] = root.contains("arr") ? root["arr"].size() : 0;
  // Texts that are not valid UTF-8 are written with replacement characters instead of failing.
  std::string out = root.dump(-1, ' ', /*ensure_ascii=*/true, json::error_handler_t::replace);
  if (!file.empty()) platform::writeFileAtomically(file, out);
  return out;
}

void TFavourites::LoadFavourites(CatalogueTree& tree) {
  platform::ensureDir(folder_);
  const auto bytes = platform::readWholeFile(file());
  if (bytes && !bytes->empty() && !CatalogueDocument::parse(*bytes))
    platform::writeFileAtomically(folder_ / "Fav.dat.bak", *bytes);
  loadTopListText(tree, ReadTextFile(file()));
  loaded_ = true;
  SaveFavourites(tree);
  tree.setItemHeight(kCatalogueItemHeight);
  tree.updateScrollBar();
}

void TFavourites::SaveFavourites(const CatalogueTree& tree) { SaveTreeToJson(tree, file()); }

}  // namespace nivra::catalogue
