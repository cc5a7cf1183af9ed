#include "player/flash/flash_media_player.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <limits>
#include <optional>
#include <thread>

#include "platform/debug_output.h"
#include "platform/error.h"
#include "platform/module_names.h"
#include "platform/text.h"
#include "player/flash/segment_list.h"
#include "player/flash/web_sites.h"
#include "player/links/utf16_text.h"

namespace nivra::player {
namespace {

std::u16string u16(std::string_view s) { return Utf8ToUtf16(s); }

int integerOr(const std::u16string& value, int fallback) {
  return text::parseInt32(Utf16ToUtf8(value)).value_or(fallback);
}

// A movie number such as "1234.6", rounded half to even; nullopt when it is not a number.
std::optional<int> roundedNumber(const std::u16string& value) {
  const std::string s = Utf16ToUtf8(value);
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  v = std::nearbyint(v);
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
    return std::nullopt;
  return static_cast<int>(v);
}

}  // namespace

TFlashMediaPlayer::TFlashMediaPlayer(platform::EventLoop& loop,
                                     std::unique_ptr<FlashControl> control,
                                     std::filesystem::path movieFolder)
    : Wait([](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }),
      loop_(loop),
      control_(std::move(control)),
      movieFolder_(std::move(movieFolder)) {
  control_->SetAllowScriptAccess(u"always");
  control_->SetScaleMode(3);
  control_->OnFSCommand = [](std::u16string_view, std::u16string_view args) {
    platform::debugOutput(Utf16ToUtf8(args));
  };
}

TFlashMediaPlayer::~TFlashMediaPlayer() {
  if (pollTimer_) loop_.killTimer(pollTimer_);
  control_->OnFSCommand = nullptr;
}

std::u16string TFlashMediaPlayer::read(std::u16string_view name) {
  return control_->GetVariable(name);
}

void TFlashMediaPlayer::write(std::u16string_view name, std::u16string_view value) {
  control_->SetVariable(name, value);
}

// Commands to the movie skip silently when it cannot take them.
void TFlashMediaPlayer::writeQuietly(std::u16string_view name, std::u16string_view value) {
  try {
    write(name, value);
  } catch (const Error&) {
  }
}

void TFlashMediaPlayer::PlayList(std::vector<std::string>& list) {
  control_->SetVisible(true);
  control_->LoadMovie(0, (movieFolder_ / platform::names::kFlashMovie).string());
  Wait(50);
  control_->Play();
  control_->SetEmbedMovie(true);
  try {
    const std::string_view name = player::ServerTypeName(ServerType);
    if (ServerType >= 1 && ServerType <= 8) {
      write(u"ServerType", u16(name));
      if (ServerType <= 2) serverTypeName_ = name;
    } else if (ServerType == kServerTypeMp4Segments || ServerType == kServerTypeFlvSegments) {
      serverTypeName_ = name;
      write(u"ServerType", u16(name));
      ExpandSegmentList(list, ServerType, SegmentExt, Duration);
    }
    std::string joined;
    for (std::size_t i = 0; i < list.size(); ++i) joined += (i ? "\r\n" : "") + list[i];
    urlListText_ = std::string(text::trim(joined));
    if (!pollTimer_) pollTimer_ = loop_.startTimer(kFlashPollMs, [this] { poll(); });
    listLoaded_ = true;
  } catch (const std::exception& e) {
    if (ShowMessage)
      ShowMessage(e.what());
    else
      platform::debugOutput(e.what());
  }
}

void TFlashMediaPlayer::Pause() {
  movieState_ = kMoviePauseRequested;
  writeQuietly(u"statset", u"PlayPause");
}

void TFlashMediaPlayer::Resume() {
  movieState_ = kMovieNormal;
  writeQuietly(u"statset", u"PlayResume");
}

void TFlashMediaPlayer::Seek(int ms) {
  writeQuietly(u"SeekPos", u16(std::to_string(ms)));
  platform::debugOutput("seek  " + std::to_string(ms));
}

void TFlashMediaPlayer::SetVolume(int level) {
  volume_ = level;
  if (moviePlaying_) writeQuietly(u"soundset", u16(std::to_string(level)));
}

void TFlashMediaPlayer::HandleDoubleClick() {
  if (auto callback = OnDoubleClick) callback();
}

void TFlashMediaPlayer::HandleRightButtonDown(int screenX, int screenY) {
  if (PopupMenu) PopupMenu(screenX, screenY);
}

// Callbacks run from a copy: the player may destroy the bridge, and with it the original.
void TFlashMediaPlayer::raiseState(int state) {
  if (auto callback = OnState) callback(state);
}

void TFlashMediaPlayer::poll() {
  const platform::AliveToken::Watch token = alive_.watch();
  try {
    if (!pollEnd()) return;
  } catch (const Error&) {
    return;  // the movie is not ready or lacks a variable
  }
  if (!token.alive()) return;
  if (!moviePlaying_) {
    try {
      pollNotPlaying();
    } catch (const Error&) {
      return;
    }
    if (!token.alive()) return;
  }
  if (moviePlaying_) {
    try {
      pollPlaying();
    } catch (const Error&) {
    }
  }
}

bool TFlashMediaPlayer::pollEnd() {
  if (const std::u16string error = read(u"ErrorStr"); !error.empty()) {
    if (auto callback = OnError) callback(kErrorFlashMovie, Utf16ToUtf8(error));
    return false;
  }
  if (std::u16string status = read(u"statstr"); status != lastStatus_) {
    lastStatus_ = std::move(status);
    platform::debugOutput(Utf16ToUtf8(lastStatus_));
  }
  if (read(u"AddUrl") == u"null") {
    write(u"AddUrl", u16(urlListText_));
    if (!serverTypeName_.empty()) write(u"ServerType", u16(serverTypeName_));
  }
  return true;
}

void TFlashMediaPlayer::pollNotPlaying() {
  const std::u16string state = read(u"playstat");
  if (state == u"Playing") {
    mediaWidth_ = integerOr(read(u"MediaWidth"), 320);
    mediaHeight_ = integerOr(read(u"MediaHeight"), 180);
    if (movieState_ == kMoviePauseRequested)
      Pause();
    else
      movieState_ = kMovieNormal;
    if (Duration == 0) Duration = integerOr(read(u"Duration"), 0);
    moviePlaying_ = true;
    const platform::AliveToken::Watch token = alive_.watch();
    platform::debugOutput("ststst");
    raiseState(kFlashStatePlaying);
    if (token.alive()) SetVolume(volume_);
  } else if (state == u"PlayEnd") {
    movieState_ = kMovieEnded;
    const platform::AliveToken::Watch token = alive_.watch();
    raiseState(kFlashStateEnded);
    if (token.alive()) write(u"playstat", u"");
  }
}

void TFlashMediaPlayer::pollPlaying() {
  const auto position = roundedNumber(read(u"PlayPos"));
  if (!position) return;
  const platform::AliveToken::Watch token = alive_.watch();
  if (auto callback = OnPosition) callback(*position);
  if (!token.alive()) return;
  downSpeed_ = integerOr(read(u"downspeed"), 0);
  const std::u16string state = read(u"playstat");
  if (state == u"PlayEnd") {
    movieState_ = kMovieEnded;
    moviePlaying_ = false;
    raiseState(kFlashStateEnded);
  } else if (state == u"Buffering") {
    movieState_ = kMovieBuffering;
    raiseState(kFlashStateBuffering);
  } else if (state == u"Playering" && movieState_ != kMovieNormal) {
    movieState_ = kMovieNormal;
    raiseState(kFlashStatePlaying);
  }
}

}  // namespace nivra::player
