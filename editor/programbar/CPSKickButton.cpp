#include "editor/programbar/CPSKickButton.h"

#include "toolkit/CBitmap.h"

namespace presets {

using namespace toolkit;

CPSKickButton::CPSKickButton(const CRect& size, CControlListener* listener, int32_t tag, double heightOfOneImage,
                             CBitmap* background, bool doubleClickOnly)
    : CKickButton(size, listener, tag, heightOfOneImage, background), doubleClickOnly_(doubleClickOnly) {}

void CPSKickButton::draw(CDrawContext* context) {
  const int image = pressed_ ? 2 : (hover_ ? 1 : 0);
  if (background_) background_->draw(context, size_, CPoint(0, image * heightOfOneImage_));
  setDirty(false);
}

CMouseEventResult CPSKickButton::onMouseDown(const CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  if (doubleClickOnly_ && !(buttons & kDoubleClick)) return kMouseEventNotHandled;
  pressed_ = true;
  value_ = doubleClickOnly_ && (buttons & kControl) ? 0.5f : 1.0f;
  notify();
  invalid();
  return kMouseEventHandled;
}

// A press acts once, on the way down; the picture stays pressed until release.
CMouseEventResult CPSKickButton::onMouseMoved(const CPoint&, const CButtonState&) {
  return pressed_ ? kMouseEventHandled : kMouseEventNotHandled;
}

CMouseEventResult CPSKickButton::onMouseUp(const CPoint&, const CButtonState&) {
  value_ = 0.0f;
  pressed_ = false;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseEntered(const CPoint&, const CButtonState&) {
  hover_ = true;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseExited(const CPoint&, const CButtonState&) {
  hover_ = false;
  invalid();
  return kMouseEventHandled;
}

}  // namespace presets
