// The library panel offscreen: playing from its trees, expanding albums fetched from the
// scripted catalogue server, list links, menus and actions, tabs and the draggable edge.

#include "catalogue/panel/right_form.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/atomic_file.h"
#include "tests/catalogue/panel/panel_test_support.h"
#include "tests/support/debug_log.h"
#include "ui/png_button.h"
#include "ui/png_page_control.h"
#include "ui/roll_label.h"

namespace nivra::catalogue::panel::test {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string TopNames(const CatalogueTree& tree) {
  std::string out;
  for (std::size_t i = 0; i < tree.topCount(); ++i) out += tree.top(i)->text() + ";";
  return out;
}

LinkNameFn NameFromTable(std::map<std::string, std::string> names) {
  return [names](std::string_view url) {
    auto it = names.find(std::string(url));
    return it == names.end() ? std::string() : it->second;
  };
}

// The catalogue's top list: album 42 (three entries), the item "Film", group 60.
const json kTreeEntries =
    json::array({{{"i", 42}, {"t", 1}, {"n", "剧集"}, {"c", "3"}},
                 {{"i", 7}, {"t", 3}, {"n", "Film"}, {"c", "0"}, {"u", "Nivra://film"}},
                 {{"i", 60}, {"t", 0}, {"n", "Group"}, {"c", "2"}}});

class RightFormTest : public ::testing::Test {
 protected:
  // Loads the catalogue's top list from the cache through the panel's own reload.
  void LoadCatalogue() {
    p.fx.putCached("Tree.js", Doc(kTreeEntries));
    p.form->ReloadTree();
    ASSERT_TRUE(p.WaitFor([&] { return p.form->Tree(PanelTree::kCatalogue).topCount() == 3; }));
    p.form->actions().btnTree->trigger();
  }
  // The list "L" (One, Two) opened as a list link.
  void OpenTwoEpisodeList() {
    p.fx.putCached("77.js",
                   Doc(json::array({{{"i", 1}, {"t", 2}, {"n", "One"}, {"u", "Nivra://1"}},
                                    {{"i", 2}, {"t", 2}, {"n", "Two"}, {"u", "Nivra://2"}}}),
                       {{"n", "L"}, {"t", 5}}));
    p.form->OpenListLink("77.js");
  }
  CatalogueTree& History() { return p.form->Tree(PanelTree::kHistory); }
  CatalogueTree& Fav() { return p.form->Tree(PanelTree::kFavourites); }

