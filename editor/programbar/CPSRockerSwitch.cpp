#include "editor/programbar/CPSRockerSwitch.h"

#include "toolkit/CBitmap.h"

namespace presets {

using namespace toolkit;

CPSRockerSwitch::CPSRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag, double heightOfOneImage,
                                 CBitmap* background)
    : CRockerSwitch(size, listener, tag, heightOfOneImage, background) {
  setMin(-1.0f);
  setMax(1.0f);
  value_ = 0.0f;
}

void CPSRockerSwitch::draw(CDrawContext* context) {
  int image = hoverSide_ < 0 ? 1 : (hoverSide_ > 0 ? 2 : 0);
  if (value_ < 0.0f) image = 3;
  if (value_ > 0.0f) image = 4;
  if (background_) background_->draw(context, size_, CPoint(0, image * heightOfOneImage_));
  setDirty(false);
}

CMouseEventResult CPSRockerSwitch::onMouseDown(const CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  value_ = sideOf(where);
  invalid();
  notify();
  return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseUp(const CPoint&, const CButtonState&) {
  value_ = 0.0f;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseMoved(const CPoint& where, const CButtonState& buttons) {
  if (buttons & kLButton) return kMouseEventHandled;
  return onMouseEntered(where, buttons);
}

CMouseEventResult CPSRockerSwitch::onMouseEntered(const CPoint& where, const CButtonState&) {
  const int side = sideOf(where) < 0.0f ? -1 : 1;
  if (side != hoverSide_) {
    hoverSide_ = side;
    invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseExited(const CPoint&, const CButtonState&) {
  hoverSide_ = 0;
  invalid();
  return kMouseEventHandled;
}

}  // namespace presets
