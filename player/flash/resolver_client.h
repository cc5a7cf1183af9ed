#pragma once
// The player's side of the web-page resolver (libdecode.so, resolver_abi.h): loading the library
// at every web-page open and one resolver object per page. The player control (player_flash_path)
// copies the result of the completion and posts WM_SOURCES_READY to itself.

#include <filesystem>
#include <functional>
#include <string>

#include "player/flash/resolver_abi.h"

namespace nivra::player {

// The loaded resolver library. Loading again is cheap (the loader counts references) and the
// library is never unloaded: its threads may still be finishing.
class ResolverLibrary {
 public:
  // Loads libdecode.so from `folder` and looks up GetVideoParam and FreeVideoParam. Throws
  // nivra::Error with the loader's text when the library does not load or has no GetVideoParam.
  // FreeVideoParam is never called, so a library without it is fine (it stays nullptr).
  static ResolverLibrary Load(const std::filesystem::path& folder);

  NivraGetVideoParamFn GetVideoParam = nullptr;
  NivraFreeVideoParamFn FreeVideoParam = nullptr;
};

// One resolver object of the library, holding one reference until it is destroyed.
class ResolverObject {
 public:
  // Throws nivra::Error when the library makes no object.
  explicit ResolverObject(const ResolverLibrary& library);
  // Detaches the completion (waiting for a running one) and releases the object.
  ~ResolverObject();
  ResolverObject(const ResolverObject&) = delete;
  ResolverObject& operator=(const ResolverObject&) = delete;

  // The completion notice, called on a thread of the library. Replacing it waits for a running
  // call; an empty function detaches. The notice may destroy the object.
  void SetCompletion(std::function<void()> done);
  // Starts resolving the page; returns at once.
  void Start(const std::string& pageUrl);
  // After completion: one media URL per line.
  std::string SourceList() const;
  // After completion: seconds, 0 when the page tells none.
  double DurationSeconds() const;

 private:
  static void completed(void* owner);
  NivraVideoParam* param_ = nullptr;
  std::function<void()> done_;
};

}  // namespace nivra::player
