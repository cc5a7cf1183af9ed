#pragma once
// TFormSkinBase: the skinned base of the small dialogs. Borderless and always on top, centred on
// its owner's window (on the screen without one). Its title bar PnlTop holds an icon, the
// caption label lblCaption (always the window title), a hidden minimise button and the close
// button btnClose; a left press on the bar moves the window. The corners are cut with the
// skin's mask on creation and on every resize; the background picture imgBG2 fills the form but
// a one-pixel border.

#include <QDialog>

class QLabel;

namespace nivra::ui {
class TPNGButton;
class TPNGCaptionButton;
class TPNGImage;
}  // namespace nivra::ui

namespace nivra::common {

// Results a dialog button ends its dialog with (TPNGButton::SetModalResult).
inline constexpr int mrOk = QDialog::Accepted;
inline constexpr int mrCancel = 2;

class TFormSkinBase : public QDialog {
 public:
  static constexpr int kTitleHeight = 30;
  // The close button's distance from the right edge.
  static constexpr int kCloseRightMargin = 10;

  // `owner` becomes the Qt parent and the window the form centres on; `size` is fixed.
  TFormSkinBase(QWidget* owner, QSize size);

  QWidget* PnlTop() const { return pnlTop_; }
  QLabel* lblCaption() const { return lblCaption_; }
  ui::TPNGButton* btnMin() const { return btnMin_; }
  ui::TPNGButton* btnClose() const { return btnClose_; }
  ui::TPNGImage* imgBG2() const { return imgBG2_; }

  // Moves the form to the centre of its owner's window, or of the primary screen's work area.
  void CenterOnOwner();

 protected:
  // Body controls in the skin's look, placed in form coordinates.
  QLabel* AddLabel(const QString& text, const QRect& geometry, bool dim = false);
  // A caption button of the bottom row, counted from the right (slot 0 is the rightmost); a
  // click ends the dialog with `modalResult`.
  ui::TPNGCaptionButton* AddButton(const QString& caption, int slot, int modalResult);
  // Gives a check box or radio button the colours that stand out on the dark background.
  static void SkinCheckControl(QWidget* control);

  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildTitleBar();
  void LayoutFrame();

  QWidget* pnlTop_;
  QLabel* lblCaption_;
  ui::TPNGButton* btnMin_;
  ui::TPNGButton* btnClose_;
  ui::TPNGImage* imgBG2_;
};

}  // namespace nivra::common
