// TPlayer: the media-graph path (build, open, layout, events, teardown).
//
// The file-sharing override of the original platform is not needed here: POSIX opens have no
// share modes, so install and removal are no-ops.

#include "platform/messages.h"
#include "player/player.h"

namespace nivra::player {

bool TPlayer::BuildGraph() {
  const auto epoch = epoch_;
  graph_ = graphs_ ? graphs_() : nullptr;
  if (!graph_) {
    RaiseError(kErrorGraphCreate, "no media framework");
    return false;
  }
  auto failed = [&](int code, const GraphStatus& status) {
    RaiseError(code, status.errorText);
    return false;
  };
  if (auto st = graph_->createGraph(); !st.ok) return failed(kErrorGraphCreate, st);
  if (GraphEdit_) graphRegistered_ = graph_->registerForInspector();
  TVideoMode mode = VideoMode_;
  auto rendererStatus = graph_->createRenderer(mode);
  VideoMode_ = mode;
  if (!rendererStatus.ok) return failed(kErrorRenderer, rendererStatus);
  if (auto st = graph_->acquireVideoWindow(surface_.NativeWindow()); !st.ok) {
    return failed(kErrorRenderer, st);
  }
  hasVideoWindow_ = true;
  struct Step {
    GraphInterface which;
    bool* flag;
  };
  const Step steps[] = {{GraphInterface::Control, &hasControl_},
                        {GraphInterface::Events, &hasEvents_},
                        {GraphInterface::Seeking, &hasSeeking_},
                        {GraphInterface::BasicAudio, &hasBasicAudio_},
                        {GraphInterface::BasicVideo, &hasBasicVideo_}};
  for (const auto& step : steps) {
    if (auto st = graph_->acquire(step.which); !st.ok) {
      return failed(static_cast<int>(step.which), st);
    }
    *step.flag = true;
  }
  // The wake-up only posts; TeardownGraph directs it nowhere before the control goes away.
  graph_->setNotify([this] { postMessage({platform::WM_GRAPH_EVENT, 0, 0}); });
  graph_->addRenderer("Video Render");
  // The filter takes the channel mode before any sound reaches it: the framework may process
  // the first second of a source while rendering it.
  if (graph_->addAudioFilter("Audio Filter")) graph_->setAudioChannel(AudioChannel_);
  return epoch == epoch_;
}

bool TPlayer::OpenGraph(const std::string& source) {
  const auto epoch = epoch_;
  SetPlayState(psStop);
  if (epoch != epoch_) return false;
  if (Opened_) TeardownGraph();
  if (epoch != epoch_) return false;
  Opened_ = BuildGraph();
  if (!Opened_ || epoch != epoch_) return false;

  graph_->extendCodecSearchPath();
  const auto st = graph_->render(source);
  if (!st.ok) {
    if (!IsSilentRenderFailure(source)) RaiseError(kErrorRender, st.errorText);
    return false;
  }
  if (st.pending) {
    // The window stays responsive while the source is read; the graph's event finishes the open.
    renderPending_ = true;
    return true;
  }
  return FinishOpenGraph();
}

void TPlayer::RenderFinished(bool ok) {
  renderPending_ = false;
  if (ok) {
    FinishOpenGraph();
  } else if (!IsSilentRenderFailure(FileName_)) {
    RaiseError(kErrorRender, graph_->renderError());
  }
}

bool TPlayer::FinishOpenGraph() {
  const auto epoch = epoch_;
  HasVideo_ = graph_->rendererConnected();
  if (!HasVideo_) {
    graph_->removeRenderer();
    hasVideoWindow_ = false;
    FullScreen_ = false;
  }
  if (graph_->hasAudioFilter()) graph_->setAudioChannel(AudioChannel_);
  ApplyVolume();
  LayoutVideo(true, true);
  CanSeek_ = (graph_->seekCapabilities() & kSeekCanSeekAbsolute) != 0;
  const auto duration = graph_->duration().value_or(0);
  Duration_ = duration > 0 ? static_cast<std::uint32_t>(duration / 10000) : 0;

  bool canPlay = true;
  if (OnPlayOpen && !destroying_) OnPlayOpen(Duration_, CanSeek_, canPlay);
  if (epoch != epoch_ || !graph_) return false;
  if (canPlay) RunGraph();
  return true;
}

void TPlayer::RunGraph() {
  if (PlayState_ == psPlay || !graph_) return;
  if (hasControl_) graph_->run();
  SetPlayState(psPlay);
}

void TPlayer::TeardownGraph() {
  Duration_ = 0;
  HasVideo_ = false;
  if (graph_) {
    if (graphRegistered_) graph_->unregisterFromInspector();
    if (hasEvents_) graph_->setNotify({});
    if (hasControl_) graph_->stop();
    if (hasVideoWindow_) graph_->releaseVideoWindow();
    graph_->abort();
    graph_.reset();
  }
  graphRegistered_ = hasVideoWindow_ = hasControl_ = hasEvents_ = false;
  hasSeeking_ = hasBasicAudio_ = hasBasicVideo_ = false;
  Opened_ = false;
  renderPending_ = false;
  SetPlayState(psStop);
  if (!destroying_) surface_.Repaint();
}

void TPlayer::LayoutVideo(bool styles, bool owner) {
  if (!Opened_ || !HasVideo_ || !graph_ || !hasVideoWindow_ || MediaKind_ != kMediaGraph) return;
  const WindowId own = surface_.NativeWindow();
  if (styles) graph_->attachVideoWindow(own);
  const bool hostArranges = static_cast<bool>(OnFullChangeing);
  const Size size = (hostArranges || !FullScreen_) ? surface_.ClientSize() : surface_.ScreenSize();
  // In full screen without a host arrangement the video leaves the control for a window of its
  // own that covers the screen.
  const bool detached = FullScreen_ && !hostArranges;
  const WindowId detachedWindow = surface_.DetachedVideoWindow(detached);
  if (owner) {
    graph_->placeVideoWindow(detached ? detachedWindow : own, Rect{0, 0, size.width, size.height});
  }
}

void TPlayer::HandleGraphEvents() {
  const auto epoch = epoch_;
  while (graph_ && hasEvents_) {
    const auto code = graph_->nextEvent();
    if (!code) break;
    if (*code == EC_RENDER_DONE || *code == EC_RENDER_FAILED) {
      if (renderPending_) RenderFinished(*code == EC_RENDER_DONE);
    } else if (*code == EC_COMPLETE) {
      if (Position() >= Duration_ && OnPlayEnd) {
        OnPlayEnd();
        // The host may already have moved on to the next item; that one is not stopped.
        if (epoch == epoch_) Stop();
        return;
      }
    } else if (*code == EC_USERABORT) {
      RaiseError(kErrorGraphAbort, std::string(kTextUserAbort));
    } else if (*code == EC_ERRORABORT) {
      RaiseError(kErrorGraphAbort, std::string(kTextErrorAbort));
    }
    if (epoch != epoch_) return;
  }
}

}  // namespace nivra::player
