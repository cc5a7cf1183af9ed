#include "catalogue/panel/right_form.h"

#include <QMouseEvent>
#include <QResizeEvent>

#include "common/ufunction.h"
#include "ui/image_list.h"
#include "ui/m_tree_view.h"
#include "ui/png_button.h"
#include "ui/png_image.h"
#include "ui/png_page_control.h"
#include "ui/png_scroll_bar.h"
#include "ui/roll_label.h"
#include "ui/skin.h"

namespace nivra::catalogue::panel {
namespace {

constexpr int kTabBarHeight = 30;  // the page buttons' cells
constexpr int kRollHeight = 22;    // the scrolling label's background
constexpr int kScrollBarWidth = 16;
constexpr int kStateImageSize = 16;
const QColor kPanelColour(0x17, 0x19, 0x1d);

void PaintDark(QWidget* w) {
  w->setAutoFillBackground(true);
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, kPanelColour);
  pal.setColor(QPalette::Base, kPanelColour);
  w->setPalette(pal);
}

}  // namespace

TRightForm::TRightForm(RightFormHost& host, RightFormServices services, QWidget* parent)
    : QWidget(parent),
      host_(host),
      services_(std::move(services)),
      treeFun_(services_.cache),
      history_(services_.dataFolder, services_.historyCapacity),
      favourites_(services_.dataFolder) {
  setWindowTitle(QStringLiteral("节目列表"));
  setMouseTracking(true);
  PaintDark(this);
  BuildActions();
  BuildTabs();
  BuildTree(PanelTree::kCatalogue, true);
  BuildTree(PanelTree::kHistory, false);
  BuildTree(PanelTree::kFavourites, true);
  BuildMenus();

  imgLeft_ = new ui::TPNGImage(this);
  imgRight_ = new ui::TPNGImage(this);
  for (auto [img, name] :
       {std::pair{imgLeft_, "panel_left"}, std::pair{imgRight_, "panel_right"}}) {
    img->SetDrawStyle(ui::dsStretch);
    img->SetPNGImage(ui::SkinPicture(QString::fromLatin1(name)));
    img->setAttribute(Qt::WA_TransparentForMouseEvents);  // the panel takes the edge drag
  }
  pnlAd_ = new QWidget(this);
  rollLabel_ = new ui::TRollLabel(services_.loop, pnlAd_);
  rollLabel_->SetKind(ui::TRollLabelKind::rlVertical);
  rollLabel_->SetRandomShow(true);
  rollLabel_->SetPNGImage(ui::SkinPicture(QStringLiteral("roll_bg")));
  rollLabel_->SetFontColor(QColor(0x4c, 0x9f, 0xdc));
  rollLabel_->OnClick = [this](QObject*) {
    const std::string url = rollLabel_->CurrentValue();
    if (!url.empty()) host_.OpenExternal(url);
  };

  // Parts of the floating form (title, bottom, search and count bars) are never shown docked,
  // so they are not built; the count text stays readable through TreeCountText().
  btnLib_->hide();
  Part(PanelTree::kCatalogue).button->hide();
  SelectTab(PanelTree::kHistory);
  SetDockSide(DockSide::kRight);
  resize(kDockedWidth, 400);
  startTimer_ = services_.loop.startTimer(kStartDelayMs, alive_.guard([this] { StartUp(); }));
}

TRightForm::~TRightForm() {
  services_.loop.killTimer(startTimer_);
  for (TreePart& part : parts_) {
    part.tree.setDestroying(true);
    part.tree.setDeletionHandler(nullptr);
    part.view->SetModel(nullptr);  // the views outlive the models (they are child widgets)
  }
}

void TRightForm::StartUp() {
  services_.loop.killTimer(startTimer_);
  startTimer_ = 0;
  history_.LoadHistory(Tree(PanelTree::kHistory));
  favourites_.LoadFavourites(Tree(PanelTree::kFavourites));
  Refresh(PanelTree::kHistory);
  Refresh(PanelTree::kFavourites);
  host_.StartRightListDownload();
}

