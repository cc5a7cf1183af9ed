#pragma once
// The player control's arithmetic: volume levels of the graph path, the Flash movie's layout and
// the logo's place.

#include <optional>

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

// Where the logo's top-left corner goes: centred, offset by |control - logo| div 2 on each axis.
Rect LogoPlacement(Size control, Size logo);

}  // namespace nivra::player
