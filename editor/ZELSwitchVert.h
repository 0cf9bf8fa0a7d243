// The panel's vertical switch (the LFO waveform): a click picks the position
// from the row clicked, position p of N giving the value p / N (five
// positions: 0, 0.2, 0.4, 0.6, 0.8); the value shows the picture of
// position min(floor(N * value), N - 1). One click is one edit; there is no
// dragging between positions and no reset gesture.
#pragma once

#include "toolkit/CVerticalSwitch.h"

class ZELSwitchVert : public toolkit::CVerticalSwitch {
 public:
  ZELSwitchVert(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag, int32_t subPixmaps,
                double heightOfOneImage, int32_t iMaxPositions, toolkit::CBitmap* background,
                const toolkit::CPoint& offset);

  void draw(toolkit::CDrawContext* context) override;
  toolkit::CMouseEventResult onMouseDown(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

  int32_t getPositionCount() const { return positionCount_; }

  TOOLKIT_CLASS_METHODS(ZELSwitchVert, toolkit::CVerticalSwitch)

 private:
  int32_t positionCount_;
};
