#pragma once
// Module Player: TPlayer, the playback control both deliverables embed. It classifies a source,
// runs the media-graph path (MediaGraph) or the Flash path (FlashBridge), keeps the play state,
// the position timer, volume, mute, channel and full screen, and answers only through its events.
// Qt-free: the window it lives in is a PlayerSurface (the Qt widget, or nothing when headless).
//
// GUI thread only, except that the graph's wake-up and the resolver's completion may come from
// other threads; both only post messages (WM_GRAPH_EVENT, WM_SOURCES_READY) to the control.
// Event handlers may call any operation, Stop and Open included; an operation interrupted that
// way does not continue with the source that was replaced.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/alive_token.h"
#include "platform/event_loop.h"
#include "platform/message.h"
#include "player/flash/watch_time.h"
#include "player/flash_bridge.h"
#include "player/media_graph.h"
#include "player/player_types.h"

namespace nivra::player {

// A window the control can be given as its parent.
struct ParentWindow {
  void* handle = nullptr;  // the host's own window object (a QWidget* for the Qt widget)
  WindowId window = 0;     // its native window
};

// The control's window as the logic sees it.
class PlayerSurface {
 public:
  virtual ~PlayerSurface() = default;
  virtual Size ClientSize() const = 0;
  virtual Size ScreenSize() const = 0;
  virtual Size ParentSize(const ParentWindow& parent) const = 0;
  // The control's native window; 0 when there is none.
  virtual WindowId NativeWindow() = 0;
  // A window without owner covering the screen, for the video in full screen when no host
  // arranges it (shown while `show`); returns its native window, 0 when there is none.
  virtual WindowId DetachedVideoWindow(bool show) = 0;
  virtual void Repaint() = 0;
  virtual void SetCursorHidden(bool hidden) = 0;
  virtual void SetAcceptDrops(bool accept) = 0;
  // Parent change of the Flash path: only the window moves to `parent`, no alignment, at (0, 0)
  // with the parent's size.
  virtual void ReparentWindowOnly(const ParentWindow& parent) = 0;
  virtual void SetAlignClient() = 0;
  // The ordinary parent change.
  virtual void Reparent(const ParentWindow& parent) = 0;
  // Opens the control's popup menu at a screen point; nothing when it has none.
  virtual void ShowPopupMenu(Point screen) = 0;
};

// A surface with no window: 320 by 240, nothing drawn (the headless player).
class HeadlessSurface final : public PlayerSurface {
 public:
  Size ClientSize() const override { return {320, 240}; }
  Size ScreenSize() const override { return {1920, 1080}; }
  Size ParentSize(const ParentWindow&) const override { return {320, 240}; }
  WindowId NativeWindow() override { return 0; }
  WindowId DetachedVideoWindow(bool) override { return 0; }
  void Repaint() override {}
  void SetCursorHidden(bool) override {}
  void SetAcceptDrops(bool) override {}
  void ReparentWindowOnly(const ParentWindow&) override {}
  void SetAlignClient() override {}
  void Reparent(const ParentWindow&) override {}
  void ShowPopupMenu(Point) override {}
};

// Keys the control reacts to.
enum class PlayerKey { Escape, Space, Other };

class TPlayer final : public platform::MessageTarget {
 public:
  // Interval of the position timer of the graph path.
  static constexpr int kPositionTimerMs = 180;

  // `graphs` makes one graph per build; `flash` may be null (the Flash path then reports that
  // Flash is not installed). Both `surface` and `flash` must outlive the control.
  TPlayer(platform::EventLoop& loop, PlayerSurface& surface, MediaGraphFactory graphs,
          FlashEnvironment* flash);
  ~TPlayer() override;

  // --- events (raised only when assigned) ---
  std::function<void(std::uint32_t duration, bool canSeek, bool& canPlay)> OnPlayOpen;
  std::function<void()> OnPlayStop;
  std::function<void(TPlayState state)> OnPlayStateChange;
  std::function<void()> OnPlayEnd;
  std::function<void(int code, const std::string& text)> OnPlayError;
  std::function<void()> OnFullChangeing;
  std::function<void(int bufferDur)> OnPlayBuffing;
  std::function<void(std::uint32_t duration, std::uint32_t position, std::uint32_t fileDownSet)>
      OnPlayPosition;
  // Writes the activity stamp (set by the host; the player does not know the application).
  std::function<void()> StampActive;

