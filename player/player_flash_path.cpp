// TPlayer: the Flash path (web pages and segment links through the bridge and the resolver).

#include "platform/messages.h"
#include "player/flash/segment_list.h"
#include "player/player.h"
#include "player/player_arithmetic.h"

namespace nivra::player {

bool TPlayer::EnsureFlash() {
  if (!flash_ || !flash_->FlashClassRegistered()) {
    RaiseError(kErrorFlashMissing, std::string(kTextNoFlash));
    return false;
  }
  if (!bridge_) {
    bridge_ = flash_->CreateBridge(surface_.NativeWindow());
    if (!bridge_) {
      RaiseError(kErrorFlashMissing, std::string(kTextNoFlash));
      return false;
    }
    ++bridgeGeneration_;
    movieBounds_ = Rect{};
    bridge_->SetCallbacks(BridgeCallbacks());
    bridge_->SetVisible(false);
    bridge_->SetScaleMode(2);
    bridge_->SetBounds(Rect{0, 0, 0, 0});
    bridge_->SetVolume(Volume_);
  }
  return true;
}

bool TPlayer::FlashVersionOk() {
  if (bridge_ && (bridge_->FlashVersion() >> 16) >= 8) return true;
  RaiseError(kErrorFlashMissing, std::string(kTextFlashTooOld));
  return false;
}

void TPlayer::OpenWebPage() {
  const auto epoch = epoch_;
  if (!EnsureFlash() || epoch != epoch_) return;
  if (!FlashVersionOk() || epoch != epoch_) return;
  flash_->PrepareWebPage(*bridge_, URL_);
  SetPlayState(psPlay);
  if (epoch != epoch_ || !bridge_) return;
  LoadState_ = kLoadConnecting;
  ReleaseResolver();
  resolver_ = flash_->CreateResolver();
  if (resolver_) {
    std::intptr_t serial = 0;
    {
      std::lock_guard lock(resolverLink_->mutex);
      resolverLink_->current = resolver_.get();
      serial = resolverLink_->serial;
    }
    std::weak_ptr<VideoResolver> weakResolver = resolver_;
    std::weak_ptr<ResolverLink> weakLink = resolverLink_;
    resolver_->SetCompletion([weakResolver, weakLink, serial] {
      auto resolver = weakResolver.lock();
      auto link = weakLink.lock();
      if (!resolver || !link) return;
      std::lock_guard lock(link->mutex);
      if (link->owner == nullptr || link->current != resolver.get() || link->serial != serial) {
        return;
      }
      link->text = resolver->SourceList();
      link->durationMs = ResolverDurationMs(resolver->DurationSeconds());
      link->owner->postMessage({platform::WM_SOURCES_READY, serial, 0});
    });
    resolver_->Start(URL_);
  }
  if (epoch != epoch_) return;
  if (OnPlayBuffing) OnPlayBuffing(0);
}

void TPlayer::OpenSegmentLink(const std::string& address) {
  const auto epoch = epoch_;
  if (!EnsureFlash() || epoch != epoch_) return;
  if (!FlashVersionOk() || epoch != epoch_) return;
  SetPlayState(psPlay);
  if (epoch != epoch_) return;
  LoadState_ = kLoadConnecting;
  if (OnPlayBuffing) OnPlayBuffing(0);
  if (epoch != epoch_ || !bridge_) return;
  flash_->PlaySegmentLink(*bridge_, address);
}

// Also drops the copied source list: a message of the released resolver still in the queue
// finds neither its serial nor its text.
void TPlayer::ReleaseResolver() {
  {
    std::lock_guard lock(resolverLink_->mutex);
    resolverLink_->current = nullptr;
    ++resolverLink_->serial;
    resolverLink_->text.clear();
    resolverLink_->durationMs = 0;
  }
  resolver_.reset();
  ResolverText_.clear();
  ResolverDuration_ = 0;
}

void TPlayer::RetireBridge() {
  if (!bridge_) return;
  // The bridge may be the caller (a Stop from one of its own notices): it goes on the next
  // loop turn, and its remaining notices are ignored through the generation.
  ++bridgeGeneration_;
  retiredBridges_.push_back(std::move(bridge_));
  loop_.post(alive_.guard([this] { retiredBridges_.clear(); }));
}

void TPlayer::HandleSourcesReady(std::intptr_t serial) {
  {
    std::lock_guard lock(resolverLink_->mutex);
    if (serial != resolverLink_->serial || resolverLink_->current == nullptr) return;
    ResolverText_ = resolverLink_->text;
    ResolverDuration_ = resolverLink_->durationMs;
  }
  if (!bridge_) return;
  const std::vector<std::string> lines = NonEmptyTrimmedLines(ResolverText_);
  if (!lines.empty()) {
    if (ResolverDuration_ != 0) bridge_->SetDuration(static_cast<int>(ResolverDuration_));
    bridge_->PlayList(lines);
  } else if (!bridge_->ListLoaded()) {
    RaiseError(kErrorNoMediaSource, std::string(kTextNoMediaSource));
  }
}

FlashBridgeCallbacks TPlayer::BridgeCallbacks() {
  const auto generation = bridgeGeneration_;
  auto current = [this, generation] { return bridge_ && generation == bridgeGeneration_; };
  FlashBridgeCallbacks callbacks;
  callbacks.OnPosition = [this, current](int positionMs) {
    if (!current()) return;
    const auto epoch = epoch_;
    if (OnPlayPosition) {
      OnPlayPosition(static_cast<std::uint32_t>(bridge_->Duration()),
                     static_cast<std::uint32_t>(positionMs), 0);
    }
    if (epoch != epoch_) return;
    LoadState_ = kLoadReceiving;
    AccountWatchTime();
  };
  callbacks.OnState = [this, current](int state) {
    if (!current()) return;
    if (state == 0) {
      HasVideo_ = true;
      LoadState_ = kLoadReceiving;
      FlashLayout();
    } else if (state == 4) {
      if (OnPlayEnd) OnPlayEnd();
    }
  };
  callbacks.OnError = [this, current](int code, const std::string& text) {
    if (current()) RaiseError(code, text);
  };
  callbacks.OnDoubleClick = [this, current] {
    if (current()) SetFullScreen(!FullScreen_);
  };
  callbacks.PopupMenu = [this, current](Point screen) {
    if (current()) surface_.ShowPopupMenu(screen);
  };
  return callbacks;
}

void TPlayer::FlashLayout() {
  if (!Opened_ || MediaKind_ != kMediaFlash || !bridge_) return;
  const Size host = HostParent_ ? surface_.ParentSize(*HostParent_) : surface_.ClientSize();
  const auto bounds = FlashMovieBounds(surface_.ClientSize(), host,
                                       Size{bridge_->MediaWidth(), bridge_->MediaHeight()});
  if (!bounds) return;
  movieBounds_ = *bounds;
  if (bridge_->Visible()) bridge_->SetBounds(*bounds);
  bridge_->SetPositionRect(*bounds);
}

bool TPlayer::MovieAt(Point client) const {
  return MediaKind_ == kMediaFlash && bridge_ && bridge_->Visible() &&
         movieBounds_.Contains(client);
}

void TPlayer::MouseDoubleClick(Point client) {
  if (MovieAt(client)) {
    bridge_->DoubleClick();
  } else {
    DoubleClick();
  }
}

bool TPlayer::RightButtonDown(Point client, Point screen) {
  if (!MovieAt(client)) return false;
  bridge_->RightButtonDown(screen);
  return true;
}

void TPlayer::AccountWatchTime() {
  if (watch_.OnPositionNotice(loop_.tickMs()) && StampActive) StampActive();
}

}  // namespace nivra::player
