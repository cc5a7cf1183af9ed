// A 10,000-entry list document into the library panel, on Qt's offscreen platform:
//   - the document into a catalogue tree alone (the model load);
//   - OpenListLink (cached document into the favourites, first entry played, history and
//     favourites saved) until the tree view has painted, with the list collapsed as it opens
//     and with the list expanded so that the view's rows are entries;
//   - one scrolling frame of the expanded list: three rows further (a wheel step) or a page
//     further, and the view's repaint.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "catalogue/catalogue_tree.h"
#include "catalogue/json_cache.h"
#include "catalogue/panel/catalogue_tree_model.h"
#include "catalogue/panel/right_form.h"
#include "catalogue/tree_fun.h"
#include "net/background_tasks.h"
#include "net/server_endpoints.h"
#include "platform/manual_event_loop.h"
#include "ui/m_tree_view.h"
#include "ui/png_scroll_bar.h"

namespace {

namespace fs = std::filesystem;
using namespace nivra;
using catalogue::panel::PanelTree;
using catalogue::panel::TRightForm;

constexpr int kEntries = 10000;
constexpr char kListName[] = "10000.js";

std::string ListDocument() {
  nlohmann::json entries = nlohmann::json::array();
  for (int i = 1; i <= kEntries; ++i)
    entries.push_back({{"i", i},
                       {"t", 2},
                       {"n", "第" + std::to_string(i) + "集"},
                       {"c", ""},
                       {"u", "Nivra://bench/" + std::to_string(i)}});
  return nlohmann::json{
      {"n", "万集列表"}, {"t", 5}, {"c", std::to_string(kEntries)}, {"arr", entries}}
      .dump();
}

class QuietHost final : public catalogue::panel::RightFormHost {
 public:
  void PlayUrl(const std::string&) override {}
  void ExecuteStop() override {}
  void OpenExternal(const std::string&) override {}
};

// The panel's services over a private folder whose cache holds the list document.
class PanelWorld {
 public:
  PanelWorld()
      : root_(fs::temp_directory_path() / ("nivra-bench-panel-" + std::to_string(getpid()))),
        loop_(std::chrono::time_point_cast<platform::EventLoop::Clock::duration>(
            std::chrono::system_clock::now())),
        cache_(net::ServerEndpoints{}, loop_, root_ / "Cache") {
    fs::create_directories(root_ / "Cache");
    std::ofstream(root_ / "Cache" / kListName) << ListDocument();
  }
  ~PanelWorld() {
    tasks_.stopAndJoin();
    fs::remove_all(root_);
  }

  std::unique_ptr<TRightForm> NewPanel() {
    // Each panel starts without history and favourites.
    fs::remove_all(root_ / "data");
    fs::create_directories(root_ / "data");
    auto form = std::make_unique<TRightForm>(
        host_, catalogue::panel::RightFormServices{loop_, cache_, tasks_, root_ / "data"});
    form->resize(TRightForm::kDockedWidth, 420);
    form->show();
    loop_.advance(TRightForm::kStartDelayMs);
    QApplication::processEvents();
    return form;
  }
  std::string Document() const { return ListDocument(); }

 private:
  fs::path root_;
  platform::ManualEventLoop loop_;
  catalogue::CatalogueCache cache_;
  net::BackgroundTasks tasks_;
  QuietHost host_;
};

PanelWorld& World() {
  static PanelWorld world;
  return world;
}

void Paint(TRightForm& form) {
  QWidget* viewport = form.View(PanelTree::kFavourites)->viewport();
  viewport->repaint();
}

void ExpandList(TRightForm& form) {
  ui::TmTreeView* view = form.View(PanelTree::kFavourites);
  view->Expand(
      catalogue::panel::CatalogueTreeModel::IdOf(form.Tree(PanelTree::kFavourites).top(0)));
}

void BM_ListDocumentIntoTree(benchmark::State& state) {
  const std::string text = World().Document();
  for (auto _ : state) {
    state.PauseTiming();
    auto tree = std::make_unique<catalogue::CatalogueTree>();
    state.ResumeTiming();
    catalogue::loadListDocumentText(*tree, kListName, text);
    benchmark::DoNotOptimize(tree->topCount());
    state.PauseTiming();
    tree.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ListDocumentIntoTree)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void OpenListLinkAndPaint(benchmark::State& state, bool expand) {
  for (auto _ : state) {
    state.PauseTiming();
    auto form = World().NewPanel();
    state.ResumeTiming();
    form->OpenListLink(kListName);
    if (expand) ExpandList(*form);
    Paint(*form);
    state.PauseTiming();
    if (form->Tree(PanelTree::kFavourites).top(0)->childCount() != kEntries)
      state.SkipWithError("the list did not load");
    form.reset();
    state.ResumeTiming();
  }
}
void BM_OpenListLinkToFirstPaint(benchmark::State& state) { OpenListLinkAndPaint(state, false); }
void BM_OpenListLinkExpandedToFirstPaint(benchmark::State& state) {
  OpenListLinkAndPaint(state, true);
}
BENCHMARK(BM_OpenListLinkToFirstPaint)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_OpenListLinkExpandedToFirstPaint)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// range(0): rows per frame (0 = a page).
void BM_ScrollFrame(benchmark::State& state) {
  auto form = World().NewPanel();
  form->OpenListLink(kListName);
  ExpandList(*form);
  Paint(*form);
  ui::TmTreeView* view = form->View(PanelTree::kFavourites);
  const int step = state.range(0) > 0 ? static_cast<int>(state.range(0)) : view->PageRows();
  int row = 0;
  for (auto _ : state) {
    row = row + step > kEntries - view->PageRows() ? 0 : row + step;
    view->SetScrollPosition(row);
    Paint(*form);
  }
  if (view->ScrollPosition() != row) state.SkipWithError("the view did not scroll");
}
BENCHMARK(BM_ScrollFrame)->Arg(3)->Arg(0)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
