#pragma once
// TRightForm ("节目列表"): the library panel beside the video. Three skinned trees on pages
// chosen by tab buttons — the catalogue (hidden tab), the play history ("最近观看") and the
// favourites ("收藏列表") — each with its skinned scroll bar, their context menus and actions,
// and a scrolling line of links at the bottom. It plays items through RightFormHost.
//
// Everything here runs on the GUI thread. Network work (album expansion, the catalogue's top
// list, resolving single-episode albums) runs on BackgroundTasks workers and comes back through
// EventLoop::post; a node deleted meanwhile is skipped.

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "catalogue/catalogue_tree.h"
#include "catalogue/favourites.h"
#include "catalogue/history.h"
#include "catalogue/json_cache.h"
#include "catalogue/panel/catalogue_tree_model.h"
#include "catalogue/panel/play_order.h"
#include "catalogue/panel/right_form_host.h"
#include "catalogue/tree_copy.h"
#include "catalogue/tree_fun.h"
#include "net/background_tasks.h"
#include "platform/alive_token.h"
#include "platform/event_loop.h"

namespace nivra::ui {
class TmTreeView;
class TPNGScrollBar;
class TPNGCaptionButton;
class TPNGImage;
class TPNGPageControl;
class TPNGTabSheet;
class TRollLabel;
}  // namespace nivra::ui

namespace nivra::catalogue::panel {

// What the panel works with; all of it must outlive the panel, and the cache and the loop must
// also outlive `tasks` (its workers use them until stopAndJoin).
struct RightFormServices {
  platform::EventLoop& loop;
  CatalogueCache& cache;
  net::BackgroundTasks& tasks;
  std::filesystem::path dataFolder;  // His1.dat, His2.dat, Fav.dat, right.xml
  std::int32_t historyCapacity = THistory::kDefaultCapacity;  // "udHistory"
};

enum class PanelTree { kCatalogue, kHistory, kFavourites };
// The side of the video the panel is docked on; its inner edge is the other side.
enum class DockSide { kLeft, kRight };

class TRightForm : public QWidget {
 public:
  static constexpr int kDockedWidth = 200;
  static constexpr int kEdgeBand = 5;  // the draggable inner edge
  static constexpr int kMinWidth = 120;
  static constexpr int kTabButtonWidth = 74;
  static constexpr int kStartDelayMs = 100;  // history and favourites load after this

  TRightForm(RightFormHost& host, RightFormServices services, QWidget* parent = nullptr);
  ~TRightForm() override;

  // --- operations of the main window
  // Plays the node under the mouse (byMouse) or the selected node of `tree`, if it holds a
  // private link. From the favourites it becomes PlayingNode and is copied to the history.
  void PlayItem(PanelTree tree, bool byMouse);
  // A list link's document (a name or URL; in the cache by now, it is read from there only)
  // becomes a node of the favourites, whose first entry plays.
  void OpenListLink(std::string_view documentName);
  // "下一个节目" / "上一个节目": plays the sibling of PlayingNode; false when there is none (the
  // main window then stops).
  bool PlayListStep(PlayStep step);
  // A url the main window played itself (not a list link) goes to the top of the history.
  void AddPlayedUrl(std::string_view url, const LinkNameFn& linkName);
  const std::string& PlayingTitle() const { return playingTitle_; }
  void SetPlayingTitle(std::string title) { playingTitle_ = std::move(title); }
  const TreeNode* PlayingNode() const { return playingNode_; }
  void ClearPlayingNode() { playingNode_ = nullptr; }
  // WM_RIGHT_XML_READY: takes the downloaded "ADright.xml" as "right.xml" and shows its lines.
  void OnRightXmlReady();
  // WM_TREE_RELOAD: loads "Tree.js" into the catalogue tree (fetched on a worker).
  void ReloadTree();
  const std::string& TreeCountText() const { return treeCount_; }
  // Which side of the video the panel is on: shows the separator and picks the inner edge.
  void SetDockSide(DockSide side);
  DockSide Side() const { return side_; }
  // The border code for a point in panel coordinates: 10 (left) or 11 (right) on the inner
  // edge's band, else 0.
  int HitTest(QPoint local) const;

  // --- parts, for the main window and tests
  CatalogueTree& Tree(PanelTree tree);
  ui::TmTreeView* View(PanelTree tree) const;
  ui::TPNGScrollBar* ScrollBar(PanelTree tree) const;
  ui::TPNGCaptionButton* TabButton(PanelTree tree) const;
  PanelTree CurrentTree() const;
  THistory& History() { return history_; }
  TFavourites& Favourites() { return favourites_; }
  ui::TRollLabel* RollLabel() const { return rollLabel_; }