void TRightForm::BuildTabs() {
  pnlBtn_ = new QWidget(this);
  auto makeButton = [this](QAction* action) {
    auto* b = new ui::TPNGCaptionButton(pnlBtn_);
    b->SetNumGlyphs(4);
    b->SetStateMax(2);
    b->SetStretch(true);
    b->SetShowCaption(true);
    b->SetPNGImage(ui::SkinPicture(QStringLiteral("btn_page")));
    b->SetAction(action);
    b->setCursor(Qt::PointingHandCursor);
    b->resize(kTabButtonWidth, kTabBarHeight);
    QPalette pal = b->palette();
    pal.setColor(QPalette::WindowText, QColor(0xd4, 0xd9, 0xe0));
    b->setPalette(pal);
    return b;
  };
  Part(PanelTree::kCatalogue).button = makeButton(act_.btnTree);
  Part(PanelTree::kHistory).button = makeButton(act_.btnHistory);
  Part(PanelTree::kFavourites).button = makeButton(act_.btnFav);
  auto* lib = new QAction(QStringLiteral("片库"), this);
  btnLib_ = makeButton(lib);

  pgcRight_ = new ui::TPNGPageControl(this);
  pgcRight_->SetShowTabBtns(false);
  pgcRight_->SetColor(kPanelColour);
}

void TRightForm::BuildTree(PanelTree which, bool stateImages) {
  TreePart& part = Part(which);
  part.sheet = new ui::TPNGTabSheet(pgcRight_);
  part.sheet->SetColor(kPanelColour);
  part.view = new ui::TmTreeView(part.sheet);
  PaintDark(part.view->viewport());
  part.view->SetItemHeight(kCatalogueItemHeight);
  part.view->SetRightClickSelect(true);
  if (stateImages) {
    static const ui::TImageList il1(ui::SkinPicture(QStringLiteral("tree_state")), kStateImageSize);
    part.view->SetStateImages(il1);
  }
  part.bar = new ui::TPNGScrollBar(part.sheet);
  part.bar->SetMax(100);
  part.bar->SetPageSize(10);
  part.view->SetCustumScrollBar(part.bar);
  ui::TmTreeView* view = part.view;
  part.bar->OnPosChange = [view](QObject* sender) {
    const int pos = static_cast<ui::TPNGScrollBar*>(sender)->Position();
    if (pos != view->ScrollPosition()) view->SetScrollPosition(pos);
  };
  part.model = std::make_unique<CatalogueTreeModel>(part.tree);
  part.view->SetModel(part.model.get());
  part.view->viewport()->installEventFilter(this);

  if (which != PanelTree::kHistory) {
    part.view->OnExpanded = [this, which](QObject*, ui::TreeNodeId id) {
      OnExpanded(which, CatalogueTreeModel::NodeOf(id));
    };
  }
  part.view->OnDblClick = [this, which](QObject*) {
    switch (which) {
      case PanelTree::kCatalogue: {
        const QPoint p = Part(which).mouse;
        PlayCatalogueItem(CatalogueTreeModel::NodeOf(Part(which).view->GetNodeAt(p.x(), p.y())));
        break;
      }
      case PanelTree::kHistory:
        PlayItem(which, true);
        break;
      case PanelTree::kFavourites:
        PlayItem(which, false);
        break;
    }
  };
  if (which == PanelTree::kFavourites) {
    part.tree.setDeletionHandler([this](TreeNode& node) {
      if (&node == playingNode_) playingNode_ = nullptr;
    });
  }
}

void TRightForm::BuildMenus() {
  auto menu = [this](std::initializer_list<QAction*> entries) {
    auto* m = new QMenu(this);
    for (QAction* a : entries) m->addAction(a);
    return m;
  };
  pmTreeMovie_ = menu(
      {act_.play, act_.stop, act_.refresh, act_.addFav, act_.collapsedAll, act_.autoCollapsed});
  pmTreeNode_ = menu({act_.collapsed, act_.refresh, act_.collapsedAll, act_.autoCollapsed});
  pmFavAndHis_ = menu(
      {act_.play, act_.stop, act_.refresh, act_.addFav, act_.del, act_.deleteAll, act_.copyUrl});
}

void TRightForm::SetDockSide(DockSide side) {
  side_ = side;
  LayoutParts();
}

