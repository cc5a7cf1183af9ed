#pragma once
// TPNGImage: the picture control the window frames are built from (corner pieces auto-sized,
// centre pieces stretched). It draws its picture in its draw style and nothing else, so the
// parent shows through the picture's transparent parts.

#include "ui/png_common.h"
#include "ui/png_control.h"

namespace nivra::ui {

class TPNGImage : public TPNGControl {
 public:
  explicit TPNGImage(QWidget* parent = nullptr);

  TPNGDrawStyle DrawStyle() const { return drawStyle_; }
  void SetDrawStyle(TPNGDrawStyle style);

 protected:
  void Paint(QPainter& painter) override;

 private:
  TPNGDrawStyle drawStyle_ = dsNone;
};

}  // namespace nivra::ui
