// The preset bar's previous / next program rocker: pressing the left half
// reports -1, the right half +1, once, on the press; releasing returns it to
// 0 quietly. Images: 0 idle, 1 hover left, 2 hover right, 3 pressed left,
// 4 pressed right.
#pragma once

#include "toolkit/CRockerSwitch.h"

namespace presets {

class CPSRockerSwitch : public toolkit::CRockerSwitch {
 public:
  CPSRockerSwitch(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag,
                  double heightOfOneImage, toolkit::CBitmap* background);

  void draw(toolkit::CDrawContext* context) override;
  toolkit::CMouseEventResult onMouseDown(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseUp(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseMoved(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseEntered(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseExited(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

  int hoverSide() const { return hoverSide_; }

  TOOLKIT_CLASS_METHODS(CPSRockerSwitch, CRockerSwitch)

 private:
  int hoverSide_ = 0;  // -1 left half, +1 right half, 0 outside
};

}  // namespace presets
