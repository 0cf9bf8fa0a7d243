// A momentary button: value 1 (its maximum) while pressed, reported to the
// listener on the press; back to 0 on release without a report. The bitmap
// holds the released picture above the pressed one.
#pragma once

#include "toolkit/CControl.h"

namespace toolkit {

class CKickButton : public CControl {
 public:
  CKickButton(const CRect& size, CControlListener* listener, int32_t tag, double heightOfOneImage,
              CBitmap* background, const CPoint& offset = {});

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButtonState& buttons) override;

  double getHeightOfOneImage() const { return heightOfOneImage_; }

  TOOLKIT_CLASS_METHODS(CKickButton, CControl)

 protected:
  double heightOfOneImage_;
  bool pressed_ = false;
};

}  // namespace toolkit
