#include "editor/programbar/CSaveLoadButton.h"

#include "toolkit/CBitmap.h"

namespace presets {

using namespace toolkit;

CSaveLoadButton::CSaveLoadButton(const CRect& size, CControlListener* listener, int32_t tag, double heightOfOneImage,
                                 CBitmap* background)
    : CKickButton(size, listener, tag, heightOfOneImage, background) {}

void CSaveLoadButton::draw(CDrawContext* context) {
  const int image = value_ != 0.0f || pending_ ? 2 : (hover_ ? 1 : 0);
  if (background_) background_->draw(context, size_, CPoint(0, image * heightOfOneImage_));
  setDirty(false);
}

CMouseEventResult CSaveLoadButton::onMouseDown(const CPoint&, const CButtonState& buttons) {
  if (!(buttons & (kLButton | kRButton)) || !listener_) return kMouseEventNotHandled;
  // Only the right button alone asks for the other byte order: Shift and a
  // right click is a plain load.
  value_ = (buttons & (kButtonsMask | kModifierMask)) == kRButton ? 0.5f : 1.0f;
  notify();
  value_ = 0.0f;
  invalid();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CSaveLoadButton::setPending(bool pending) {
  if (pending == pending_) return;
  pending_ = pending;
  invalid();
}

CMouseEventResult CSaveLoadButton::onMouseEntered(const CPoint&, const CButtonState&) {
  hover_ = true;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CSaveLoadButton::onMouseExited(const CPoint&, const CButtonState&) {
  hover_ = false;
  invalid();
  return kMouseEventHandled;
}

}  // namespace presets
