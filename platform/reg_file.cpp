#include "platform/reg_file.h"

#include <cstdio>

#include "platform/text.h"

namespace nivra::platform {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

std::string quote(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Reads a quoted text starting at s[pos] == '"'; advances pos past the closing quote.
std::optional<std::string> unquote(std::string_view s, std::size_t& pos) {
  if (pos >= s.size() || s[pos] != '"') return std::nullopt;
  std::string out;
  for (++pos; pos < s.size(); ++pos) {
    char c = s[pos];
    if (c == '\\' && pos + 1 < s.size()) {
      out += s[++pos];
    } else if (c == '"') {
      ++pos;
      return out;
    } else {
      out += c;
    }
  }
  return std::nullopt;
}

std::optional<std::pair<std::string, RegValue>> parseValueLine(std::string_view line) {
  std::size_t pos = 0;
  std::string name;
  if (line.starts_with("@")) {
    pos = 1;
  } else {
    auto n = unquote(line, pos);
    if (!n) return std::nullopt;
    name = *n;
  }
  if (pos >= line.size() || line[pos] != '=') return std::nullopt;
  ++pos;
  std::string_view rest = line.substr(pos);
  if (rest.starts_with("\"")) {
    std::size_t p = 0;
    auto v = unquote(rest, p);
    if (!v) return std::nullopt;
    return std::pair{name, RegValue{*v}};
  }
  if (text::startsWithNoCase(rest, "dword:")) {
    auto v = text::parseInteger("0x" + std::string(text::trim(rest.substr(6))));
    if (!v || *v < 0 || *v > 0xFFFFFFFFll) return std::nullopt;
    return std::pair{name, RegValue{static_cast<std::uint32_t>(*v)}};
  }
  return std::nullopt;
}

}  // namespace

std::string normaliseKeyPath(std::string_view key) {
  std::string out;
  for (char c : key) {
    if (c == '/') c = '\\';
    if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
    out += c;
  }
  while (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

RegHive::RegHive(std::string rootName) : root_(std::move(rootName)) {}

RegHive RegHive::parse(std::string rootName, std::string_view text) {
  RegHive hive(std::move(rootName));
  Key* current = nullptr;
  for (std::string_view raw : text::splitLines(text)) {
    std::string_view line = text::trim(raw);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      current = nullptr;  // a malformed header ends the key before it too
      if (line.back() != ']') continue;
      std::string_view path = line.substr(1, line.size() - 2);
      if (!text::startsWithNoCase(path, hive.root_)) continue;  // another hive's key: skipped
      path.remove_prefix(hive.root_.size());
      if (!path.empty() && path.front() != '\\') continue;
      std::string key = normaliseKeyPath(path);
      if (key.empty()) continue;
      hive.createKey(key);
      current = hive.find(key);
      continue;
    }
    if (!current) continue;
    if (auto v = parseValueLine(line)) {
      std::string keyPath = current->path;
      hive.setValue(keyPath, v->first, std::move(v->second));
      current = hive.find(keyPath);
    }
  }
  return hive;
}

std::string RegHive::text() const {
  std::string out = std::string(kHeader) + "\n";
  for (const Key& k : keys_) {
    out += "\n[" + root_ + "\\" + k.path + "]\n";
    for (const auto& [name, value] : k.values) {
      out += name.empty() ? "@" : quote(name);
      out += '=';
      if (const auto* s = std::get_if<std::string>(&value)) {
        out += quote(*s);
      } else {
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", std::get<std::uint32_t>(value));
        out += buf;
      }
      out += '\n';
    }
  }
  return out;
}

RegHive::Key* RegHive::find(std::string_view key) {
  std::string k = normaliseKeyPath(key);
  for (Key& entry : keys_)
    if (text::equalsNoCase(entry.path, k)) return &entry;
  return nullptr;
}

const RegHive::Key* RegHive::find(std::string_view key) const {
  return const_cast<RegHive*>(this)->find(key);
}

bool RegHive::keyExists(std::string_view key) const { return find(key) != nullptr; }

void RegHive::createKey(std::string_view key) {
  std::string k = normaliseKeyPath(key);
  if (k.empty()) return;
  std::size_t at = 0;
  for (;;) {
    std::size_t slash = k.find('\\', at);
    std::string prefix = k.substr(0, slash);
    if (!find(prefix)) keys_.push_back(Key{prefix, {}});
    if (slash == std::string::npos) break;
    at = slash + 1;
  }
}

std::optional<RegValue> RegHive::value(std::string_view key, std::string_view name) const {
  const Key* k = find(key);
  if (!k) return std::nullopt;
  for (const auto& [n, v] : k->values)
    if (text::equalsNoCase(n, name)) return v;
  return std::nullopt;
}

void RegHive::setValue(std::string_view key, std::string_view name, RegValue value) {
  createKey(key);
  Key* k = find(key);
  if (!k) return;
  for (auto& [n, v] : k->values)
    if (text::equalsNoCase(n, name)) {
      v = std::move(value);
      return;
    }
  k->values.emplace_back(std::string(name), std::move(value));
}

bool RegHive::deleteValue(std::string_view key, std::string_view name) {
  Key* k = find(key);
  if (!k) return false;
  return std::erase_if(k->values, [&](const auto& p) { return text::equalsNoCase(p.first, name); }) > 0;
}

bool RegHive::deleteKey(std::string_view key) {
  std::string k = normaliseKeyPath(key);
  if (k.empty()) return false;
  return std::erase_if(keys_, [&](const Key& entry) {
           return text::equalsNoCase(entry.path, k) ||
                  (entry.path.size() > k.size() && entry.path[k.size()] == '\\' &&
                   text::startsWithNoCase(entry.path, k));
         }) > 0;
}

}  // namespace nivra::platform
