// The panel's horizontal switch: the toolkit's, under the panel's own name.
// The position follows the horizontal mouse position; the reset gesture
// restores the default.
#pragma once

#include "toolkit/CHorizontalSwitch.h"

class ZELSwitch : public toolkit::CHorizontalSwitch {
 public:
  ZELSwitch(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag, int32_t subPixmaps,
            double heightOfOneImage, int32_t iMaxPositions, toolkit::CBitmap* background,
            const toolkit::CPoint& offset);

  TOOLKIT_CLASS_METHODS(ZELSwitch, toolkit::CHorizontalSwitch)
};
