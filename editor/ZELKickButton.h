// The panel's arrow buttons: a click steps a value once. The press reports
// value 1 together with a step size the editor reads: 1, 10 with Shift, 100
// with Control (Control wins over Shift). The edit is over before the mouse
// is released; the release only lifts the picture. Each notch of the wheel
// over the button is one click, with the same step sizes.
#pragma once

#include "toolkit/CKickButton.h"

class ZELKickButton : public toolkit::CKickButton {
 public:
  ZELKickButton(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag, double heightOfOneImage,
                toolkit::CBitmap* background, const toolkit::CPoint& offset);

  toolkit::CMouseEventResult onMouseDown(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseUp(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  bool onWheel(const toolkit::CPoint& where, float distance, const toolkit::CButtonState& buttons) override;

  // The step of the click being reported.
  float getStepSize() const { return stepSize_; }

  TOOLKIT_CLASS_METHODS(ZELKickButton, toolkit::CKickButton)

 private:
  void click(const toolkit::CButtonState& buttons);

  float stepSize_ = 1.0f;
};