  PanelFixture p;
};

TEST_F(RightFormTest, StartUpLoadsHistoryAndFavouritesAfterItsDelay) {
  {
    CatalogueTree t;
    TreeNode* n = t.addTop("Old");
    auto item = std::make_unique<TCatalogueItem>();
    item->setName("Old");
    item->setUrl("Nivra://old");
    n->setItem(std::move(item));
    THistory history(p.DataFolder());
    CatalogueTree scratch;
    history.LoadHistory(scratch);  // a list saves only into the file it loaded
    history.SaveHistory(t);
  }
  TRightForm& form = p.Open(false);
  p.fx.loop.advance(TRightForm::kStartDelayMs - 1);
  EXPECT_EQ(form.Tree(PanelTree::kHistory).topCount(), 0u);
  EXPECT_EQ(p.host.downloads, 0);
  p.fx.loop.advance(1);
  EXPECT_EQ(TopNames(form.Tree(PanelTree::kHistory)), "Old;");
  EXPECT_TRUE(form.Favourites().loaded());
  EXPECT_TRUE(fs::exists(p.DataFolder() / "Fav.dat"));
  EXPECT_EQ(p.host.downloads, 1);
  p.fx.loop.advance(1000);  // one-shot
  EXPECT_EQ(p.host.downloads, 1);
}

TEST_F(RightFormTest, TabsSelectTheirPageAndShareTheWidth) {
  TRightForm& form = p.Open();
  EXPECT_EQ(form.CurrentTree(), PanelTree::kHistory);
  EXPECT_TRUE(form.TabButton(PanelTree::kCatalogue)->isHidden());
  EXPECT_FALSE(form.TabButton(PanelTree::kHistory)->isEnabled());
  EXPECT_TRUE(form.TabButton(PanelTree::kHistory)->font().bold());
  EXPECT_EQ(form.TabButton(PanelTree::kHistory)->width(), 100);
  EXPECT_EQ(form.TabButton(PanelTree::kFavourites)->width(), 100);

  form.actions().btnFav->trigger();
  EXPECT_EQ(form.CurrentTree(), PanelTree::kFavourites);
  EXPECT_TRUE(form.TabButton(PanelTree::kHistory)->isEnabled());
  EXPECT_FALSE(form.TabButton(PanelTree::kHistory)->font().bold());
  EXPECT_FALSE(form.TabButton(PanelTree::kFavourites)->isEnabled());
  EXPECT_TRUE(form.View(PanelTree::kFavourites)->isVisibleTo(&form));
  EXPECT_FALSE(form.View(PanelTree::kHistory)->isVisibleTo(&form));

  form.resize(301, 420);
  EXPECT_EQ(form.TabButton(PanelTree::kHistory)->width(), 150);
}

TEST_F(RightFormTest, DoubleClickInTheHistoryPlaysOnlyPrivateLinks) {
  nivra::test::DebugLog log;
  TRightForm& form = p.Open();
  const auto names = NameFromTable({{"Nivra://a", "A"}, {"http://example.com/x", "Web"}});
  form.AddPlayedUrl("Nivra://a", names);
  form.AddPlayedUrl("http://example.com/x", names);
  ASSERT_EQ(TopNames(History()), "Web;A;");

  p.DoubleClick(PanelTree::kHistory, 0);  // the plain web address
  EXPECT_TRUE(p.host.played.empty());
  p.DoubleClick(PanelTree::kHistory, 1);
  EXPECT_EQ(p.host.played, (std::vector<std::string>{"Nivra://a"}));
  EXPECT_EQ(form.PlayingTitle(), "A");
  EXPECT_EQ(form.PlayingNode(), nullptr);
  EXPECT_TRUE(log.contains("AppPlayUrl:Nivra://a"));
  EXPECT_FALSE(log.contains("AppPlayUrl:http://example.com/x"));
  EXPECT_EQ(TopNames(History()), "Web;A;");  // playing from the history keeps its order
  form.actions().play->trigger();            // "播放" on the selected node
  EXPECT_EQ(p.host.played.size(), 2u);
}

TEST_F(RightFormTest, DoubleClickInTheCatalogueCopiesToTheHistoryAndPlays) {
  TRightForm& form = p.Open();
  LoadCatalogue();
  p.DoubleClick(PanelTree::kCatalogue, 1);  // "Film"
  EXPECT_EQ(p.host.played, (std::vector<std::string>{"Nivra://film"}));
  EXPECT_EQ(form.PlayingTitle(), "Film ");
  EXPECT_EQ(TopNames(History()), "Film ;");
  EXPECT_NE(ReadFile(p.DataFolder() / "His1.dat").find("sUrl=Nivra://film"), std::string::npos);
}

TEST_F(RightFormTest, RightClicksOpenTheMenuOfTheirPlace) {
  TRightForm& form = p.Open();
  LoadCatalogue();
  struct Case {
    const char* what;
    PanelTree tree;
    int row;
    QMenu* menu;
    bool addFavVisible;
  };
  form.AddPlayedUrl("Nivra://a", nullptr);
  Fav().addTop("F");
  Fav().updateScrollBar();
  const Case cases[] = {
      {"catalogue node with a url", PanelTree::kCatalogue, 1, form.pmTreeMovie(), true},
      {"catalogue node without url", PanelTree::kCatalogue, 0, form.pmTreeNode(), true},
      {"catalogue empty space", PanelTree::kCatalogue, 12, form.pmTreeNode(), true},
      {"history", PanelTree::kHistory, 0, form.pmFavAndHis(), true},
      {"favourites", PanelTree::kFavourites, 0, form.pmFavAndHis(), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QAction* select = c.tree == PanelTree::kCatalogue ? form.actions().btnTree
                            : c.tree == PanelTree::kHistory ? form.actions().btnHistory
                                                            : form.actions().btnFav;
    const_cast<QAction*>(select)->trigger();
    p.Click(c.tree, c.row, Qt::RightButton);
    ASSERT_EQ(form.LastMenu(), c.menu);
    EXPECT_TRUE(c.menu->isVisible());
    EXPECT_EQ(form.actions().addFav->isVisible(), c.addFavVisible);
    if (c.menu == form.pmTreeMovie() || c.menu == form.pmTreeNode()) {
      EXPECT_EQ(form.actions().autoCollapsed->isChecked(), form.View(c.tree)->AutoExpand());
    }
    c.menu->hide();
  }
  // The right button selected the node under it.
  EXPECT_EQ(Fav().selected(), Fav().top(0));
  QStringList entries;
  for (QAction* a : form.pmFavAndHis()->actions()) entries << a->text();
  EXPECT_EQ(entries.join(','),
            QStringLiteral("播放,停止,刷新,加入收藏,清除选中项,清空列表,复制播放地址"));
}

TEST_F(RightFormTest, HistoryMenuActions) {
  TRightForm& form = p.Open();
  const auto names = NameFromTable({{"Nivra://a", "A"}, {"Nivra://b", "B"}});
  form.AddPlayedUrl("Nivra://a", names);
  form.AddPlayedUrl("Nivra://b", names);
  const auto& act = form.actions();

  p.Click(PanelTree::kHistory, 1);  // "A"
  act.copyUrl->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Nivra://a"));
  act.addFav->trigger();
  EXPECT_EQ(TopNames(Fav()), "A ;");
  EXPECT_NE(ReadFile(p.DataFolder() / "Fav.dat").find("\"n\":\"A \""), std::string::npos);
  act.stop->trigger();
  EXPECT_EQ(p.host.stops, 1);

  act.del->trigger();
  EXPECT_EQ(TopNames(History()), "B;");
  EXPECT_EQ(ReadFile(p.DataFolder() / "His1.dat").find("Nivra://a"), std::string::npos);

  act.deleteAll->trigger();
  EXPECT_EQ(History().topCount(), 0u);
  const std::string his = ReadFile(p.DataFolder() / "His1.dat");
  EXPECT_EQ(his.find("Nivra://b"), std::string::npos);
  EXPECT_NE(his.find("[History24]"), std::string::npos);  // every slot written, empty
  EXPECT_NE(ReadFile(p.DataFolder() / "His2.dat").find("[History19]"), std::string::npos);
}

TEST_F(RightFormTest, AutoCollapseToggleAndCollapseAll) {
  TRightForm& form = p.Open();
  p.fx.putCached("60.js", Doc(json::array({{{"i", 1}, {"t", 2}, {"n", "x"}, {"u", "Nivra://x"}},
                                           {{"i", 2}, {"t", 2}, {"n", "y"}, {"u", "Nivra://y"}}})));
  LoadCatalogue();
  CatalogueTree& tree = form.Tree(PanelTree::kCatalogue);
  TreeNode* group = tree.top(2);
  const auto& act = form.actions();

  act.autoCollapsed->trigger();
  EXPECT_FALSE(form.View(PanelTree::kCatalogue)->AutoExpand());
  EXPECT_FALSE(act.autoCollapsed->isChecked());
  p.Click(PanelTree::kCatalogue, 2);
  EXPECT_EQ(tree.selected(), group);
  EXPECT_EQ(group->stateIndex(), kStateCollapsed);  // a click only selects now

  act.collapsed->trigger();  // "展开/收缩": a group expands from the local cache at once
  EXPECT_EQ(group->stateIndex(), kStateExpanded);
  EXPECT_EQ(group->childCount(), 2u);
  EXPECT_EQ(group->child(0)->text(), "x ");

  act.autoCollapsed->trigger();
  EXPECT_TRUE(act.autoCollapsed->isChecked());
  tree.select(group->child(1));
  act.collapsedAll->trigger();
  EXPECT_EQ(group->stateIndex(), kStateCollapsed);
  EXPECT_EQ(tree.selected(), group);
  EXPECT_EQ(form.View(PanelTree::kCatalogue)->VisibleNodes().size(), 3u);
}

TEST_F(RightFormTest, ListLinkFillsTheFavouritesAndStepsThroughItsEntries) {
  TRightForm& form = p.Open();
  json episodes = json::array();
  for (int i = 1; i <= 3; ++i)
    episodes.push_back({{"i", i},
                        {"t", 2},
                        {"n", "Ep" + std::to_string(i)},
                        {"u", "Nivra://list/" + std::to_string(i)}});
  p.fx.putCached("77.js", Doc(episodes, {{"n", "我的列表"}, {"t", 5}}));

  form.OpenListLink("77.js");
  EXPECT_EQ(form.CurrentTree(), PanelTree::kFavourites);
  ASSERT_EQ(Fav().topCount(), 1u);
  EXPECT_EQ(Fav().top(0)->text(), "我的列表|(3)");
  EXPECT_EQ(p.host.played, (std::vector<std::string>{"Nivra://list/1"}));
  EXPECT_EQ(form.PlayingNode(), Fav().top(0)->child(0));
  EXPECT_EQ(TopNames(History()), "我的列表-Ep1  ;");
  EXPECT_NE(ReadFile(p.DataFolder() / "Fav.dat").find("\\u6211\\u7684"), std::string::npos);

  EXPECT_TRUE(form.PlayListStep(PlayStep::kNext));
  EXPECT_TRUE(form.PlayListStep(PlayStep::kNext));
  EXPECT_FALSE(form.PlayListStep(PlayStep::kNext));  // after the last one: the window stops
  EXPECT_EQ(p.host.played.back(), "Nivra://list/3");
  EXPECT_TRUE(form.PlayListStep(PlayStep::kPrevious));
  EXPECT_TRUE(form.PlayListStep(PlayStep::kPrevious));
  EXPECT_FALSE(form.PlayListStep(PlayStep::kPrevious));  // before the first one
  EXPECT_EQ(p.host.played,
            (std::vector<std::string>{"Nivra://list/1", "Nivra://list/2", "Nivra://list/3",
                                      "Nivra://list/2", "Nivra://list/1"}));
  EXPECT_EQ(Fav().selected(), Fav().top(0)->child(0));

  // Deleting the node being played forgets it: there is no next item any more.
  form.actions().del->trigger();
  EXPECT_EQ(form.PlayingNode(), nullptr);
  EXPECT_FALSE(form.PlayListStep(PlayStep::kNext));
}

TEST_F(RightFormTest, TheNewItemsTitleIsSetBetweenTheStopAndTheOpen) {
  TRightForm& form = p.Open();
  // As the window: a stop of a playing item clears the title (PlayUrl stops too); the player
  // reports the new item, whose caption reads the title, while it opens it.
  bool playing = false;
  std::vector<std::string> titlesAtOpen;
  p.host.onStop = [&] {
    if (playing) form.SetPlayingTitle({});
    playing = false;
  };
  p.host.onPlay = [&] {
    p.host.onStop();
    titlesAtOpen.push_back(form.PlayingTitle());
    playing = true;
  };
  OpenTwoEpisodeList();
  ASSERT_TRUE(form.PlayListStep(PlayStep::kNext));
  LoadCatalogue();
  p.DoubleClick(PanelTree::kCatalogue, 1);  // "Film"
  EXPECT_EQ(p.host.played.back(), "Nivra://film");
  EXPECT_EQ(titlesAtOpen, (std::vector<std::string>{"One ", "Two ", "Film "}));
  EXPECT_EQ(form.PlayingTitle(), "Film ");
}

TEST_F(RightFormTest, PlayingFromTheCatalogueEndsTheListsTurn) {
  TRightForm& form = p.Open();
  OpenTwoEpisodeList();
  ASSERT_NE(form.PlayingNode(), nullptr);
  LoadCatalogue();
  p.DoubleClick(PanelTree::kCatalogue, 1);  // "Film"
  EXPECT_EQ(p.host.played.back(), "Nivra://film");
  // At the film's end the window stops instead of playing the list's second entry.
  EXPECT_EQ(form.PlayingNode(), nullptr);
  EXPECT_FALSE(form.PlayListStep(PlayStep::kNext));
}

TEST_F(RightFormTest, DoubleClickInTheFavouritesPlaysTheSelectedNode) {
  TRightForm& form = p.Open();
  OpenTwoEpisodeList();
  p.host.played.clear();
  form.View(PanelTree::kFavourites)->Expand(CatalogueTreeModel::IdOf(Fav().top(0)));
  p.DoubleClick(PanelTree::kFavourites, 2);  // "Two": selected by the click, then played
  EXPECT_EQ(p.host.played, (std::vector<std::string>{"Nivra://2"}));
  EXPECT_EQ(form.PlayingNode(), Fav().top(0)->child(1));
  EXPECT_EQ(TopNames(History()).substr(0, 8), "L-Two  ;");
}

TEST_F(RightFormTest, InnerEdgeDragsTheWidth) {
  TRightForm& form = p.Open();
  struct Case {
    DockSide side;
    int x;
    int code;
  };
  const int w = form.width();
  for (const Case& c : {Case{DockSide::kRight, 0, 10}, Case{DockSide::kRight, 4, 10},
                        Case{DockSide::kRight, 5, 0}, Case{DockSide::kRight, w - 1, 0},
                        Case{DockSide::kLeft, w - 1, 11}, Case{DockSide::kLeft, w - 5, 11},
                        Case{DockSide::kLeft, w - 6, 0}, Case{DockSide::kLeft, 0, 0}}) {
    form.SetDockSide(c.side);
    EXPECT_EQ(form.HitTest(QPoint(c.x, 50)), c.code) << "x " << c.x;
  }
  form.SetDockSide(DockSide::kRight);
  auto send = [&](QEvent::Type type, int x) {
    const QPointF at(x, 50);
    QMouseEvent e(type, at, form.mapToGlobal(at), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(&form, &e);
  };
  send(QEvent::MouseButtonPress, 2);
  send(QEvent::MouseMove, -48);  // docked right of the video: leftwards widens
  send(QEvent::MouseButtonRelease, -48);
  EXPECT_EQ(form.width(), 250);
  EXPECT_EQ(p.host.widths, (std::vector<int>{250}));
}

TEST_F(RightFormTest, RightXmlReadyShowsTheDownloadedLinks) {
  TRightForm& form = p.Open();
  platform::writeFileAtomically(p.DataFolder() / "right.xml",
                                "<NewDataSet><ds><title>Old</title><url>http://old</url></ds>"
                                "</NewDataSet>");
  form.OnRightXmlReady();
  EXPECT_EQ(form.RollLabel()->Lines(), (std::vector<std::string>{"Old=http://old"}));
  platform::writeFileAtomically(p.DataFolder() / "ADright.xml",
                                "<NewDataSet><ds><title>新片</title><url>http://a</url></ds>"
                                "<ds><title>B</title><url>http://b</url></ds></NewDataSet>");
  form.OnRightXmlReady();
  EXPECT_FALSE(fs::exists(p.DataFolder() / "ADright.xml"));
  EXPECT_EQ(form.RollLabel()->Lines(), (std::vector<std::string>{"新片=http://a", "B=http://b"}));
}

// Against the scripted catalogue server: albums expand on workers.
class RightFormServerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.running()); }
  std::vector<std::string> Paths() const {
    std::vector<std::string> out;
    for (const auto& r : server.requests()) out.push_back(r.path);
    return out;
  }
  EtagServer server;
  PanelFixture p{server.host()};
};

