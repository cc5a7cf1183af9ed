#pragma once
// The player control's arithmetic: volume levels of the graph path, the Flash movie's layout and
// the logo's place.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "player/player_types.h"

namespace nivra::player {

// Volume clamped to 0..100.
int ClampVolume(int volume);

// The graph level in hundredths of a decibel for a Volume of 0..100: -10000 when muted; with the
// logarithmic mapping round-half-even(ln(volume * 100 + 1) * 1085.73) - 10000; else
// volume * 100 - 10000.
int GraphVolumeLevel(int volume, bool mute, bool logarithmic);

// The movie's bounds inside a host of size `host`, keeping the picture's aspect: it fills the
// height when the control is wider than the picture, else the width. nullopt when the picture
// size is not known yet (either side below 1), so the layout leaves the bounds alone.
std::optional<Rect> FlashMovieBounds(Size control, Size host, Size media);

// The resolver's duration in seconds as ms: seconds × 1000 rounded half to even, kept to its low
// 32 bits as a 32-bit assignment of the rounded integer does (so -1 s gives 4294966296). A value
// that is not a number, infinite or beyond 64 bits gives 0 (not reported).
std::uint32_t ResolverDurationMs(double seconds);

// The first `count` characters of a UTF-8 text (all of it when it has fewer). A character is a
// lead byte with the continuation bytes after it, so the cut never splits one.
std::string_view FirstCharacters(std::string_view utf8, std::size_t count);

// Whether a source text given to the media graph is a URI rather than a file path: a scheme of
// at least two characters (a letter, then letters, digits, "+", "-", ".") followed by "://", or
// "file:/". Anything else is a path, relative ones included, even when it holds ":" ("my:clip.wav",
// "C:/films/a.mp4").
bool IsMediaUri(std::string_view source);

// Where the logo's top-left corner goes: centred, offset by |control - logo| div 2 on each axis.
Rect LogoPlacement(Size control, Size logo);

}  // namespace nivra::player
