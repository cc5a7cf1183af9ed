// nivra-tool skin-gallery [--screenshot FILE]: one window showing every skinned control in its
// states, drawn with the skin compiled into the program. With --screenshot the window is drawn
// offscreen (when there is no display) into FILE as PNG and the tool ends.

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <functional>
#include <iostream>
#include <memory>

#include "platform/manual_event_loop.h"
#include "platform/qt_event_loop.h"
#include "tools/tool_command.h"
#include "ui/m_tree_view.h"
#include "ui/png_button.h"
#include "ui/png_check_box.h"
#include "ui/png_image.h"
#include "ui/png_page_control.h"
#include "ui/png_panel.h"
#include "ui/png_radio_button.h"
#include "ui/png_scroll_bar.h"
#include "ui/png_track_bar.h"
#include "ui/roll_label.h"
#include "ui/skin.h"

namespace nivra::tool {
namespace {

using namespace nivra::ui;

constexpr const char* kUsage =
    "usage: nivra-tool skin-gallery [--screenshot FILE]\n"
    "shows every skinned control in its states on one window; with --screenshot draws the\n"
    "window into FILE (PNG) and prints \"screenshot=FILE size=WxH\"\n";

const QColor kWindow(0x1c, 0x1f, 0x24);
const QColor kText(0xd4, 0xd9, 0xe0);
const QColor kDim(0x8a, 0x92, 0x9c);

TPicture Skin(const char* name) { return SkinPicture(QString::fromLatin1(name)); }

void Send(QWidget* w, QEvent& e) { QApplication::sendEvent(w, &e); }

void Hover(QWidget* w, QPoint at = {4, 4}) {
  const QPointF p(at);
  QEnterEvent enter{p, p, QPointF(w->mapToGlobal(at))};
  Send(w, enter);
  QMouseEvent move(QEvent::MouseMove, p, QPointF(w->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  Send(w, move);
}

void Hold(QWidget* w, QPoint at = {4, 4}) {
  Hover(w, at);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(w->mapToGlobal(at)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  Send(w, press);
}

QLabel* Caption(QWidget* parent, const QString& text, int x, int y, bool heading = false) {
  auto* label = new QLabel(text, parent);
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, heading ? kText : kDim);
  label->setPalette(pal);
  QFont font = label->font();
  if (heading) {
    font.setPixelSize(13);
    font.setBold(true);
  }
  label->setFont(font);
  label->adjustSize();
  label->move(x, y);
  return label;
}

// A bar built like the window frames: corner pieces and a stretched centre.
QWidget* FrameBar(QWidget* parent, const QRect& r, const char* left, const char* centre,
                  const char* right) {
  QWidget* bar = MakeFrameBar(parent, QString::fromLatin1(left), QString::fromLatin1(centre),
                              QString::fromLatin1(right));
  bar->setGeometry(r);
  return bar;
}

template <class Button = TPNGButton>
Button* ImageButton(QWidget* parent, const char* picture, int x, int y, int stateMax = 1,
                    int numGlyphs = 4) {
  auto* b = MakeImageButton<Button>(parent, QString::fromLatin1(picture), stateMax, numGlyphs);
  b->move(x, y);
  return b;
}

// Normal, mouse over, pressed and disabled, side by side, for each state image.
void ButtonLooks(QWidget* parent, const char* picture, const QString& name, int x, int y,
                 int stateMax, bool stateButton = false) {
  Caption(parent, name, x, y);
  for (int row = 0; row < stateMax; ++row)
    for (int look = 0; look < (stateButton ? 3 : 4); ++look) {
      TPNGButton* b = stateButton ? ImageButton<TPNGStateButton>(parent, picture, 0, 0, stateMax, 3)
                                  : ImageButton(parent, picture, 0, 0, stateMax);
      b->move(x + look * (b->width() + 6), y + 18 + row * (b->height() + 4));
      b->SetStateIndex(row);
      if (look == 1) Hover(b);
      if (look == 2) Hold(b);
      if (look == 3) b->setEnabled(false);
    }
}

TPNGPlayTrackBar* SeekBar(QWidget* parent, const QRect& r, int position, int down,
                          const char* strip = "seek_bar", const char* thumb = "seek_thumb") {
  auto* bar = new TPNGPlayTrackBar(parent);
  bar->setGeometry(r);
  bar->SetBgPic(Skin(strip));
  bar->SetBtnImage(Skin(thumb));
  bar->SetCanSeek(true);
  bar->SetDownPosition(down);
  bar->SetPosition(position);
  return bar;
}

void TitleBar(QWidget* w) {
  Caption(w, QStringLiteral("Window frame, title-bar buttons and page buttons"), 20, 12, true);
  QWidget* title =
      FrameBar(w, QRect(20, 36, 640, 34), "frame_top_left", "frame_top_center", "frame_top_right");
  auto* logo = new TPNGImage(title);
  logo->SetDrawStyle(dsStretch);
  logo->SetPNGImage(Skin("logo"));
  logo->setGeometry(10, 5, 72, 24);
  auto* tabs = new TPNGTransPanel(title);
  tabs->setGeometry(200, 2, 170, 32);
  const QString pages[] = {QStringLiteral("视频库"), QStringLiteral("播放器")};
  for (int i = 0; i < 2; ++i) {
    auto* b = ImageButton<TPNGCaptionButton>(tabs, "btn_page", i * 84, 1, 2);
    b->SetCaption(pages[i]);
    b->SetShowCaption(true);
    b->SetStateIndex(i);  // the shown page has state image 0
  }
  auto* buttons = new TPNGTransPanel(title);
  buttons->setGeometry(640 - 4 * 28 - 8, 5, 4 * 28, 24);
  const char* pictures[] = {"btn_menu", "btn_min", "btn_max", "btn_close"};
  for (int i = 0; i < 4; ++i) {
    TPNGButton* b = ImageButton(buttons, pictures[i], i * 28, 0, i == 2 ? 2 : 1);
    if (i == 3) Hover(b);
  }
  // The control bar of the player page.
  QWidget* bottom = FrameBar(w, QRect(20, 78, 640, 60), "frame_bottom_left", "frame_bottom_center",
                             "frame_bottom_right");
  auto* group = new TPNGTransPanel(bottom);
  group->setGeometry(10, 6, 240, 48);
  ImageButton(group, "btn_stop", 0, 10);
  ImageButton(group, "btn_prev", 32, 10);
  ImageButton(group, "btn_play", 64, 1, 2)->SetStateIndex(1);
  ImageButton(group, "btn_next", 118, 10);
  ImageButton<TPNGStateButton>(group, "btn_mute", 150, 10, 2, 3)->SetStateIndex(1);
  SeekBar(bottom, QRect(194, 20, 81, 19), 70, 0, "volume_bar", "volume_thumb");
  SeekBar(bottom, QRect(290, 20, 200, 19), 38, 64);
  auto* time = Caption(bottom, QStringLiteral("00:41:07/01:48:30"), 500, 21);
  QPalette timePal = time->palette();
  timePal.setColor(QPalette::WindowText, kText);
  time->setPalette(timePal);
  ImageButton(bottom, "btn_full", 615, 23, 2);
}

void Buttons(QWidget* w) {
  Caption(w, QStringLiteral("Image buttons: normal, mouse over, pressed, disabled"), 20, 152, true);
  ButtonLooks(w, "btn_play", QStringLiteral("play / pause"), 20, 176, 2);
  ButtonLooks(w, "btn_stop", QStringLiteral("stop"), 250, 176, 1);
  ButtonLooks(w, "btn_prev", QStringLiteral("previous"), 250, 224, 1);
  ButtonLooks(w, "btn_next", QStringLiteral("next"), 250, 272, 1);
  ButtonLooks(w, "btn_mute", QStringLiteral("mute (state button)"), 410, 176, 2, true);
  ButtonLooks(w, "btn_full", QStringLiteral("full screen"), 410, 256, 2);
  ButtonLooks(w, "btn_min", QStringLiteral("minimise"), 540, 176, 1);
  ButtonLooks(w, "btn_max", QStringLiteral("maximise / restore"), 540, 220, 2);
  ButtonLooks(w, "btn_close", QStringLiteral("close"), 540, 292, 1);
  ButtonLooks(w, "btn_menu", QStringLiteral("menu"), 20, 300, 1);
  ButtonLooks(w, "btn_list", QStringLiteral("list"), 250, 320, 1);
  Caption(w, QStringLiteral("caption buttons"), 410, 346);
  const QString captions[] = {QStringLiteral("确定"), QStringLiteral("取消"),
                              QStringLiteral("立即关闭")};
  for (int i = 0; i < 3; ++i) {
    auto* b = ImageButton<TPNGCaptionButton>(w, "btn_dlg", 410 + i * 80, 364);
    b->SetCaption(captions[i]);
    b->SetShowCaption(true);
    if (i == 1) Hover(b);
    if (i == 2) b->setEnabled(false);
  }
}

void TrackBars(QWidget* w) {
  Caption(w, QStringLiteral("Seek bar: start, playing with download marker, end; volume"), 20, 404,
          true);
  const struct {
    int position, down;
    const char* text;
  } rows[] = {
      {0, 0, "Position 0"}, {35, 60, "Position 35, DownPosition 60"}, {100, 100, "Position = Max"}};
  for (int i = 0; i < 3; ++i) {
    SeekBar(w, QRect(20, 430 + i * 26, 300, 19), rows[i].position, rows[i].down);
    Caption(w, QString::fromLatin1(rows[i].text), 332, 432 + i * 26);
  }
  for (int i = 0; i < 3; ++i)
    SeekBar(w, QRect(520 + i * 48, 430, 40, 19), i * 50, 0, "volume_bar", "volume_thumb");
  Caption(w, QStringLiteral("volume 0, 50, 100"), 520, 458);
}

void CheckBoxes(QWidget* w) {
  Caption(w, QStringLiteral("Check boxes and radio buttons on a dialog picture"), 20, 520, true);
  auto* dialog = new TPNGImage(w);
  dialog->SetDrawStyle(dsStretch);
  dialog->SetPNGImage(Skin("dlg_bg"));
  dialog->setGeometry(20, 544, 640, 112);
  // Boxes with an outline and fill that stand out on the dark picture; disabled captions in a
  // readable grey over a dark offset copy.
  QPalette boxPal = dialog->palette();
  boxPal.setColor(QPalette::Window, QColor(0x8a, 0x92, 0x9c));
  boxPal.setColor(QPalette::Base, QColor(0x2a, 0x2f, 0x36));
  boxPal.setColor(QPalette::Text, Qt::white);
  boxPal.setColor(QPalette::Light, QColor(0x0c, 0x0e, 0x10));
  boxPal.setColor(QPalette::Dark, QColor(0x74, 0x7c, 0x86));
  boxPal.setColor(QPalette::Highlight, QColor(0x4c, 0x9f, 0xdc));
  dialog->setPalette(boxPal);
  const struct {
    const char* text;
    Qt::CheckState state;
    bool hover, enabled, focus;
  } boxes[] = {{"下次不再提示", Qt::Unchecked, false, true, false},
               {"激活定时关机", Qt::Checked, false, true, true},
               {"mixed", Qt::PartiallyChecked, false, true, false},
               {"mouse over", Qt::Checked, true, true, false},
               {"disabled", Qt::Checked, false, false, false}};
  for (int i = 0; i < 5; ++i) {
    auto* box = new TPNGCheckBox(QString::fromUtf8(boxes[i].text), dialog);
    box->setTristate(boxes[i].state == Qt::PartiallyChecked);
    box->setCheckState(boxes[i].state);
    box->setEnabled(boxes[i].enabled);
    box->setGeometry(12 + (i % 3) * 210, 10 + (i / 3) * 28, 190, 22);
    if (boxes[i].hover) Hover(box);
    if (boxes[i].focus) box->setFocus();
  }
  const char* radios[] = {"最小化到托盘", "退出应用程序", "disabled"};
  for (int i = 0; i < 3; ++i) {
    auto* rb = new TPNGRadioButton(QString::fromUtf8(radios[i]), dialog);
    rb->setAutoExclusive(false);
    rb->setChecked(i != 1);
    rb->setEnabled(i != 2);
    rb->setGeometry(12 + i * 210, 76, 190, 22);
    if (i == 1) Hover(rb);
  }
}

// Looks that depend on the final layout are set once the window is shown.
using Poses = std::vector<std::function<void()>>;

void TreeAndScroll(QWidget* w, MemoryTreeModel& model, Poses& poses) {
  Caption(w, QStringLiteral("Tree view with its skinned scroll bar"), 690, 12, true);
  auto* panel = new QWidget(w);
  panel->setGeometry(690, 36, 270, 300);
  panel->setAutoFillBackground(true);
  QPalette pal = panel->palette();
  pal.setColor(QPalette::Window, QColor(0x17, 0x19, 0x1d));
  pal.setColor(QPalette::Base, QColor(0x17, 0x19, 0x1d));
  panel->setPalette(pal);
  auto* tv = new TmTreeView(panel);
  tv->setGeometry(0, 0, 252, 300);
  tv->SetItemHeight(20);
  static const TImageList states(Skin("tree_state"), 16);
  tv->SetStateImages(states);
  const TreeNodeId films = model.Add(0, "最新电影|(24)", 2);
  model.SetExpanded(films, true);
  for (const char* t : {"星际穿越", "海上钢琴师", "千与千寻"}) model.Add(films, t, -1, "Nivra://x");
  const TreeNodeId series = model.Add(0, "热播剧集|(8)", 2);
  model.SetExpanded(series, true);
  for (int i = 1; i <= 16; ++i)
    model.Add(series, "第" + std::to_string(i) + "集 |" + std::to_string(40 + i), -1, "Nivra://e");
  model.Add(0, "纪录片|(15)", 1);
  model.Add(0, "动画|(31)", 1);
  tv->SetModel(&model);
  model.SetSelected(model.Children(series)[1]);
  auto* bar = new TPNGScrollBar(panel);
  bar->setGeometry(253, 0, 16, 300);
  tv->SetCustumScrollBar(bar);
  bar->OnPosChange = [tv, bar](QObject*) { tv->SetScrollPosition(bar->Position()); };
  poses.push_back([tv] {
    tv->SetScrollPosition(3);
    Hover(tv->viewport(), {30, 1 * 20 + 10});
  });

  Caption(w, QStringLiteral("Scroll bars"), 690, 346, true);
  Caption(w, QStringLiteral("idle, arrow, thumb"), 690, 494);
  for (int i = 0; i < 3; ++i) {
    auto* sb = new TPNGScrollBar(w);
    sb->setGeometry(700 + i * 40, 370, 16, 120);
    sb->SetPosition(20 + i * 30);
    if (i == 1) poses.push_back([sb] { Hover(sb, {8, 119}); });
    if (i == 2) poses.push_back([sb] { Hold(sb, {8, sb->ThumbStart() + sb->ThumbLength() / 2}); });
  }
}

void PagesAndLabel(QWidget* w, platform::EventLoop& loop) {
  Caption(w, QStringLiteral("Page container"), 820, 346, true);
  auto* pc = new TPNGPageControl(w);
  pc->setGeometry(820, 370, 150, 136);
  pc->SetTabBtnWidth(70);
  pc->SetTabBtnMinWidth(40);
  pc->SetTabLeft(2);
  pc->SetShowNewBtn(false);
  const QColor body(0x2f, 0x34, 0x3b);
  for (const char* c : {"常规", "热键"}) {
    auto* page = new TPNGTabSheet(pc);
    page->SetCaption(QString::fromUtf8(c));
    page->SetColor(body);
    Caption(page, QStringLiteral("page %1").arg(QString::fromUtf8(c)), 10, 10);
  }
  pc->SetActivePage(pc->Page(0));

  Caption(w, QStringLiteral("Scrolling label (stopped in the middle)"), 690, 520, true);
  auto* roll = new TRollLabel(loop, w);
  roll->setGeometry(690, 544, 280, 26);
  roll->SetPNGImage(Skin("roll_bg"));
  QFont font = roll->font();
  font.setPixelSize(13);
  roll->setFont(font);
  roll->SetFontColor(kText);
  font.setUnderline(true);
  roll->SetHotFont(font, Qt::white);
  roll->SetLines({"{DC9F4C}新片上线：星际穿越 4K 修复版=Nivra://a", "每周更新片单=Nivra://b"});
  Caption(w, QStringLiteral("line with the colour prefix {DC9F4C}"), 690, 576);
}

std::unique_ptr<QWidget> BuildGallery(platform::EventLoop& loop, MemoryTreeModel& model,
                                      Poses& poses) {
  auto w = std::make_unique<QWidget>();
  w->setWindowTitle(QStringLiteral("Nivra skin gallery"));
  w->resize(990, 680);
  w->setAutoFillBackground(true);
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, kWindow);
  pal.setColor(QPalette::WindowText, kText);
  pal.setColor(QPalette::Base, QColor(0x14, 0x16, 0x1a));
  pal.setColor(QPalette::Text, kText);
  pal.setColor(QPalette::Button, QColor(0x2f, 0x34, 0x3b));
  pal.setColor(QPalette::Light, QColor(0x4a, 0x51, 0x5b));
  pal.setColor(QPalette::Dark, QColor(0x10, 0x12, 0x15));
  pal.setColor(QPalette::PlaceholderText, kDim);
  w->setPalette(pal);
  QFont font(QStringLiteral("Noto Sans CJK SC"));
  font.setPixelSize(12);
  w->setFont(font);
  TitleBar(w.get());
  Buttons(w.get());
  TrackBars(w.get());
  CheckBoxes(w.get());
  TreeAndScroll(w.get(), model, poses);
  PagesAndLabel(w.get(), loop);
  return w;
}

int Fail(const std::string& message, int code = 2) {
  std::cerr << "nivra-tool skin-gallery: " << message << "\n";
  return code;
}

int RunGallery(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::cout << kUsage;
    return 0;
  }
  std::string screenshot;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--screenshot" && i + 1 < args.size() && !args[i + 1].empty()) {
      screenshot = args[++i];
    } else {
      return Fail("unknown or incomplete argument '" + args[i] + "' (see --help)");
    }
  }
  const bool display = qEnvironmentVariableIsSet("DISPLAY") ||
                       qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
                       qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
  if (!display) {
    if (screenshot.empty())
      return Fail("no display to show the gallery on (try --screenshot FILE)");
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  static int argc = 1;
  static char name[] = "nivra-tool";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  MemoryTreeModel model;
  Poses poses;
  if (screenshot.empty()) {
    platform::QtEventLoop loop;
    std::unique_ptr<QWidget> gallery = BuildGallery(loop, model, poses);
    gallery->show();
    for (const auto& pose : poses) pose();
    return app.exec();
  }
  // Virtual time puts the scrolling line at its stop in the middle of the label.
  platform::ManualEventLoop loop;
  std::unique_ptr<QWidget> gallery = BuildGallery(loop, model, poses);
  gallery->show();
  for (const auto& pose : poses) pose();
  QApplication::setActiveWindow(gallery.get());  // focus rectangles show in an active window
  loop.advance(50 * 140);
  QApplication::processEvents();
  const QImage shot = gallery->grab().toImage();
  if (!shot.save(QString::fromStdString(screenshot), "PNG"))
    return Fail("cannot write " + screenshot, 1);
  std::cout << "screenshot=" << screenshot << " size=" << shot.width() << "x" << shot.height()
            << "\n";
  return 0;
}

const ToolCommandRegistrar registrar{
    {"skin-gallery", "show every skinned control in its states, or draw them into a PNG",
     RunGallery}};

}  // namespace
}  // namespace nivra::tool
