// The settings dialog on the offscreen platform: what OK writes, that Cancel writes nothing,
// which control edits which setting, the page buttons and the hot-key fields.

#include "common/form_config.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTest>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/hot_key_edit.h"
#include "common/key_codes.h"
#include "platform/ini_file.h"
#include "tests/common/dialog_test_support.h"
#include "tests/common/settings_fixture.h"
#include "tests/support/temp_dir.h"
#include "ui/png_button.h"
#include "ui/png_check_box.h"
#include "ui/png_page_control.h"
#include "ui/png_panel.h"
#include "ui/png_radio_button.h"

namespace nivra::common {
namespace {

// What the dialog asked of its host.
struct HostLog {
  std::vector<bool> autorun;
  std::vector<TIniConfig> applied;
};

ConfigHost LoggingHost(HostLog& log) {
  ConfigHost host;
  host.setAutorun = [&log](bool on) { log.autorun.push_back(on); };
  host.onApply = [&log](const TIniConfig& config) { log.applied.push_back(config); };
  return host;
}

void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, 6)); }

template <class T>
T* Child(QWidget& form, const char* name) {
  T* child = form.findChild<T*>(QLatin1String(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

TIniConfig LoadFile(const std::filesystem::path& file) {
  TIniConfig config;
  config.Load(file);
  return config;
}

TEST(FormConfig, OkWritesEveryKeyAndKeepsOtherSections) {
  nivra::test::TempDir dir;
  const auto file = dir.write("Setup.ini", "[Flag]\nData=46000\n");
  TIniConfig config = nivra::test::ChangedSettings();
  config.hkOpenUrl = kCtrlBit | 0x60;  // a key this platform has no name for is kept
  const TIniConfig expected = config;
  HostLog log;
  TFormConfig form(nullptr, config, file, LoggingHost(log));
  form.show();
  Click(Child<QWidget>(form, "btnOK"));

  EXPECT_TRUE(form.isHidden());
  EXPECT_EQ(form.result(), mrOk);
  platform::IniFile ini(file);
  ASSERT_TRUE(ini.load());
  EXPECT_EQ(ini.sectionNames(),
            (std::vector<std::string>{"Flag", "cfBase", "cfPlay", "cfHotKey", "cfFace"}));
  EXPECT_EQ(ini.readString("Flag", "Data", ""), "46000");
  EXPECT_EQ(ini.keyNames("cfBase"),
            (std::vector<std::string>{"chkAutoRun", "rbMini", "rbClose", "chkNextNotQuery"}));
  EXPECT_EQ(ini.keyNames("cfPlay"), (std::vector<std::string>{"cbbTop", "cbbScale", "cbbSound",
                                                              "chkShutDown", "udHistory"}));
  EXPECT_EQ(ini.keyNames("cfHotKey"),
            (std::vector<std::string>{"chkBossKey", "hkBossKey", "chkBossKeyHideTray",
                                      "chkBossKeyMute", "hkOpenFile", "hkOpenUrl", "hkVolumeInc",
                                      "hkVolumeDec", "hkMute", "hkFullScreen"}));
  EXPECT_EQ(ini.keyNames("cfFace"),
            (std::vector<std::string>{"rbPlayListPos", "rbPlayListMode", "lstFace"}));
  EXPECT_EQ(ini.readString("cfHotKey", "hkMute", ""), std::to_string(0x4000 | 0x2000 | 'M'));
  EXPECT_EQ(ini.readString("cfFace", "lstFace", ""), "-1");
  nivra::test::ExpectSameSettings(LoadFile(file), expected);
  nivra::test::ExpectSameSettings(config, expected);
  EXPECT_EQ(log.autorun, std::vector<bool>{false});
  ASSERT_EQ(log.applied.size(), 1u);
  nivra::test::ExpectSameSettings(log.applied[0], expected);
}

TEST(FormConfig, CancelEscapeAndCloseWriteNothing) {
  const std::string original = "[Flag]\nData=1\n[cfPlay]\nudHistory=7\n; a comment\n";
  const std::vector<std::pair<const char*, std::function<void(TFormConfig&)>>> ways = {
      {"btnCancel", [](TFormConfig& f) { Click(Child<QWidget>(f, "btnCancel")); }},
      {"Escape", [](TFormConfig& f) { QTest::keyClick(&f, Qt::Key_Escape); }},
      {"btnClose", [](TFormConfig& f) { f.btnClose()->Click(); }},
  };
  for (const auto& [way, end] : ways) {
    nivra::test::TempDir dir;
    const auto file = dir.write("Setup.ini", original);
    TIniConfig config;
    config.Load(file);
    HostLog log;
    TFormConfig form(nullptr, config, file, LoggingHost(log));
    form.show();
    form.Widgets().udHistory->setValue(99);
    form.Widgets().hkMute->SetHotKey(kCtrlBit | 'Q');
    Click(form.Widgets().chkAutoRun);
    end(form);
    EXPECT_TRUE(form.isHidden()) << way;
    EXPECT_NE(form.result(), mrOk) << way;
    EXPECT_EQ(nivra::test::readFile(file), original) << way;
    EXPECT_EQ(config.udHistory, 7) << way;
    EXPECT_EQ(config.hkMute, TIniConfig{}.hkMute) << way;
    EXPECT_TRUE(log.autorun.empty()) << way;
    EXPECT_TRUE(log.applied.empty()) << way;
  }
}

TEST(FormConfig, TypedShortcutReachesTheApplyCallback) {
  nivra::test::TempDir dir;
  const auto file = dir / "Setup.ini";
  TIniConfig config;
  HostLog log;
  TFormConfig form(nullptr, config, file, LoggingHost(log));
  form.show();
  Click(form.Widgets().pageButtons[2]);
  THotKeyEdit* mute = form.Widgets().hkMute;
  mute->setFocus();
  QTest::keyClick(mute, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(mute->Text(), QStringLiteral("Ctrl+Shift+K"));
  Click(Child<QWidget>(form, "btnOK"));
  ASSERT_EQ(log.applied.size(), 1u);
  EXPECT_EQ(log.applied[0].hkMute, kCtrlBit | kShiftBit | 'K');
  EXPECT_EQ(LoadFile(file).hkMute, kCtrlBit | kShiftBit | 'K');
}

TEST(FormConfig, ShowConfigFormTellsWhetherItWasConfirmed) {
  for (const bool ok : {true, false}) {
    nivra::test::TempDir dir;
    const auto file = dir / "Setup.ini";
    TIniConfig config;
    HostLog log;
    bool shown = false;
    {
      test::ModalAnswer<TFormConfig> answer([&](TFormConfig& form) {
        shown = form.isVisible();
        form.Widgets().udHistory->setValue(3);
        Click(Child<QWidget>(form, ok ? "btnOK" : "btnCancel"));
      });
      EXPECT_EQ(ShowConfigForm(nullptr, config, file, LoggingHost(log)), ok);
    }
    EXPECT_TRUE(shown);
    EXPECT_EQ(std::filesystem::exists(file), ok);
    EXPECT_EQ(config.udHistory, ok ? 3 : 25);
    EXPECT_EQ(log.applied.size(), ok ? 1u : 0u);
  }
}

// One control changed from the defaults: only its setting changes in the file.
struct ControlCase {
  const char* control;
  int page;
  std::function<void(TFormConfig&)> change;
  std::function<void(TIniConfig&)> expect;
};

template <class T>
std::function<void(TFormConfig&)> ClickOn(const char* name) {
  return [name](TFormConfig& f) { Click(Child<T>(f, name)); };
}

std::function<void(TFormConfig&)> Keys(const char* name, Qt::Key key,
                                       Qt::KeyboardModifiers modifiers) {
  return [=](TFormConfig& f) { QTest::keyClick(Child<THotKeyEdit>(f, name), key, modifiers); };
}

TEST(FormConfig, EachControlEditsItsSetting) {
  using ui::TPNGCheckBox;
  using ui::TPNGRadioButton;
  const std::vector<ControlCase> cases = {
      {"chkAutoRun", 0, ClickOn<TPNGCheckBox>("chkAutoRun"),
       [](TIniConfig& c) { c.chkAutoRun = false; }},
      {"chkNextNotQuery", 0, ClickOn<TPNGCheckBox>("chkNextNotQuery"),
       [](TIniConfig& c) { c.chkNextNotQuery = true; }},
      {"rbMiniTray", 0, ClickOn<TPNGRadioButton>("rbMiniTray"),
       [](TIniConfig& c) { c.rbMini = 1; }},
      {"rbCloseExit", 0, ClickOn<TPNGRadioButton>("rbCloseExit"),
       [](TIniConfig& c) { c.rbClose = 1; }},
      {"cbbTop", 1, [](TFormConfig& f) { Child<QComboBox>(f, "cbbTop")->setCurrentIndex(2); },
       [](TIniConfig& c) { c.cbbTop = 2; }},
      {"cbbScale", 1, [](TFormConfig& f) { Child<QComboBox>(f, "cbbScale")->setCurrentIndex(1); },
       [](TIniConfig& c) { c.cbbScale = 1; }},
      {"cbbSound", 1, [](TFormConfig& f) { Child<QComboBox>(f, "cbbSound")->setCurrentIndex(1); },
       [](TIniConfig& c) { c.cbbSound = 1; }},
      {"chkShutDown", 1,
       [](TFormConfig& f) { Child<TPNGCheckBox>(f, "chkShutDown")->setChecked(true); },
       [](TIniConfig& c) { c.chkShutDown = true; }},
      {"udHistory", 1, [](TFormConfig& f) { Child<QSpinBox>(f, "udHistory")->setValue(40); },
       [](TIniConfig& c) { c.udHistory = 40; }},
      {"chkBossKey", 2, ClickOn<TPNGCheckBox>("chkBossKey"),
       [](TIniConfig& c) { c.chkBossKey = false; }},
      {"hkBossKey", 2, Keys("hkBossKey", Qt::Key_K, Qt::AltModifier),
       [](TIniConfig& c) { c.hkBossKey = kAltBit | 'K'; }},
      {"chkBossKeyHideTray", 2, ClickOn<TPNGCheckBox>("chkBossKeyHideTray"),
       [](TIniConfig& c) { c.chkBossKeyHideTray = false; }},
      {"chkBossKeyMute", 2,
       [](TFormConfig& f) { Child<TPNGCheckBox>(f, "chkBossKeyMute")->setChecked(false); },
       [](TIniConfig& c) { c.chkBossKeyMute = false; }},
      {"hkOpenFile", 2, Keys("hkOpenFile", Qt::Key_F2, Qt::NoModifier),
       [](TIniConfig& c) { c.hkOpenFile = 0x71; }},
      {"hkOpenUrl", 2, Keys("hkOpenUrl", Qt::Key_L, Qt::ControlModifier),
       [](TIniConfig& c) { c.hkOpenUrl = kCtrlBit | 'L'; }},
      {"hkVolumeInc", 2, Keys("hkVolumeInc", Qt::Key_Up, Qt::AltModifier),
       [](TIniConfig& c) { c.hkVolumeInc = kAltBit | 0x26; }},
      {"hkVolumeDec", 2, Keys("hkVolumeDec", Qt::Key_Backspace, Qt::NoModifier),
       [](TIniConfig& c) { c.hkVolumeDec = 0; }},
      {"hkMute", 2, Keys("hkMute", Qt::Key_0, Qt::ControlModifier | Qt::AltModifier),
       [](TIniConfig& c) { c.hkMute = kCtrlBit | kAltBit | '0'; }},
      {"hkFullScreen", 2, Keys("hkFullScreen", Qt::Key_Return, Qt::AltModifier),
       [](TIniConfig& c) { c.hkFullScreen = kAltBit | 0x0D; }},
      {"rbPlayListMini", 3, ClickOn<TPNGRadioButton>("rbPlayListMini"),
       [](TIniConfig& c) { c.rbPlayListMode = 1; }},
      {"rbPlayListR2L", 3, ClickOn<TPNGRadioButton>("rbPlayListR2L"),
       [](TIniConfig& c) { c.rbPlayListMode = 2; }},
      {"rbPlayListLeft", 3,
       [](TFormConfig& f) { Child<TPNGRadioButton>(f, "rbPlayListLeft")->setChecked(true); },
       [](TIniConfig& c) { c.rbPlayListPos = 0; }},
      {"lstFace", 3, [](TFormConfig& f) { Child<QListWidget>(f, "lstFace")->setCurrentRow(-1); },
       [](TIniConfig& c) { c.lstFace = -1; }},
  };
  for (const ControlCase& k : cases) {
    SCOPED_TRACE(k.control);
    nivra::test::TempDir dir;
    const auto file = dir / "Setup.ini";
    TIniConfig config;
    TFormConfig form(nullptr, config, file, {});
    form.show();
    Click(form.Widgets().pageButtons[k.page]);
    ASSERT_EQ(form.Widgets().pgc1->ActivePage(), form.Widgets().pages[k.page]);
    k.change(form);
    Click(Child<QWidget>(form, "btnOK"));
    TIniConfig expected;
    k.expect(expected);
    nivra::test::ExpectSameSettings(LoadFile(file), expected);
  }
}

TEST(FormConfig, OpensOnTheBasePageAndPageButtonsSwitchPages) {
  TIniConfig config;
  TFormConfig form(nullptr, config, "unused.ini", {});
  form.show();
  EXPECT_EQ(form.size(), TFormConfig::kSize);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("设置选项"));
  const ConfigWidgets& w = form.Widgets();
  const char* pageNames[] = {"tsBase", "tsPlay", "tsHotkey", "tsFace"};
  for (int shown : {0, 2, 1, 3, 0}) {
    if (shown != 0 || w.pgc1->ActivePage() != w.pages[0]) Click(w.pageButtons[shown]);
    EXPECT_EQ(w.pgc1->ActivePage()->objectName(), QLatin1String(pageNames[shown]));
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(w.pageButtons[i]->StateIndex(), i == shown ? 0 : 1) << shown << i;
      EXPECT_EQ(w.pages[i]->isVisible(), i == shown) << shown << i;
    }
  }
}

TEST(FormConfig, HiddenControlsAreFilledButNotShown) {
  TIniConfig config = nivra::test::ChangedSettings();
  TFormConfig form(nullptr, config, "unused.ini", {});
  form.show();
  const ConfigWidgets& w = form.Widgets();
  for (QWidget* hidden :
       {static_cast<QWidget*>(w.cbbScale), static_cast<QWidget*>(w.chkShutDown),
        static_cast<QWidget*>(w.chkBossKeyMute), static_cast<QWidget*>(w.rbPlayListRight),
        static_cast<QWidget*>(w.rbPlayListLeft), static_cast<QWidget*>(w.lstFace)}) {
    for (int page = 0; page < 4; ++page) {
      form.ShowPage(page);
      EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    }
  }
  EXPECT_EQ(w.cbbScale->currentIndex(), 1);
  EXPECT_TRUE(w.chkShutDown->isChecked());
  EXPECT_FALSE(w.chkBossKeyMute->isChecked());
  EXPECT_TRUE(w.rbPlayListLeft->isChecked());
  EXPECT_FALSE(w.rbPlayListRight->isChecked());
}

TEST(FormConfig, ValuesOutsideTheControlsRanges) {
  // An index the box lacks selects nothing and is saved as -1; the spin control keeps its range.
  const struct {
    int value, index, history;
  } cases[] = {{5, -1, 100}, {-1, -1, 0}, {2, 2, 100}, {0, 0, 0}};
  for (const auto& k : cases) {
    nivra::test::TempDir dir;
    TIniConfig config;
    config.cbbTop = config.cbbSound = k.value;
    config.udHistory = k.value > 0 ? 500 : -3;
    TFormConfig form(nullptr, config, dir / "Setup.ini", {});
    form.show();
    EXPECT_EQ(form.Widgets().cbbTop->currentIndex(), k.index) << k.value;
    Click(Child<QWidget>(form, "btnOK"));
    const TIniConfig saved = LoadFile(dir / "Setup.ini");
    EXPECT_EQ(saved.cbbTop, k.index) << k.value;
    EXPECT_EQ(saved.cbbSound, k.index) << k.value;
    EXPECT_EQ(saved.udHistory, k.history) << k.value;
  }
}

TEST(HotKeyEdit, CapturesShowsAndClears) {
  THotKeyEdit edit;
  std::vector<std::int32_t> changes;
  edit.OnChange = [&](std::int32_t code) { changes.push_back(code); };
  edit.SetHotKey(kCtrlBit | kAltBit | 'B');
  EXPECT_EQ(edit.Text(), QStringLiteral("Ctrl+Alt+B"));
  EXPECT_FALSE(edit.Extended());
  edit.SetHotKey(kCtrlBit | 0x26);
  EXPECT_EQ(edit.Text(), QStringLiteral("Ctrl+Up"));
  EXPECT_TRUE(edit.Extended());

  // Modifiers alone are shown pending and change nothing.
  QTest::keyPress(&edit, Qt::Key_Control, Qt::ControlModifier);
  QTest::keyPress(&edit, Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(edit.Text(), QStringLiteral("Ctrl+Shift+"));
  QTest::keyClick(&edit, Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(edit.HotKey(), kCtrlBit | kShiftBit | 0x74);
  EXPECT_EQ(edit.Text(), QStringLiteral("Ctrl+Shift+F5"));
  // A key with no virtual-key code and the dialog's own keys leave it alone.
  QTest::keyClick(&edit, Qt::Key_VolumeUp, Qt::NoModifier);
  QTest::keyClick(&edit, Qt::Key_Escape, Qt::NoModifier);
  QTest::keyClick(&edit, Qt::Key_Return, Qt::NoModifier);
  EXPECT_EQ(edit.HotKey(), kCtrlBit | kShiftBit | 0x74);
  QTest::keyClick(&edit, Qt::Key_Delete, Qt::NoModifier);
  EXPECT_EQ(edit.HotKey(), 0);
  EXPECT_EQ(edit.Text(), QStringLiteral("无"));
  EXPECT_EQ(changes, (std::vector<std::int32_t>{kCtrlBit | kShiftBit | 0x74, 0}));
  edit.SetHotKey(kAltBit | 0x60);
  EXPECT_EQ(edit.Text(), QStringLiteral("Alt+0x60"));
}

// Every shown control of a page lies inside the page, overlaps no other, and its caption fits.
TEST(FormConfig, PagesAreLaidOutWithoutOverlapOrClippedText) {
  TIniConfig config;
  TFormConfig form(nullptr, config, "unused.ini", {});
  form.show();
  QList<QWidget*> rows;  // the page buttons, pgc1 and the bottom buttons
  for (QWidget* w : {static_cast<QWidget*>(form.Widgets().pageButtons[0]->parentWidget()),
                     static_cast<QWidget*>(form.Widgets().pgc1), Child<QWidget>(form, "btnOK"),
                     Child<QWidget>(form, "btnCancel")})
    rows.push_back(w);
  for (int i = 0; i < rows.size(); ++i) {
    EXPECT_TRUE(
        form.rect().adjusted(0, TFormSkinBase::kTitleHeight, 0, 0).contains(rows[i]->geometry()))
        << i;
    for (int j = i + 1; j < rows.size(); ++j)
      EXPECT_FALSE(rows[i]->geometry().intersects(rows[j]->geometry())) << i << " " << j;
  }
  for (int page = 0; page < 4; ++page) {
    form.ShowPage(page);
    ui::TPNGTabSheet* sheet = form.Widgets().pages[page];
    // Controls in page coordinates, group panels opened up.
    std::vector<std::pair<QWidget*, QRect>> shown;
    for (QWidget* child : sheet->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (!child->isVisible()) continue;
      if (dynamic_cast<ui::TPNGTransPanel*>(child) == nullptr) {
        shown.emplace_back(child, child->geometry());
        continue;
      }
      EXPECT_TRUE(sheet->rect().contains(child->geometry())) << page;
      for (QWidget* w : child->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisible()) shown.emplace_back(w, QRect(w->mapTo(sheet, QPoint()), w->size()));
    }
    ASSERT_GE(shown.size(), 3u) << page;
    for (std::size_t i = 0; i < shown.size(); ++i) {
      const auto& [w, r] = shown[i];
      const std::string name = w->objectName().toStdString() + " on page " + std::to_string(page);
      EXPECT_TRUE(sheet->rect().contains(r)) << name;
      for (std::size_t j = i + 1; j < shown.size(); ++j)
        EXPECT_FALSE(r.intersects(shown[j].second))
            << name << " and " << shown[j].first->objectName().toStdString();
      const QFontMetrics fm(w->font());
      if (auto* label = qobject_cast<QLabel*>(w)) {
        EXPECT_LE(fm.horizontalAdvance(label->text()), r.width()) << label->text().toStdString();
      }
      if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        EXPECT_LE(18 + fm.horizontalAdvance(button->text()), r.width()) << name;
      }
      if (qobject_cast<QFrame*>(w) == nullptr || qobject_cast<QLabel*>(w) != nullptr) {
        EXPECT_GE(r.height(), fm.height()) << name;  // separator lines are thin on purpose
      }
    }
  }
}

TEST(FormConfig, ScreenshotOfEachPage) {
  TIniConfig config;
  TFormConfig form(nullptr, config, "unused.ini", {});
  form.show();
  const QString folder = QStringLiteral("/tmp/config");
  QDir().mkpath(folder);
  const char* names[] = {"base", "play", "hotkey", "face"};
  for (int page = 0; page < 4; ++page) {
    form.ShowPage(page);
    const QImage shot = form.grab().toImage();
    ASSERT_EQ(shot.size(), TFormConfig::kSize);
    // For a person to look at.
    const QString path = QStringLiteral("%1/%2.png").arg(folder, QLatin1String(names[page]));
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
  }
}

}  // namespace
}  // namespace nivra::common