  // --- operations ---
  // Classifies and starts a source. Throws nivra::Error when the resolver library of a web page
  // cannot be loaded.
  void Open(const std::string& source);
  // Plays any text through the media graph.
  void OpenFile(const std::string& source);
  void Play();
  void Pause();
  void Stop();
  void Close() { Stop(); }
  void Seek(int positionMs);
  void SetVolume(int volume);
  void SetMute(bool mute);
  void SetAudioChannel(std::uint8_t mode);
  void SetFullScreen(bool fullScreen);
  void SetCursorHidden(bool hidden);
  void SetVideoMode(TVideoMode mode);
  void SetGraphEdit(bool on);
  void SetLinearVolume(bool on) { LinearVolume_ = on; }
  void SetDragFile(bool on);
  // The control's parent changed to `parent` (nullopt: no parent).
  void SetParent(std::optional<ParentWindow> parent);

  // --- input and window notices from the surface ---
  void KeyDown(PlayerKey key);
  // Toggles full screen (the surface then does its ordinary double-click handling).
  void DoubleClick();
  // The Flash movie shows at this point of the control's window: on the Flash path, once the
  // movie is visible, inside the bounds it was last given. The movie takes the mouse there.
  bool MovieAt(Point client) const;
  // A left double click at a point: on the movie it goes to the bridge (whose OnDoubleClick
  // toggles full screen), elsewhere it is DoubleClick.
  void MouseDoubleClick(Point client);
  // A right button down at a point: on the movie the bridge opens the popup menu at `screen`
  // and the press is taken (true); elsewhere false.
  bool RightButtonDown(Point client, Point screen);
  // Focus loss; leaves full screen.
  void FocusLost();
  // Files dropped on the control; ignored unless DragFile. The first path is opened, cut to
  // kDroppedPathCharacters characters.
  static constexpr std::size_t kDroppedPathCharacters = 259;
  void DropFiles(const std::vector<std::string>& paths);
  void Resized();
  // The control's window needs drawing: true when a video covers it (it was redrawn), false when
  // the surface paints the background and logo.
  bool ExposeVideo();

  // --- properties ---
  TPlayState PlayState() const { return PlayState_; }
  std::uint8_t MediaKind() const { return MediaKind_; }
  bool Opened() const { return Opened_; }
  // The graph path is waiting for its source to become ready (a slow server): OnPlayOpen, or the
  // render error, follows; Play and Pause wait for it, Stop cancels it.
  bool OpenPending() const { return renderPending_; }
  std::uint8_t LoadState() const { return LoadState_; }
  const std::string& FileName() const { return FileName_; }
  const std::string& LastUrl() const { return LastUrl_; }
  const std::string& URL() const { return URL_; }
  std::uint32_t Duration() const { return Duration_; }
  bool CanSeek() const { return CanSeek_; }
  bool HasVideo() const { return HasVideo_; }
  bool FullScreen() const { return FullScreen_; }
  bool Mute() const { return Mute_; }
  std::uint8_t AudioChannel() const { return AudioChannel_; }
  int Volume() const { return Volume_; }
  TVideoMode VideoMode() const { return VideoMode_; }
  bool GraphEdit() const { return GraphEdit_; }
  bool LinearVolume() const { return LinearVolume_; }
  bool DragFile() const { return DragFile_; }
  std::uint32_t WatchedMs() const { return watch_.WatchedMs(); }
  bool WatchStamped() const { return watch_.WatchStamped(); }
  // Current position in ms on the graph path; 0 otherwise.
  std::uint32_t Position();
  int MediaWidth();
  int MediaHeight();
  // Download speed of the Flash movie; 0 without a bridge.
  int Speed() const;
  bool PositionTimerRunning() const { return positionTimer_ != 0; }

