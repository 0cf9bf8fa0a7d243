#include "toolkit/CKickButton.h"

#include "toolkit/CBitmap.h"

namespace toolkit {

CKickButton::CKickButton(const CRect& size, CControlListener* listener, int32_t tag, double heightOfOneImage,
                         CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background), heightOfOneImage_(heightOfOneImage) {
  backOffset_ = offset;
  value_ = min_;
}

void CKickButton::draw(CDrawContext* context) {
  if (background_) {
    const bool down = value_ >= (min_ + max_) / 2;
    background_->draw(context, size_, CPoint(backOffset_.x, backOffset_.y + (down ? heightOfOneImage_ : 0.0)));
  }
  setDirty(false);
}

CMouseEventResult CKickButton::onMouseDown(const CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  beginEdit();
  pressed_ = true;
  value_ = max_;
  invalid();
  notify();
  return kMouseEventHandled;
}

// The picture follows the pointer in and out of the button while held.
CMouseEventResult CKickButton::onMouseMoved(const CPoint& where, const CButtonState& buttons) {
  if (!pressed_) return kMouseEventNotHandled;
  const float shown = (size_.pointInside(where) && (buttons & kLButton)) ? max_ : min_;
  if (shown != value_) {
    value_ = shown;
    invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(const CPoint&, const CButtonState&) {
  if (!pressed_) return kMouseEventNotHandled;
  pressed_ = false;
  value_ = min_;
  invalid();
  endEdit();
  return kMouseEventHandled;
}

}  // namespace toolkit
