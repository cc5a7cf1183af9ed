#pragma once
// The Flash path of the player control made real: the bridge is TFlashMediaPlayer hosting the
// registered Flash control (the movie runtime), web pages go to the resolver library of the
// module folder, and kind-4 links become segment lists.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/event_loop.h"
#include "platform/registry.h"
#include "player/flash/flash_media_player.h"
#include "player/flash/resolver_client.h"
#include "player/flash_bridge.h"

namespace nivra::player {

// FlashBridge over one TFlashMediaPlayer.
class FlashMediaPlayerBridge final : public FlashBridge {
 public:
  explicit FlashMediaPlayerBridge(std::unique_ptr<TFlashMediaPlayer> movie);

  TFlashMediaPlayer& movie() { return *movie_; }

  void SetCallbacks(FlashBridgeCallbacks callbacks) override;
  std::uint32_t FlashVersion() override;
  void SetScaleMode(int mode) override;
  bool Visible() const override;
  void SetVisible(bool visible) override;
  void SetBounds(const Rect& bounds) override;
  void SetPositionRect(const Rect& bounds) override;
  void SetCursorHidden(bool hidden) override;
  void DoubleClick() override;
  void RightButtonDown(Point screen) override;
  void PlayList(const std::vector<std::string>& lines) override;
  void Pause() override;
  void Resume() override;
  void Seek(int positionMs) override;
  void SetVolume(int level) override;
  void StopMovie() override;
  std::uint8_t ServerType() const override;
  void SetServerType(std::uint8_t type) override;
  int Duration() const override;
  void SetDuration(int ms) override;
  int MediaWidth() const override;
  int MediaHeight() const override;
  int DownSpeed() const override;
  bool ListLoaded() const override;

 private:
  std::unique_ptr<TFlashMediaPlayer> movie_;
};

class MovieFlashEnvironment final : public FlashEnvironment {
 public:
  // `moduleFolder` holds the movie and the resolver library; `registry` names the Flash class.
  MovieFlashEnvironment(platform::EventLoop& loop, std::filesystem::path moduleFolder,
                        platform::Registry registry);

  // The message box of a movie that refuses its list; unassigned: nothing is shown.
  std::function<void(const std::string& message)> ShowMessage;

  bool FlashClassRegistered() override;
  std::unique_ptr<FlashBridge> CreateBridge(std::uintptr_t window) override;
  void PrepareWebPage(FlashBridge& bridge, const std::string& pageUrl) override;
  std::shared_ptr<VideoResolver> CreateResolver() override;
  void PlaySegmentLink(FlashBridge& bridge, const std::string& address) override;

 private:
  platform::EventLoop& loop_;
  std::filesystem::path moduleFolder_;
  platform::Registry registry_;
  std::optional<ResolverLibrary> resolver_;
};

}  // namespace nivra::player
