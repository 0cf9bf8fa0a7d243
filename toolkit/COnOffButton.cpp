#include "toolkit/COnOffButton.h"

#include "toolkit/CBitmap.h"

namespace toolkit {

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                           int32_t style)
    : CControl(size, listener, tag, background), style_(style) {
  value_ = min_;
}

void COnOffButton::draw(CDrawContext* context) {
  if (background_) background_->draw(context, size_, CPoint(backOffset_.x, backOffset_.y + (isOn() ? getHeight() : 0.0)));
  setDirty(false);
}

CMouseEventResult COnOffButton::onMouseDown(const CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  beginEdit();
  value_ = isOn() ? min_ : max_;
  invalid();
  notify();
  endEdit();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

}  // namespace toolkit
