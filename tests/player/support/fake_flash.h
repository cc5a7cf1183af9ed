#pragma once
// Fakes of the Flash path: a bridge that records what the control asks of it and lets the test
// send its notices, a resolver whose completion the test triggers (from any thread), and the
// environment that makes them.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "player/flash_bridge.h"

namespace nivra::player::test {

class FakeFlashEnvironment;

class FakeFlashBridge final : public FlashBridge {
 public:
  explicit FakeFlashBridge(FakeFlashEnvironment& env);
  ~FakeFlashBridge() override;

  void SetCallbacks(FlashBridgeCallbacks callbacks) override { callbacks_ = std::move(callbacks); }
  std::uint32_t FlashVersion() override;
  void SetScaleMode(int mode) override { log("SetScaleMode " + std::to_string(mode)); }
  bool Visible() const override { return visible_; }
  void SetVisible(bool visible) override;
  void SetBounds(const Rect& bounds) override;
  void SetPositionRect(const Rect& bounds) override;
  void SetCursorHidden(bool hidden) override;
  // Like the movie: a double click raises OnDoubleClick, a right button down PopupMenu.
  void DoubleClick() override;
  void RightButtonDown(Point screen) override;
  void PlayList(const std::vector<std::string>& lines) override;
  void Pause() override { log("Pause"); }
  void Resume() override { log("Resume"); }
  void Seek(int positionMs) override { log("Seek " + std::to_string(positionMs)); }
  void SetVolume(int level) override { log("SetVolume " + std::to_string(level)); }
  void StopMovie() override { log("StopMovie"); }
  std::uint8_t ServerType() const override { return serverType_; }
  void SetServerType(std::uint8_t type) override { serverType_ = type; }
  int Duration() const override { return duration_; }
  void SetDuration(int ms) override;
  int MediaWidth() const override { return mediaWidth; }
  int MediaHeight() const override { return mediaHeight; }
  int DownSpeed() const override { return downSpeed; }
  bool ListLoaded() const override { return listLoaded_; }

  // Notices as the movie poll would send them.
  void position(int ms) {
    if (callbacks_.OnPosition) callbacks_.OnPosition(ms);
  }
  void state(int code) {
    if (callbacks_.OnState) callbacks_.OnState(code);
  }
  void error(int code, const std::string& text) {
    if (callbacks_.OnError) callbacks_.OnError(code, text);
  }
  void doubleClick() {
    if (callbacks_.OnDoubleClick) callbacks_.OnDoubleClick();
  }

  int mediaWidth = 0;
  int mediaHeight = 0;
  int downSpeed = 0;
  std::vector<std::string> playList;
  Rect bounds;
  Rect positionRect;

 private:
  void log(std::string call);
  FakeFlashEnvironment& env_;
  FlashBridgeCallbacks callbacks_;
  bool visible_ = true;
  bool listLoaded_ = false;
  std::uint8_t serverType_ = 0;
  int duration_ = 0;
};

class FakeResolver final : public VideoResolver {
 public:
  void SetCompletion(std::function<void()> done) override { done_ = std::move(done); }
  void Start(const std::string& pageUrl) override { started = pageUrl; }
  std::string SourceList() override { return sources; }
  double DurationSeconds() override { return seconds; }
  // The resolver finished (call from any thread).
  void complete() {
    if (done_) done_();
  }

  std::string started;
  std::string sources;
  double seconds = 0;

 private:
  std::function<void()> done_;
};

class FakeFlashEnvironment final : public FlashEnvironment {
 public:
  bool FlashClassRegistered() override { return registered; }
  // Logs "CreateBridge WINDOW".
  std::unique_ptr<FlashBridge> CreateBridge(std::uintptr_t window) override;
  void PrepareWebPage(FlashBridge& bridge, const std::string& pageUrl) override;
  std::shared_ptr<VideoResolver> CreateResolver() override;
  void PlaySegmentLink(FlashBridge& bridge, const std::string& address) override;

  bool registered = true;
  std::uint32_t version = 10u << 16;
  std::string libraryError;  // non-empty: PrepareWebPage throws nivra::Error with it
  std::uint8_t serverType = 1;

  std::vector<std::string> calls;
  FakeFlashBridge* bridge = nullptr;  // the live bridge, if any
  int bridgesMade = 0;
  int bridgesDestroyed = 0;
  std::shared_ptr<FakeResolver> resolver;  // the last one made
};

}  // namespace nivra::player::test
