// A switch with N positions picked by the horizontal mouse position.
#pragma once

#include "toolkit/CMultiPositionSwitch.h"

namespace toolkit {

class CHorizontalSwitch : public CMultiPositionSwitch {
 public:
  CHorizontalSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps, double heightOfOneImage,
         int32_t maxPositions, CBitmap* background, const CPoint& offset = {})
      : CMultiPositionSwitch(SwitchAxis::Horizontal, size, listener, tag, subPixmaps, heightOfOneImage, maxPositions,
                             background, offset) {}

  TOOLKIT_CLASS_METHODS(CHorizontalSwitch, CMultiPositionSwitch)
};

}  // namespace toolkit
