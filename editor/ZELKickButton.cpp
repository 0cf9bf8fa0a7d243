#include "editor/ZELKickButton.h"

using namespace toolkit;

ZELKickButton::ZELKickButton(const CRect& size, CControlListener* listener, int32_t tag, double heightOfOneImage,
                             CBitmap* background, const CPoint& offset)
    : CKickButton(size, listener, tag, heightOfOneImage, background, offset) {
  value_ = 0.0f;
}

CMouseEventResult ZELKickButton::onMouseDown(const CPoint&, const CButtonState& buttons) {
  // A right-click steps nothing: the listener may use it (a typed time).
  if ((buttons & kButtonsMask) == kRButton && listener_ && listener_->controlModifierClicked(this, buttons) != 0)
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  value_ = 1.0f;
  pressed_ = true;  // the pressed picture follows the pointer until release
  stepSize_ = 1.0f;
  if (buttons & kShift) stepSize_ = 10.0f;
  if (buttons & kControl) stepSize_ = 100.0f;
  beginEdit();
  invalid();
  notify();
  endEdit();
  return kMouseEventHandled;
}

CMouseEventResult ZELKickButton::onMouseUp(const CPoint&, const CButtonState&) {
  pressed_ = false;
  value_ = 0.0f;
  invalid();
  return kMouseEventHandled;
}
