#include "editor/CInvisibleSlider.h"

using namespace toolkit;

namespace {

constexpr float kPixelsPerRange = 1000.0f;
constexpr float kShiftPixelsAtPress = 4000.0f;
constexpr float kShiftPixelsMidDrag = 5000.0f;
constexpr float kWheelStep = 0.005f;
constexpr float kShiftWheelStep = 0.0003f;

// A double-click flag on the press is no change of modifiers.
CButtonState relevant(CButtonState buttons) { return buttons & (kButtonsMask | kModifierMask); }

}  // namespace

CInvisibleSlider::CInvisibleSlider(const CRect& size, CControlListener* listener, int32_t tag)
    : CControl(size, listener, tag, nullptr) {}

void CInvisibleSlider::draw(CDrawContext*) { setDirty(false); }

CMouseEventResult CInvisibleSlider::onMouseDown(const CPoint& where, const CButtonState& buttons) {
  // A right-click, which drags nothing, is the listener's to use (a typed
  // value); unused, it goes on to the panel's size menu below.
  if ((buttons & kButtonsMask) == kRButton && listener_ && listener_->controlModifierClicked(this, buttons) != 0)
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  dragging_ = 1;
  beginEdit();
  startValue_ = value_;
  modifiers_ = relevant(buttons);
  startPoint_ = where;
  scale_ = (max_ - min_) / ((buttons & kShift) ? kShiftPixelsAtPress : kPixelsPerRange);
  return onMouseMoved(where, buttons);
}

CMouseEventResult CInvisibleSlider::onMouseMoved(const CPoint& where, const CButtonState& buttons) {
  // Only a drag that started here edits: a button held since a press
  // elsewhere has no start point and no open edit.
  if (!(buttons & kLButton) || !dragging_) return kMouseEventNotHandled;
  const float delta = static_cast<float>(0.5 * (where.x - startPoint_.x) + (startPoint_.y - where.y));
  if (relevant(buttons) != modifiers_) {
    // Rebase so that the value stays where it is at the new scale.
    const float f = (max_ - min_) / ((buttons & kShift) ? kShiftPixelsMidDrag : kPixelsPerRange);
    startValue_ += delta * (scale_ - f);
    scale_ = f;
    modifiers_ = relevant(buttons);
  }
  value_ = startValue_ + scale_ * delta;
  bounceValue();
  invalid();
  notify();
  return kMouseEventHandled;
}

CMouseEventResult CInvisibleSlider::onMouseUp(const CPoint&, const CButtonState&) {
  endEdit();
  dragging_ = 0;
  return kMouseEventHandled;
}

bool CInvisibleSlider::onWheel(const CPoint&, float distance, const CButtonState& buttons) {
  value_ += distance * ((buttons & kShift) ? kShiftWheelStep : kWheelStep);
  bounceValue();
  if (listener_) {
    beginEdit();
    notify();
    endEdit();
  }
  return true;
}
