#include "editor/programbar/CPSOnOffButton.h"

#include "toolkit/CBitmap.h"

namespace presets {

using namespace toolkit;

CPSOnOffButton::CPSOnOffButton(const CRect& size, CControlListener* listener, int32_t tag, double heightOfOneImage,
                               CBitmap* background)
    : COnOffButton(size, listener, tag, background), heightOfOneImage_(heightOfOneImage) {}

void CPSOnOffButton::draw(CDrawContext* context) {
  const int image = value_ != 0.0f ? 2 : (hover_ ? 1 : 0);
  if (background_) background_->draw(context, size_, CPoint(0, image * heightOfOneImage_));
  setDirty(false);
}

CMouseEventResult CPSOnOffButton::onMouseDown(const CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  value_ = 1.0f - value_;
  notify();
  invalid();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CPSOnOffButton::onMouseEntered(const CPoint&, const CButtonState&) {
  hover_ = true;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CPSOnOffButton::onMouseExited(const CPoint&, const CButtonState&) {
  hover_ = false;
  invalid();
  return kMouseEventHandled;
}

}  // namespace presets
