#include "tests/player/flash/fake_movie.h"

#include "platform/error.h"
#include "player/links/utf16_text.h"

namespace nivra::test {

using player::Utf16ToUtf8;

void FakeMovie::LoadMovie(int layer, const std::string& file) {
  calls.push_back("LoadMovie " + std::to_string(layer) + " " + file);
}

void FakeMovie::SetAllowScriptAccess(std::u16string_view access) {
  calls.push_back("AllowScriptAccess " + Utf16ToUtf8(access));
}

void FakeMovie::SetVariable(std::u16string_view name16, std::u16string_view value16) {
  const std::string name = Utf16ToUtf8(name16);
  if (failWrites.contains(name)) throw Error("Cannot write " + name);
  writes.emplace_back(name, Utf16ToUtf8(value16));
  variables[name] = Utf16ToUtf8(value16);
}

std::u16string FakeMovie::GetVariable(std::u16string_view name16) {
  const std::string name = Utf16ToUtf8(name16);
  reads.push_back(name);
  const auto it = variables.find(name);
  if (it == variables.end()) throw Error("No variable " + name);
  return player::Utf8ToUtf16(it->second);
}

void FakeMovie::define(const std::string& name, const std::string& value) { variables[name] = value; }
void FakeMovie::undefine(const std::string& name) { variables.erase(name); }

std::string FakeMovie::value(const std::string& name) const {
  const auto it = variables.find(name);
  return it == variables.end() ? std::string() : it->second;
}

std::vector<std::string> FakeMovie::writesOf(const std::string& name) const {
  std::vector<std::string> out;
  for (const auto& [n, v] : writes)
    if (n == name) out.push_back(v);
  return out;
}

int FakeMovie::readsOf(const std::string& name) const {
  int n = 0;
  for (const auto& r : reads) n += r == name;
  return n;
}

}  // namespace nivra::test
