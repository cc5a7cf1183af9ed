#pragma once
// TCatalogueItem: the fixed-size record every node of the library panel's trees owns. The text
// fields keep the widths of the stored record: setters cut longer values (never inside a UTF-8
// character), so a record read from any source holds at most what the record could hold.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace nivra::catalogue {

// Kinds of catalogue entries.
enum ItemKind : std::uint8_t { kGroup = 0, kAlbum = 1, kEpisode = 2, kItem = 3 };

class TCatalogueItem {
 public:
  static constexpr std::size_t kNameBytes = 100;
  static constexpr std::size_t kCountBytes = 10;
  static constexpr std::size_t kUrlBytes = 1000;
  static constexpr std::size_t kRatingBytes = 2;

  std::int32_t id = 0;
  std::uint8_t kind = kGroup;
  double date = 0;        // days since 1899-12-30, local (history and favourites)
  std::int32_t list = 0;  // history list: 0 "His1.dat", 1 "His2.dat"

  const std::string& name() const { return name_; }
  const std::string& count() const { return count_; }
  const std::string& url() const { return url_; }
  const std::string& rating() const { return rating_; }
  void setName(std::string_view v);
  void setCount(std::string_view v);
  void setUrl(std::string_view v);
  void setRating(std::string_view v);

  // True for an album with the count "1": shown as a playable leaf once its episode is known.
  bool isSingleEpisodeAlbum() const { return kind == kAlbum && count_ == "1"; }

  bool operator==(const TCatalogueItem&) const = default;

 private:
  std::string name_;
  std::string count_;
  std::string url_;
  std::string rating_;
};

}  // namespace nivra::catalogue
