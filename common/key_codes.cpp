#include "common/key_codes.h"

#include <array>
#include <utility>

namespace nivra::common {
namespace {

// Virtual keys that are not letters, digits or function keys.
constexpr std::array<std::pair<int, Qt::Key>, 24> kNamedKeys{{
    {0x08, Qt::Key_Backspace}, {0x09, Qt::Key_Tab},      {0x0D, Qt::Key_Return},
    {0x13, Qt::Key_Pause},     {0x1B, Qt::Key_Escape},   {0x20, Qt::Key_Space},
    {0x21, Qt::Key_PageUp},    {0x22, Qt::Key_PageDown}, {0x23, Qt::Key_End},
    {0x24, Qt::Key_Home},      {0x25, Qt::Key_Left},     {0x26, Qt::Key_Up},
    {0x27, Qt::Key_Right},     {0x28, Qt::Key_Down},     {0x2D, Qt::Key_Insert},
    {0x2E, Qt::Key_Delete},    {0xBA, Qt::Key_Semicolon}, {0xBB, Qt::Key_Equal},
    {0xBC, Qt::Key_Comma},     {0xBD, Qt::Key_Minus},    {0xBE, Qt::Key_Period},
    {0xBF, Qt::Key_Slash},     {0xC0, Qt::Key_QuoteLeft}, {0xDC, Qt::Key_Backslash},
}};

int qtKeyFor(int vk) {
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return vk;  // Qt uses ASCII here too
  if (vk >= 0x70 && vk <= 0x87) return Qt::Key_F1 + (vk - 0x70);
  for (auto [v, key] : kNamedKeys)
    if (v == vk) return key;
  return 0;
}

int vkFor(int key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return key;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
  for (auto [v, k] : kNamedKeys)
    if (k == key) return v;
  return 0;
}

}  // namespace

QKeySequence keyCodeToSequence(std::int32_t code) {
  const int key = qtKeyFor(code & 0xFF);
  if (key == 0) return {};
  Qt::KeyboardModifiers mods;
  if (code & kShiftBit) mods |= Qt::ShiftModifier;
  if (code & kCtrlBit) mods |= Qt::ControlModifier;
  if (code & kAltBit) mods |= Qt::AltModifier;
  return QKeySequence(QKeyCombination(mods, static_cast<Qt::Key>(key)));
}

std::int32_t sequenceToKeyCode(const QKeySequence& sequence) {
  if (sequence.isEmpty()) return 0;
  const QKeyCombination combo = sequence[0];
  const int vk = vkFor(combo.key());
  if (vk == 0) return 0;
  std::int32_t code = vk;
  if (combo.keyboardModifiers() & Qt::ShiftModifier) code |= kShiftBit;
  if (combo.keyboardModifiers() & Qt::ControlModifier) code |= kCtrlBit;
  if (combo.keyboardModifiers() & Qt::AltModifier) code |= kAltBit;
  return code;
}

}  // namespace nivra::common
