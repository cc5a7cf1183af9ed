#pragma once
// The library panel on a manual loop with a recording host, its cache and data folder in a
// temporary folder, and optionally the scripted catalogue server.

#include <QApplication>
#include <QMouseEvent>
#include <chrono>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/panel/right_form.h"
#include "tests/catalogue/catalogue_test_support.h"
#include "ui/m_tree_view.h"
#include "ui/png_scroll_bar.h"

namespace nivra::catalogue::panel::test {

using catalogue::test::CacheFixture;
using catalogue::test::EtagServer;

class RecordingHost final : public RightFormHost {
 public:
  void PlayUrl(const std::string& url) override {
    played.push_back(url);
    if (onPlay) onPlay();
  }
  void ExecuteStop() override {
    ++stops;
    if (onStop) onStop();
  }
  void OpenExternal(const std::string& url) override { opened.push_back(url); }
  void StartRightListDownload() override { ++downloads; }
  void PanelResized(int width) override { widths.push_back(width); }

  // What the window does on a stop command and while it opens an item.
  std::function<void()> onStop, onPlay;
  std::vector<std::string> played, opened;
  std::vector<int> widths;
  int stops = 0, downloads = 0;
};

// A catalogue document with the given entries.
inline std::string Doc(const nlohmann::json& entries,
                       nlohmann::json extra = nlohmann::json::object()) {
  extra["c"] = std::to_string(entries.size());
  extra["arr"] = entries;
  return extra.dump();
}

class PanelFixture {
 public:
  explicit PanelFixture(const std::string& host = catalogue::test::closedHost()) : fx(host) {}
  ~PanelFixture() {
    form.reset();
    tasks.stopAndJoin();
  }

  // Creates the panel (docked size) and runs its start-up timer.
  TRightForm& Open(bool start = true) {
    form = std::make_unique<TRightForm>(
        host, RightFormServices{fx.loop, fx.cache, tasks, DataFolder(), 25});
    form->resize(TRightForm::kDockedWidth, 420);
    form->show();
    if (start) fx.loop.advance(TRightForm::kStartDelayMs);
    return *form;
  }
  std::filesystem::path DataFolder() const { return fx.dir / "data"; }

  // Runs posted work until `done` holds; false when it never does (the wait is generous: a
  // worker's fetch from the local server takes milliseconds).
  bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      fx.loop.runPending();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }

  // Mouse events on row `row` of a tree's view.
  void Mouse(PanelTree tree, QEvent::Type type, int row, Qt::MouseButton button = Qt::LeftButton) {
    QWidget* vp = form->View(tree)->viewport();
    const QPointF p(40, row * kCatalogueItemHeight + kCatalogueItemHeight / 2);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent e(type, p, vp->mapToGlobal(p), button, held, Qt::NoModifier);
    QApplication::sendEvent(vp, &e);
  }
  void Click(PanelTree tree, int row, Qt::MouseButton button = Qt::LeftButton) {
    Mouse(tree, QEvent::MouseButtonPress, row, button);
    Mouse(tree, QEvent::MouseButtonRelease, row, button);
  }
  void DoubleClick(PanelTree tree, int row) {
    Click(tree, row);
    Mouse(tree, QEvent::MouseButtonDblClick, row);
    Mouse(tree, QEvent::MouseButtonRelease, row);
  }

  CacheFixture fx;
  net::BackgroundTasks tasks;
  RecordingHost host;
  std::unique_ptr<TRightForm> form;
};

}  // namespace nivra::catalogue::panel::test
