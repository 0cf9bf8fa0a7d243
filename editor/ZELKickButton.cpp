#include "editor/ZELKickButton.h"

#include <algorithm>
#include <cmath>

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
  pressed_ = true;  // the pressed picture follows the pointer until release
  click(buttons);
  return kMouseEventHandled;
}

// The press's picture stays until the release; a wheel's clicks leave none.
void ZELKickButton::click(const CButtonState& buttons) {
  value_ = 1.0f;
  stepSize_ = 1.0f;
  if (buttons & kShift) stepSize_ = 10.0f;
  if (buttons & kControl) stepSize_ = 100.0f;
  beginEdit();
  invalid();
  notify();
  endEdit();
}

// One click per notch; a wheel that reports part of a notch clicks once.
bool ZELKickButton::onWheel(const CPoint&, float distance, const CButtonState& buttons) {
  const int clicks = std::max(1, static_cast<int>(std::lround(std::fabs(distance))));
  for (int i = 0; i < clicks; ++i) click(buttons);
  if (!pressed_) value_ = 0.0f;
  return true;
}

CMouseEventResult ZELKickButton::onMouseUp(const CPoint&, const CButtonState&) {
  pressed_ = false;
  value_ = 0.0f;
  invalid();
  return kMouseEventHandled;
}