TEST_F(RightFormServerTest, AlbumExpandsFromTheServerWithoutBlockingTheWindow) {
  server.put("Tree.js", Doc(kTreeEntries));
  server.put("42.js",
             Doc(json::array({{{"i", 1}, {"t", 2}, {"n", ""}, {"c", "HD"}, {"u", "Nivra://e1"}},
                              {{"i", 2}, {"t", 2}, {"n", "Two"}, {"u", "Nivra://e2"}},
                              {{"i", 43}, {"t", 0}, {"n", "Extras"}, {"c", "1"}}})));
  server.put("43.js",
             Doc(json::array({{{"i", 5}, {"t", 2}, {"n", "Bonus"}, {"u", "Nivra://bonus"}}})));
  TRightForm& form = p.Open();
  form.ReloadTree();
  ASSERT_TRUE(p.WaitFor([&] { return form.TreeCountText() == "3"; }));
  form.actions().btnTree->trigger();
  CatalogueTree& tree = form.Tree(PanelTree::kCatalogue);
  TreeNode* album = tree.top(0);

  p.Click(PanelTree::kCatalogue, 0);
  // Expanded at once; the children come when the worker's fetch is back on the GUI thread.
  EXPECT_EQ(album->stateIndex(), kStateExpanded);
  ASSERT_EQ(album->childCount(), 1u);
  EXPECT_EQ(album->child(0)->text(), kLoadingText);
  ASSERT_TRUE(p.WaitFor([&] { return album->childCount() == 3; }));
  EXPECT_EQ(album->child(0)->text(), "第1集 |HD");
  EXPECT_EQ(album->child(1)->text(), "Two ");
  EXPECT_EQ(album->child(2)->text(), "Extras|(1)");
  // The group below the album was fetched ahead, so it expands from the cache at once.
  EXPECT_EQ(Paths(), (std::vector<std::string>{"/rjson/Tree.js", "/rjson/42.js", "/rjson/43.js"}));
  p.Click(PanelTree::kCatalogue, 3);
  ASSERT_EQ(album->child(2)->childCount(), 1u);
  EXPECT_EQ(album->child(2)->child(0)->text(), "Bonus ");
  EXPECT_EQ(Paths().size(), 3u);

  // And an episode of it plays through the catalogue rule.
  p.DoubleClick(PanelTree::kCatalogue, 1);
  EXPECT_EQ(p.host.played, (std::vector<std::string>{"Nivra://e1"}));
  EXPECT_EQ(TopNames(form.Tree(PanelTree::kHistory)), "剧集-第1集  ;");
}

