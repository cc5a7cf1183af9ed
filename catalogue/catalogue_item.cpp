#include "catalogue/catalogue_item.h"

#include "platform/text.h"

namespace nivra::catalogue {

void TCatalogueItem::setName(std::string_view v) { name_ = text::cutUtf8(v, kNameBytes); }
void TCatalogueItem::setCount(std::string_view v) { count_ = text::cutUtf8(v, kCountBytes); }
// The url field is zero-terminated: a NUL ends the value.
void TCatalogueItem::setUrl(std::string_view v) {
  url_ = text::cutUtf8(v.substr(0, v.find('\0')), kUrlBytes);
}
void TCatalogueItem::setRating(std::string_view v) { rating_ = text::cutUtf8(v, kRatingBytes); }

}  // namespace nivra::catalogue
