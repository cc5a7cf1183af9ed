#include "app/commands.h"

#include <QActionGroup>
#include <QMenu>
#include <QWidget>
#include <initializer_list>

#include "common/ini_config.h"
#include "common/key_codes.h"

namespace nivra::app {
namespace {

using G = CommandGroup;
using S = ShortcutAction;

constexpr CommandEntry kCommands[] = {
    {Command::Play, "Act_Play", "播放/暂停"},
    {Command::Stop, "Act_Stop", "停止"},
    {Command::Prev, "Act_Prev", "上一个节目"},
    {Command::Next, "Act_Next", "下一个节目"},
    {Command::OpenFile, "Act_OpenFile", "播放文件", G::None, false, nullptr, S::OpenFile},
    {Command::PlayURL, "Act_PlayURL", "播放URL", G::None, false, nullptr, S::PlayUrl},
    {Command::Full, "Act_Full", "全屏播放", G::None, false, nullptr, S::Full},
    {Command::Mute, "Act_Mute", "静音", G::None, true, nullptr, S::Mute},
    {Command::VolumeInc, "Act_VolumeInc", "增加音量＋", G::None, false, nullptr, S::VolumeInc},
    {Command::VolumeDec, "Act_VolumeDec", "减少音量－", G::None, false, nullptr, S::VolumeDec},
    {Command::VolumeStereo, "Act_VolumeStereo", "立体声", G::Channel, true},
    {Command::VolumeLeft, "Act_VolumeLeft", "左声道", G::Channel, true},
    {Command::VolumeRight, "Act_VolumeRight", "右声道", G::Channel, true},
    {Command::Min, "Act_Min", "最小化"},
    {Command::Max, "Act_Max", "最大化"},
    {Command::CloseOrTray, "Act_CloseOrTray", "关闭"},
    {Command::Close, "Act_Close", "退出", G::None, false, "Alt+F4"},
    {Command::ShowTray, "Act_ShowTray", "隐藏窗口"},
    {Command::NoTopMost, "Act_NoTopMost", "永不最前", G::TopMost, true},
    {Command::TopMost, "Act_TopMost", "总在最前", G::TopMost, true},
    {Command::TopMostOnPlay, "Act_TopMostOnPlay", "播放时最前", G::TopMost, true},
    {Command::ffsNormal, "Act_ffsNormal", "右侧列表", G::ListMode, true},
    {Command::ffsMini, "Act_ffsMini", "隐藏列表", G::ListMode, true},
    {Command::ChangeTreeList, "Act_ChangeTreeList", "左侧列表", G::ListMode, true},
    {Command::ffsR2L, "Act_ffsR2L", "影视列表左右互换"},
    {Command::ShowRightFrm, "Act_ShowRightFrm", "影视列表"},
    {Command::PagePlay, "Act_PagePlay", "播放器"},
    {Command::PageLib, "Act_PageLib", "视频库"},
    {Command::ShowConfigFrm, "Act_ShowConfigFrm", "设置选项"},
    {Command::ShutDown, "Act_ShutDown", "定时关机"},
    {Command::BossKey, "Act_BossKey", "老板键"},
    {Command::About, "Act_About", "关于我们"},
    {Command::CheckUpdate, "Act_CheckUpdate", "在线升级"},
    {Command::HomePage, "Act_HomePage", "官方网站"},
    {Command::HomeBBS, "Act_HomeBBS", "官方论坛"},
};
static_assert(std::size(kCommands) == static_cast<std::size_t>(Command::Count));

constexpr bool TableInOrder() {
  for (std::size_t i = 0; i < std::size(kCommands); ++i)
    if (static_cast<std::size_t>(kCommands[i].id) != i) return false;
  return true;
}
static_assert(TableInOrder(), "kCommands is indexed by Command");

// A menu item: a command, a separator, or a sub-menu with its items.
struct MenuItem {
  enum Kind { Action, Separator, SubMenu } kind;
  Command command = Command::Count;
  const char* caption = nullptr;
  std::initializer_list<MenuItem> items = {};
};
MenuItem A(Command c) { return {MenuItem::Action, c}; }
const MenuItem kSep{MenuItem::Separator};
MenuItem Sub(const char* caption, std::initializer_list<MenuItem> items) {
  return {MenuItem::SubMenu, Command::Count, caption, items};
}

const char* const kMenuStyle =
    "QMenu { background: #23262d; color: #d4d9e0; border: 1px solid #3a3f48; padding: 4px 0; }"
    "QMenu::item { padding: 5px 28px 5px 24px; }"
    "QMenu::item:selected { background: #2f6fb5; color: white; }"
    "QMenu::item:disabled { color: #6b727c; }"
    "QMenu::separator { height: 1px; background: #3a3f48; margin: 4px 8px; }"
    "QMenu::indicator { width: 12px; height: 12px; left: 6px; }";

void Fill(QMenu* menu, const CommandSet& set, std::initializer_list<MenuItem> items) {
  for (const MenuItem& item : items) {
    switch (item.kind) {
      case MenuItem::Action:
        menu->addAction(set[item.command]);
        break;
      case MenuItem::Separator:
        menu->addSeparator();
        break;
      case MenuItem::SubMenu:
        Fill(menu->addMenu(QString::fromUtf8(item.caption)), set, item.items);
        break;
    }
  }
}

QMenu* MakeMenu(QWidget* owner, const char* name, const CommandSet& set,
                std::initializer_list<MenuItem> items) {
  auto* menu = new QMenu(owner);
  menu->setObjectName(QString::fromLatin1(name));
  menu->setStyleSheet(QString::fromLatin1(kMenuStyle));
  Fill(menu, set, items);
  return menu;
}

}  // namespace

const CommandEntry& EntryOf(Command id) { return kCommands[static_cast<std::size_t>(id)]; }

CommandSet::CommandSet(QWidget* owner, std::function<void(Command)> run) {
  QActionGroup* groups[4] = {nullptr, new QActionGroup(owner), new QActionGroup(owner),
                             new QActionGroup(owner)};
  const common::TIniConfig defaults;
  for (const CommandEntry& entry : kCommands) {
    auto* action = new QAction(QString::fromUtf8(entry.caption), owner);
    action->setObjectName(QString::fromLatin1(entry.name));
    action->setCheckable(entry.checkable);
    action->setShortcutContext(Qt::ApplicationShortcut);
    if (entry.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
    if (QActionGroup* group = groups[static_cast<int>(entry.group)]) group->addAction(action);
    owner->addAction(action);
    QObject::connect(action, &QAction::triggered, owner, [run, id = entry.id] { run(id); });
    actions_[static_cast<std::size_t>(entry.id)] = action;
  }
  // The six settable shortcuts start at the settings' defaults; applying may replace them.
  for (ShortcutAction s : kShortcutActions)
    Shortcut(s)->setShortcut(common::keyCodeToSequence(defaults.*ShortcutField(s)));

  const auto help =
      Sub("帮助(&H)", {A(Command::HomePage), A(Command::HomeBBS), kSep, A(Command::About)});
  pmMain_ = MakeMenu(
      owner, "pmMain", *this,
      {Sub("播放",
           {A(Command::OpenFile), A(Command::PlayURL), kSep, A(Command::Play), A(Command::Stop),
            kSep, Sub("音量", {A(Command::VolumeInc), A(Command::VolumeDec), A(Command::Mute)}),
            Sub("声道",
                {A(Command::VolumeStereo), A(Command::VolumeLeft), A(Command::VolumeRight)})}),
       Sub("视图", {A(Command::Full), kSep, A(Command::NoTopMost), A(Command::TopMost),
                    A(Command::TopMostOnPlay), kSep, A(Command::ffsNormal), A(Command::ffsMini),
                    A(Command::ChangeTreeList)}),
       kSep, A(Command::ShowConfigFrm), A(Command::ShutDown), A(Command::CheckUpdate), kSep, help,
       kSep, A(Command::Close)});
  pmRight_ = MakeMenu(owner, "pmRight", *this,
                      {A(Command::NoTopMost), A(Command::TopMost), A(Command::TopMostOnPlay), kSep,
                       A(Command::Full), A(Command::Mute), kSep, A(Command::About)});
  pmTrayIcon_ = MakeMenu(owner, "pmTrayIcon", *this,
                         {A(Command::ShowTray), A(Command::ShowConfigFrm), A(Command::CheckUpdate),
                          kSep, help, kSep, A(Command::Close)});
}

QAction* CommandSet::Shortcut(ShortcutAction action) const {
  for (const CommandEntry& entry : kCommands)
    if (entry.setting == action) return (*this)[entry.id];
  return nullptr;
}

}  // namespace nivra::app
