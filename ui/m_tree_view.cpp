#include "ui/m_tree_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

#include "ui/png_common.h"
#include "ui/png_scroll_bar.h"

namespace nivra::ui {
namespace {

constexpr int kIndent = 19;       // per level
constexpr int kStateGap = 17;     // a state image sits this far left of the text
constexpr int kUrlLeafShift = 8;  // leaves with a url and no state image move left
constexpr int kRightMargin = 5;   // with state images the right edges move in
constexpr int kWheelRows = 3;

}  // namespace

TmTreeView::TmTreeView(QWidget* parent) : QAbstractScrollArea(parent) {
  viewport()->setMouseTracking(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  LoadPNGFromResource(picSelectBG_, "HOTBG");
  RebuildBackground();
}

TmTreeView::~TmTreeView() {
  if (model_) model_->SetChangeListener(nullptr);
}

void TmTreeView::SetModel(TmTreeModel* model) {
  if (model_) model_->SetChangeListener(nullptr);
  model_ = model;
  hotNode_ = pressedNode_ = 0;
  if (model_) model_->SetChangeListener([this] { Relayout(); });
  Relayout();
}

void TmTreeView::SetCustumScrollBar(TPNGCustomScrollBar* bar) {
  customBar_ = bar;
  setVerticalScrollBarPolicy(bar ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
  MirrorScrollBar();
}

void TmTreeView::SetPicBG(const TPicture& picture) {
  picBG_ = picture;
  RebuildBackground();
}

void TmTreeView::SetPicBGStyle(TPicBGStyle style) {
  picBGStyle_ = style;
  RebuildBackground();
}

void TmTreeView::SetPicSelectBG(const TPicture& picture) {
  picSelectBG_ = picture;
  if (picSelectBG_.Empty()) LoadPNGFromResource(picSelectBG_, "HOTBG");
  viewport()->update();
}

void TmTreeView::SetFontStandTextColor(std::uint32_t c) {
  standColor_ = c;
  viewport()->update();
}
void TmTreeView::SetFontLabelTextColor(std::uint32_t c) {
  labelColor_ = c;
  viewport()->update();
}
void TmTreeView::SetFontSelectTextColor(std::uint32_t c) {
  selectColor_ = c;
  viewport()->update();
}
void TmTreeView::SetFontHotTextColor(std::uint32_t c) {
  hotColor_ = c;
  viewport()->update();
}
void TmTreeView::SetAdvState(std::uint16_t value) {
  advState_ = value;
  viewport()->update();
}
void TmTreeView::SetNodeImages(const TImageList* images) {
  nodeImages_ = images;
  viewport()->update();
}
void TmTreeView::SetStateImages(const TImageList& images) {
  stateImages_ = images;
  viewport()->update();
}

void TmTreeView::SetItemHeight(int pixels) {
  if (pixels < 1) return;
  itemHeight_ = pixels;
  Relayout();
}

std::vector<TreeNodeId> TmTreeView::VisibleNodes() const {
  std::vector<TreeNodeId> rows;
  if (!model_) return rows;
  std::function<void(TreeNodeId)> walk = [&](TreeNodeId parent) {
    for (TreeNodeId child : model_->Children(parent)) {
      rows.push_back(child);
      if (model_->Expanded(child)) walk(child);
    }
  };
  walk(0);
  return rows;
}

int TmTreeView::Level(TreeNodeId node) const {
  int level = 0;
  if (!model_) return level;
  for (TreeNodeId p = model_->Parent(node); p != 0; p = model_->Parent(p)) ++level;
  return level;
}

bool TmTreeView::IsAncestor(TreeNodeId ancestor, TreeNodeId node) const {
  if (!model_ || ancestor == 0) return false;
  for (TreeNodeId p = model_->Parent(node); p != 0; p = model_->Parent(p))
    if (p == ancestor) return true;
  return false;
}

int TmTreeView::PageRows() const { return std::max(1, viewport()->height() / itemHeight_); }

int TmTreeView::ScrollPosition() const { return verticalScrollBar()->value(); }

void TmTreeView::SetScrollPosition(int row) { verticalScrollBar()->setValue(row); }

TreeNodeId TmTreeView::GetNodeAt(int, int y) const {
  if (y < 0) return 0;
  const std::vector<TreeNodeId> rows = VisibleNodes();
  const std::size_t index = static_cast<std::size_t>(ScrollPosition() + y / itemHeight_);
  return index < rows.size() ? rows[index] : 0;
}

void TmTreeView::Relayout() {
  if (!model_) {
    hotNode_ = 0;
  }
  const int count = static_cast<int>(VisibleNodes().size());
  QScrollBar* bar = verticalScrollBar();
  bar->setRange(0, std::max(0, count - PageRows()));
  bar->setPageStep(PageRows());
  bar->setSingleStep(1);
  MirrorScrollBar();
  viewport()->update();
}

void TmTreeView::MirrorScrollBar() {
  if (!customBar_) return;
  const int count = static_cast<int>(VisibleNodes().size());
  const int page = PageRows();
  const int rangeMax = count > page ? count - 1 : 0;
  if (rangeMax <= 0) {
    customBar_->hide();
    return;
  }
  customBar_->show();
  if (customBar_->Max() != rangeMax) customBar_->SetMax(rangeMax);
  if (customBar_->Min() != 0) customBar_->SetMin(0);
  if (customBar_->PageSize() != page) customBar_->SetPageSize(page);
  if (customBar_->Position() != ScrollPosition()) customBar_->SetPosition(ScrollPosition());
}

void TmTreeView::RebuildBackground() {
  const QSize size = viewport()->size().expandedTo(QSize(1, 1));
  background_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
  background_.fill(palette().color(QPalette::Base));
  if (!picBG_.Empty()) {
    QPainter p(&background_);
    const QRect whole(0, 0, picBG_.Width(), picBG_.Height());
    switch (picBGStyle_) {
      case TPicBGStyle::pbgs_Normal:
        DrawPicturePart(picBG_, p, whole, whole);
        break;
      case TPicBGStyle::pbgs_STRETCH:
        DrawPicturePart(picBG_, p, QRect(QPoint(0, 0), size), whole);
        break;
      case TPicBGStyle::pbgs_CENTER:
        DrawPicturePart(picBG_, p,
                        whole.translated((size.width() - whole.width()) / 2,
                                         (size.height() - whole.height()) / 2),
                        whole);
        break;
    }
  }
  viewport()->update();
}

TRowLayout TmTreeView::LayoutRow(TreeNodeId node, int rowWidth) const {
  TRowLayout row;
  if (!model_) return row;
  const QString text = QString::fromStdString(model_->Text(node));
  const qsizetype bar = text.indexOf(QLatin1Char('|'));
  row.name = bar < 0 ? text : text.left(bar);
  row.label = bar < 0 ? QString() : text.mid(bar + 1);
  const QFontMetrics fm = fontMetrics();
  const bool states = HasStateImages();
  const int stateIndex = model_->StateIndex(node);
  const int h = itemHeight_;

  row.textLeft = 3 + Level(node) * kIndent + (states ? kStateGap : 0);
  if (states && stateIndex == -1 && !model_->Url(node).empty()) row.textLeft -= kUrlLeafShift;
  if (states && model_->HasChildren(node)) {
    const int sw = stateImages_.Width(), sh = stateImages_.Height();
    row.stateRect = QRect(row.textLeft - kStateGap, (h - sh) / 2, sw, sh);
    row.stateIndex = stateIndex;
    if (advState_ != 0) {
      row.advStateRect = QRect(rowWidth - sw - 8, (h - sh) / 2, sw, sh);
      row.advStateIndex = stateIndex + advState_;
    }
  }
  const int right = rowWidth - (states ? kRightMargin : 0);
  const bool blank = row.label.trimmed().isEmpty();
  const int labelWidth = blank ? 0 : fm.horizontalAdvance(row.label) + 2;
  const int nameEnd = row.textLeft + fm.horizontalAdvance(row.name) + 5;
  row.countedLabel = !blank && row.label.contains(QLatin1Char('('));
  int nameRight;
  if (row.countedLabel) {
    // Right after the name, but never pushed past the row's end.
    nameRight = std::max(row.textLeft + 4, std::min(nameEnd, right - labelWidth));
    row.labelRect = RectLTRB(nameRight, 0, nameRight + labelWidth, h);
    row.hotRect = RectLTRB(row.textLeft, 0, row.labelRect.x() + labelWidth, h);
  } else if (!blank) {
    row.labelRect = RectLTRB(right - labelWidth, 0, right, h);
    nameRight = right - labelWidth - 4;
    row.hotRect = RectLTRB(row.textLeft, 0, right, h);
  } else {
    nameRight = right - 4;
    row.hotRect = RectLTRB(row.textLeft, 0, std::min(nameEnd, right), h);
  }
  row.nameRect = RectLTRB(row.textLeft + 4, 0, nameRight, h);
  return row;
}

void TmTreeView::PaintRow(QPainter& painter, TreeNodeId node, const QRect& rowRect) {
  QImage image(rowRect.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.drawImage(QPoint(0, 0), background_, rowRect);
  const QRect whole(QPoint(0, 0), rowRect.size());
  const int level = Level(node);
  if (nodeImages_ && level < nodeImages_->Count())
    DrawThreeSlice(nodeImages_->Strip(), p, whole, nodeImages_->Cell(level));

  const TRowLayout row = LayoutRow(node, rowRect.width());
  if (!row.stateRect.isEmpty())
    stateImages_.Draw(p, row.stateRect.x(), row.stateRect.y(), row.stateIndex);
  if (!row.advStateRect.isEmpty())
    stateImages_.Draw(p, row.advStateRect.x(), row.advStateRect.y(), row.advStateIndex);

  const bool hot = node == hotNode_;
  const bool selected = model_ && node == model_->Selected();
  if (hot && !row.hotRect.isEmpty())
    DrawPicturePart(picSelectBG_, p, row.hotRect,
                    QRect(0, 0, picSelectBG_.Width(), picSelectBG_.Height()));
  p.setFont(font());
  if (!row.labelRect.isEmpty()) {
    p.setPen(ColorFromTColor(hot ? hotColor_ : selected ? selectColor_ : labelColor_));
    const Qt::Alignment align = row.countedLabel ? Qt::AlignLeft : Qt::AlignRight;
    p.drawText(row.labelRect, align | Qt::AlignVCenter | Qt::TextSingleLine, row.label);
  }
  if (row.nameRect.width() > 0) {
    p.setPen(ColorFromTColor(hot ? hotColor_ : selected ? selectColor_ : standColor_));
    const QString shown = fontMetrics().elidedText(row.name, Qt::ElideRight, row.nameRect.width());
    p.drawText(row.nameRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
  }
  p.end();
  painter.drawImage(rowRect.topLeft(), image);
}

void TmTreeView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.drawImage(0, 0, background_);
  const std::vector<TreeNodeId> rows = VisibleNodes();
  const int first = ScrollPosition();
  const int width = viewport()->width();
  for (int i = first, y = 0; i < static_cast<int>(rows.size()) && y < viewport()->height();
       ++i, y += itemHeight_)
    PaintRow(painter, rows[static_cast<std::size_t>(i)], QRect(0, y, width, itemHeight_));
}

void TmTreeView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  RebuildBackground();
  Relayout();
}

void TmTreeView::scrollContentsBy(int, int) {
  MirrorScrollBar();
  viewport()->update();
}

void TmTreeView::SetHotNode(TreeNodeId node) {
  if (node == hotNode_) return;
  hotNode_ = node;
  viewport()->update();
}

bool TmTreeView::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::Leave) SetHotNode(0);
  if (event->type() == QEvent::ToolTip && model_) {
    auto* help = static_cast<QHelpEvent*>(event);
    const TreeNodeId node = GetNodeAt(help->pos().x(), help->pos().y());
    const TRowLayout row = LayoutRow(node, viewport()->width());
    if (node && fontMetrics().horizontalAdvance(row.name) > row.nameRect.width()) {
      QToolTip::showText(help->globalPos(), row.name, viewport());
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void TmTreeView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  SetHotNode(GetNodeAt(p.x(), p.y()));
}

void TmTreeView::Expand(TreeNodeId node) {
  if (!model_ || node == 0 || !model_->HasChildren(node) || model_->Expanded(node)) return;
  bool allow = true;
  if (OnExpanding) OnExpanding(this, node, allow);
  if (!allow) return;
  model_->SetExpanded(node, true);
  if (OnExpanded) OnExpanded(this, node);
  Relayout();
}

void TmTreeView::Collapse(TreeNodeId node) {
  if (!model_ || node == 0 || !model_->Expanded(node)) return;
  bool allow = true;
  if (OnCollapsing) OnCollapsing(this, node, allow);
  if (!allow) return;
  model_->SetExpanded(node, false);
  if (IsAncestor(node, model_->Selected())) Select(node, false);
  if (OnCollapsed) OnCollapsed(this, node);
  Relayout();
}

void TmTreeView::Select(TreeNodeId node, bool byMouse) {
  if (!model_) return;
  const TreeNodeId old = model_->Selected();
  if (node == old) {
    if (byMouse && autoExpand_) model_->Expanded(node) ? Collapse(node) : Expand(node);
    return;
  }
  model_->SetSelected(node);
  if (OnChange) OnChange(this, node);
  if (byMouse && autoExpand_) {
    Expand(node);
    // The old selection closes up to the branch the new one lies in.
    for (TreeNodeId n = old; n != 0 && n != node && !IsAncestor(n, node); n = model_->Parent(n))
      Collapse(n);
  }
  EnsureVisible(node);
  viewport()->update();
}

void TmTreeView::EnsureVisible(TreeNodeId node) {
  const std::vector<TreeNodeId> rows = VisibleNodes();
  const auto it = std::find(rows.begin(), rows.end(), node);
  if (it == rows.end()) return;
  const int index = static_cast<int>(it - rows.begin());
  if (index < ScrollPosition()) SetScrollPosition(index);
  if (index >= ScrollPosition() + PageRows()) SetScrollPosition(index - PageRows() + 1);
}

void TmTreeView::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  const TreeNodeId node = GetNodeAt(p.x(), p.y());
  if (OnMouseDown) OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
  pressedNode_ = event->button() == Qt::LeftButton ? node : 0;
  if (event->button() == Qt::RightButton && rightClickSelect_ && node) Select(node, false);
}

void TmTreeView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint p = event->position().toPoint();
  const TreeNodeId node = GetNodeAt(p.x(), p.y());
  const bool clicked = pressedNode_ != 0 && node == pressedNode_;
  pressedNode_ = 0;
  if (!clicked) return;
  Select(node, true);
  if (OnClick) OnClick(this);
}

void TmTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && OnDblClick) OnDblClick(this);
}

