#pragma once
// TFullForm: the borderless window that carries the player and its two bars while full screen
// is on. It covers the primary screen, stays on top, shows the bars while the user is active
// (less than 3 s since the last mouse or key input) and asks its host to hide the cursor
// otherwise; switching to another application or closing it leaves full screen, and keys go
// to the player first.

#include <QPointer>
#include <QWidget>
#include <cstdint>

#include "platform/event_loop.h"

namespace nivra::common {

// What the full-screen window needs from the window that hosts the player.
class FullScreenHost {
 public:
  // Turns full screen off (the player's SetFullScreen(false)). Called from posted work, never
  // inside the form's own handlers, so the host may free the form there.
  virtual void LeaveFullScreen() = 0;
  // Hides or shows the mouse cursor over the player.
  virtual void SetCursorHidden(bool hidden) = 0;
  // A key pressed in the full-screen window (a Qt::Key); true when the player used it.
  virtual bool HandleKey(int key) = 0;

 protected:
  ~FullScreenHost() = default;
};

class TFullForm final : public QWidget {
 public:
  static constexpr int kTimerMs = 100;
  // The bars hide after this long without input.
  static constexpr std::uint64_t kIdleHideMs = 3000;

  // `pnlProgress` and `pnlBottom` are the bars it shows and hides (the host moves them onto
  // the form); `mainWindow`, when given, hands the foreground to this form. Not shown yet.
  TFullForm(platform::EventLoop& loop, FullScreenHost& host, QWidget* pnlProgress,
            QWidget* pnlBottom, QWidget* mainWindow = nullptr);
  ~TFullForm() override;
  TFullForm(const TFullForm&) = delete;
  TFullForm& operator=(const TFullForm&) = delete;

  // The loop's tick of the last mouse or key input anywhere in the application.
  std::uint64_t LastInputTick() const { return lastInputTick_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Tick();
  void ApplicationStateChanged(Qt::ApplicationState state);
  void PostLeave(const char* failureLine);
  bool IsUserInput(const QEvent* event);
  bool PreviewKey(QObject* watched, const QEvent* event);

  platform::EventLoop& loop_;
  FullScreenHost& host_;
  QPointer<QWidget> pnlProgress_;
  QPointer<QWidget> pnlBottom_;
  QPointer<QWidget> mainWindow_;
  platform::EventLoop::TimerId timer_ = 0;
  std::uint64_t lastInputTick_;
  QPointF lastMousePos_{-1, -1};
};

}  // namespace nivra::common