void TRightForm::LayoutParts() {
  const int w = width(), h = height();
  // The separator faces the video: on the left when docked right of it, else on the right.
  imgLeft_->setVisible(side_ == DockSide::kRight);
  imgRight_->setVisible(side_ == DockSide::kLeft);
  const int left = side_ == DockSide::kRight ? kEdgeBand : 0;
  const int right = side_ == DockSide::kLeft ? w - kEdgeBand : w;
  imgLeft_->setGeometry(0, 0, kEdgeBand, h);
  imgRight_->setGeometry(w - kEdgeBand, 0, kEdgeBand, h);
  const int inner = right - left;

  pnlBtn_->setGeometry(left, 0, inner, kTabBarHeight);
  // The two visible tabs share the width.
  int x = 0;
  for (PanelTree t : {PanelTree::kCatalogue, PanelTree::kHistory, PanelTree::kFavourites}) {
    ui::TPNGCaptionButton* b = Part(t).button;
    if (t != PanelTree::kCatalogue) b->resize(w / 2, kTabBarHeight);
    if (!b->isHidden()) {
      b->move(x, 0);
      x += b->width();
    }
  }
  const int adTop = h - kRollHeight;
  pgcRight_->setGeometry(left, kTabBarHeight, inner, std::max(0, adTop - kTabBarHeight));
  const QRect page = pgcRight_->PageRect();
  for (TreePart& part : parts_) {
    part.sheet->setGeometry(page);
    part.view->setGeometry(0, 0, page.width() - kScrollBarWidth, page.height());
    part.bar->setGeometry(page.width() - kScrollBarWidth, 0, kScrollBarWidth, page.height());
  }
  pnlAd_->setGeometry(left, adTop, inner, kRollHeight);
  rollLabel_->setGeometry(0, 0, inner, kRollHeight);
}

void TRightForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutParts();
}

int TRightForm::HitTest(QPoint local) const {
  if (!rect().contains(local)) return 0;
  if (side_ == DockSide::kRight && local.x() < kEdgeBand) return common::HTLEFT;
  if (side_ == DockSide::kLeft && local.x() >= width() - kEdgeBand) return common::HTRIGHT;
  return 0;
}

void TRightForm::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && HitTest(event->position().toPoint()) != 0) {
    draggingEdge_ = true;
    dragStartX_ = event->globalPosition().toPoint().x();
    dragStartWidth_ = width();
    return;
  }
  QWidget::mousePressEvent(event);
}

void TRightForm::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  setCursor(draggingEdge_ || HitTest(p) ? Qt::SizeHorCursor : Qt::ArrowCursor);
  if (!draggingEdge_) return;
  const int delta = event->globalPosition().toPoint().x() - dragStartX_;
  // Docked right of the video the inner edge is the left one: dragging it left widens.
  int wanted = side_ == DockSide::kRight ? dragStartWidth_ - delta : dragStartWidth_ + delta;
  int most = parentWidget() ? parentWidget()->width() - kMinWidth : wanted;
  wanted = std::clamp(wanted, kMinWidth, std::max(kMinWidth, most));
  if (wanted == width()) return;
  resize(wanted, height());
  host_.PanelResized(wanted);
}

void TRightForm::mouseReleaseEvent(QMouseEvent* event) {
  if (draggingEdge_ && event->button() == Qt::LeftButton) {
    draggingEdge_ = false;
    return;
  }
  QWidget::mouseReleaseEvent(event);
}

bool TRightForm::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
      type != QEvent::MouseButtonRelease && type != QEvent::MouseMove)
    return QWidget::eventFilter(watched, event);
  const PanelTree tree = TreeOfView(watched);
  auto* mouse = static_cast<QMouseEvent*>(event);
  Part(tree).mouse = mouse->position().toPoint();
  if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::RightButton)
    ShowTreeMenu(tree, mouse->position().toPoint(), mouse->globalPosition().toPoint());
  return QWidget::eventFilter(watched, event);
}

PanelTree TRightForm::TreeOfView(const QObject* view) const {
  for (PanelTree t : {PanelTree::kCatalogue, PanelTree::kHistory, PanelTree::kFavourites})
    if (Part(t).view == view || Part(t).view->viewport() == view) return t;
  return PanelTree::kCatalogue;
}

CatalogueTree& TRightForm::Tree(PanelTree tree) { return Part(tree).tree; }
ui::TmTreeView* TRightForm::View(PanelTree tree) const { return Part(tree).view; }
ui::TPNGScrollBar* TRightForm::ScrollBar(PanelTree tree) const { return Part(tree).bar; }
ui::TPNGCaptionButton* TRightForm::TabButton(PanelTree tree) const { return Part(tree).button; }

PanelTree TRightForm::CurrentTree() const {
  if (!act_.btnHistory->isEnabled()) return PanelTree::kHistory;
  if (!act_.btnFav->isEnabled()) return PanelTree::kFavourites;
  return PanelTree::kCatalogue;
}

}  // namespace nivra::catalogue::panel
