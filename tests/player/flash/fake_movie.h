#pragma once
// A scripted Flash movie for the bridge tests: variables the test defines, every call and
// variable access recorded in order. Reading a variable the script does not define, or writing
// one listed in failWrites, throws as a real movie's control does.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "player/flash_control.h"

namespace nivra::test {

class FakeMovie final : public player::FlashControl {
 public:
  void LoadMovie(int layer, const std::string& file) override;
  void Play() override { calls.push_back("Play"); }
  void Stop() override { calls.push_back("Stop"); }
  void SetVariable(std::u16string_view name, std::u16string_view value) override;
  std::u16string GetVariable(std::u16string_view name) override;
  std::uint32_t FlashVersion() override { return version; }
  void SetEmbedMovie(bool embed) override {
    calls.push_back(embed ? "EmbedMovie 1" : "EmbedMovie 0");
  }
  void SetAllowScriptAccess(std::u16string_view access) override;
  void SetScaleMode(int mode) override { calls.push_back("ScaleMode " + std::to_string(mode)); }
  void SetVisible(bool v) override { visible = v; }
  bool Visible() const override { return visible; }
  void SetBounds(const player::Rect& b) override { bounds = b; }
  void SetCursorHidden(bool) override {}
  void SetWindowHandle(std::uintptr_t) override {}

  // Defines (or redefines) a movie variable.
  void define(const std::string& name, const std::string& value);
  void undefine(const std::string& name);
  std::string value(const std::string& name) const;
  // The values written to `name`, in order.
  std::vector<std::string> writesOf(const std::string& name) const;
  // How often `name` was read.
  int readsOf(const std::string& name) const;

  std::vector<std::string> calls;                           // control calls, in order
  std::vector<std::pair<std::string, std::string>> writes;  // variable writes, in order
  std::vector<std::string> reads;                           // variable reads, in order
  std::set<std::string> failWrites;
  std::map<std::string, std::string> variables;
  std::uint32_t version = 10u << 16;
  bool visible = false;
  player::Rect bounds;
};

}  // namespace nivra::test
