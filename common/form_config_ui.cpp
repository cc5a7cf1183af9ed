#include "common/form_config_ui.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>

#include "common/form_config_rules.h"
#include "common/hot_key_edit.h"
#include "ui/png_button.h"
#include "ui/png_check_box.h"
#include "ui/png_page_control.h"
#include "ui/png_panel.h"
#include "ui/png_radio_button.h"
#include "ui/skin.h"

namespace nivra::common {
namespace {

using ui::TPNGCheckBox;
using ui::TPNGRadioButton;

const QColor kPageColor(0x24, 0x28, 0x2e);
const QColor kText(0xd4, 0xd9, 0xe0);
const QColor kHeading(0x8a, 0xc4, 0xee);
constexpr int kRow = 22;    // height of a check box, radio button or label row
constexpr int kField = 24;  // height of combo boxes, spin and hot-key fields

template <class Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

QLabel* Label(QWidget* parent, const QString& text, int x, int y, int w,
              const QColor& color = kText) {
  auto* label = new QLabel(text, parent);
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, color);
  label->setPalette(pal);
  label->setGeometry(x, y, w, kField);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

TPNGCheckBox* CheckBox(QWidget* parent, const char* name, const QString& caption, QRect r) {
  auto* box = Named(new TPNGCheckBox(caption, parent), name);
  box->setGeometry(r);
  return box;
}

TPNGRadioButton* Radio(QWidget* parent, const char* name, const QString& caption, QRect r) {
  auto* radio = Named(new TPNGRadioButton(caption, parent), name);
  radio->setGeometry(r);
  return radio;
}

// A captioned group: its radio buttons exclude each other and nothing outside it.
QWidget* Group(QWidget* parent, const QString& caption, QRect r) {
  auto* group = new ui::TPNGTransPanel(parent);
  group->setGeometry(r);
  Label(group, caption, 0, 0, r.width(), kHeading);
  return group;
}

QComboBox* Combo(QWidget* parent, const char* name, const QStringList& items, QRect r) {
  auto* combo = Named(new QComboBox(parent), name);
  combo->addItems(items);
  combo->setGeometry(r);
  return combo;
}

THotKeyEdit* HotKey(QWidget* parent, const char* name, QRect r) {
  auto* edit = Named(new THotKeyEdit(parent), name);
  edit->setGeometry(r);
  return edit;
}

void BuildBase(ConfigWidgets& w, QWidget* page) {
  w.chkAutoRun =
      CheckBox(page, "chkAutoRun", QStringLiteral("开机时自动启动"), {20, 16, 300, kRow});
  w.chkNextNotQuery = CheckBox(page, "chkNextNotQuery",
                               QStringLiteral("退出时不提示，直接执行操作"), {20, 44, 300, kRow});
  QWidget* mini = Group(page, QStringLiteral("当程序最小化后显示在"), {20, 80, 400, 52});
  w.rbMiniTray = Radio(mini, "rbMiniTray", QStringLiteral("托盘"), {16, 28, 100, kRow});
  w.rbMiniTask = Radio(mini, "rbMiniTask", QStringLiteral("任务栏"), {136, 28, 100, kRow});
  QWidget* close = Group(page, QStringLiteral("当点击关闭按钮后"), {20, 144, 400, 52});
  w.rbCloseExit = Radio(close, "rbCloseExit", QStringLiteral("退出"), {16, 28, 100, kRow});
  w.rbCloseTray = Radio(close, "rbCloseTray", QStringLiteral("托盘"), {136, 28, 100, kRow});
}

void BuildPlay(ConfigWidgets& w, QWidget* page) {
  Label(page, QStringLiteral("在最前"), 20, 16, 76);
  w.cbbTop =
      Combo(page, "cbbTop",
            {QStringLiteral("永不最前"), QStringLiteral("总在最前"), QStringLiteral("播放时最前")},
            {100, 16, 160, kField});
  Label(page, QStringLiteral("声道调节"), 20, 54, 76);
  w.cbbSound =
      Combo(page, "cbbSound",
            {QStringLiteral("默认声道"), QStringLiteral("左声道"), QStringLiteral("右声道")},
            {100, 54, 160, kField});
  Label(page, QStringLiteral("保存最近"), 20, 92, 76);
  w.udHistory = Named(new QSpinBox(page), "udHistory");
  w.udHistory->setRange(kHistoryMin, kHistoryMax);
  w.udHistory->setGeometry(100, 92, 64, kField);
  Label(page, QStringLiteral("条观看记录"), 172, 92, 120);
  // Kept in the settings, not offered.
  w.cbbScale =
      Combo(page, "cbbScale", {QStringLiteral("视频适应窗口"), QStringLiteral("窗口适应视频")},
            {100, 130, 160, kField});
  w.cbbScale->hide();
  w.chkShutDown =
      CheckBox(page, "chkShutDown", QStringLiteral("播放完毕自动关机"), {20, 168, 240, kRow});
  w.chkShutDown->hide();
}

void BuildHotkey(ConfigWidgets& w, QWidget* page) {
  w.chkBossKey = CheckBox(page, "chkBossKey", QStringLiteral("启动老板键"), {20, 14, 130, kRow});
  Label(page, QStringLiteral("老板键"), 176, 13, 56);
  w.hkBossKey = HotKey(page, "hkBossKey", {236, 13, 150, kField});
  w.chkBossKeyHideTray = CheckBox(page, "chkBossKeyHideTray",
                                  QStringLiteral("启动老板键时隐藏托盘"), {20, 44, 240, kRow});
  w.chkBossKeyMute =
      CheckBox(page, "chkBossKeyMute", QStringLiteral("老板键隐藏时静音"), {236, 44, 200, kRow});
  w.chkBossKeyMute->hide();

  auto* line = new QFrame(page);
  line->setGeometry(20, 78, 410, 1);
  line->setAutoFillBackground(true);
  QPalette linePal = line->palette();
  linePal.setColor(QPalette::Window, QColor(0x3b, 0x41, 0x4a));
  line->setPalette(linePal);

  const struct {
    const char* name;
    const char* caption;
    THotKeyEdit* ConfigWidgets::*field;
  } keys[] = {{"hkOpenFile", "打开文件", &ConfigWidgets::hkOpenFile},
              {"hkVolumeInc", "增加音量", &ConfigWidgets::hkVolumeInc},
              {"hkMute", "静音", &ConfigWidgets::hkMute},
              {"hkOpenUrl", "打开URL", &ConfigWidgets::hkOpenUrl},
              {"hkVolumeDec", "减少音量", &ConfigWidgets::hkVolumeDec},
              {"hkFullScreen", "全屏", &ConfigWidgets::hkFullScreen}};
  for (int i = 0; i < 6; ++i) {
    const int x = i < 3 ? 20 : 232;
    const int y = 94 + (i % 3) * 36;
    Label(page, QString::fromUtf8(keys[i].caption), x, y, 60);
    w.*keys[i].field = HotKey(page, keys[i].name, {x + 64, y, 134, kField});
  }
}

void BuildFace(ConfigWidgets& w, QWidget* page) {
  QWidget* mode = Group(page, QStringLiteral("模式"), {20, 16, 400, 52});
  w.rbPlayListNormal =
      Radio(mode, "rbPlayListNormal", QStringLiteral("右侧列表"), {16, 28, 100, kRow});
  w.rbPlayListMini =
      Radio(mode, "rbPlayListMini", QStringLiteral("隐藏列表"), {136, 28, 100, kRow});
  w.rbPlayListR2L = Radio(mode, "rbPlayListR2L", QStringLiteral("左侧列表"), {256, 28, 100, kRow});
  // Kept in the settings, not offered.
  QWidget* side = new ui::TPNGTransPanel(page);
  side->setGeometry(20, 80, 400, 52);
  w.rbPlayListRight =
      Radio(side, "rbPlayListRight", QStringLiteral("右侧显示影视列表"), {16, 0, 180, kRow});
  w.rbPlayListLeft =
      Radio(side, "rbPlayListLeft", QStringLiteral("左侧显示影视列表"), {16, 26, 180, kRow});
  side->hide();
  w.lstFace = Named(new QListWidget(page), "lstFace");
  w.lstFace->addItem(QStringLiteral("默认"));
  w.lstFace->setGeometry(20, 140, 160, 60);
  w.lstFace->hide();
}

}  // namespace

ConfigWidgets BuildConfigPages(QWidget* parent, int x, int y, int bottom) {
  ConfigWidgets w;
  auto* buttons = new ui::TPNGTransPanel(parent);
  w.pgc1 = Named(new ui::TPNGPageControl(parent), "pgc1");
  w.pgc1->SetShowTabBtns(false);
  w.pgc1->SetColor(kPageColor);
  const char* buttonNames[] = {"btnBase", "btnPlay", "btnHotkey", "btnFace"};
  const char* pageNames[] = {"tsBase", "tsPlay", "tsHotkey", "tsFace"};
  const char* captions[] = {"基本设置", "播放设置", "热键设置", "界面设置"};
  int buttonX = 0;
  for (int i = 0; i < 4; ++i) {
    auto* button =
        ui::MakeImageButton<ui::TPNGCaptionButton>(buttons, QStringLiteral("btn_page"), 2);
    Named(button, buttonNames[i]);
    button->SetCaption(QString::fromUtf8(captions[i]));
    button->SetShowCaption(true);
    button->move(buttonX, 0);
    buttonX += button->width() + 4;
    w.pageButtons[i] = button;
    auto* page = Named(new ui::TPNGTabSheet(w.pgc1), pageNames[i]);
    page->SetCaption(QString::fromUtf8(captions[i]));
    page->SetTransparent(true);
    w.pages[i] = page;
  }
  const int buttonHeight = w.pageButtons[0]->height();
  buttons->setGeometry(x, y, buttonX, buttonHeight);
  w.pgc1->setGeometry(x, y + buttonHeight + 4, parent->width() - 2 * x,
                      bottom - (y + buttonHeight + 4));
  BuildBase(w, w.pages[0]);
  BuildPlay(w, w.pages[1]);
  BuildHotkey(w, w.pages[2]);
  BuildFace(w, w.pages[3]);
  return w;
}

}  // namespace nivra::common