  struct Actions {
    QAction *btnTree, *btnHistory, *btnFav, *play, *stop, *refresh, *addFav, *collapsed,
        *collapsedAll, *autoCollapsed, *del, *deleteAll, *copyUrl;
  };
  const Actions& actions() const { return act_; }
  QMenu* pmTreeMovie() const { return pmTreeMovie_; }
  QMenu* pmTreeNode() const { return pmTreeNode_; }
  QMenu* pmFavAndHis() const { return pmFavAndHis_; }
  // The menu the last right-click opened (null before any).
  QMenu* LastMenu() const { return lastMenu_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  struct TreePart {
    CatalogueTree tree;
    std::unique_ptr<CatalogueTreeModel> model;
    ui::TPNGCaptionButton* button = nullptr;
    ui::TPNGTabSheet* sheet = nullptr;
    ui::TmTreeView* view = nullptr;
    ui::TPNGScrollBar* bar = nullptr;
    QPoint mouse;  // last mouse position over the view
  };

  // right_form.cpp: building and layout.
  void BuildTabs();
  void BuildTree(PanelTree which, bool stateImages);
  void BuildActions();
  void BuildMenus();
  void LayoutParts();
  void StartUp();
  TreePart& Part(PanelTree tree) { return parts_[static_cast<std::size_t>(tree)]; }
  const TreePart& Part(PanelTree tree) const { return parts_[static_cast<std::size_t>(tree)]; }
  PanelTree TreeOfView(const QObject* view) const;

  // right_form_actions.cpp: playing, tabs, menus and their actions.
  void SelectTab(PanelTree tree);
  void PlayCatalogueItem(TreeNode* node);
  void PlayWithTitle(const std::string& url, std::string title);
  void AddToFavourites();
  void ShowTreeMenu(PanelTree tree, QPoint local, QPoint global);
  void ToggleSelected();
  void CollapseAll();
  void ToggleAutoExpand();
  void DeleteSelected();
  void DeleteAll();
  void RefreshCurrent();
  void CopyUrl();
  void SaveTree(PanelTree tree);
  void Refresh(PanelTree tree) { Part(tree).model->Refresh(); }

  // right_form_expand.cpp: work that needs documents from the network.
  void OnExpanded(PanelTree tree, TreeNode* node);
  // Fetches `document` (with its group subtree when `subtree`) on a worker, then runs `then`
  // on the GUI thread while the panel exists.
  void FetchThen(std::string document, bool subtree, std::function<void()> then);
  // Fills `node`'s children from the cached copy of its document; never touches the network.
  std::string ExpandFromCache(PanelTree tree, TreeNode* node);
  // Runs `then` once `node` has a url: a single-episode album is resolved from its document
  // first (fetched on a worker); one that cannot be resolved drops `then`.
  void WhenResolved(PanelTree tree, TreeNode* node, std::function<void()> then);
  // The cache file's text of a document name or URL; empty when there is none.
  std::string CachedDocument(std::string_view name) const;

  RightFormHost& host_;
  RightFormServices services_;
  TreeFun treeFun_;
  THistory history_;
  TFavourites favourites_;
  std::array<TreePart, 3> parts_;
  std::string playingTitle_;
  TreeNode* playingNode_ = nullptr;
  std::string treeCount_ = "0";
  DockSide side_ = DockSide::kRight;

  QWidget* pnlBtn_ = nullptr;
  ui::TPNGCaptionButton* btnLib_ = nullptr;
  ui::TPNGPageControl* pgcRight_ = nullptr;
  ui::TPNGImage* imgLeft_ = nullptr;
  ui::TPNGImage* imgRight_ = nullptr;
  QWidget* pnlAd_ = nullptr;
  ui::TRollLabel* rollLabel_ = nullptr;
  Actions act_{};
  QMenu* pmTreeMovie_ = nullptr;
  QMenu* pmTreeNode_ = nullptr;
  QMenu* pmFavAndHis_ = nullptr;
  QMenu* lastMenu_ = nullptr;
  platform::EventLoop::TimerId startTimer_ = 0;
  bool draggingEdge_ = false;
  int dragStartX_ = 0, dragStartWidth_ = 0;
  platform::AliveToken alive_;  // last member: work posted back runs only while it exists
};

}  // namespace nivra::catalogue::panel
