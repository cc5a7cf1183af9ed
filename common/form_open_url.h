#pragma once
// TFormOpenURL: asks for the address of a media file to play (caption "打开URL").

#include "common/form_skin_base.h"

class QLineEdit;

namespace nivra::common {

class TFormOpenURL final : public TFormSkinBase {
 public:
  explicit TFormOpenURL(QWidget* owner);
  QLineEdit* edtURL() const { return edtURL_; }

 private:
  QLineEdit* edtURL_;
};

// Shows the dialog modally over `owner`: the trimmed text of edtURL when it ends with "确定"
// (or Enter in the field), else empty.
QString RunOpenURL(QWidget* owner);

}  // namespace nivra::common
