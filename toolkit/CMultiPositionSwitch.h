// A switch with N positions picked by the mouse position along its length
// (across for a horizontal switch, down for a vertical one); position p
// gives the value p / (N - 1), and a value v shows the picture of position
// stepIndex(v, N). A drag moves between positions; the reset gesture sets
// the default value.
#pragma once

#include "toolkit/CControl.h"

namespace toolkit {

enum class SwitchAxis { Horizontal, Vertical };

class CMultiPositionSwitch : public CControl {
 public:
  CMultiPositionSwitch(SwitchAxis axis, const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                       double heightOfOneImage, int32_t maxPositions, CBitmap* background, const CPoint& offset);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButtonState& buttons) override;

  int32_t getNumSubPixmaps() const { return subPixmaps_; }
  double getHeightOfOneImage() const { return heightOfOneImage_; }
  int32_t getMaxPositions() const { return maxPositions_; }

  TOOLKIT_CLASS_METHODS(CMultiPositionSwitch, CControl)

 protected:
  void setFromPoint(const CPoint& where);

  SwitchAxis axis_;
  int32_t subPixmaps_;
  double heightOfOneImage_;
  int32_t maxPositions_;
  bool tracking_ = false;
};

}  // namespace toolkit
