#include "player/player.h"

#include <cmath>

#include "platform/messages.h"
#include "platform/text.h"
#include "player/links/url_link.h"
#include "player/player_arithmetic.h"

namespace nivra::player {

TPlayer::TPlayer(platform::EventLoop& loop, PlayerSurface& surface, MediaGraphFactory graphs,
                 FlashEnvironment* flash)
    : MessageTarget(loop),
      loop_(loop),
      surface_(surface),
      graphs_(std::move(graphs)),
      flash_(flash),
      resolverLink_(std::make_shared<ResolverLink>()) {
  resolverLink_->owner = this;
}

TPlayer::~TPlayer() {
  destroying_ = true;
  {
    std::lock_guard lock(resolverLink_->mutex);
    resolverLink_->owner = nullptr;
    resolverLink_->current = nullptr;
  }
  KillPositionTimer();
  if (bridge_) {
    bridge_->StopMovie();
    resolver_.reset();
    bridge_.reset();
  }
  retiredBridges_.clear();
  TeardownGraph();
}

// ---------------------------------------------------------------- state and events

void TPlayer::SetPlayState(TPlayState state) {
  if (PlayState_ == state) return;
  PlayState_ = state;
  if (!destroying_ && OnPlayStateChange) OnPlayStateChange(state);
}

void TPlayer::RaiseError(int code, const std::string& text) {
  if (!destroying_ && OnPlayError) OnPlayError(code, text);
}

void TPlayer::StartPositionTimer() {
  KillPositionTimer();
  positionTimer_ = loop_.startTimer(kPositionTimerMs, [this] { PositionTick(); });
}

void TPlayer::KillPositionTimer() {
  if (positionTimer_ != 0) loop_.killTimer(positionTimer_);
  positionTimer_ = 0;
}

void TPlayer::PositionTick() {
  // Positions start with the open event.
  if (renderPending_) return;
  const auto epoch = epoch_;
  if (OnPlayPosition) OnPlayPosition(Duration_, Position(), 0);
  if (epoch != epoch_) return;
  const auto position = Position();
  if (position != 0 && position == Duration_ && OnPlayEnd) OnPlayEnd();
}

std::intptr_t TPlayer::handleMessage(const platform::Message& msg) {
  if (msg.id == platform::WM_GRAPH_EVENT) {
    HandleGraphEvents();
  } else if (msg.id == platform::WM_SOURCES_READY) {
    HandleSourcesReady(msg.wParam);
  }
  return 0;
}

// ---------------------------------------------------------------- operations

void TPlayer::Open(const std::string& source) {
  if (StampActive) StampActive();
  Stop();
  LastUrl_ = source;
  if (source.empty()) return;
  if (text::startsWithNoCase(source, "HTTP")) {
    MediaKind_ = kMediaFlash;
    URL_ = source;
    Opened_ = true;
    OpenWebPage();
    return;
  }
  if (text::startsWithNoCase(source, "NIVRA:")) {
    auto link = TEd2kLinkManager::Decode(source);
    if (!link) return;
    if (link->Kind == kLinkVideo || link->Kind == kLinkNvswf) {
      MediaKind_ = kMediaFlash;
      URL_ = link->Address;
      Opened_ = true;
      if (link->Kind == kLinkVideo) {
        OpenWebPage();
      } else {
        OpenSegmentLink(link->Address);
      }
    }
    return;
  }
  MediaKind_ = kMediaGraph;
  // A handler that replaced the source meanwhile keeps its own timer.
  if (OpenFileInternal(source)) StartPositionTimer();
}

void TPlayer::OpenFile(const std::string& source) { OpenFileInternal(source); }

bool TPlayer::OpenFileInternal(const std::string& source) {
  Stop();
  const auto epoch = epoch_;
  StartPositionTimer();
  URL_.clear();
  LoadState_ = kLoadIdle;
  MediaKind_ = kMediaGraph;
  FileName_ = source;
  OpenGraph(FileName_);
  return epoch == epoch_;
}

void TPlayer::Play() { ChangeRunState(psPlay); }

void TPlayer::Pause() { ChangeRunState(psPause); }

void TPlayer::ChangeRunState(TPlayState target) {
  const auto epoch = epoch_;
  const bool play = target == psPlay;
  if (MediaKind_ == kMediaGraph) {
    if (!Opened_ || !graph_ || !hasControl_ || renderPending_) return;
    SetPlayState(target);
    // A handler that paused, resumed or stopped meanwhile decided otherwise.
    if (epoch != epoch_ || PlayState_ != target || !graph_) return;
    if (play) {
      graph_->run();
    } else {
      graph_->pause();
    }
  } else if (MediaKind_ == kMediaFlash) {
    if (bridge_) {
      if (play) {
        bridge_->Resume();
      } else {
        bridge_->Pause();
      }
    }
    SetPlayState(target);
  }
}

void TPlayer::Stop() {
  const auto epoch = ++epoch_;
  if (MediaKind_ == kMediaGraph) {
    LoadState_ = kLoadIdle;
    TeardownGraph();
    if (epoch != epoch_) return;
    if (OnPlayStop && !destroying_) OnPlayStop();
    if (epoch != epoch_) return;
    surface_.Repaint();
    KillPositionTimer();
  } else if (MediaKind_ == kMediaFlash) {
    if (bridge_) bridge_->StopMovie();
    ReleaseResolver();
    RetireBridge();
    Opened_ = false;
    SetPlayState(psStop);
    if (epoch != epoch_) return;
  }
  MediaKind_ = kMediaNone;
  KillPositionTimer();
}

void TPlayer::Seek(int positionMs) {
  if (MediaKind_ == kMediaGraph) {
    if (!Opened_ || !graph_ || !hasSeeking_ || !CanSeek_ || renderPending_) return;
    const std::int64_t target = positionMs < 0 ? 0 : positionMs;
    graph_->setPositions(target * 10000, std::int64_t{Duration_} * 10000);
  } else if (MediaKind_ == kMediaFlash && bridge_) {
    bridge_->Seek(positionMs);
  }
}

void TPlayer::SetVolume(int volume) {
  Volume_ = ClampVolume(volume);
  ApplyVolume();
}

void TPlayer::SetMute(bool mute) {
  if (mute == Mute_) return;
  Mute_ = mute;
  SetVolume(Volume_);
}

void TPlayer::ApplyVolume() {
  if (MediaKind_ == kMediaGraph) {
    if (graph_ && hasBasicAudio_) graph_->setVolume(GraphVolumeLevel(Volume_, Mute_, LinearVolume_));
  } else if (bridge_ && Opened_) {
    bridge_->SetVolume(Mute_ ? 0 : Volume_);
  }
}

void TPlayer::SetAudioChannel(std::uint8_t mode) {
  AudioChannel_ = mode;
  if (Opened_ && graph_ && graph_->hasAudioFilter()) graph_->setAudioChannel(mode);
}

void TPlayer::SetFullScreen(bool fullScreen) {
  const bool changed = fullScreen != FullScreen_;
  const bool proceed = (HasVideo_ && changed && MediaKind_ == kMediaGraph) ||
                       (Opened_ && MediaKind_ == kMediaFlash && changed) ||
                       MediaKind_ == kMediaNone;
  if (!proceed) return;
  FullScreen_ = fullScreen;
  if (OnFullChangeing) {
    OnFullChangeing();
  } else {
    Layout();
  }
}

void TPlayer::SetCursorHidden(bool hidden) {
  if (MediaKind_ == kMediaFlash) {
    if (bridge_) bridge_->SetCursorHidden(hidden);
  } else if (Opened_ && HasVideo_) {
    // The picture is drawn inside the control's own window, so its cursor is the video's.
    surface_.SetCursorHidden(hidden);
  }
}

void TPlayer::SetVideoMode(TVideoMode mode) {
  if (MediaKind_ != kMediaGraph || mode == VideoMode_) return;
  if (mode == vmVMR) {
    auto probe = graphs_ ? graphs_() : nullptr;
    if (!probe || !probe->probeMixingRenderer()) mode = vmNormal;
  }
  VideoMode_ = mode;
}

void TPlayer::SetGraphEdit(bool on) {
  if (on == GraphEdit_) return;
  GraphEdit_ = on;
  if (!graph_) return;
  if (on && !graphRegistered_) {
    graphRegistered_ = graph_->registerForInspector();
  } else if (!on && graphRegistered_) {
    graph_->unregisterFromInspector();
    graphRegistered_ = false;
  }
}

void TPlayer::SetDragFile(bool on) {
  if (on == DragFile_) return;
  DragFile_ = on;
  surface_.SetAcceptDrops(on);
}

void TPlayer::SetParent(std::optional<ParentWindow> parent) {
  if (MediaKind_ == kMediaFlash) {
    if (!parent) return;
    surface_.ReparentWindowOnly(*parent);
    HostParent_ = parent;
    Layout();
    return;
  }
  surface_.SetAlignClient();
  if (!parent) return;
  if (Opened_ && HasVideo_ && graph_ && hasVideoWindow_) graph_->attachVideoWindow(parent->window);
  surface_.Reparent(*parent);
  HostParent_ = parent;
  if (MediaKind_ == kMediaGraph) {
    LayoutVideo(true, true);
  } else {
    Layout();
  }
  if (positionTimer_ != 0) StartPositionTimer();
}

// ---------------------------------------------------------------- input

void TPlayer::KeyDown(PlayerKey key) {
  if (key == PlayerKey::Escape) {
    if (FullScreen_ && Opened_) SetFullScreen(false);
  } else if (key == PlayerKey::Space) {
    if (PlayState_ == psPlay) {
      Pause();
    } else if (PlayState_ == psPause) {
      Play();
    }
  }
}

void TPlayer::DoubleClick() { SetFullScreen(!FullScreen_); }

void TPlayer::FocusLost() {
  if (FullScreen_) SetFullScreen(false);
}

void TPlayer::DropFiles(const std::vector<std::string>& paths) {
  if (!DragFile_ || paths.empty()) return;
  const std::string path(FirstCharacters(paths.front(), kDroppedPathCharacters));
  LoadState_ = kLoadIdle;
  Open(path);
}

void TPlayer::Resized() { Layout(); }

bool TPlayer::ExposeVideo() {
  if (MediaKind_ != kMediaGraph || !Opened_ || !HasVideo_ || !graph_ || !hasVideoWindow_) {
    return false;
  }
  graph_->exposeVideo();
  return true;
}

// ---------------------------------------------------------------- queries

std::uint32_t TPlayer::Position() {
  if (!Opened_ || !graph_ || !hasSeeking_) return 0;
  const auto position = graph_->currentPosition();
  if (!position || *position < 0) return 0;
  return static_cast<std::uint32_t>(*position / 10000);
}

int TPlayer::MediaWidth() {
  if (MediaKind_ == kMediaGraph && graph_ && hasBasicVideo_ && HasVideo_) {
    return graph_->videoSize().width;
  }
  if (MediaKind_ == kMediaFlash && bridge_) return bridge_->MediaWidth();
  return 0;
}

int TPlayer::MediaHeight() {
  if (MediaKind_ == kMediaGraph && graph_ && hasBasicVideo_ && HasVideo_) {
    return graph_->videoSize().height;
  }
  if (MediaKind_ == kMediaFlash && bridge_) return bridge_->MediaHeight();
  return 0;
}

int TPlayer::Speed() const { return bridge_ ? bridge_->DownSpeed() : 0; }

void TPlayer::Layout() {
  if (MediaKind_ == kMediaFlash) {
    FlashLayout();
  } else if (MediaKind_ == kMediaGraph) {
    LayoutVideo(false, true);
  }
}

}  // namespace nivra::player
