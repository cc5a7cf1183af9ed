#pragma once
// TRollLabel: shows one line of a list at a time and moves it through its area: in from one
// edge, a stop in the middle, out at the other edge, then the next line. It runs on the
// injected event loop's timer, so tests step it in virtual time. Only the moving text takes the
// mouse (it holds the line still and shows the hot font); elsewhere the mouse reaches the
// parent, so OnClick fires only on the text.

#include <QColor>
#include <QFont>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "ui/png_control.h"

namespace nivra::ui {

enum class TRollLabelKind { rlHorizontal, rlVertical };

class TRollLabel : public TPNGControl {
 public:
  // `loop` runs the movement timer and must outlive the label.
  explicit TRollLabel(platform::EventLoop& loop, QWidget* parent = nullptr);
  ~TRollLabel() override;
  TRollLabel(const TRollLabel&) = delete;
  TRollLabel& operator=(const TRollLabel&) = delete;

  const std::vector<std::string>& Lines() const { return lines_; }
  // Copies the lines, measures the current line from the start edge and restarts the timer.
  // Throws nivra::Error("Not enough timers available") when the loop refuses a timer.
  void SetLines(const std::vector<std::string>& lines);
  TRollLabelKind Kind() const { return kind_; }
  void SetKind(TRollLabelKind kind);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);  // 0 stops the movement
  int Move() const { return move_; }
  void SetMove(int pixels) { move_ = pixels; }
  unsigned PauseTime() const { return pauseTime_; }
  void SetPauseTime(unsigned ms);  // 0: no stop
  bool RandomShow() const { return randomShow_; }
  void SetRandomShow(bool on) { randomShow_ = on; }
  // The text font is the widget's font (a change measures the line again from the start edge);
  // FontColor is its colour.
  QColor FontColor() const { return fontColor_; }
  void SetFontColor(const QColor& color);
  const QFont& HotFont() const { return hotFont_; }
  QColor HotFontColor() const { return hotFontColor_; }
  void SetHotFont(const QFont& font, const QColor& color);

  // The shown text, its colour and the value of the current line; empty (and FontColor) when
  // the index is outside the list.
  std::string CurrentText() const;
  QColor CurrentColor() const;
  std::string CurrentValue() const;
  int CurrentIndex() const { return index_; }
  // Where the text is drawn, in control coordinates; meaningful while HasText.
  QRect DrawRect() const { return drawRect_; }
  bool HasText() const { return hasText_; }
  bool Hot() const { return hot_; }

 protected:
  void Paint(QPainter& painter) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool Horizontal() const { return kind_ == TRollLabelKind::rlHorizontal; }
  void Tick();
  void Measure(bool fromStart);
  void PlaceDrawRect();
  int NextIndex();
  void RestartTimer();
  // Whether a point belongs to the label: the moving text only, while there is text.
  bool HitTest(QPoint p) const { return !hasText_ || drawRect_.contains(p); }
  void SetHot(bool on);

  platform::EventLoop& loop_;
  platform::EventLoop::TimerId timer_ = 0;
  std::vector<std::string> lines_;
  TRollLabelKind kind_ = TRollLabelKind::rlHorizontal;
  unsigned interval_ = 50;
  int move_ = 2;
  unsigned pauseTime_ = 2000;
  bool randomShow_ = false;
  QColor fontColor_;
  QFont hotFont_;
  QColor hotFontColor_;

  int index_ = -1;
  QRect textRect_, drawRect_;
  int offset_ = 0;
  bool hasText_ = false;
  bool hot_ = false;
  std::optional<std::uint64_t> stopBegan_;
  std::vector<int> pool_;
  std::mt19937 random_;
};

}  // namespace nivra::ui
