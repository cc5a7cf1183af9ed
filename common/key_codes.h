#pragma once
// Key codes of the settings (low byte: virtual-key code; 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt)
// to and from Qt key sequences.

#include <QKeySequence>
#include <cstdint>

namespace nivra::common {

inline constexpr std::int32_t kShiftBit = 0x2000;
inline constexpr std::int32_t kCtrlBit = 0x4000;
inline constexpr std::int32_t kAltBit = 0x8000;

// An empty sequence for 0 or a key this platform cannot express.
QKeySequence keyCodeToSequence(std::int32_t code);
// The first key of the sequence as a key code; 0 when it has no virtual-key equivalent.
std::int32_t sequenceToKeyCode(const QKeySequence& sequence);

}  // namespace nivra::common
