#include "catalogue/ini_options.h"

#include "common/ini_date_time.h"
#include "platform/error.h"
#include "platform/text.h"

namespace nivra::catalogue {
namespace {

void setText(std::string& stored, std::string_view value) {
  if (text::trim(value) != stored) stored = std::string(value);
}

}  // namespace

TIniOptions::TIniOptions(std::int32_t capacity, std::string sectionPrefix)
    : sectionPrefix_(std::move(sectionPrefix)) {
  SetCapacity(capacity);
}

void TIniOptions::SetCapacity(std::int32_t count) {
  if (count <= 0 || count == capacity_) return;
  const auto n = static_cast<std::size_t>(count);
  names_.resize(n);
  urls_.resize(n);
  ratings_.resize(n);
  dates_.resize(n, 0.0);
  capacity_ = count;
}

std::string TIniOptions::section(std::int32_t slot) const {
  return sectionPrefix_ + std::to_string(slot);
}

void TIniOptions::Load(const std::filesystem::path& file) {
  file_.reset();
  auto ini = std::make_unique<platform::IniFile>(file, platform::IniFile::Style::Verbatim);
  // A missing file reads as an empty one; one that exists but cannot be read disables Save.
  std::error_code ec;
  if (!ini->load() && (std::filesystem::exists(file, ec) || ec)) return;
  for (std::int32_t i = 0; i < capacity_; ++i) {
    const std::string s = section(i);
    const auto slot = static_cast<std::size_t>(i);
    names_[slot] = ini->value(s, "sName").value_or("");
    urls_[slot] = ini->value(s, "sUrl").value_or("");
    ratings_[slot] = ini->value(s, "sAVLevel").value_or("");
    dates_[slot] = common::textToDateTime(ini->value(s, "dDate").value_or(""));
  }
  file_ = std::move(ini);
}

void TIniOptions::Save() {
  if (!file_) return;
  for (std::int32_t i = 0; i < capacity_; ++i) {
    const std::string s = section(i);
    const auto slot = static_cast<std::size_t>(i);
    file_->writeString(s, "sName", names_[slot]);
    file_->writeString(s, "sUrl", urls_[slot]);
    file_->writeString(s, "sAVLevel", ratings_[slot]);
    file_->writeString(s, "dDate", common::dateTimeToText(dates_[slot]));
  }
  file_->save();
}

void TIniOptions::Clear() {
  for (auto* list : {&names_, &urls_, &ratings_})
    for (std::string& s : *list) s.clear();
  std::fill(dates_.begin(), dates_.end(), 0.0);
}

std::size_t TIniOptions::checked(std::int32_t slot) const {
  if (slot < 0 || slot >= capacity_) throw Error("下标越界" + std::to_string(slot));
  return static_cast<std::size_t>(slot);
}

const std::string& TIniOptions::Name(std::int32_t slot) const { return names_[checked(slot)]; }
const std::string& TIniOptions::Url(std::int32_t slot) const { return urls_[checked(slot)]; }
const std::string& TIniOptions::Rating(std::int32_t slot) const { return ratings_[checked(slot)]; }
double TIniOptions::Date(std::int32_t slot) const { return dates_[checked(slot)]; }

void TIniOptions::SetName(std::int32_t slot, std::string_view v) {
  setText(names_[checked(slot)], v);
}
void TIniOptions::SetUrl(std::int32_t slot, std::string_view v) {
  setText(urls_[checked(slot)], v);
}
void TIniOptions::SetRating(std::int32_t slot, std::string_view v) {
  setText(ratings_[checked(slot)], v);
}
void TIniOptions::SetDate(std::int32_t slot, double v) {
  const std::size_t i = checked(slot);
  if (dates_[i] != v) dates_[i] = v;
}

}  // namespace nivra::catalogue
