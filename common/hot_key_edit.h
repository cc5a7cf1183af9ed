#pragma once
// THotKeyEdit: a small field that captures one key combination. It shows the combination
// ("Ctrl+Alt+B"; "无" when none) and holds it as a key code of the settings (low byte: virtual
// key; 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt). While modifiers alone are held it shows them
// pending. Backspace or Delete alone clears it; Return, Enter and Escape alone are left to the
// dialog; keys without a virtual-key code are ignored.

#include <QWidget>
#include <cstdint>
#include <functional>

namespace nivra::common {

class THotKeyEdit final : public QWidget {
 public:
  explicit THotKeyEdit(QWidget* parent = nullptr);

  std::int32_t HotKey() const { return hotKey_; }
  void SetHotKey(std::int32_t keyCode);
  // Arrow keys are shown as extended keys.
  bool Extended() const;
  // What the field shows.
  QString Text() const;

  // Called after the user changed the key.
  std::function<void(std::int32_t keyCode)> OnChange;

  QSize sizeHint() const override;

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Change(std::int32_t keyCode);

  std::int32_t hotKey_ = 0;
  std::int32_t pendingModifiers_ = 0;  // modifier bits held without a key yet
};

// The text of a key code: modifiers and key joined with "+"; "无" for 0.
QString HotKeyText(std::int32_t keyCode);

}  // namespace nivra::common