TEST_F(RightFormServerTest, FavouriteAlbumTakesTheServersNewCount) {
  fs::create_directories(p.DataFolder());
  platform::writeFileAtomically(
      p.DataFolder() / "Fav.dat",
      json{{"c", 1}, {"arr", {{{"i", 50}, {"t", 1}, {"c", 2}, {"n", "Series"}}}}}.dump());
  json episodes = json::array();
  for (int i = 1; i <= 3; ++i)
    episodes.push_back({{"i", i}, {"t", 2}, {"n", "E" + std::to_string(i)}, {"u", "Nivra://s"}});
  server.put("50.js", Doc(episodes));
  TRightForm& form = p.Open();
  form.actions().btnFav->trigger();
  CatalogueTree& fav = form.Tree(PanelTree::kFavourites);
  ASSERT_EQ(fav.topCount(), 1u);
  EXPECT_EQ(fav.top(0)->text(), "Series|(2)");

  p.Click(PanelTree::kFavourites, 0);
  ASSERT_TRUE(p.WaitFor([&] { return fav.top(0)->childCount() == 3; }));
  EXPECT_EQ(fav.top(0)->text(), "Series|(3)");
  const json saved = json::parse(ReadFile(p.DataFolder() / "Fav.dat"));
  EXPECT_EQ(saved["arr"][0]["c"], 3);
}

