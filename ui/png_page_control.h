#pragma once
// TPNGPageControl holds pages (TPNGTabSheet) and shows one of them under an optional tab strip
// (one tab per page with its caption and close button, and a new-page button). The main window
// uses it with the strip off as the container of its player and library pages. Pages fill the
// client area below the strip; the control and its pages paint either their Color or, when
// Transparent, what lies under them.

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "ui/png_picture.h"
#include "ui/ui_events.h"

namespace nivra::ui {

class TPNGTabSheet;

class TPNGPageControl : public QWidget {
 public:
  explicit TPNGPageControl(QWidget* parent = nullptr);
  ~TPNGPageControl() override;

  TPNGTabSheet* ActivePage() const { return activePage_; }
  // Shows `page` if it is one of this control's pages, asking OnChangeing first.
  void SetActivePage(TPNGTabSheet* page);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TPNGTabSheet* Page(int index) const;
  int IndexOf(const TPNGTabSheet* page) const;

  bool ShowTabBtns() const { return showTabBtns_; }
  void SetShowTabBtns(bool on);
  bool ShowNewBtn() const { return showNewBtn_; }
  void SetShowNewBtn(bool on);
  bool ShowCloseBtn() const { return showCloseBtn_; }
  void SetShowCloseBtn(bool on);
  QColor Color() const { return color_; }
  void SetColor(const QColor& color);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);
  // Tab strip pictures: tabs (three columns: normal, mouse over, active), close and new buttons
  // (three columns: normal, mouse over, pressed). Defaults: the built-in "TAB_*" images.
  void SetTabPic(const TPicture& p);
  void SetCloseBtnPic(const TPicture& p);
  void SetNewBtnPic(const TPicture& p);
  int TabLeft() const { return tabLeft_; }
  void SetTabLeft(int x);
  int TabBtnWidth() const { return tabBtnWidth_; }
  void SetTabBtnWidth(int w);
  int TabBtnMinWidth() const { return tabBtnMinWidth_; }
  void SetTabBtnMinWidth(int w);

  // The height of the tab strip (0 with the strip off) and where the pages go.
  int StripHeight() const;
  QRect PageRect() const;
  // Tab, close-button and new-button rectangles of the strip.
  QRect TabRect(int index) const;
  QRect CloseBtnRect(int index) const;
  QRect NewBtnRect() const;

  std::function<void(QObject* sender, TPNGTabSheet* newPage, bool& allowChange)> OnChangeing;
  TNotifyEvent OnChanged;
  std::function<void(QObject* sender, QPainter& painter, const QRect& r, bool& handled)>
      OnPaintBackground;
  std::function<void(QObject* sender, TPNGTabSheet* page)> OnCloseBtnClick;
  TNotifyEvent OnNewBtnClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  friend class TPNGTabSheet;
  void AddPage(TPNGTabSheet* page);
  void RemovePage(TPNGTabSheet* page);
  void MovePage(TPNGTabSheet* page, int index);
  void LayoutPages();
  void PaintStrip(QPainter& painter);
  int TabWidth() const;

  std::vector<TPNGTabSheet*> pages_;
  TPNGTabSheet* activePage_ = nullptr;
  bool showTabBtns_ = true, showNewBtn_ = true, showCloseBtn_ = true;
  QColor color_;
  bool transparent_ = false;
  TPicture tabPic_, closeBtnPic_, newBtnPic_;
  int tabLeft_ = 8, tabBtnWidth_ = 250, tabBtnMinWidth_ = 100;
  QPoint mouse_{-1, -1};
  bool mouseDown_ = false;
};

class TPNGTabSheet : public QWidget {
 public:
  // A page created with a TPNGPageControl as its parent joins its pages. Hidden at creation.
  explicit TPNGTabSheet(QWidget* parent = nullptr);
  ~TPNGTabSheet() override;

  TPNGPageControl* PageControl() const { return control_; }
  // Moves the page to another control's pages (none: out of any).
  void SetPageControl(TPNGPageControl* control);
  // Its place among the control's pages; -1 outside a control. Setting it reorders the pages.
  int PageIndex() const;
  void SetPageIndex(int index);
  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  QColor Color() const { return color_; }
  void SetColor(const QColor& color);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);
  bool TabCloseBtnVisible() const { return tabCloseBtnVisible_; }
  void SetTabCloseBtnVisible(bool on);
  const TPicture& FavIcon() const { return favIcon_; }
  void SetFavIcon(const TPicture& icon);

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  friend class TPNGPageControl;
  TPNGPageControl* control_ = nullptr;
  QString caption_;
  QColor color_;
  bool transparent_ = false;
  bool tabCloseBtnVisible_ = true;
  TPicture favIcon_;
};

}  // namespace nivra::ui
