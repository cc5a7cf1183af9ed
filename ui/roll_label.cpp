#include "ui/roll_label.h"

#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "platform/error.h"
#include "ui/png_common.h"
#include "ui/roll_entry.h"

namespace nivra::ui {
namespace {

constexpr int kCap = 8;  // width of the background picture's left cap

// Half of a difference as a logical shift of its 32 bits: a negative difference (text larger
// than the label) lands far outside the label.
// ((difference shr 1) + 1) in 32-bit arithmetic: the logical shift of a negative difference
// gives a value near 2^31, and the sum wraps instead of overflowing.
int HalfShrPlusOne(int difference) {
  return static_cast<int>((static_cast<std::uint32_t>(difference) >> 1) + 1u);
}

QString Qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TRollLabel::TRollLabel(platform::EventLoop& loop, QWidget* parent)
    : TPNGControl(parent), loop_(loop), random_(std::random_device{}()) {
  fontColor_ = palette().color(QPalette::WindowText);
  hotFont_ = font();
  hotFontColor_ = fontColor_;
  setMouseTracking(true);
}

TRollLabel::~TRollLabel() {
  if (timer_) loop_.killTimer(timer_);
}

void TRollLabel::RestartTimer() {
  if (timer_) loop_.killTimer(timer_);
  timer_ = 0;
  if (interval_ == 0) return;
  timer_ = loop_.startTimer(static_cast<int>(interval_), [this] { Tick(); });
  if (timer_ == 0) throw Error("Not enough timers available");
}

void TRollLabel::SetLines(const std::vector<std::string>& lines) {
  lines_ = lines;
  pool_.clear();
  // A current line the new list no longer has would hold the label empty for good.
  if (index_ >= static_cast<int>(lines_.size())) index_ = -1;
  Measure(true);
  update();
  RestartTimer();
}

void TRollLabel::SetKind(TRollLabelKind kind) {
  if (kind == kind_) return;
  kind_ = kind;
  update();
}

void TRollLabel::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  RestartTimer();
}

void TRollLabel::SetPauseTime(unsigned ms) {
  pauseTime_ = ms;
  Measure(false);
}

void TRollLabel::SetFontColor(const QColor& color) {
  fontColor_ = color;
  update();
}

void TRollLabel::SetHotFont(const QFont& font, const QColor& color) {
  hotFont_ = font;
  hotFontColor_ = color;
  if (hot_) update();
}

std::string TRollLabel::CurrentText() const {
  if (index_ < 0 || index_ >= static_cast<int>(lines_.size())) return {};
  return ParseRollEntry(lines_[static_cast<std::size_t>(index_)]).text;
}

QColor TRollLabel::CurrentColor() const {
  if (index_ < 0 || index_ >= static_cast<int>(lines_.size())) return fontColor_;
  const auto color = ParseRollEntry(lines_[static_cast<std::size_t>(index_)]).color;
  return color ? ColorFromTColor(*color) : fontColor_;
}

std::string TRollLabel::CurrentValue() const {
  if (index_ < 0 || index_ >= static_cast<int>(lines_.size())) return {};
  return ParseRollEntry(lines_[static_cast<std::size_t>(index_)]).value;
}

void TRollLabel::Measure(bool fromStart) {
  const QString text = Qs(CurrentText());
  if (text.isEmpty()) {
    hasText_ = false;
    return;
  }
  const QSize size = QFontMetrics(font()).size(Qt::TextSingleLine, text);
  textRect_ = QRect(QPoint(0, 0), size);
  drawRect_ = textRect_;
  hasText_ = true;
  if (fromStart) offset_ = Horizontal() ? width() : height();
  PlaceDrawRect();
}

void TRollLabel::PlaceDrawRect() {
  if (Horizontal()) {
    drawRect_.moveTo(offset_, HalfShrPlusOne(height() - textRect_.height()));
  } else {
    drawRect_.moveTo(HalfShrPlusOne(width() - textRect_.width()), offset_);
  }
}

int TRollLabel::NextIndex() {
  const int count = static_cast<int>(lines_.size());
  if (count == 0) return -1;
  if (!randomShow_) return (index_ + 1) % count;
  if (pool_.empty())
    for (int i = 0; i < count; ++i) pool_.push_back(i);
  std::uniform_int_distribution<std::size_t> pick(0, pool_.size() - 1);
  const std::size_t at = pick(random_);
  const int next = pool_[at];
  pool_.erase(pool_.begin() + static_cast<std::ptrdiff_t>(at));
  return next;
}

void TRollLabel::Tick() {
  if (index_ == -1) {
    const int next = NextIndex();
    if (next < 0) return;
    index_ = next;
  }
  if (!hasText_) Measure(true);
  if (!hasText_ || hot_ || lines_.empty()) return;

  const int w = textRect_.width(), h = textRect_.height();
  const int middle = Horizontal() ? HalfShrPlusOne(width() - w) : HalfShrPlusOne(height() - h);
  if (offset_ < middle && pauseTime_ != 0) {
    if (!stopBegan_) stopBegan_ = loop_.tickMs();
    if (loop_.tickMs() - *stopBegan_ < pauseTime_) return;
  }
  const int size = Horizontal() ? width() : height();
  offset_ -= move_;
  if (offset_ > size + move_) offset_ = size + move_;
  if (offset_ < -(Horizontal() ? w : h)) {
    index_ = NextIndex();
    Measure(true);
    stopBegan_.reset();
  }
  PlaceDrawRect();
  update();
}

void TRollLabel::Paint(QPainter& painter) {
  QImage buffer(size(), QImage::Format_ARGB32_Premultiplied);
  buffer.fill(Qt::transparent);
  {
    QPainter p(&buffer);
    CopyParentBackground(this, p);
    const TPicture& bg = PNGImage();
    const int w = width(), h = height();
    auto leftCap = [&] {
      DrawPicturePart(bg, p, RectLTRB(0, 0, kCap, h), RectLTRB(0, 0, kCap, bg.Height()));
    };
    if (!bg.Empty()) {
      leftCap();
      DrawPicturePart(bg, p, RectLTRB(kCap, 0, w - kCap, h),
                      RectLTRB(kCap, 0, bg.Width() - kCap, bg.Height()));
    }
    if (hasText_) {
      p.save();
      p.setClipRect(rect());
      p.setFont(hot_ ? hotFont_ : font());
      p.setPen(hot_ ? hotFontColor_ : CurrentColor());
      p.drawText(QRect(drawRect_.topLeft(), QSize(1 << 15, 1 << 15)),
                 Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Qs(CurrentText()));
      p.restore();
      if (!bg.Empty()) leftCap();  // the text slides under the left edge
    }
  }
  painter.drawImage(0, 0, buffer);
}

void TRollLabel::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    Measure(true);
    update();
  }
  TPNGControl::changeEvent(event);
}

