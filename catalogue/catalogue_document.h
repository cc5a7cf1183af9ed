#pragma once
// Reading catalogue documents: a JSON object whose "c" is the entry count (string or number,
// read as text) and whose "arr" holds the entries. Conversions of single fields follow the
// document format; an entry whose fields cannot be converted gives no record.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/catalogue_item.h"

namespace nivra::catalogue {

class CatalogueDocument {
 public:
  // Documents nest three levels; anything nested deeper than this is refused unparsed.
  static constexpr int kMaxDepth = 64;

  // The document, or nullopt when the text is not a JSON object (or is nested too deeply).
  static std::optional<CatalogueDocument> parse(std::string_view text);

  // Root "c" as text ("" when missing or of another type).
  std::string count() const;
  // True when the root has an "arr" array.
  bool hasEntries() const;
  // The "arr" array (empty when there is none).
  const nlohmann::json& entries() const;
  // Root "n" of a list document.
  std::string listName() const;
  // Root "t" of a list document; values below 2 (and values that are not a kind) give 1.
  std::uint8_t listKind() const;

 private:
  explicit CatalogueDocument(nlohmann::json root) : root_(std::move(root)) {}
  nlohmann::json root_;
};

// A string or number member as text: "" when missing or null; nullopt for other types.
std::optional<std::string> memberText(const nlohmann::json& object, const char* key);
// The entry's "i": an integer (or integer text) that fits 32 bits; 0 when missing.
std::optional<std::int32_t> entryId(const nlohmann::json& entry);
// The entry's "t" converted to a kind; nullopt when missing or not a number in 0..255.
std::optional<std::uint8_t> entryKind(const nlohmann::json& entry);

// A top-level entry's record: id "i", kind "t", name "n", count "c", and url "u" for kind 3.
std::optional<TCatalogueItem> topLevelRecord(const nlohmann::json& entry);
// A child entry's record: id, kind, count, url, rating "al" and name; an episode (kind 2) is
// named "n" + " " (or "第" + id + "集 " when "n" is empty) and takes the parent's id.
std::optional<TCatalogueItem> childRecord(const nlohmann::json& entry, std::int32_t parentId);

// Node texts: counted form name + "|(" + count + ")"; episode form name + "|" + count (the bar
// only when the count is not empty).
std::string countedText(const TCatalogueItem& item);
std::string episodeText(const TCatalogueItem& item);

}  // namespace nivra::catalogue
