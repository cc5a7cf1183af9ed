#include "catalogue/catalogue_document.h"

#include "platform/text.h"

namespace nivra::catalogue {
namespace {

using nlohmann::json;

// Nesting depth of the JSON text, counted outside strings. Stops counting past `limit`.
int nestingDepth(std::string_view text, int limit) {
  int depth = 0, deepest = 0;
  bool inString = false, escaped = false;
  for (char c : text) {
    if (inString) {
      if (escaped)
        escaped = false;
      else if (c == '\\')
        escaped = true;
      else if (c == '"')
        inString = false;
      continue;
    }
    if (c == '"')
      inString = true;
    else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
      if (deepest > limit) return deepest;
    } else if (c == ']' || c == '}')
      --depth;
  }
  return deepest;
}

std::optional<std::int64_t> integerOf(const json& v) {
  if (v.is_number_integer()) {
    if (v.is_number_unsigned()) {
      auto u = v.get<std::uint64_t>();
      if (u > static_cast<std::uint64_t>(INT64_MAX)) return std::nullopt;
      return static_cast<std::int64_t>(u);
    }
    return v.get<std::int64_t>();
  }
  if (v.is_string()) return text::parseInteger(v.get_ref<const std::string&>());
  return std::nullopt;
}

const json* member(const json& object, const char* key) {
  auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

struct EntryFields {
  std::int32_t id;
  std::uint8_t kind;
  std::string name, count, url, rating;
};

std::optional<EntryFields> readFields(const json& entry) {
  if (!entry.is_object()) return std::nullopt;
  auto id = entryId(entry);
  auto kind = entryKind(entry);
  auto name = memberText(entry, "n");
  auto count = memberText(entry, "c");
  auto url = memberText(entry, "u");
  auto rating = memberText(entry, "al");
  if (!id || !kind || !name || !count || !url || !rating) return std::nullopt;
  return EntryFields{
      *id, *kind, std::move(*name), std::move(*count), std::move(*url), std::move(*rating)};
}

// The fields every record takes: id, kind and count.
TCatalogueItem baseRecord(const EntryFields& f) {
  TCatalogueItem item;
  item.id = f.id;
  item.kind = f.kind;
  item.setCount(f.count);
  return item;
}

}  // namespace

std::optional<CatalogueDocument> CatalogueDocument::parse(std::string_view text) {
  if (nestingDepth(text, kMaxDepth) > kMaxDepth) return std::nullopt;
  json root = json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
  if (root.is_discarded() || !root.is_object()) return std::nullopt;
  return CatalogueDocument(std::move(root));
}

std::string CatalogueDocument::count() const { return memberText(root_, "c").value_or(""); }

bool CatalogueDocument::hasEntries() const {
  const json* arr = member(root_, "arr");
  return arr && arr->is_array();
}

const json& CatalogueDocument::entries() const {
  static const json kEmpty = json::array();
  return hasEntries() ? root_.at("arr") : kEmpty;
}

std::string CatalogueDocument::listName() const { return memberText(root_, "n").value_or(""); }

std::uint8_t CatalogueDocument::listKind() const {
  auto kind = entryKind(root_).value_or(0);
  return kind < 2 ? static_cast<std::uint8_t>(kAlbum) : kind;
}

std::optional<std::string> memberText(const json& object, const char* key) {
  const json* v = member(object, key);
  if (!v || v->is_null()) return std::string();
  if (v->is_string()) return v->get<std::string>();
  if (v->is_number()) return v->dump();
  return std::nullopt;
}

std::optional<std::int32_t> entryId(const json& entry) {
  const json* v = member(entry, "i");
  if (!v || v->is_null()) return 0;
  auto n = integerOf(*v);
  if (!n || *n < INT32_MIN || *n > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(*n);
}

std::optional<std::uint8_t> entryKind(const json& entry) {
  const json* v = member(entry, "t");
  if (!v) return std::nullopt;
  auto n = integerOf(*v);
  if (!n || *n < 0 || *n > 255) return std::nullopt;
  return static_cast<std::uint8_t>(*n);
}

std::optional<TCatalogueItem> topLevelRecord(const json& entry) {
  auto f = readFields(entry);
  if (!f) return std::nullopt;
  TCatalogueItem item = baseRecord(*f);
  item.setName(f->name);
  if (item.kind == kItem) item.setUrl(f->url);
  return item;
}

std::optional<TCatalogueItem> childRecord(const json& entry, std::int32_t parentId) {
  auto f = readFields(entry);
  if (!f) return std::nullopt;
  TCatalogueItem item = baseRecord(*f);
  item.setUrl(f->url);
  item.setRating(f->rating);
  if (item.kind == kEpisode) {
    item.setName(f->name.empty() ? "第" + std::to_string(f->id) + "集 " : f->name + " ");
    item.id = parentId;
  } else {
    item.setName(f->name);
  }
  return item;
}

std::string countedText(const TCatalogueItem& item) {
  return item.name() + "|(" + item.count() + ")";
}

std::string episodeText(const TCatalogueItem& item) {
  return item.count().empty() ? item.name() : item.name() + "|" + item.count();
}

}  // namespace nivra::catalogue
