#pragma once
// The library page of the main window: the catalogue web site in `wb1`, covered by a mask with
// the logo and a loading bar while the start page loads, and by an error panel ("返回",
// "刷新") when a page cannot be reached. Private links the site opens go to the window through
// OnPrivateLink; the page itself stays where it is. Also the scrolling text's list ("left.xml")
// of the window's control bar.

#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>

#include "net/download_thread.h"
#include "platform/event_loop.h"

class QLabel;

namespace nivra::platform {
class MessageTarget;
}
namespace nivra::net {
class ServerEndpoints;
}
namespace nivra::ui {
class TPNGPlayTrackBar;
class TRollLabel;
class WebView;
}  // namespace nivra::ui

namespace nivra::app {

class TLibraryPage final : public QWidget {
 public:
  static constexpr int kHideMaskMs = 3000;  // tmrHidePnlMask

  // `startPage` is the catalogue start page: a navigation to it shows the mask again.
  TLibraryPage(platform::EventLoop& loop, QString startPage, QWidget* parent = nullptr);
  ~TLibraryPage() override;

  // A private link the site opened, as the page wrote it (also from frames). The navigation is
  // already cancelled; the window opens the link.
  std::function<void(const QString& link)> OnPrivateLink;

  // Loads `url` into the browser (the window's tmrNavigate).
  void Navigate(const QString& url);
  // The browser shows nothing yet, or "about:blank".
  bool ShowsBlank() const;
  // The address of the last navigation the browser started, frames included.
  const QString& LastNavigateUrl() const { return lastNavigateUrl_; }
  // "返回": the browser goes back.
  void Back();
  // "刷新": stops a load in progress and loads LastNavigateUrl again.
  void Refresh();

  // --- parts, for the window and tests
  ui::WebView* wb1() const { return wb1_; }
  QWidget* pnlMask() const { return pnlMask_; }
  QWidget* pnlInfo() const { return pnlInfo_; }
  QWidget* pnlError() const { return pnlError_; }
  ui::TPNGPlayTrackBar* pgLoad() const { return pgLoad_; }
  bool HideMaskPending() const { return hideTimer_ != 0; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool OnBeforeNavigate(const QUrl& url, bool isMainFrame);
  void OnProgressChange(int progress, int progressMax);
  void OnDocumentComplete();
  void OnNavigateError();
  void OnHideMaskTick();
  void StartHideTimer();
  void StopHideTimer();
  void ShowMask(bool withError);
  void ShowErrorPanel(bool on);
  void PlaceMaskPanels();

  platform::EventLoop& loop_;
  QString startPage_;
  QString lastNavigateUrl_;
  platform::EventLoop::TimerId hideTimer_ = 0;
  ui::WebView* wb1_ = nullptr;
  QWidget* pnlMask_ = nullptr;
  QWidget* pnlInfo_ = nullptr;
  QWidget* pnlError_ = nullptr;
  ui::TPNGPlayTrackBar* pgLoad_ = nullptr;
};

// WM_LEFT_XML_READY: a downloaded "ADleft.xml" in `dataFolder` replaces "left.xml", whose
// entries become the label's lines. When the replacement fails the label keeps its lines.
void ShowLeftList(ui::TRollLabel& label, const std::filesystem::path& dataFolder);
// Posts WM_LEFT_XML_READY to `window` at once, then downloads the display server's "left.xml"
// into "ADleft.xml" on a worker, which posts WM_LEFT_XML_READY again when it is complete.
void FetchLeftList(platform::MessageTarget& window, const net::ServerEndpoints& endpoints,
                   const std::filesystem::path& dataFolder, net::BackgroundTasks& tasks,
                   net::DownloadRetry retry = {});

}  // namespace nivra::app
