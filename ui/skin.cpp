#include "ui/skin.h"

#include <QEvent>
#include <QWidget>

#include "ui/png_image.h"

namespace nivra::ui {
namespace {

// Lays out the three pieces of a frame bar whenever the bar is resized.
class FrameBar final : public QWidget {
 public:
  FrameBar(QWidget* parent, const QString& left, const QString& centre, const QString& right)
      : QWidget(parent),
        left_(new TPNGImage(this)),
        centre_(new TPNGImage(this)),
        right_(new TPNGImage(this)) {
    for (TPNGImage* corner : {left_, right_}) corner->SetAutoSize(true);
    left_->SetPNGImage(SkinPicture(left));
    right_->SetPNGImage(SkinPicture(right));
    centre_->SetDrawStyle(dsStretch);
    centre_->SetPNGImage(SkinPicture(centre));
    // The pieces only draw: presses belong to the bar (a title bar moves its window).
    for (TPNGImage* piece : {left_, centre_, right_}) {
      piece->lower();
      piece->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
  }

 protected:
  void resizeEvent(QResizeEvent*) override {
    left_->move(0, 0);
    right_->move(width() - right_->width(), 0);
    centre_->setGeometry(left_->width(), 0, width() - left_->width() - right_->width(), height());
  }

 private:
  TPNGImage* left_;
  TPNGImage* centre_;
  TPNGImage* right_;
};

}  // namespace

TPicture SkinPicture(const QString& name) {
  TPicture picture;
  picture.LoadFromFile(QStringLiteral(":/skin/%1.png").arg(name));
  return picture;
}

TPNGCaptionButton* MakeCaptionButton(QWidget* parent, const QString& caption) {
  auto* button = new TPNGCaptionButton(parent);
  button->SetNumGlyphs(4);
  button->SetStretch(true);
  button->SetPNGImage(SkinPicture(QStringLiteral("btn_dlg")));
  button->resize(72, 26);
  button->SetCaption(caption);
  button->SetShowCaption(true);
  return button;
}

QWidget* MakeFrameBar(QWidget* parent, const QString& left, const QString& centre,
                      const QString& right) {
  return new FrameBar(parent, left, centre, right);
}

}  // namespace nivra::ui
