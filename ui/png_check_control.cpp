#include "ui/png_check_control.h"

#include <QAbstractButton>
#include <QImage>
#include <QPainter>
#include <QStyleOptionButton>

#include "ui/png_common.h"

namespace nivra::ui {
namespace {

constexpr int kTextFlags =
    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;

// A dotted one-pixel rectangle, every other pixel, as focus rectangles are drawn.
void DrawDottedRect(QPainter& p, const QRect& r, const QColor& colour) {
  const int l = r.left(), t = r.top(), rr = r.left() + r.width() - 1, b = r.top() + r.height() - 1;
  p.setPen(colour);
  for (int x = l; x <= rr; x += 2) {
    p.drawPoint(x, t);
    p.drawPoint(x, b);
  }
  for (int y = t; y <= b; y += 2) {
    p.drawPoint(l, y);
    p.drawPoint(rr, y);
  }
}

}  // namespace

QStyle::State CheckBoxState(const CheckLook& look, bool enabled, Qt::CheckState state) {
  QStyle::State s = QStyle::State_None;
  if (look.themed) {
    if (!enabled) {
      // the disabled look only
    } else if (look.pressed) {
      s |= QStyle::State_Enabled | QStyle::State_Sunken;
    } else if (look.hover) {
      s |= QStyle::State_Enabled | QStyle::State_MouseOver;
    } else {
      s |= QStyle::State_Enabled;
    }
    if (state == Qt::PartiallyChecked && !look.radio) {
      s |= QStyle::State_NoChange;
    } else {
      s |= state == Qt::Unchecked ? QStyle::State_Off : QStyle::State_On;
    }
  } else {
    if (enabled && !look.pressed) s |= QStyle::State_Enabled;
    s |= state == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
  }
  return s;
}

QRect CheckFocusRect(const QAbstractButton& button) {
  const QRect text = CheckCaptionRect(button.rect());
  const int width = button.fontMetrics().size(Qt::TextShowMnemonic, button.text()).width();
  return RectLTRB(text.left() - 1, 0, text.left() + width, button.height());
}

void PaintCheckControl(QAbstractButton& button, Qt::CheckState state, const CheckLook& look,
                       QPainter& painter) {
  QImage buffer(button.size(), QImage::Format_ARGB32_Premultiplied);
  buffer.fill(Qt::transparent);
  QPainter p(&buffer);
  CopyParentBackground(&button, p);

  QStyleOptionButton option;
  option.initFrom(&button);
  const QRect box = CheckBoxRect(button.height());
  option.rect = QRect(box.left(), box.top() + (box.height() - 13) / 2, 13, 13);
  option.state = CheckBoxState(look, button.isEnabled(), state);
  if (!(option.state & QStyle::State_Enabled))
    option.palette.setCurrentColorGroup(QPalette::Disabled);
  button.style()->drawPrimitive(
      look.radio ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox, &option, &p,
      &button);

  const QRect text = CheckCaptionRect(button.rect());
  const QPalette& pal = button.palette();
  p.setFont(button.font());
  if (button.isEnabled()) {
    p.setPen(pal.color(QPalette::WindowText));
    p.drawText(text, kTextFlags, button.text());
  } else {
    p.setPen(pal.color(QPalette::Light));
    p.drawText(text.translated(1, 1), kTextFlags, button.text());
    p.setPen(pal.color(QPalette::Dark));
    p.drawText(text, kTextFlags, button.text());
  }
  if (button.hasFocus()) DrawDottedRect(p, CheckFocusRect(button), pal.color(QPalette::WindowText));
  p.end();
  painter.drawImage(0, 0, buffer);
}

}  // namespace nivra::ui
