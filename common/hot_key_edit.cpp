#include "common/hot_key_edit.h"

#include <QKeyEvent>
#include <QPainter>

#include "common/form_config_rules.h"
#include "common/key_codes.h"

namespace nivra::common {
namespace {

std::int32_t ModifierBits(Qt::KeyboardModifiers modifiers) {
  std::int32_t bits = 0;
  if (modifiers & Qt::ShiftModifier) bits |= kShiftBit;
  if (modifiers & Qt::ControlModifier) bits |= kCtrlBit;
  if (modifiers & Qt::AltModifier) bits |= kAltBit;
  return bits;
}

// The bit of a modifier key itself (its own press may not be in the event's modifiers yet).
std::int32_t ModifierKeyBit(int key) {
  switch (key) {
    case Qt::Key_Shift:
      return kShiftBit;
    case Qt::Key_Control:
      return kCtrlBit;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
      return kAltBit;
    default:
      return 0;
  }
}

bool IsModifierKey(int key) { return ModifierKeyBit(key) != 0 || key == Qt::Key_Meta; }

// Modifiers in the order Qt writes them.
QString ModifierText(std::int32_t bits) {
  QString text;
  if (bits & kCtrlBit) text += QStringLiteral("Ctrl+");
  if (bits & kAltBit) text += QStringLiteral("Alt+");
  if (bits & kShiftBit) text += QStringLiteral("Shift+");
  return text;
}

}  // namespace

QString HotKeyText(std::int32_t keyCode) {
  if (keyCode == 0) return QStringLiteral("无");
  const QKeySequence sequence = keyCodeToSequence(keyCode);
  if (!sequence.isEmpty()) return sequence.toString(QKeySequence::PortableText);
  // A virtual key this platform has no key for: kept as it is, shown by its number.
  return ModifierText(keyCode) + QStringLiteral("0x") +
         QString::number(keyCode & 0xFF, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

THotKeyEdit::THotKeyEdit(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setCursor(Qt::IBeamCursor);
}

void THotKeyEdit::SetHotKey(std::int32_t keyCode) {
  hotKey_ = keyCode;
  pendingModifiers_ = 0;
  update();
}

bool THotKeyEdit::Extended() const { return IsExtendedKey(hotKey_); }

QString THotKeyEdit::Text() const {
  return pendingModifiers_ ? ModifierText(pendingModifiers_) : HotKeyText(hotKey_);
}

QSize THotKeyEdit::sizeHint() const { return {120, fontMetrics().height() + 8}; }

bool THotKeyEdit::event(QEvent* event) {
  // Keys that are shortcuts elsewhere in the program are captured here while the field has the
  // focus.
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool dialogKey = key->modifiers() == Qt::NoModifier &&
                           (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return ||
                            key->key() == Qt::Key_Enter);
    if (!dialogKey) {
      event->accept();
      return true;
    }
  }
  return QWidget::event(event);
}

void THotKeyEdit::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const std::int32_t modifiers = ModifierBits(event->modifiers());
  if (IsModifierKey(key)) {
    pendingModifiers_ = modifiers | ModifierKeyBit(key);
    update();
    return;
  }
  if (modifiers == 0) {
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
      event->ignore();
      return;
    }
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
      Change(0);
      return;
    }
  }
  const std::int32_t code = sequenceToKeyCode(QKeySequence(QKeyCombination(
      event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier),
      static_cast<Qt::Key>(key))));
  if (code != 0) Change(code);
}

void THotKeyEdit::keyReleaseEvent(QKeyEvent* event) {
  if (pendingModifiers_ == 0) return;
  pendingModifiers_ = ModifierBits(event->modifiers()) & ~ModifierKeyBit(event->key());
  update();
}

void THotKeyEdit::focusOutEvent(QFocusEvent* event) {
  pendingModifiers_ = 0;
  update();
  QWidget::focusOutEvent(event);
}

void THotKeyEdit::Change(std::int32_t keyCode) {
  pendingModifiers_ = 0;
  hotKey_ = keyCode;
  update();
  if (OnChange) OnChange(keyCode);
}

void THotKeyEdit::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& pal = palette();
  const QRect box = rect().adjusted(0, 0, -1, -1);
  painter.fillRect(rect(), pal.color(QPalette::Base));
  painter.setPen(hasFocus() ? pal.color(QPalette::Highlight) : pal.color(QPalette::Light));
  painter.drawRect(box);
  painter.setPen(isEnabled() ? pal.color(QPalette::Text)
                             : pal.color(QPalette::Disabled, QPalette::Text));
  const QRect textRect = rect().adjusted(6, 0, -4, 0);
  painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                   fontMetrics().elidedText(Text(), Qt::ElideRight, textRect.width()));
}

}  // namespace nivra::common
