#include "common/form_about.h"

#include <QCoreApplication>
#include <QLabel>

#include "common/ufunction.h"
#include "platform/process_launcher.h"
#include "ui/png_button.h"
#include "ui/png_image.h"

namespace nivra::common {

TFormAbout::TFormAbout(QWidget* owner, const QString& versionText, const QString& homePage)
    : TFormSkinBase(owner, QSize(320, 200)),
      OpenLink(platform::openWithDefaultHandler),
      lblVer_(AddLabel(QStringLiteral("当前版本：") + versionText, QRect(20, 104, 280, 20))),
      lblURL_(AddLabel(QString(), QRect(86, 128, 214, 20))) {
  setWindowTitle(QStringLiteral("关于我们"));
  setModal(true);
  auto* logo = new ui::TPNGImage(this);
  logo->setObjectName("imgLogo");
  ui::TPicture picture;
  picture.LoadFromFile(QStringLiteral(":/skin/logo.png"));
  logo->SetAutoSize(true);
  logo->SetPNGImage(picture);
  logo->move(14, 34);
  lblVer_->setObjectName("lblVer");
  AddLabel(QStringLiteral("官方主页："), QRect(20, 128, 66, 20));
  lblURL_->setObjectName("lblURL");
  lblURL_->setTextFormat(Qt::RichText);
  lblURL_->setText(QStringLiteral("<a href=\"%1\" style=\"color:#4c9fdc\">%2</a>")
                       .arg(homePage.toHtmlEscaped(), homePage.toHtmlEscaped()));
  lblURL_->setToolTip(homePage);
  lblURL_->setCursor(Qt::PointingHandCursor);
  lblURL_->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  connect(lblURL_, &QLabel::linkActivated, this, [this](const QString& link) {
    if (OpenLink) OpenLink(link.toStdString());
  });
  AddButton(QStringLiteral("确定"), 0, mrOk)->setObjectName("btnOK");
}

void ShowAbout(QWidget* owner, const QString& homePage) {
  const std::string version =
      GetFileVersionText(QCoreApplication::applicationFilePath().toStdString());
  TFormAbout about(owner, QString::fromStdString(version), homePage);
  about.exec();
}

}  // namespace nivra::common
