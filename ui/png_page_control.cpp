#include "ui/png_page_control.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/png_common.h"

namespace nivra::ui {
namespace {

// The column of a three-look picture cell.
QRect Cell(const TPicture& pic, int column) {
  const int cw = pic.Width() / 3;
  return QRect(column * cw, 0, cw, pic.Height());
}

QSize CellSize(const TPicture& pic) { return {pic.Width() / 3, pic.Height()}; }

}  // namespace

TPNGPageControl::TPNGPageControl(QWidget* parent) : QWidget(parent) {
  resize(320, 240);
  color_ = palette().color(QPalette::Window);
  setMouseTracking(true);
  MarkCopiesParentBackground(this);
  LoadPNGFromResource(tabPic_, "TAB_BTN");
  LoadPNGFromResource(closeBtnPic_, "TAB_CLOSE");
  LoadPNGFromResource(newBtnPic_, "TAB_ADD");
}

TPNGPageControl::~TPNGPageControl() {
  // The pages are deleted with the widget tree after this: they must not call back.
  for (TPNGTabSheet* page : pages_) page->control_ = nullptr;
}

TPNGTabSheet* TPNGPageControl::Page(int index) const {
  return index >= 0 && index < PageCount() ? pages_[static_cast<std::size_t>(index)] : nullptr;
}

int TPNGPageControl::IndexOf(const TPNGTabSheet* page) const {
  const auto it = std::find(pages_.begin(), pages_.end(), page);
  return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

void TPNGPageControl::AddPage(TPNGTabSheet* page) {
  if (IndexOf(page) >= 0) return;
  pages_.push_back(page);
  page->control_ = this;
  if (page->parentWidget() != this) page->setParent(this);
  page->hide();
  LayoutPages();
  update();
}

void TPNGPageControl::RemovePage(TPNGTabSheet* page) {
  const int index = IndexOf(page);
  if (index < 0) return;
  pages_.erase(pages_.begin() + index);
  page->control_ = nullptr;
  if (activePage_ == page) activePage_ = nullptr;
  update();
}

void TPNGPageControl::MovePage(TPNGTabSheet* page, int index) {
  const int from = IndexOf(page);
  if (from < 0) return;
  pages_.erase(pages_.begin() + from);
  index = std::clamp(index, 0, PageCount());
  pages_.insert(pages_.begin() + index, page);
  update();
}

void TPNGPageControl::SetActivePage(TPNGTabSheet* page) {
  if (!page || IndexOf(page) < 0 || page == activePage_) return;
  bool allow = true;
  if (OnChangeing) OnChangeing(this, page, allow);
  if (!allow) return;
  TPNGTabSheet* old = activePage_;
  QWidget* form = window();
  page->raise();
  page->show();
  if (old && form->focusWidget() == old) {
    if (page->focusPolicy() != Qt::NoFocus) {
      page->setFocus();
    } else {
      setFocus();
    }
  }
  if (old) old->hide();
  activePage_ = page;
  if (form->focusWidget() == page) {
    // The first control inside the page takes the focus.
    for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
      if (page->isAncestorOf(w) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
        w->setFocus();
        break;
      }
    }
  }
  update();
  if (OnChanged) OnChanged(this);
}

void TPNGPageControl::SetShowTabBtns(bool on) {
  if (on == showTabBtns_) return;
  showTabBtns_ = on;
  LayoutPages();
  update();
}

void TPNGPageControl::SetShowNewBtn(bool on) {
  showNewBtn_ = on;
  update();
}

void TPNGPageControl::SetShowCloseBtn(bool on) {
  showCloseBtn_ = on;
  update();
}

void TPNGPageControl::SetColor(const QColor& color) {
  color_ = color;
  update();
}

void TPNGPageControl::SetTransparent(bool on) {
  transparent_ = on;
  update();
}

void TPNGPageControl::SetTabPic(const TPicture& p) {
  tabPic_ = p;
  LayoutPages();
  update();
}

void TPNGPageControl::SetCloseBtnPic(const TPicture& p) {
  closeBtnPic_ = p;
  update();
}

void TPNGPageControl::SetNewBtnPic(const TPicture& p) {
  newBtnPic_ = p;
  update();
}

void TPNGPageControl::SetTabLeft(int x) {
  tabLeft_ = x;
  update();
}

void TPNGPageControl::SetTabBtnWidth(int w) {
  tabBtnWidth_ = w;
  update();
}

void TPNGPageControl::SetTabBtnMinWidth(int w) {
  tabBtnMinWidth_ = w;
  update();
}

int TPNGPageControl::StripHeight() const { return showTabBtns_ ? tabPic_.Height() : 0; }

QRect TPNGPageControl::PageRect() const {
  const int top = StripHeight();
  return QRect(0, top, width(), std::max(0, height() - top));
}

void TPNGPageControl::LayoutPages() {
  for (TPNGTabSheet* page : pages_) page->setGeometry(PageRect());
}

void TPNGPageControl::resizeEvent(QResizeEvent* event) {
  LayoutPages();
  QWidget::resizeEvent(event);
}

int TPNGPageControl::TabWidth() const {
  const int newWidth = showNewBtn_ ? CellSize(newBtnPic_).width() + 8 : 0;
  const int room = width() - tabLeft_ - newWidth;
  const int each = pages_.empty() ? tabBtnWidth_ : room / PageCount();
  return std::clamp(each, std::min(tabBtnMinWidth_, tabBtnWidth_), tabBtnWidth_);
}

QRect TPNGPageControl::TabRect(int index) const {
  if (!showTabBtns_ || index < 0 || index >= PageCount()) return {};
  const int w = TabWidth();
  return QRect(tabLeft_ + index * w, 0, w, StripHeight());
}

QRect TPNGPageControl::CloseBtnRect(int index) const {
  const QRect tab = TabRect(index);
  if (tab.isEmpty() || !showCloseBtn_ || !Page(index)->TabCloseBtnVisible()) return {};
  const QSize cell = CellSize(closeBtnPic_);
  return QRect(tab.x() + tab.width() - cell.width() - 6, (tab.height() - cell.height()) / 2 + 2,
               cell.width(), cell.height());
}

QRect TPNGPageControl::NewBtnRect() const {
  if (!showTabBtns_ || !showNewBtn_) return {};
  const QSize cell = CellSize(newBtnPic_);
  const int x = tabLeft_ + PageCount() * TabWidth() + 4;
  return QRect(x, (StripHeight() - cell.height()) / 2 + 2, cell.width(), cell.height());
}

void TPNGPageControl::PaintStrip(QPainter& p) {
  auto look = [&](const QRect& r) { return r.contains(mouse_) ? (mouseDown_ ? 2 : 1) : 0; };
  for (int i = 0; i < PageCount(); ++i) {
    const TPNGTabSheet* page = Page(i);
    const QRect tab = TabRect(i);
    const int column = page == activePage_ ? 2 : tab.contains(mouse_) ? 1 : 0;
    DrawThreeSlice(tabPic_, p, tab, Cell(tabPic_, column));
    int textLeft = tab.x() + 10;
    if (!page->FavIcon().Empty()) {
      const TPicture& icon = page->FavIcon();
      DrawPicturePart(icon, p, QRect(textLeft, (tab.height() - 16) / 2 + 2, 16, 16),
                      QRect(0, 0, icon.Width(), icon.Height()));
      textLeft += 20;
    }
    const QRect close = CloseBtnRect(i);
    const int textRight = close.isEmpty() ? tab.x() + tab.width() - 8 : close.x() - 4;
    const QRect text = RectLTRB(textLeft, 2, textRight, tab.height());
    p.setPen(
        palette().color(page == activePage_ ? QPalette::WindowText : QPalette::PlaceholderText));
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               fontMetrics().elidedText(page->Caption(), Qt::ElideRight, text.width()));
    if (!close.isEmpty()) DrawPicturePart(closeBtnPic_, p, close, Cell(closeBtnPic_, look(close)));
  }
  const QRect add = NewBtnRect();
  if (!add.isEmpty()) DrawPicturePart(newBtnPic_, p, add, Cell(newBtnPic_, look(add)));
}

void TPNGPageControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (OnPaintBackground) {
    bool handled = false;
    OnPaintBackground(this, painter, rect(), handled);
    if (handled) return;
  }
  if (transparent_) {
    CopyParentBackground(this, painter);
  } else if (pages_.empty()) {
    painter.fillRect(rect(), color_);
  }
  if (showTabBtns_) PaintStrip(painter);
}

void TPNGPageControl::mouseMoveEvent(QMouseEvent* event) {
  mouse_ = event->position().toPoint();
  if (showTabBtns_) update(0, 0, width(), StripHeight());
}

void TPNGPageControl::leaveEvent(QEvent* event) {
  mouse_ = QPoint(-1, -1);
  update();
  QWidget::leaveEvent(event);
}

void TPNGPageControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  mouse_ = event->position().toPoint();
  mouseDown_ = true;
  for (int i = 0; i < PageCount(); ++i)
    if (TabRect(i).contains(mouse_) && !CloseBtnRect(i).contains(mouse_)) SetActivePage(Page(i));
  update();
}

void TPNGPageControl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !mouseDown_) return;
  mouseDown_ = false;
  const QPoint at = event->position().toPoint();
  for (int i = 0; i < PageCount(); ++i)
    if (CloseBtnRect(i).contains(at) && CloseBtnRect(i).contains(mouse_) && OnCloseBtnClick) {
      OnCloseBtnClick(this, Page(i));
      break;
    }
  if (NewBtnRect().contains(at) && NewBtnRect().contains(mouse_) && OnNewBtnClick)
    OnNewBtnClick(this);
  mouse_ = at;
  update();
}

