#pragma once
// The player control's widget: owns the picture area (a native window the video is drawn into),
// paints the black background and the logo while nothing shows, and hands keys, double clicks,
// focus loss, dropped files, resizes and parent changes to its TPlayer.

#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "player/player.h"

namespace nivra::player {

class PlayerWidget final : public QWidget, public PlayerSurface {
 public:
  PlayerWidget(platform::EventLoop& loop, MediaGraphFactory graphs, FlashEnvironment* flash,
               QWidget* parent = nullptr);
  ~PlayerWidget() override;

  TPlayer& player() { return *player_; }

  // The picture shown while nothing plays; any change repaints.
  void setLogo(const QImage& logo);
  const QImage& logo() const { return logo_; }
  // The control's popup menu: shown on a right button down on the Flash movie, and on a
  // context-menu request while in full screen.
  void setPopupMenu(QMenu* menu) { popupMenu_ = menu; }
  // The parent change of the control (the host moves it, e.g. into a full-screen window).
  void setHostParent(QWidget* parent);

  // PlayerSurface
  Size ClientSize() const override;
  Size ScreenSize() const override;
  Size ParentSize(const ParentWindow& parent) const override;
  WindowId NativeWindow() override;
  WindowId DetachedVideoWindow(bool show) override;
  void Repaint() override;
  void SetCursorHidden(bool hidden) override;
  void SetAcceptDrops(bool accept) override;
  void ReparentWindowOnly(const ParentWindow& parent) override;
  void SetAlignClient() override;
  void Reparent(const ParentWindow& parent) override;
  void ShowPopupMenu(Point screen) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void followParent(QWidget* parent);

  std::unique_ptr<TPlayer> player_;
  QImage logo_;
  QPointer<QMenu> popupMenu_;
  QPointer<QWidget> followed_;
  bool alignClient_ = true;
  std::unique_ptr<QWidget> detached_;
};

}  // namespace nivra::player
