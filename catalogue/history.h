#pragma once
// The play history: two TIniOptions lists shown together in one flat tree, newest first.
// List 1 ("His1.dat") holds what the user plays; list 2 ("His2.dat", 20 slots) is read, merged
// by date and written back to its own file only.

#include <cstdint>
#include <filesystem>

#include "catalogue/catalogue_tree.h"
#include "catalogue/ini_options.h"

namespace nivra::catalogue {

class THistory {
 public:
  static constexpr std::int32_t kDefaultCapacity = 25;  // "udHistory" of "Setup.ini"
  static constexpr std::int32_t kSecondListCapacity = 20;

  // `folder` holds "His1.dat" and "His2.dat" (the per-user data folder). A first capacity of 0
  // or less keeps no history in list 1.
  THistory(std::filesystem::path folder, std::int32_t firstCapacity = kDefaultCapacity);

  // Rebuilds the tree from both files: list 1 in slot order, list 2 inserted by date.
  void LoadHistory(CatalogueTree& tree);
  // Writes both files from the tree's records: list 0 records into "His1.dat", list 1 records
  // into "His2.dat", each from at most the first capacity nodes.
  void SaveHistory(const CatalogueTree& tree);

  TIniOptions& first() { return first_; }
  TIniOptions& second() { return second_; }
  std::filesystem::path firstFile() const { return folder_ / "His1.dat"; }
  std::filesystem::path secondFile() const { return folder_ / "His2.dat"; }

 private:
  std::filesystem::path folder_;
  TIniOptions first_;
  TIniOptions second_;
};

}  // namespace nivra::catalogue
