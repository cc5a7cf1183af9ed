// The panel's actions and menus, playing items, and the operations of the main window.

#include <QApplication>
#include <QClipboard>
#include <filesystem>

#include "catalogue/link_list.h"
#include "catalogue/panel/right_form.h"
#include "platform/debug_output.h"
#include "platform/text.h"
#include "ui/m_tree_view.h"
#include "ui/png_button.h"
#include "ui/png_page_control.h"
#include "ui/png_scroll_bar.h"
#include "ui/roll_label.h"

namespace nivra::catalogue::panel {
namespace {

constexpr std::string_view kPrivateScheme = "Nivra://";

bool IsPrivateLink(std::string_view url) {
  return url.size() >= kPrivateScheme.size() &&
         text::equalsNoCase(url.substr(0, kPrivateScheme.size()), kPrivateScheme);
}

}  // namespace

void TRightForm::BuildActions() {
  auto make = [this](const char* caption, auto slot) {
    auto* a = new QAction(QString::fromUtf8(caption), this);
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  act_.btnTree = make("高清", [this] { SelectTab(PanelTree::kCatalogue); });
  act_.btnHistory = make("最近观看", [this] { SelectTab(PanelTree::kHistory); });
  act_.btnFav = make("收藏列表", [this] { SelectTab(PanelTree::kFavourites); });
  act_.play = make("播放", [this] {
    if (CurrentTree() == PanelTree::kCatalogue) {
      PlayCatalogueItem(Tree(PanelTree::kCatalogue).selected());
    } else {
      PlayItem(CurrentTree(), false);
    }
  });
  act_.stop = make("停止", [this] { host_.ExecuteStop(); });
  act_.refresh = make("刷新", [this] { RefreshCurrent(); });
  act_.addFav = make("加入收藏", [this] { AddToFavourites(); });
  act_.collapsed = make("展开/收缩", [this] { ToggleSelected(); });
  act_.collapsedAll = make("全部收缩", [this] { CollapseAll(); });
  act_.autoCollapsed = make("自动收缩", [this] { ToggleAutoExpand(); });
  act_.autoCollapsed->setCheckable(true);
  act_.del = make("清除选中项", [this] { DeleteSelected(); });
  act_.deleteAll = make("清空列表", [this] { DeleteAll(); });
  act_.copyUrl = make("复制播放地址", [this] { CopyUrl(); });
  for (QAction* a : {act_.play, act_.stop, act_.refresh, act_.addFav, act_.collapsed,
                     act_.collapsedAll, act_.autoCollapsed, act_.del, act_.deleteAll, act_.copyUrl})
    a->setProperty("category", QStringLiteral("菜单"));
}

void TRightForm::SelectTab(PanelTree tree) {
  for (PanelTree t : {PanelTree::kCatalogue, PanelTree::kHistory, PanelTree::kFavourites}) {
    ui::TPNGCaptionButton* b = Part(t).button;
    QFont f = b->font();
    f.setBold(t == tree);
    b->setFont(f);
    // The disabled look marks the selected tab.
    b->Action()->setEnabled(t != tree);
    b->SetStateIndex(t == tree ? 0 : 1);
  }
  pgcRight_->SetActivePage(Part(tree).sheet);
  Refresh(tree);
}

void TRightForm::PlayWithTitle(const std::string& url, std::string title) {
  // The stop of the item before clears the title, and the player reports the new item while it
  // opens it: the title goes in between.
  host_.ExecuteStop();
  playingTitle_ = std::move(title);
  host_.PlayUrl(url);
}

void TRightForm::PlayItem(PanelTree which, bool byMouse) {
  TreePart& part = Part(which);
  TreeNode* node = part.tree.selected();
  if (byMouse)
    node = CatalogueTreeModel::NodeOf(part.view->GetNodeAt(part.mouse.x(), part.mouse.y()));
  if (!node) return;
  part.tree.select(node);
  Refresh(which);
  const TCatalogueItem* item = node->item();
  if (!item || !IsPrivateLink(item->url())) return;
  const std::string url = item->url();
  platform::debugOutput("AppPlayUrl:" + url);
  PlayWithTitle(url, item->name());
  if (which != PanelTree::kFavourites) {
    playingNode_ = nullptr;
    return;
  }
  playingNode_ = node;
  CopyItemToTree(treeFun_, part.tree, Tree(PanelTree::kHistory), services_.loop.now());
  history_.SaveHistory(Tree(PanelTree::kHistory));
  Refresh(PanelTree::kHistory);
}

void TRightForm::PlayCatalogueItem(TreeNode* node) {
  CatalogueTree& tree = Tree(PanelTree::kCatalogue);
  if (!node) return;
  tree.select(node);
  Refresh(PanelTree::kCatalogue);
  if (!node->item()) return;
  WhenResolved(PanelTree::kCatalogue, node, [this, node] {
    Tree(PanelTree::kCatalogue).select(node);
    CatalogueTree& history = Tree(PanelTree::kHistory);
    const TCatalogueItem copy =
        CopyItemToTree(treeFun_, Tree(PanelTree::kCatalogue), history, services_.loop.now());
    Refresh(PanelTree::kHistory);
    if (copy.id == 0 || copy.url().empty()) return;
    playingNode_ = nullptr;
    PlayWithTitle(copy.url(), copy.name());
    history_.SaveHistory(history);
  });
}

void TRightForm::OpenListLink(std::string_view documentName) {
  CatalogueTree& fav = Tree(PanelTree::kFavourites);
  // The main window fetched the document just before; the window never fetches it again.
  loadListDocumentText(fav, documentName, CachedDocument(documentName));
  Refresh(PanelTree::kFavourites);
  SelectTab(PanelTree::kFavourites);
  PlayItem(PanelTree::kFavourites, false);
  if (favourites_.loaded()) favourites_.SaveFavourites(fav);
}

bool TRightForm::PlayListStep(PlayStep step) {
  CatalogueTree& fav = Tree(PanelTree::kFavourites);
  TreeNode* next = SiblingToPlay(playingNode_, fav, step);
  if (!next) return false;
  fav.select(next);
  PlayItem(PanelTree::kFavourites, false);
  return true;
}

void TRightForm::AddPlayedUrl(std::string_view url, const LinkNameFn& linkName) {
  // An item played before the start-up load (a link handed over at once) joins the stored
  // history instead of a tree that has not been read yet.
  if (startTimer_ != 0) StartUp();
  CatalogueTree& history = Tree(PanelTree::kHistory);
  AddUrlToTree(url, history, linkName, services_.loop.now());
  if (!url.empty()) history_.SaveHistory(history);
  history_.LoadHistory(history);
  Refresh(PanelTree::kHistory);
}

void TRightForm::AddToFavourites() {
  const PanelTree from = CurrentTree();
  if (from == PanelTree::kFavourites) return;
  TreeNode* node = Tree(from).selected();
  if (!node || !node->item()) return;
  WhenResolved(from, node, [this, from, node] {
    Tree(from).select(node);
    CatalogueTree& fav = Tree(PanelTree::kFavourites);
    const TCatalogueItem copy = CopyItemToTree(treeFun_, Tree(from), fav, services_.loop.now());
    if (!copy.url().empty()) favourites_.SaveFavourites(fav);
    Refresh(PanelTree::kFavourites);
  });
}

void TRightForm::ShowTreeMenu(PanelTree which, QPoint local, QPoint global) {
  TreePart& part = Part(which);
  TreeNode* node = CatalogueTreeModel::NodeOf(part.view->GetNodeAt(local.x(), local.y()));
  QMenu* menu;
  if (which == PanelTree::kCatalogue) {
    const bool movie = node && node->item() && !node->item()->url().empty();
    menu = movie ? pmTreeMovie_ : pmTreeNode_;
    act_.autoCollapsed->setChecked(part.view->AutoExpand());
    act_.addFav->setVisible(true);
  } else {
    if (node) {
      part.tree.select(node);
      Refresh(which);
    }
    act_.addFav->setVisible(which != PanelTree::kFavourites);
    menu = pmFavAndHis_;
  }
  lastMenu_ = menu;
  menu->popup(global);
}

void TRightForm::ToggleSelected() {
  TreePart& part = Part(CurrentTree());
  const ui::TreeNodeId node = part.model->Selected();
  if (!node) return;
  part.model->Expanded(node) ? part.view->Collapse(node) : part.view->Expand(node);
}

void TRightForm::CollapseAll() {
  TreePart& part = Part(CurrentTree());
  part.tree.forEachNode([](TreeNode& n) {
    if (n.hasChildren()) n.setStateIndex(kStateCollapsed);
    return true;
  });
  // A selection inside a closed branch moves up to its top-level node.
  if (TreeNode* sel = part.tree.selected()) {
    while (sel->parent()) sel = sel->parent();
    part.tree.select(sel);
  }
  part.model->Refresh();
}

void TRightForm::ToggleAutoExpand() {
  ui::TmTreeView* view = Part(CurrentTree()).view;
  view->SetAutoExpand(!view->AutoExpand());
  act_.autoCollapsed->setChecked(view->AutoExpand());
}

void TRightForm::DeleteSelected() {
  const PanelTree which = CurrentTree();
  CatalogueTree& tree = Tree(which);
  TreeNode* node = tree.selected();
  if (!node) return;
  if (node == playingNode_) playingNode_ = nullptr;
  tree.deleteNode(node);
  Refresh(which);
  SaveTree(which);
}

void TRightForm::DeleteAll() {
  const PanelTree which = CurrentTree();
  Tree(which).clear();
  Refresh(which);
  SaveTree(which);
}

void TRightForm::SaveTree(PanelTree which) {
  if (which == PanelTree::kHistory) history_.SaveHistory(Tree(which));
  if (which == PanelTree::kFavourites) favourites_.SaveFavourites(Tree(which));
}

void TRightForm::RefreshCurrent() {
  const PanelTree which = CurrentTree();
  CatalogueTree& tree = Tree(which);
  switch (which) {
    case PanelTree::kCatalogue:
      if (TreeNode* node = tree.selected(); node && node->item()) {
        FetchThen(std::to_string(node->item()->id) + ".js", false, [this, node] {
          if (ContainsNode(Tree(PanelTree::kCatalogue), node))
            ExpandFromCache(PanelTree::kCatalogue, node);
        });
      }
      break;
    case PanelTree::kHistory:
      history_.LoadHistory(tree);
      break;
    case PanelTree::kFavourites:
      tree.clear();
      favourites_.LoadFavourites(tree);
      break;
  }
  Refresh(which);
}

void TRightForm::CopyUrl() {
  const TreeNode* node = Tree(CurrentTree()).selected();
  if (!node || !node->item()) return;
  QApplication::clipboard()->setText(QString::fromStdString(node->item()->url()));
}

void TRightForm::OnRightXmlReady() {
  if (auto lines = InstallLinkList(services_.dataFolder, "right.xml")) rollLabel_->SetLines(*lines);
}

}  // namespace nivra::catalogue::panel
