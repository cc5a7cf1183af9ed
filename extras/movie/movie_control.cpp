#include "extras/movie/movie_control.h"

#include <charconv>

#include "platform/atomic_file.h"
#include "platform/error.h"
#include "platform/text.h"
#include "player/links/utf16_text.h"

namespace nivra::extras {
namespace {

// Locale-independent, one decimal: "1234.5".
std::string decimalText(double v) {
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1);
  return ec == std::errc() ? std::string(buf, end) : "0";
}

const char* phaseText(int phase) {
  static const char* const kTexts[] = {"", "Playing", "Buffering", "Playering", "PlayEnd"};
  return kTexts[phase];
}

}  // namespace

MovieControl::MovieControl(std::uint32_t version)
    : version_(version ? version : kMovieRuntimeVersion) {}

MovieControl::~MovieControl() = default;

void MovieControl::LoadMovie(int layer, const std::string& file) {
  if (layer != 0) return;
  Stop();
  const auto content = platform::readWholeFile(file, 64 * 1024);
  loaded_ = content && content->starts_with(kMovieSignature);
}

void MovieControl::Play() {
  if (!loaded_ || running_) return;
  running_ = true;
  variables_.clear();
  variables_["AddUrl"] = "null";  // the movie asks for its list
  phase_ = Phase::None;
  playstat_.clear();
  playingRead_ = false;
}

void MovieControl::Stop() {
  player_.reset();
  running_ = false;
}

void MovieControl::SetBounds(const player::FlashRect& bounds) {
  bounds_ = bounds;
  if (player_) player_->setRenderRectangle(bounds.left, bounds.top, bounds.width, bounds.height);
}

void MovieControl::startList(const std::string& listText) {
  player_.reset();
  player_ = std::make_unique<SegmentPlayer>(MovieTimeline::fromList(listText),
                                            SegmentPlayerSinks{{}, {}, window_});
  if (const auto it = variables_.find("soundset"); it != variables_.end())
    player_->setVolume(static_cast<int>(text::parseInteger(it->second).value_or(100)));
  if (bounds_.width > 0)
    player_->setRenderRectangle(bounds_.left, bounds_.top, bounds_.width, bounds_.height);
  phase_ = Phase::None;
  playstat_.clear();
  playingRead_ = false;
}

void MovieControl::SetVariable(std::u16string_view name16, std::u16string_view value16) {
  if (!running_) throw Error("The movie is not running");
  const std::string name = player::Utf16ToUtf8(name16);
  const std::string value = player::Utf16ToUtf8(value16);
  if (name == "playstat") {
    playstat_ = value;
    return;
  }
  variables_[name] = value;
  if (name == "AddUrl" && value != "null") {
    startList(value);
  } else if (name == "statset" && player_) {
    if (value == "PlayPause") player_->pause();
    if (value == "PlayResume") player_->resume();
  } else if (name == "SeekPos" && player_) {
    if (const auto ms = text::parseInteger(value)) player_->seek(*ms);
  } else if (name == "soundset" && player_) {
    if (const auto level = text::parseInteger(value)) player_->setVolume(static_cast<int>(*level));
  }
}

std::u16string MovieControl::GetVariable(std::u16string_view name) {
  if (!running_) throw Error("The movie is not running");
  return player::Utf8ToUtf16(read(player::Utf16ToUtf8(name)));
}

void MovieControl::syncPhase() {
  if (!player_) return;
  const SegmentPlayerState s = player_->state();
  // "Playing" waits until the lengths are known: the bridge reads "Duration" with it.
  Phase now = s.ended                                                      ? Phase::Ended
              : !s.started || (phase_ == Phase::None && !s.lengthsKnown)   ? Phase::None
              : s.buffering                                                ? Phase::Buffering
              : (phase_ == Phase::Buffering || phase_ == Phase::Playering) ? Phase::Playering
                                                                           : Phase::Playing;
  if (phase_ == Phase::None && (now == Phase::Buffering || now == Phase::Playering))
    now = Phase::Playing;
  if (now == phase_) return;
  if (phase_ == Phase::Playing && !playingRead_ && now != Phase::Ended) return;
  phase_ = now;
  playstat_ = phaseText(static_cast<int>(now));
}

std::string MovieControl::read(const std::string& name) {
  syncPhase();
  const SegmentPlayerState s = player_ ? player_->state() : SegmentPlayerState{};
  if (name == "playstat") {
    if (playstat_ == "Playing") playingRead_ = true;
    return playstat_;
  }
  if (name == "ErrorStr") return s.error;
  if (name == "statstr") return player_ ? s.status : "waiting for the list";
  if (name == "MediaWidth") return s.width > 0 ? std::to_string(s.width) : "";
  if (name == "MediaHeight") return s.height > 0 ? std::to_string(s.height) : "";
  if (name == "Duration") return std::to_string(s.durationMs);
  if (name == "PlayPos") return decimalText(player_ ? player_->positionMs() : 0.0);
  if (name == "downspeed") return std::to_string(s.bytesPerSecond);
  if (name == "BufferStat") return s.bufferPercent >= 100 ? "CanPlay" : "Buffering";
  if (const auto it = variables_.find(name); it != variables_.end()) return it->second;
  throw Error("The movie has no variable " + name);
}

}  // namespace nivra::extras
