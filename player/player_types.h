#pragma once
// Types shared by the player control and its two playback paths.

#include <cstdint>
#include <string_view>

namespace nivra::player {

// The play state of the player control.
enum TPlayState : std::uint8_t { psStop = 0, psPlay = 1, psPause = 2 };

// The renderer used by the next graph build: the plain renderer or the mixing renderer.
enum TVideoMode : std::uint8_t { vmNormal = 0, vmVMR = 1 };

// MediaKind: which path serves the current source.
inline constexpr std::uint8_t kMediaNone = 0;
inline constexpr std::uint8_t kMediaFlash = 1;
inline constexpr std::uint8_t kMediaGraph = 2;

// LoadState of the Flash path.
inline constexpr std::uint8_t kLoadIdle = 0;
inline constexpr std::uint8_t kLoadConnecting = 2;
inline constexpr std::uint8_t kLoadReceiving = 3;

// OnPlayError codes and the fixed texts that go with some of them.
inline constexpr int kErrorGraphAbort = 0;
inline constexpr int kErrorGraphCreate = 1;
inline constexpr int kErrorRenderer = 2;
inline constexpr int kErrorGraphControl = 3;
inline constexpr int kErrorGraphEvents = 4;
inline constexpr int kErrorGraphSeeking = 5;
inline constexpr int kErrorBasicAudio = 6;
inline constexpr int kErrorRender = 8;
inline constexpr int kErrorBasicVideo = 9;
inline constexpr int kErrorFlashMovie = 12;
inline constexpr int kErrorFlashMissing = 15;
inline constexpr int kErrorNoMediaSource = 21;

inline constexpr std::string_view kTextUserAbort = "EC_USERABORT";
inline constexpr std::string_view kTextErrorAbort = "EC_ERRORABORT";
inline constexpr std::string_view kTextNoFlash = "你没有安装 Flash!";
inline constexpr std::string_view kTextFlashTooOld = "Flash 版本过低!";
inline constexpr std::string_view kTextNoMediaSource = "无法检测到电影源！";

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
  bool Contains(Point p) const {
    return p.x >= left && p.y >= top && p.x < left + width && p.y < top + height;
  }
};

}  // namespace nivra::player
