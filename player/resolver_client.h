#pragma once
// The player's side of the web-page resolver (libdecode.so, resolver_abi.h): loading the library
// at every web-page open, one resolver per page whose completion (on any thread) only copies the
// result and posts WM_SOURCES_READY to the player, and what the player does with that message.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/message.h"
#include "player/resolver_abi.h"

namespace nivra::player {

class TFlashMediaPlayer;

inline constexpr int kNoSourceErrorCode = 21;
inline constexpr std::string_view kNoSourceText = "无法检测到电影源！";

// The loaded resolver library. Loading again is cheap (the loader counts references) and the
// library is never unloaded: its threads may still be finishing.
class ResolverLibrary {
 public:
  // Loads libdecode.so from `folder` and looks up GetVideoParam and FreeVideoParam. Throws
  // nivra::Error with the loader's text when either fails.
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

// One resolver object for one page, holding one reference until it is destroyed. Its completion
// copies the source list and the duration and posts WM_SOURCES_READY to `target`, with wParam =
// Serial(), so a message of an earlier resolver can be told apart.
class WebPageResolver {
 public:
  WebPageResolver(const ResolverLibrary& library, platform::MessageTarget& target);
  // Detaches the completion handler (waiting for a running one) and releases the object.
  ~WebPageResolver();
  WebPageResolver(const WebPageResolver&) = delete;
  WebPageResolver& operator=(const WebPageResolver&) = delete;

  // Starts resolving the page; returns at once.
  void Start(const std::string& pageUrl);

  std::intptr_t Serial() const { return serial_; }
  // The copy taken at completion; empty before.
  std::string ResolverText() const;
  // The reported duration in ms (seconds × 1000, rounded); 0 when none.
  std::uint32_t ResolverDurationMs() const;

 private:
  struct Shared;
  std::intptr_t serial_;
  std::unique_ptr<Shared> shared_;
  ResolverObject object_;
};

// WM_SOURCES_READY on the GUI thread: the trimmed, non-empty lines of `resolverText` go to the
// bridge's PlayList (after Duration := `durationMs` when that is not 0). No lines and a bridge
// that holds no list yet: `onPlayError(21, "无法检测到电影源！")`. Without a bridge nothing happens.
void HandleSourcesReady(const std::string& resolverText, std::uint32_t durationMs,
                        TFlashMediaPlayer* bridge,
                        const std::function<void(int code, const std::string& text)>& onPlayError);

}  // namespace nivra::player