TEST_F(RightFormServerTest, FavouriteAlbumKeepsItsCountWhenTheDocumentCannotBeRead) {
  fs::create_directories(p.DataFolder());
  platform::writeFileAtomically(
      p.DataFolder() / "Fav.dat",
      json{{"c", 1}, {"arr", {{{"i", 50}, {"t", 1}, {"c", 2}, {"n", "Series"}}}}}.dump());
  server.setStatus("50.js", 404);
  TRightForm& form = p.Open();
  form.actions().btnFav->trigger();
  CatalogueTree& fav = form.Tree(PanelTree::kFavourites);
  p.Click(PanelTree::kFavourites, 0);
  ASSERT_TRUE(p.WaitFor([&] { return p.tasks.running() == 0; }));
  p.fx.loop.runPending();  // the completion
  EXPECT_EQ(Paths(), (std::vector<std::string>{"/rjson/50.js"}));
  EXPECT_EQ(fav.top(0)->text(), "Series|(2)");
  EXPECT_EQ(fav.top(0)->child(0)->text(), kLoadingText);  // the placeholder stays
  EXPECT_EQ(json::parse(ReadFile(p.DataFolder() / "Fav.dat"))["arr"][0]["c"], 2);
}

TEST_F(RightFormServerTest, ListLinkReadsTheCachedDocumentWithoutAskingTheServer) {
  // Old enough that a cache lookup would ask the server again.
  p.fx.putCached("77.js",
                 Doc(json::array({{{"i", 1}, {"t", 2}, {"n", "One"}, {"u", "Nivra://1"}}}),
                     {{"n", "L"}, {"t", 5}}),
                 std::chrono::minutes(60));
  TRightForm& form = p.Open();
  form.OpenListLink("http://" + server.host() + "/rjson/77.js");
  EXPECT_EQ(p.host.played, (std::vector<std::string>{"Nivra://1"}));
  EXPECT_TRUE(Paths().empty());
}