  std::intptr_t handleMessage(const platform::Message& msg) override;

 private:
  // The resolver's completion may run on another thread: it meets the control here, under the
  // lock, and only while the control still holds that very resolver. Every release of a resolver
  // moves `serial` on; WM_SOURCES_READY carries the serial of the resolver that posted it, so a
  // message of an earlier page still in the queue is told apart.
  struct ResolverLink {
    std::mutex mutex;
    TPlayer* owner = nullptr;
    const VideoResolver* current = nullptr;
    std::intptr_t serial = 0;
    std::string text;
    std::uint32_t durationMs = 0;
  };

  // OpenFile; false when an event handler replaced or stopped the source meanwhile.
  bool OpenFileInternal(const std::string& source);
  void SetPlayState(TPlayState state);
  // Play and Pause: the state (with its event), then the graph or the bridge.
  void ChangeRunState(TPlayState target);
  void RaiseError(int code, const std::string& text);
  void StartPositionTimer();
  void KillPositionTimer();
  void PositionTick();
  void Layout();

  // graph path
  bool BuildGraph();
  bool OpenGraph(const std::string& source);
  // The rest of the open once the source is rendered; false when a handler moved on.
  bool FinishOpenGraph();
  void RenderFinished(bool ok);
  void RunGraph();
  void TeardownGraph();
  void LayoutVideo(bool styles, bool owner);
  void ApplyVolume();
  void HandleGraphEvents();

  // Flash path
  bool EnsureFlash();
  bool FlashVersionOk();
  void OpenWebPage();
  void OpenSegmentLink(const std::string& address);
  void ReleaseResolver();
  void RetireBridge();
  void HandleSourcesReady(std::intptr_t serial);
  void FlashLayout();
  void AccountWatchTime();
  FlashBridgeCallbacks BridgeCallbacks();

  platform::EventLoop& loop_;
  PlayerSurface& surface_;
  MediaGraphFactory graphs_;
  FlashEnvironment* flash_;

  TPlayState PlayState_ = psStop;
  std::uint8_t MediaKind_ = kMediaNone;
  bool Opened_ = false;
  std::uint8_t LoadState_ = kLoadIdle;
  std::string FileName_;
  std::string LastUrl_;
  std::string URL_;
  std::uint32_t Duration_ = 0;
  bool CanSeek_ = false;
  bool HasVideo_ = false;
  bool FullScreen_ = false;
  bool Mute_ = false;
  std::uint8_t AudioChannel_ = 0;
  int Volume_ = 100;
  TVideoMode VideoMode_ = vmVMR;
  bool GraphEdit_ = false;
  bool LinearVolume_ = true;
  bool DragFile_ = true;
  std::optional<ParentWindow> HostParent_;
  WatchTimeCounter watch_;
  bool destroying_ = false;

  // Counts Stop calls (every change of source passes through Stop); an operation that raised an
  // event goes on only while the count is unchanged.
  std::uint64_t epoch_ = 0;
  platform::EventLoop::TimerId positionTimer_ = 0;

  // media graph and the parts obtained from it
  std::unique_ptr<MediaGraph> graph_;
  bool graphRegistered_ = false;
  bool hasVideoWindow_ = false;
  bool hasControl_ = false;
  bool hasEvents_ = false;
  bool hasSeeking_ = false;
  bool hasBasicAudio_ = false;
  bool hasBasicVideo_ = false;
  bool renderPending_ = false;

  // Flash path
  std::unique_ptr<FlashBridge> bridge_;
  std::uint64_t bridgeGeneration_ = 0;
  // Bridges stopped from inside their own callbacks are destroyed on the next loop turn.
  std::vector<std::unique_ptr<FlashBridge>> retiredBridges_;
  // The bounds the movie was last given (empty until the first Flash layout).
  Rect movieBounds_;
  std::shared_ptr<VideoResolver> resolver_;
  std::shared_ptr<ResolverLink> resolverLink_;
  std::string ResolverText_;
  std::uint32_t ResolverDuration_ = 0;
  platform::AliveToken alive_;
};

}  // namespace nivra::player
