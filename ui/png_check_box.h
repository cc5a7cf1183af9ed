#pragma once
// TPNGCheckBox: the skinned check box (see TPNGCheckControl); grayed shows the mixed state.

#include <QCheckBox>

#include "ui/png_check_control.h"

namespace nivra::ui {

class TPNGCheckBox final : public TPNGCheckControl<QCheckBox, false> {
 public:
  using TPNGCheckControl::TPNGCheckControl;
};

}  // namespace nivra::ui
