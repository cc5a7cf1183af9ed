#pragma once
// Module FlashMediaPlayer: TFlashMediaPlayer, the bridge between the player control and the Flash
// movie "NVRFlash.swf". It hands the movie a list of media URLs through the "AddUrl" hand-shake,
// writes commands into movie variables ("statset", "SeekPos", "soundset") and reads the movie's
// state every 200 ms ("ErrorStr", "statstr", "AddUrl", "playstat", "PlayPos", ...), reporting to
// the player through OnPosition, OnState and OnError. GUI thread only.
//
// A callback may destroy the bridge (the player stops on an error or at the end); the bridge
// notices and touches nothing of itself afterwards.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/alive_token.h"
#include "platform/event_loop.h"
#include "player/flash_control.h"

namespace nivra::player {

// MovieState values.
inline constexpr std::uint8_t kMovieNormal = 0;
inline constexpr std::uint8_t kMoviePauseRequested = 2;
inline constexpr std::uint8_t kMovieEnded = 4;
inline constexpr std::uint8_t kMovieBuffering = 5;

// OnState codes.
inline constexpr int kFlashStatePlaying = 0;
inline constexpr int kFlashStatePaused = 2;
inline constexpr int kFlashStateResumed = 3;
inline constexpr int kFlashStateEnded = 4;
inline constexpr int kFlashStateBuffering = 5;
// OnError reports a movie error with kErrorFlashMovie (player_types.h).

inline constexpr int kFlashPollMs = 200;

class TFlashMediaPlayer final {
 public:
  // `movieFolder` holds "NVRFlash.swf" (the folder of the module that contains the player).
  // Sets the control's script access to "always" and scale mode to 3; the poll timer starts with
  // the first PlayList.
  TFlashMediaPlayer(platform::EventLoop& loop, std::unique_ptr<FlashControl> control,
                    std::filesystem::path movieFolder);
  ~TFlashMediaPlayer();
  TFlashMediaPlayer(const TFlashMediaPlayer&) = delete;
  TFlashMediaPlayer& operator=(const TFlashMediaPlayer&) = delete;

  // Shows the control, loads and starts the movie, announces ServerType, expands segment lists
  // (types 9, 10; `list` is rewritten then) and keeps the list for the movie's hand-shake. A
  // failing movie variable shows its message through ShowMessage and leaves ListLoaded false.
  void PlayList(std::vector<std::string>& list);
  void Pause();
  void Resume();
  void Seek(int ms);
  // Keeps the level; it reaches the movie only while it plays (and again when it starts).
  void SetVolume(int level);

  // Mouse input on the movie, forwarded by the window that shows it.
  void HandleDoubleClick();
  void HandleRightButtonDown(int screenX, int screenY);

  FlashControl& Control() { return *control_; }

  // Set by the player before PlayList.
  std::uint8_t ServerType = 0;
  std::string SegmentExt;
  // Milliseconds; from the player, the segment list or the movie.
  int Duration = 0;

  bool ListLoaded() const { return listLoaded_; }
  bool MoviePlaying() const { return moviePlaying_; }
  std::uint8_t MovieState() const { return movieState_; }
  int MediaWidth() const { return mediaWidth_; }
  int MediaHeight() const { return mediaHeight_; }
  int DownSpeed() const { return downSpeed_; }
  int VolumeLevel() const { return volume_; }
  // The text handed to the movie: the list's lines joined by CR LF, trimmed.
  const std::string& UrlListText() const { return urlListText_; }
  // The name written during the hand-shake (types 1, 2, 9, 10), else empty.
  const std::string& ServerTypeName() const { return serverTypeName_; }

  // Callbacks to the player, each only when assigned.
  std::function<void(int positionMs)> OnPosition;
  std::function<void(int state)> OnState;
  std::function<void(int code, const std::string& text)> OnError;
  std::function<void()> OnDoubleClick;
  // Opens the player's popup menu at a screen point; unassigned when it has none.
  std::function<void(int screenX, int screenY)> PopupMenu;
  // The message box of a failing PlayList.
  std::function<void(const std::string& message)> ShowMessage;
  // The pause after loading the movie; sleeps by default.
  std::function<void(int ms)> Wait;

 private:
  void poll();
  bool pollEnd();  // steps 1-3; false ends the poll
  void pollNotPlaying();
  void pollPlaying();
  void raiseState(int state);
  std::u16string read(std::u16string_view name);
  void write(std::u16string_view name, std::u16string_view value);
  void writeQuietly(std::u16string_view name, std::u16string_view value);

  platform::EventLoop& loop_;
  std::unique_ptr<FlashControl> control_;
  std::filesystem::path movieFolder_;
  platform::EventLoop::TimerId pollTimer_ = 0;
  std::string serverTypeName_;
  std::string urlListText_;
  std::u16string lastStatus_;
  bool listLoaded_ = false;
  bool moviePlaying_ = false;
  std::uint8_t movieState_ = kMovieNormal;
  int volume_ = 100;
  int mediaWidth_ = 0;
  int mediaHeight_ = 0;
  int downSpeed_ = 0;
  platform::AliveToken alive_;  // callbacks may destroy the player
};

}  // namespace nivra::player
