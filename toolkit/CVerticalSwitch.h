// A switch with N positions picked by the vertical mouse position.
#pragma once

#include "toolkit/CMultiPositionSwitch.h"

namespace toolkit {

class CVerticalSwitch : public CMultiPositionSwitch {
 public:
  CVerticalSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps, double heightOfOneImage,
         int32_t maxPositions, CBitmap* background, const CPoint& offset = {})
      : CMultiPositionSwitch(SwitchAxis::Vertical, size, listener, tag, subPixmaps, heightOfOneImage, maxPositions,
                             background, offset) {}

  TOOLKIT_CLASS_METHODS(CVerticalSwitch, CMultiPositionSwitch)
};

}  // namespace toolkit
