#pragma once
// Building blocks of the skinned windows: pictures of the compiled-in skin by name, image
// buttons sized from their picture grid, and the frame bars made of two corner pieces and a
// stretched centre. Every window of the program and the control library builds from these.

#include <QRect>
#include <QString>

#include "ui/png_button.h"
#include "ui/png_picture.h"

class QWidget;

namespace nivra::ui {

// The skin picture ":/skin/<name>.png" (an empty picture when there is none).
TPicture SkinPicture(const QString& name);

// An auto-sized image button of the skin picture `name` with `stateMax` rows of state images and
// `numGlyphs` looks per row (4: normal, over, pressed, disabled).
template <class Button = TPNGButton>
Button* MakeImageButton(QWidget* parent, const QString& name, int stateMax = 1,
                        int numGlyphs = 4) {
  auto* button = new Button(parent);
  button->SetNumGlyphs(numGlyphs);
  button->SetStateMax(stateMax);
  button->SetAutoSize(true);
  button->SetPNGImage(SkinPicture(name));
  return button;
}

// A stretchable caption button on the dialog picture ("确定", "取消").
TPNGCaptionButton* MakeCaptionButton(QWidget* parent, const QString& caption);

// A bar of `geometry` in `parent` drawn from the corner pictures `left` and `right` (their own
// size) and the picture `centre` stretched between them; the pieces follow the bar's width.
QWidget* MakeFrameBar(QWidget* parent, const QString& left, const QString& centre,
                      const QString& right);

}  // namespace nivra::ui
