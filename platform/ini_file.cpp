#include "platform/ini_file.h"

#include "platform/atomic_file.h"
#include "platform/text.h"

namespace nivra::platform {
namespace {

std::string_view stripQuotes(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

}  // namespace

IniFile::IniFile(std::filesystem::path path, Style style) : path_(std::move(path)), style_(style) {}

bool IniFile::load() {
  auto bytes = readWholeFile(path_, 16u << 20);
  sections_.clear();
  index_.clear();
  if (!bytes) return false;
  setText(*bytes);
  return true;
}

void IniFile::setText(std::string_view text) {
  const bool verbatim = style_ == Style::Verbatim;
  sections_.clear();
  sections_.push_back(Section{});
  for (std::string_view raw : text::splitLines(text)) {
    if (verbatim)
      while (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string_view t = text::trim(raw);
    if (verbatim && t.empty()) continue;
    if (!t.empty() && t.front() == '[') {
      // Profile takes "[name]" followed by anything; Verbatim only a line that is all header.
      const std::size_t close = verbatim ? (t.back() == ']' ? t.size() - 1 : t.npos) : t.find(']');
      if (close != std::string_view::npos) {
        sections_.push_back(Section{std::string(text::trim(t.substr(1, close - 1))), true, {}});
        continue;
      }
    }
    Line line;
    const std::size_t eq = raw.find('=');
    if (!t.empty() && t.front() != ';' && eq != std::string_view::npos) {
      line.key = std::string(text::trim(raw.substr(0, eq)));
      const std::string_view value = raw.substr(eq + 1);
      line.value = std::string(verbatim ? value : text::trim(value));
    }
    if (line.key.empty()) line = Line{std::string(raw), {}, {}};
    sections_.back().lines.push_back(std::move(line));
  }
  rebuildIndex();
}

std::string IniFile::text() const {
  const bool verbatim = style_ == Style::Verbatim;
  std::string out;
  for (const Section& s : sections_) {
    if (verbatim && !s.hasHeader && s.lines.empty()) continue;
    if (s.hasHeader) out += "[" + s.name + "]\n";
    for (const Line& l : s.lines)
      out += l.key.empty() ? l.raw + "\n" : l.key + "=" + l.value + "\n";
    if (verbatim) out += "\n";
  }
  return out;
}

bool IniFile::save() const { return writeFileAtomically(path_, text()); }

void IniFile::rebuildIndex() {
  index_.clear();
  for (std::size_t i = 0; i < sections_.size(); ++i)
    if (sections_[i].hasHeader) index_.try_emplace(text::toLower(sections_[i].name), i);
}

IniFile::Section& IniFile::addSection(std::string name) {
  index_.try_emplace(text::toLower(name), sections_.size());
  sections_.push_back(Section{std::move(name), true, {}});
  return sections_.back();
}

IniFile::Section* IniFile::findSection(std::string_view name) {
  auto it = index_.find(text::toLower(name));
  return it == index_.end() ? nullptr : &sections_[it->second];
}

const IniFile::Section* IniFile::findSection(std::string_view name) const {
  return const_cast<IniFile*>(this)->findSection(name);
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
  const Section* s = findSection(section);
  if (!s) return std::nullopt;
  for (const Line& l : s->lines)
    if (!l.key.empty() && text::equalsNoCase(l.key, key))
      return std::string(style_ == Style::Profile ? stripQuotes(l.value) : l.value);
  return std::nullopt;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view def) const {
  auto v = value(section, key);
  return v ? *v : std::string(def);
}

std::int32_t IniFile::readInteger(std::string_view section, std::string_view key,
                                  std::int32_t def) const {
  auto v = value(section, key);
  if (!v) return def;
  return text::parseInt32(*v).value_or(def);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool def) const {
  return readInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  std::string clean(value);
  for (char& c : clean)
    if (c == '\r' || c == '\n') c = ' ';
  if (style_ == Style::Profile) clean = std::string(text::trim(clean));
  Section* s = findSection(section);
  if (!s) s = &addSection(std::string(section));
  std::size_t lastEntry = 0;
  bool anyEntry = false;
  for (std::size_t i = 0; i < s->lines.size(); ++i) {
    Line& l = s->lines[i];
    if (l.key.empty()) continue;
    if (text::equalsNoCase(l.key, key)) {
      l.value = clean;
      return;
    }
    lastEntry = i;
    anyEntry = true;
  }
  Line line{{}, std::string(key), clean};
  auto at =
      anyEntry ? s->lines.begin() + static_cast<std::ptrdiff_t>(lastEntry + 1) : s->lines.begin();
  s->lines.insert(at, std::move(line));
}

void IniFile::writeInteger(std::string_view section, std::string_view key, std::int64_t value) {
  writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
  writeString(section, key, value ? "1" : "0");
}

bool IniFile::sectionExists(std::string_view section) const { return findSection(section); }

bool IniFile::valueExists(std::string_view section, std::string_view key) const {
  return value(section, key).has_value();
}

std::vector<std::string> IniFile::sectionNames() const {
  std::vector<std::string> out;
  for (const Section& s : sections_)
    if (s.hasHeader) out.push_back(s.name);
  return out;
}

std::vector<std::string> IniFile::keyNames(std::string_view section) const {
  std::vector<std::string> out;
  if (const Section* s = findSection(section))
    for (const Line& l : s->lines)
      if (!l.key.empty()) out.push_back(l.key);
  return out;
}

void IniFile::eraseSection(std::string_view section) {
  std::erase_if(sections_, [&](const Section& s) {
    return s.hasHeader && text::equalsNoCase(s.name, section);
  });
  rebuildIndex();
}

void IniFile::deleteKey(std::string_view section, std::string_view key) {
  if (Section* s = findSection(section))
    std::erase_if(s->lines,
                  [&](const Line& l) { return !l.key.empty() && text::equalsNoCase(l.key, key); });
}

}  // namespace nivra::platform