TEST_F(RightFormServerTest, SingleEpisodeAlbumIsResolvedOnAWorkerBeforeItPlays) {
  server.put("Tree.js", Doc(json::array({{{"i", 42}, {"t", 1}, {"n", "Box"}, {"c", "4"}}})));
  server.put("42.js", Doc(json::array({{{"i", 9}, {"t", 1}, {"n", "Movie"}, {"c", "1"}}})));
  server.put("9.js", Doc(json::array({{{"i", 1}, {"t", 2}, {"n", "full"}, {"u", "Nivra://m"}}})));
  TRightForm& form = p.Open();
  form.ReloadTree();
  ASSERT_TRUE(p.WaitFor([&] { return form.TreeCountText() == "1"; }));
  form.actions().btnTree->trigger();
  CatalogueTree& tree = form.Tree(PanelTree::kCatalogue);
  p.Click(PanelTree::kCatalogue, 0);
  ASSERT_TRUE(
      p.WaitFor([&] { return tree.top(0)->childCount() == 1 && tree.top(0)->child(0)->item(); }));
  EXPECT_EQ(tree.top(0)->child(0)->text(), "Movie");

  p.DoubleClick(PanelTree::kCatalogue, 1);
  EXPECT_TRUE(p.host.played.empty());  // its document is being fetched
  ASSERT_TRUE(p.WaitFor([&] { return !p.host.played.empty(); }));
  EXPECT_EQ(p.host.played, (std::vector<std::string>{"Nivra://m"}));
  EXPECT_EQ(tree.top(0)->child(0)->item()->count(), "0");
}

