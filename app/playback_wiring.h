#pragma once
// Turning the player's events into what the main window shows (caption, time and speed labels,
// seek bar, play button, pre-roll page), as a procedure over the window so that it can be
// checked without a window or a player. The main window implements PlaybackView and forwards
// the player's events to a PlaybackWiring.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/play_text.h"
#include "platform/event_loop.h"
#include "player/player_types.h"

namespace nivra::app {

// Addresses of the pre-roll pages on the display server and their size and length.
inline constexpr std::string_view kPausePage = "/zanting.html";
inline constexpr std::string_view kBufferingPage = "/huanchong.html";
inline constexpr int kAdPageWidth = 480;
inline constexpr int kAdPageHeight = 360;
inline constexpr int kAdPageMs = 15000;

inline constexpr std::string_view kCaptionIdle = "Nivra";
inline constexpr std::string_view kCaptionPlaying = "[正在播放] ";
inline constexpr std::string_view kCaptionPaused = "[暂停] ";
inline constexpr std::string_view kTimeIdle = "00:00/00:00";
using common::kSpeedConnecting;
using common::kSpeedStopped;
inline constexpr std::string_view kTimeLoading = "正在加载......";
inline constexpr std::string_view kDecoderErrorText =
    "您播放器不支持此电影解码，请更新播放器观看！";

// Play button state images.
inline constexpr int kPlayButtonIdle = 0;
inline constexpr int kPlayButtonPlaying = 1;

class PlaybackView {
 public:
  virtual ~PlaybackView() = default;

  // Display.
  virtual void SetCaption(std::string_view text) = 0;    // also the application title
  virtual void SetTimeText(std::string_view text) = 0;   // lblPlayPos
  virtual void SetSpeedText(std::string_view text) = 0;  // lblSpeed
  virtual void SetPlayButton(int stateImage) = 0;
  virtual void SetSeekBar(int maxSeconds, int positionSeconds) = 0;
  virtual void SetSeekPosition(int positionSeconds) = 0;
  virtual void SetSeekEnabled(bool on) = 0;
  virtual int VolumeBarPosition() const = 0;
  virtual bool MuteButtonShowsMuted() const = 0;  // btnMute shows state image 0

  // Commands and window state.
  virtual bool TopMostOnPlayChecked() const = 0;
  virtual void ActTopMostOnPlay() = 0;
  virtual void ActPagePlay() = 0;
  virtual void ActNext() = 0;
  virtual void FitWindowToMedia() = 0;  // the scale setting; resizes only in window-fits-video mode

  // The library panel's item title and list node.
  virtual bool LibraryPanelExists() const = 0;  // exists and is not being destroyed
  virtual std::string PlayingTitle() const = 0;
  virtual void SetPlayingTitle(std::string title) = 0;
  virtual void ClearPlayingNode() = 0;
  virtual std::string LinkName(std::string_view link) const = 0;

  // The pre-roll overlay.
  virtual bool AdPageShowing() const = 0;  // exists and is visible
  virtual void ShowAdPage(std::string_view page, int width, int height, int countdownMs) = 0;
  virtual void HideAdPage() = 0;

  // Dialogs and the updater; the wiring posts these, never runs them inside a player event.
  virtual void ShowError(std::string_view text) = 0;
  virtual void StartUpdater(const std::vector<std::string>& arguments) = 0;

  // The player.
  virtual player::TPlayState PlayerState() const = 0;
  virtual std::string PlayerLastUrl() const = 0;
  virtual void PlayerStop() = 0;
  virtual void PlayerPause() = 0;
  virtual void PlayerPlay() = 0;  // also resumes
  virtual void PlayerOpen(std::string_view item) = 0;
  virtual void PlayerSetVolume(int volume) = 0;
  virtual void PlayerSetMute(bool mute) = 0;
  virtual void PlayerSeek(std::int64_t ms) = 0;
};

using common::FormatPlayTime;
using common::RoundToSeconds;
using common::SpeedLabelText;
using common::StripOwnExtension;

class PlaybackWiring {
 public:
  PlaybackWiring(PlaybackView& view, platform::EventLoop& loop) : view_(view), loop_(loop) {}

  // Player events.
  void OnPlayStateChange(player::TPlayState state);
  void OnPlayPosition(std::int64_t durationMs, std::int64_t positionMs);
  void OnPlayBuffing(int bufferPercent);
  void OnPlayEnd();
  void OnPlayStop();
  void OnPlayError(int code, std::string_view text);

  // Act_Stop (and WM_STOP_PLAYBACK).
  void Stop();
  // Act_Play, the play button: reopens the last item when stopped, pauses when playing, and
  // resumes a pause only once the pre-roll count-down has ended.
  void PlayPause();
  // The Space key: pauses when playing, resumes when paused. During the pre-roll count-down the
  // resume is taken back by the next play state (the item pauses again), as for any play.
  void SpaceKey();
  // The pre-roll count-down ended: from now on this item plays without the pause page.
  void AdCountdownEnded() { adDone_ = true; }
  bool AdDone() const { return adDone_; }

  // The seek bar.
  void BeginSeek() { dragging_ = true; }
  void SeekChanging(int positionSeconds);
  void EndSeek(int positionSeconds);
  bool Dragging() const { return dragging_; }

 private:
  void TopMostOnPlay();
  void ShowPreRollPage();

  PlaybackView& view_;
  platform::EventLoop& loop_;
  bool adDone_ = false;
  bool dragging_ = false;
};

}  // namespace nivra::app
