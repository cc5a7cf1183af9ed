#pragma once
// TPNGRadioButton: the skinned radio button (see TPNGCheckControl).

#include <QRadioButton>

#include "ui/png_check_control.h"

namespace nivra::ui {

class TPNGRadioButton final : public TPNGCheckControl<QRadioButton, true> {
 public:
  using TPNGCheckControl::TPNGCheckControl;
};

}  // namespace nivra::ui
