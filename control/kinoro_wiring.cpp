#include "control/kinoro_wiring.h"

#include <algorithm>
#include <cstdio>

#include "platform/error.h"
#include "platform/text.h"
#include "player/links/url_link.h"

namespace nivra::control {

UrlVerdict CheckUrl(const std::string& text) {
  if (text::trim(text).empty()) return UrlVerdict::Ignore;
  if (player::GetLinkName(text).empty()) throw Error(std::string(kBadLinkError));
  return player::GetLinkKind(text) == player::kLinkFile ? UrlVerdict::FileLink : UrlVerdict::Open;
}

void KinoroWiring::PutUrl(const std::string& text) {
  switch (CheckUrl(text)) {
    case UrlVerdict::Ignore:
      break;
    case UrlVerdict::FileLink:
      view_.SetTimeText(kTimeBadLink);
      break;
    case UrlVerdict::Open:
      view_.PlayerOpen(text);
      break;
  }
}

void KinoroWiring::ShowAdPage(const std::string& page) {
  view_.ShowAdPage(page, view_.AdWidth(), view_.AdHeight(), kAdPageMs, adDone_);
}

void KinoroWiring::OnPlayStateChange(player::TPlayState state) {
  switch (state) {
    case player::psStop:
      view_.SetPlayButton(0);
      view_.SetSeekBar(0, 0);
      view_.SetSeekEnabled(false);
      view_.SetTimeText(kTimeIdle);
      view_.HideAdPage();
      adDone_ = false;
      break;
    case player::psPlay:
      view_.SetPlayButton(1);
      view_.SetSeekEnabled(true);
      dragging_ = false;
      // A new item pauses at once behind the count-down page (the pause comes back here).
      if (adDone_)
        view_.HideAdPage();
      else
        view_.PlayerPause();
      break;
    case player::psPause:
      view_.SetPlayButton(0);
      if (!view_.AdPageShowing()) ShowAdPage(adDone_ ? bufferingPage_ : pausePage_);
      break;
  }
}

void KinoroWiring::OnPlayPosition(std::int64_t durationMs, std::int64_t positionMs) {
  if (dragging_ || view_.PlayerState() != player::psPlay) return;
  view_.SetSeekBar(static_cast<int>(common::RoundToSeconds(durationMs)),
                   static_cast<int>(common::RoundToSeconds(positionMs)));
  const std::string time =
      common::FormatPlayTime(positionMs) + "/" + common::FormatPlayTime(durationMs);
  view_.SetTimeText(time);
  view_.SetSeekHint(time);
  view_.HideAdPage();
}

void KinoroWiring::OnPlayBuffing(int bufferDur) {
  if (bufferDur > 0) {
    const std::string text = "正在缓冲..." + std::to_string(std::clamp(bufferDur, 0, 100)) + "%";
    view_.SetTimeText(text);
    view_.SetSeekHint(text);
  } else {
    view_.SetSpeedText(kSpeedConnecting);
    view_.SetTimeText(kTimeLoading);
    view_.SetSeekHint(kTimeLoading);
  }
  if (view_.AdPageShowing()) return;
  if (adDone_) {
    ShowAdPage(bufferingPage_);
  } else {
    view_.PlayerPause();
    ShowAdPage(pausePage_);
  }
}

void KinoroWiring::OnPlayError(int code, std::string_view text) {
  ActStop();
  view_.ShowError("错误" + std::to_string(code) + ":" + std::string(text));
}

void KinoroWiring::OnFullChanging() {
  if (destroying_) return;
  if (view_.PlayerFullScreen()) {
    view_.SetFullCaption(kFullCaptionLeave);
    view_.EnterFullForm();
    return;
  }
  if (!view_.FullFormExists() || view_.FullFormShowing()) return;
  view_.SetFullCaption(kFullCaptionEnter);
  view_.LeaveFullForm();
  view_.PlayerSetCursorHidden(false);
}

void KinoroWiring::ActPlay() {
  switch (view_.PlayerState()) {
    case player::psStop: {
      const std::string last = view_.PlayerLastUrl();
      if (!last.empty()) view_.PlayerOpen(last);
      break;
    }
    case player::psPlay:
      view_.PlayerPause();
      break;
    case player::psPause:
      // While the count-down page runs, the button does nothing.
      if (adDone_) {
        view_.HideAdPage();
        view_.PlayerPlay();
      }
      break;
  }
}

void KinoroWiring::ActStop() {
  adDone_ = false;
  view_.HideAdPage();
  view_.PlayerStop();
  view_.SetTimeText(kTimeIdle);
  view_.SetSpeedText(kSpeedStopped);
}

void KinoroWiring::ActMute() {
  view_.PlayerSetMute(!view_.PlayerMute());
  const bool muted = view_.PlayerMute();
  view_.SetMuteChecked(muted);
  view_.SetMuteButton(muted ? 1 : 0);
}

void KinoroWiring::ActVolumeStep(int delta) {
  view_.PlayerSetVolume(view_.PlayerVolume() + delta);
  view_.SetVolumeBar(view_.PlayerVolume());
}

void KinoroWiring::ActChannel(int channel) {
  view_.PlayerSetAudioChannel(channel);
  view_.SetChannelChecked(channel);
}

void KinoroWiring::SeekChanging(int positionSeconds) {
  if (!dragging_) view_.PlayerSeek(positionSeconds * 1000);
}

void KinoroWiring::StatsTick(int bytesPerSecond) {
  if (auto text = common::SpeedLabelText(bytesPerSecond, view_.SpeedText()))
    view_.SetSpeedText(*text);
}

}  // namespace nivra::control
