#pragma once
// What the control form decides, as a procedure over its window so that it can be checked
// without a window or a player: the player's events as the bar's texts and buttons, the pre-roll
// pause of every new item behind the count-down page, the actions, the seek bar's drag mark, the
// speed label, the link check of the URL put and the full-screen switch. TKinoro implements
// KinoroView and forwards its player's events and its actions here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/play_text.h"
#include "player/player_types.h"

namespace nivra::control {

inline constexpr std::string_view kTimeIdle = "00:00/00:00";
inline constexpr std::string_view kTimeBadLink = "失效的地址!";
inline constexpr std::string_view kTimeLoading = "正在加载......";
using common::kSpeedConnecting;
using common::kSpeedStopped;
inline constexpr std::string_view kBadLinkError = "非法地址!";
inline constexpr std::string_view kFullCaptionEnter = "全屏播放";
inline constexpr std::string_view kFullCaptionLeave = "退出全屏";
inline constexpr int kAdPageMs = 15000;
inline constexpr int kVolumeStep = 5;

class KinoroView {
 public:
  virtual ~KinoroView() = default;

  // The bar.
  virtual void SetPlayButton(int stateImage) = 0;  // 0 play, 1 pause
  virtual void SetMuteButton(int stateImage) = 0;  // 0 sound, 1 muted
  virtual void SetSeekBar(int maxSeconds, int positionSeconds) = 0;
  virtual void SetSeekEnabled(bool on) = 0;
  virtual void SetSeekHint(std::string_view text) = 0;
  virtual void SetVolumeBar(int position) = 0;
  virtual void SetTimeText(std::string_view text) = 0;  // lblPlayPos
  virtual std::string SpeedText() const = 0;            // lblSpeed
  virtual void SetSpeedText(std::string_view text) = 0;

  // Action states.
  virtual void SetMuteChecked(bool on) = 0;
  virtual void SetChannelChecked(int channel) = 0;  // 0 stereo, 1 left, 2 right
  virtual void SetFullCaption(std::string_view caption) = 0;

  // The ad page over the picture (the count-down runs inside the view's overlay).
  virtual bool AdPageShowing() const = 0;  // exists and is visible
  virtual void ShowAdPage(const std::string& url, int width, int height, int countdownMs,
                          bool adDone) = 0;
  virtual void HideAdPage() = 0;
  virtual int AdWidth() const = 0;
  virtual int AdHeight() const = 0;

  // Full screen: the picture, the mask and the bar move into the full-screen window and back.
  virtual bool FullFormExists() const = 0;
  virtual bool FullFormShowing() const = 0;  // in the middle of being shown
  virtual void EnterFullForm() = 0;
  virtual void LeaveFullForm() = 0;

  // The error box, posted (never shown inside a player event).
  virtual void ShowError(std::string_view text) = 0;

  // The player.
  virtual player::TPlayState PlayerState() const = 0;
  virtual std::string PlayerLastUrl() const = 0;
  virtual void PlayerOpen(const std::string& link) = 0;
  virtual void PlayerPlay() = 0;
  virtual void PlayerPause() = 0;
  virtual void PlayerStop() = 0;
  virtual void PlayerSeek(int ms) = 0;
  virtual int PlayerVolume() const = 0;
  virtual void PlayerSetVolume(int volume) = 0;  // the player clamps
  virtual bool PlayerMute() const = 0;
  virtual void PlayerSetMute(bool mute) = 0;
  virtual void PlayerSetAudioChannel(int channel) = 0;
  virtual bool PlayerFullScreen() const = 0;
  virtual void PlayerSetFullScreen(bool on) = 0;
  virtual void PlayerSetCursorHidden(bool hidden) = 0;
};

// The check of a URL put: empty text is ignored, a text that is no named link throws
// "非法地址!", a "file" link is refused with a message, anything else is opened.
enum class UrlVerdict { Ignore, FileLink, Open };
UrlVerdict CheckUrl(const std::string& text);

class KinoroWiring {
 public:
  // `pausePage` and `bufferingPage` are the display server's control pages.
  KinoroWiring(KinoroView& view, std::string pausePage, std::string bufferingPage)
      : view_(view), pausePage_(std::move(pausePage)), bufferingPage_(std::move(bufferingPage)) {}

  // The URL put: empty text does nothing; a text that is no named link throws "非法地址!"; a
  // "file" link only shows "失效的地址!"; anything else is opened.
  void PutUrl(const std::string& text);

  // Player events.
  void OnPlayStateChange(player::TPlayState state);
  void OnPlayPosition(std::int64_t durationMs, std::int64_t positionMs);
  void OnPlayBuffing(int bufferDur);
  void OnPlayEnd() { view_.PlayerStop(); }
  void OnPlayError(int code, std::string_view text);
  void OnFullChanging();

  // Actions.
  void ActPlay();
  void ActStop();
  void ActMute();
  void ActFull() { view_.PlayerSetFullScreen(!view_.PlayerFullScreen()); }
  void ActVolumeStep(int delta);
  void ActChannel(int channel);

  // The bar's sliders.
  void BeginSeek() { dragging_ = true; }
  void EndSeek() { dragging_ = false; }
  void SeekChanging(int positionSeconds);
  void VolumeChanging(int position) { view_.PlayerSetVolume(position); }

  // The statistics timer's tick with the player's speed.
  void StatsTick(int bytesPerSecond);

  // The count-down ended: the rest of this item plays without it.
  void AdCountdownEnded() { adDone_ = true; }
  bool AdDone() const { return adDone_; }
  bool Dragging() const { return dragging_; }
  // The form is being destroyed: full-screen changes are ignored from now on.
  void SetDestroying() { destroying_ = true; }

 private:
  void ShowAdPage(const std::string& page);

  KinoroView& view_;
  std::string pausePage_;
  std::string bufferingPage_;
  bool adDone_ = false;
  bool dragging_ = false;
  bool destroying_ = false;
};

}  // namespace nivra::control
