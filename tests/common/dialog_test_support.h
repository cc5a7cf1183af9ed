#pragma once
// Helpers of the dialog tests: answering a modal dialog from inside its exec(), clicking a
// control with real mouse events, and keeping screenshots of the dialogs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTimer>
#include <functional>

namespace nivra::common::test {

// While it lives, the next modal dialog of type Dialog gets `answer` once it is up (the answer
// should end it). A dialog that never comes up is a failure.
template <class Dialog>
class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<void(Dialog&)> answer) : answer_(std::move(answer)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      timer_.stop();
      answered_ = true;
      answer_(*dialog);
    });
    timer_.start(5);
  }
  ~ModalAnswer() { EXPECT_TRUE(answered_) << "no modal dialog came up"; }
  ModalAnswer(const ModalAnswer&) = delete;
  ModalAnswer& operator=(const ModalAnswer&) = delete;

 private:
  std::function<void(Dialog&)> answer_;
  QTimer timer_;
  bool answered_ = false;
};

// A left click in the middle of `widget`, as the mouse gives it.
inline void ClickWidget(QWidget* widget) {
  const QPointF at = QRectF(widget->rect()).center();
  const QPointF global = widget->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

// The widget as drawn; kept as <name>.png in the folder NIVRA_SCREENSHOT_DIR names, if any.
inline QImage Shot(QWidget* widget, const QString& name) {
  QApplication::processEvents();
  const QImage image = widget->grab().toImage();
  const QString dir = qEnvironmentVariable("NIVRA_SCREENSHOT_DIR");
  if (!dir.isEmpty() && QDir().mkpath(dir)) image.save(dir + "/" + name + ".png", "PNG");
  return image;
}

}  // namespace nivra::common::test
