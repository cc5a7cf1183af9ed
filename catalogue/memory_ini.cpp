#include "catalogue/memory_ini.h"

#include <cerrno>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/text.h"

namespace nivra::catalogue {

bool MemoryIniFile::load() {
  sections_.clear();
  index_.clear();
  std::error_code ec;
  if (!std::filesystem::exists(path_, ec) && !ec) return true;
  auto bytes = platform::readWholeFile(path_, 16u << 20);
  if (!bytes) return false;
  setText(*bytes);
  return true;
}

void MemoryIniFile::setText(std::string_view text) {
  sections_.clear();
  index_.clear();
  addSection({}, false);
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(pos, end - pos);
    pos = end + 1;
    while (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string_view t = text::trim(raw);
    if (t.empty()) continue;
    if (t.front() == '[' && t.back() == ']') {
      addSection(std::string(text::trim(t.substr(1, t.size() - 2))), true);
      continue;
    }
    Line line;
    const std::size_t eq = raw.find('=');
    if (t.front() != ';' && eq != std::string_view::npos) {
      line.key = std::string(text::trim(raw.substr(0, eq)));
      line.value = std::string(raw.substr(eq + 1));
    }
    if (line.key.empty()) line.raw = std::string(raw);
    sections_.back().lines.push_back(std::move(line));
  }
}

std::string MemoryIniFile::text() const {
  std::string out;
  for (const Section& s : sections_) {
    if (!s.hasHeader && s.lines.empty()) continue;
    if (s.hasHeader) out += "[" + s.name + "]\n";
    for (const Line& l : s.lines)
      out += l.key.empty() ? l.raw + "\n" : l.key + "=" + l.value + "\n";
    out += "\n";
  }
  return out;
}

bool MemoryIniFile::save() const { return platform::writeFileAtomically(path_, text()); }

MemoryIniFile::Section& MemoryIniFile::addSection(std::string name, bool hasHeader) {
  if (hasHeader) index_.try_emplace(text::toLower(name), sections_.size());
  sections_.push_back(Section{std::move(name), hasHeader, {}});
  return sections_.back();
}

MemoryIniFile::Section* MemoryIniFile::find(std::string_view name) {
  auto it = index_.find(text::toLower(name));
  return it == index_.end() ? nullptr : &sections_[it->second];
}

const MemoryIniFile::Section* MemoryIniFile::find(std::string_view name) const {
  return const_cast<MemoryIniFile*>(this)->find(name);
}

std::optional<std::string> MemoryIniFile::value(std::string_view section,
                                                std::string_view key) const {
  if (const Section* s = find(section))
    for (const Line& l : s->lines)
      if (!l.key.empty() && text::equalsNoCase(l.key, key)) return l.value;
  return std::nullopt;
}

void MemoryIniFile::writeString(std::string_view section, std::string_view key,
                                std::string_view value) {
  std::string clean(value);
  for (char& c : clean)
    if (c == '\r' || c == '\n') c = ' ';
  Section* s = find(section);
  if (!s) s = &addSection(std::string(section), true);
  for (Line& l : s->lines) {
    if (!l.key.empty() && text::equalsNoCase(l.key, key)) {
      l.value = std::move(clean);
      return;
    }
  }
  s->lines.push_back(Line{std::string(key), std::move(clean), {}});
}

}  // namespace nivra::catalogue
