#include "editor/ZELOnOffButton.h"

#include "toolkit/CBitmap.h"

using namespace toolkit;

ZELOnOffButton::ZELOnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : COnOffButton(size, listener, tag, background, 0) {}

void ZELOnOffButton::draw(CDrawContext* context) {
  if (background_) {
    const bool on = stepIndex(value_, 2) == 1;
    background_->draw(context, size_, CPoint(backOffset_.x, backOffset_.y + (on ? getHeight() : 0.0)));
  }
  setDirty(false);
}

CMouseEventResult ZELOnOffButton::onMouseDown(const CPoint&, const CButtonState& buttons) {
  if (!(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
  beginEdit();
  // The centre of the other step: 0.25 <-> 0.75.
  value_ = (static_cast<float>(1 - stepIndex(value_, 2)) + 0.5f) / 2.0f;
  copyModifier_ = (buttons & (kControl | kRButton)) ? 1 : 0;
  notify();
  copyModifier_ = 0;
  endEdit();
  invalid();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