TEST_F(RightFormServerTest, PanelWithAFewDozenItemsLooksLikeTheSkin) {
  json entries = json::array();
  for (int i = 1; i <= 40; ++i)
    entries.push_back({{"i", i},
                       {"t", 2},
                       {"n", "第" + std::to_string(i) + "集"},
                       {"c", std::to_string(100 + i)},
                       {"u", "Nivra://ep/" + std::to_string(i)}});
  p.fx.putCached("88.js", Doc(entries, {{"n", "热播剧集"}, {"t", 5}}));
  TRightForm& form = p.Open();
  ui::TPNGScrollBar* bar = form.ScrollBar(PanelTree::kFavourites);
  form.actions().btnFav->trigger();
  EXPECT_TRUE(bar->isHidden());  // nothing to scroll
  form.OpenListLink("88.js");
  form.View(PanelTree::kFavourites)
      ->Expand(CatalogueTreeModel::IdOf(form.Tree(PanelTree::kFavourites).top(0)));
  EXPECT_FALSE(bar->isHidden());
  EXPECT_EQ(bar->Max(), 40);  // 41 rows
  bar->SetPosition(5);        // the skinned bar drives the tree
  EXPECT_EQ(form.View(PanelTree::kFavourites)->ScrollPosition(), 5);
  bar->SetPosition(0);
  EXPECT_EQ(form.View(PanelTree::kFavourites)->ScrollPosition(), 0);
  const QImage shot = form.grab().toImage();
  EXPECT_EQ(shot.size(), QSize(TRightForm::kDockedWidth, 420));
  if (const char* out = std::getenv("NIVRA_PANEL_SCREENSHOT")) shot.save(QString::fromUtf8(out));
}

}  // namespace
}  // namespace nivra::catalogue::panel::test