void TmTreeView::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  SetScrollPosition(ScrollPosition() - notches * kWheelRows);
  MirrorScrollBar();
}

void TmTreeView::keyPressEvent(QKeyEvent* event) {
  if (!model_) return;
  const std::vector<TreeNodeId> rows = VisibleNodes();
  if (rows.empty()) return;
  const TreeNodeId selected = model_->Selected();
  auto it = std::find(rows.begin(), rows.end(), selected);
  const int index = it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
  const int last = static_cast<int>(rows.size()) - 1;
  auto at = [&](int i) { return rows[static_cast<std::size_t>(std::clamp(i, 0, last))]; };
  switch (event->key()) {
    case Qt::Key_Down:
      Select(at(index + 1), false);
      break;
    case Qt::Key_Up:
      Select(at(index < 0 ? 0 : index - 1), false);
      break;
    case Qt::Key_Home:
      Select(at(0), false);
      break;
    case Qt::Key_End:
      Select(at(last), false);
      break;
    case Qt::Key_Right:
      Expand(selected);
      break;
    case Qt::Key_Left:
      if (model_->Expanded(selected)) {
        Collapse(selected);
      } else if (TreeNodeId parent = model_->Parent(selected)) {
        Select(parent, false);
      }
      break;
    default:
      QAbstractScrollArea::keyPressEvent(event);
  }
}

}  // namespace nivra::ui
