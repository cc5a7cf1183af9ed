#include "app/playback_wiring.h"

#include <algorithm>
#include <cstdio>

#include "platform/debug_output.h"
#include "platform/text.h"

namespace nivra::app {

using player::psPause;
using player::psPlay;
using player::psStop;

void PlaybackWiring::TopMostOnPlay() {
  if (view_.TopMostOnPlayChecked()) view_.ActTopMostOnPlay();
}

// The pre-roll page when it is not up yet: the pause page with its count-down until the
// count-down has ended once for this item, the buffering page after that.
void PlaybackWiring::ShowPreRollPage() {
  if (view_.AdPageShowing()) return;
  view_.ShowAdPage(adDone_ ? kBufferingPage : kPausePage, kAdPageWidth, kAdPageHeight, kAdPageMs);
}

void PlaybackWiring::OnPlayStateChange(player::TPlayState state) {
  switch (state) {
    case psStop:
      platform::debugOutput("psStop");
      view_.SetPlayButton(kPlayButtonIdle);
      TopMostOnPlay();
      view_.SetSeekPosition(0);
      view_.SetSeekEnabled(false);
      view_.SetTimeText(kTimeIdle);
      view_.SetSpeedText(kSpeedStopped);
      if (view_.LibraryPanelExists()) view_.SetPlayingTitle({});
      view_.SetCaption(kCaptionIdle);
      view_.HideAdPage();
      adDone_ = false;
      break;
    case psPlay: {
      view_.SetPlayButton(kPlayButtonPlaying);
      TopMostOnPlay();
      view_.SetSeekEnabled(true);
      dragging_ = false;
      view_.PlayerSetVolume(view_.VolumeBarPosition());
      view_.PlayerSetMute(view_.MuteButtonShowsMuted());
      if (view_.LibraryPanelExists()) {
        std::string title = view_.PlayingTitle();
        if (title.empty()) title = view_.LinkName(view_.PlayerLastUrl());
        title = StripOwnExtension(title);
        if (title.empty()) title = view_.PlayerLastUrl();
        view_.SetPlayingTitle(title);
        view_.SetCaption(std::string(kCaptionPlaying) + title);
      }
      view_.FitWindowToMedia();
      if (adDone_) {
        view_.HideAdPage();
      } else {
        view_.PlayerPause();
        platform::debugOutput("PlayerPause");
      }
      view_.ActPagePlay();
      platform::debugOutput("Playerplay");
      break;
    }
    case psPause:
      view_.SetPlayButton(kPlayButtonIdle);
      TopMostOnPlay();
      if (view_.LibraryPanelExists())
        view_.SetCaption(std::string(kCaptionPaused) + view_.PlayingTitle());
      ShowPreRollPage();
      break;
  }
}

void PlaybackWiring::OnPlayPosition(std::int64_t durationMs, std::int64_t positionMs) {
  if (dragging_ || view_.PlayerState() != psPlay) return;
  view_.SetSeekBar(static_cast<int>(RoundToSeconds(durationMs)),
                   static_cast<int>(RoundToSeconds(positionMs)));
  view_.SetTimeText(FormatPlayTime(positionMs) + "/" + FormatPlayTime(durationMs));
  view_.HideAdPage();
}

void PlaybackWiring::OnPlayBuffing(int bufferPercent) {
  if (bufferPercent > 0) {
    view_.SetTimeText("正在缓冲..." + std::to_string(std::clamp(bufferPercent, 0, 100)) + "%");
  } else {
    view_.SetSpeedText(kSpeedConnecting);
    view_.SetTimeText(kTimeLoading);
  }
  if (view_.AdPageShowing()) return;
  if (!adDone_) {
    view_.PlayerPause();
    ShowPreRollPage();
    platform::debugOutput("PlayerPause2");
  } else {
    ShowPreRollPage();
  }
}

void PlaybackWiring::OnPlayEnd() {
  platform::debugOutput("Player1PlayEnd");
  view_.ActNext();
}

void PlaybackWiring::OnPlayStop() { platform::debugOutput("Player1PlayStop"); }

void PlaybackWiring::OnPlayError(int code, std::string_view text) {
  Stop();
  if (code == player::kErrorNoMediaSource) {
    view_.HideAdPage();
    // The dialog is modal: it runs after the player's callback has returned, and the updater
    // starts once it is closed.
    loop_.post([&view = view_] {
      view.ShowError(kDecoderErrorText);
      view.StartUpdater({"/silent", "/postbbs"});
    });
  } else {
    loop_.post([&view = view_, message = std::string(text)] { view.ShowError(message); });
  }
}

void PlaybackWiring::Stop() {
  adDone_ = false;
  view_.HideAdPage();
  view_.PlayerStop();
  view_.ClearPlayingNode();
  view_.SetTimeText(kTimeIdle);
  view_.SetSpeedText(kSpeedStopped);
}

void PlaybackWiring::PlayPause() {
  switch (view_.PlayerState()) {
    case psStop: {
      view_.PlayerStop();
      const std::string last = view_.PlayerLastUrl();
      if (!last.empty()) view_.PlayerOpen(last);
      break;
    }
    case psPlay:
      view_.PlayerPause();
      break;
    case psPause:
      if (!adDone_) break;  // the count-down resumes by itself
      view_.HideAdPage();
      view_.PlayerPlay();
      break;
  }
}

void PlaybackWiring::SpaceKey() {
  if (view_.PlayerState() == psPlay)
    view_.PlayerPause();
  else if (view_.PlayerState() == psPause)
    view_.PlayerPlay();
}

void PlaybackWiring::SeekChanging(int positionSeconds) {
  if (!dragging_) view_.PlayerSeek(std::int64_t{positionSeconds} * 1000);
}

void PlaybackWiring::EndSeek(int positionSeconds) {
  view_.PlayerSeek(std::int64_t{positionSeconds} * 1000);
  dragging_ = false;
}

}  // namespace nivra::app
