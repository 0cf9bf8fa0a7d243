// A rocker: pressing the left (or, vertical, the upper) half gives -1, the
// other half +1, both reported on the press; releasing returns it to 0 and
// reports that too. Pictures: 0 at rest, 1 for -1, 2 for +1.
#pragma once

#include "toolkit/CControl.h"

namespace toolkit {

enum CRockerStyle { kHorizontal = 0, kVertical = 1 };

class CRockerSwitch : public CControl {
 public:
  CRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag, double heightOfOneImage,
                CBitmap* background, const CPoint& offset = {}, int32_t style = kHorizontal);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButtonState& buttons) override;

  double getHeightOfOneImage() const { return heightOfOneImage_; }
  int32_t getStyle() const { return style_; }

  TOOLKIT_CLASS_METHODS(CRockerSwitch, CControl)

 protected:
  // -1 or +1 for a point in the first or second half.
  float sideOf(const CPoint& where) const;

  double heightOfOneImage_;
  int32_t style_;
  bool pressed_ = false;
};

}  // namespace toolkit
