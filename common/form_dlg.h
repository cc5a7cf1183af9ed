#pragma once
// The error dialog: caption "错误提示", the text word-wrapped with an ellipsis where it does not
// fit, one button "确定"; a skinned form, always on top, centred on its owner.

#include "common/form_skin_base.h"

class QLabel;

namespace nivra::common {

class TFormDlg final : public TFormSkinBase {
 public:
  explicit TFormDlg(QWidget* owner);
  void setErrorText(const QString& text);
  QLabel* lblError() const { return lblError_; }

 private:
  QLabel* lblError_;
};

// Text cut so that, word-wrapped in `width` × `height` pixels with `font`, it fits; an ellipsis
// marks the cut.
QString elideWrapped(const QString& text, const QFont& font, int width, int height);

// Shows the error dialog modally, centred on `owner` (on the screen when there is none), and
// frees it; writes the text to the debugger output as "ShowError:<text>".
void ShowError(QWidget* owner, const QString& text);

}  // namespace nivra::common
