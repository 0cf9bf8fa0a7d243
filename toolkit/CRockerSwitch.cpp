#include "toolkit/CRockerSwitch.h"

#include "toolkit/CBitmap.h"

namespace toolkit {

CRockerSwitch::CRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag, double heightOfOneImage,
                             CBitmap* background, const CPoint& offset, int32_t style)
    : CControl(size, listener, tag, background), heightOfOneImage_(heightOfOneImage), style_(style) {
  backOffset_ = offset;
  min_ = -1.0f;
  max_ = 1.0f;
  value_ = 0.0f;
  default_ = 0.0f;
}

float CRockerSwitch::sideOf(const CPoint& where) const {
  if (style_ == kVertical) return where.y < (size_.top + size_.bottom) / 2 ? -1.0f : 1.0f;
  return where.x < (size_.left + size_.right) / 2 ? -1.0f : 1.0f;
}

void CRockerSwitch::draw(CDrawContext* context) {
  if (background_) {
    const int frame = value_ < 0 ? 1 : (value_ > 0 ? 2 : 0);
    background_->draw(context, size_, CPoint(backOffset_.x, backOffset_.y + frame * heightOfOneImage_));
  }
  setDirty(false);
}

CMouseEventResult CRockerSwitch::onMouseDown(const CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  beginEdit();
  pressed_ = true;
  value_ = sideOf(where);
  invalid();
  notify();
  return kMouseEventHandled;
}

CMouseEventResult CRockerSwitch::onMouseUp(const CPoint&, const CButtonState&) {
  if (!pressed_) return kMouseEventNotHandled;
  pressed_ = false;
  value_ = 0.0f;
  invalid();
  notify();
  endEdit();
  return kMouseEventHandled;
}

}  // namespace toolkit