void TRollLabel::resizeEvent(QResizeEvent* event) {
  Measure(false);
  TPNGControl::resizeEvent(event);
}

void TRollLabel::SetHot(bool on) {
  if (hot_ == on) return;
  hot_ = on;
  if (on) {
    setCursor(Qt::PointingHandCursor);
  } else {
    unsetCursor();
  }
  update();
}

void TRollLabel::enterEvent(QEnterEvent* event) {
  SetHot(HitTest(event->position().toPoint()));
  TPNGControl::enterEvent(event);
}

void TRollLabel::leaveEvent(QEvent* event) {
  SetHot(false);
  TPNGControl::leaveEvent(event);
}

void TRollLabel::mouseMoveEvent(QMouseEvent* event) {
  const bool inside = HitTest(event->position().toPoint());
  SetHot(inside);
  if (!inside) event->ignore();  // the parent's mouse
}

void TRollLabel::mousePressEvent(QMouseEvent* event) {
  if (!HitTest(event->position().toPoint())) {
    event->ignore();
    return;
  }
  TPNGControl::mousePressEvent(event);
}

void TRollLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (!LeftPressed() && !HitTest(event->position().toPoint())) {
    event->ignore();
    return;
  }
  TPNGControl::mouseReleaseEvent(event);
}

void TRollLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!HitTest(event->position().toPoint())) {
    event->ignore();
    return;
  }
  TPNGControl::mouseDoubleClickEvent(event);
}

}  // namespace nivra::ui