TPNGTabSheet::TPNGTabSheet(QWidget* parent) : QWidget(parent) {
  color_ = palette().color(QPalette::Window);
  MarkCopiesParentBackground(this);
  hide();
  if (auto* control = dynamic_cast<TPNGPageControl*>(parent)) control->AddPage(this);
}

TPNGTabSheet::~TPNGTabSheet() {
  if (control_) control_->RemovePage(this);
}

void TPNGTabSheet::SetPageControl(TPNGPageControl* control) {
  if (control == control_) return;
  if (control_) control_->RemovePage(this);
  if (control) {
    control->AddPage(this);
  } else {
    hide();
  }
}

int TPNGTabSheet::PageIndex() const { return control_ ? control_->IndexOf(this) : -1; }

void TPNGTabSheet::SetPageIndex(int index) {
  if (control_) control_->MovePage(this, index);
}

void TPNGTabSheet::SetCaption(const QString& caption) {
  caption_ = caption;
  if (control_) control_->update();
}

void TPNGTabSheet::SetColor(const QColor& color) {
  color_ = color;
  update();
}

void TPNGTabSheet::SetTransparent(bool on) {
  transparent_ = on;
  update();
}

void TPNGTabSheet::SetTabCloseBtnVisible(bool on) {
  tabCloseBtnVisible_ = on;
  if (control_) control_->update();
}

void TPNGTabSheet::SetFavIcon(const TPicture& icon) {
  favIcon_ = icon;
  if (control_) control_->update();
}

void TPNGTabSheet::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (transparent_) {
    CopyParentBackground(this, painter);
  } else {
    painter.fillRect(rect(), color_);
  }
}

void TPNGTabSheet::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous() && OnShow) OnShow(this);
}

void TPNGTabSheet::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous() && OnHide) OnHide(this);
}

}  // namespace nivra::ui
