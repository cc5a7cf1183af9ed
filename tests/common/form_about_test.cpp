// The about dialog: the program's version text and the home-page link.

#include "common/form_about.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>

#include "common/ufunction.h"
#include "tests/common/dialog_test_support.h"
#include "ui/png_button.h"

namespace nivra::common {
namespace {

TEST(TFormAbout, ShowsTheVersionOfTheRunningProgram) {
  const QString version = QString::fromStdString(
      GetFileVersionText(QCoreApplication::applicationFilePath().toStdString()));
  ASSERT_FALSE(version.isEmpty());  // test binaries carry the version block
  QWidget owner;
  owner.show();
  {
    test::ModalAnswer<TFormAbout> answer([&](TFormAbout& about) {
      EXPECT_EQ(about.lblCaption()->text(), QStringLiteral("关于我们"));
      EXPECT_EQ(about.lblVer()->text(), QStringLiteral("当前版本：") + version);
      EXPECT_EQ(about.parentWidget(), &owner);
      test::ClickWidget(about.findChild<ui::TPNGButton*>("btnOK"));
      EXPECT_FALSE(about.isVisible());
    });
    ShowAbout(&owner, QStringLiteral("http://www.nivra.example/"));
  }
}

TEST(TFormAbout, ClickingTheLinkOpensTheHomePage) {
  TFormAbout about(nullptr, QStringLiteral("1.2.3.4"),
                   QStringLiteral("http://home.example/a?b=1&c=2"));
  std::vector<std::string> opened;
  about.OpenLink = [&](const std::string& url) {
    opened.push_back(url);
    return true;
  };
  about.show();
  QLabel* link = about.lblURL();
  EXPECT_EQ(link->toolTip(), QStringLiteral("http://home.example/a?b=1&c=2"));
  test::Shot(&about, QStringLiteral("form_about"));
  // On the link's text (left part of the label), as the mouse gives it.
  const QPointF at(6, link->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, link->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(link, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, link->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(link, &release);
  EXPECT_EQ(opened, std::vector<std::string>{"http://home.example/a?b=1&c=2"});
}

}  // namespace
}  // namespace nivra::common
