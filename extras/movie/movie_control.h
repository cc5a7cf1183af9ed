#pragma once
// The movie runtime's Flash control: "NVRFlash.swf" loaded and started, it asks for its URL list
// by setting "AddUrl" to "null", plays the list it is given back to back (SegmentPlayer) and
// keeps the movie variables of the bridge protocol up to date:
//
//   to the movie:   AddUrl (the list), ServerType, statset (PlayPause/PlayResume), SeekPos (ms),
//                   soundset (0..100), playstat (the bridge clears it)
//   from the movie: playstat (Playing, Buffering, Playering, PlayEnd), MediaWidth, MediaHeight,
//                   Duration (ms), PlayPos (ms, with a fraction), downspeed (bytes/s),
//                   BufferStat (CanPlay / Buffering), ErrorStr, statstr
//
// "playstat" changes only when the playback phase changes, and "Playing" stays until it has
// been read once, so a poll every 200 ms never misses the start. "Playing" comes once the length
// of every segment is known (or after 2 s of playing), so "Duration" covers the whole list.

#include <map>
#include <memory>
#include <string>

#include "extras/movie/segment_player.h"
#include "player/flash_control.h"

namespace nivra::extras {

// The first line of a movie file of this runtime.
inline constexpr std::string_view kMovieSignature = "NVRMovie";
// The version the runtime reports when its registration names none: 10.0.
inline constexpr std::uint32_t kMovieRuntimeVersion = 10u << 16;

class MovieControl final : public player::FlashControl {
 public:
  explicit MovieControl(std::uint32_t version = kMovieRuntimeVersion);
  ~MovieControl() override;

  void LoadMovie(int layer, const std::string& file) override;
  void Play() override;
  void Stop() override;
  void SetVariable(std::u16string_view name, std::u16string_view value) override;
  std::u16string GetVariable(std::u16string_view name) override;
  std::uint32_t FlashVersion() override { return version_; }
  void SetEmbedMovie(bool) override {}
  void SetAllowScriptAccess(std::u16string_view) override {}
  void SetScaleMode(int mode) override { scaleMode_ = mode; }
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Visible() const override { return visible_; }
  void SetBounds(const player::FlashRect& bounds) override;
  void SetCursorHidden(bool) override {}
  void SetWindowHandle(std::uintptr_t window) override { window_ = window; }

  // The player of the current list, for measurements; null before the list arrives.
  SegmentPlayer* player() { return player_.get(); }

 private:
  enum class Phase { None, Playing, Buffering, Playering, Ended };
  void startList(const std::string& listText);
  void syncPhase();
  std::string read(const std::string& name);

  std::uint32_t version_;
  bool loaded_ = false;
  bool running_ = false;
  bool visible_ = false;
  int scaleMode_ = 0;
  std::uintptr_t window_ = 0;
  player::FlashRect bounds_;
  std::map<std::string, std::string> variables_;  // what the bridge wrote, and AddUrl
  std::unique_ptr<SegmentPlayer> player_;
  Phase phase_ = Phase::None;
  std::string playstat_;
  bool playingRead_ = false;
};

}  // namespace nivra::extras
