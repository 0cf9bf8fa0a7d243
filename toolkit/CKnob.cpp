#include "toolkit/CKnob.h"

#include <cmath>

#include "toolkit/CBitmap.h"
#include "toolkit/CDrawContext.h"
#include "toolkit/VSTGUIEditorInterface.h"

namespace toolkit {

CKnob::CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background, CBitmap* handle,
             const CPoint& offset)
    : CControl(size, listener, tag, background), handle_(handle) {
  if (handle_) handle_->remember();
  backOffset_ = offset;
}

CKnob::CKnob(const CKnob& other) : CControl(other), handle_(other.handle_), zoomFactor_(other.zoomFactor_) {
  if (handle_) handle_->remember();
}

CKnob::~CKnob() {
  if (handle_) handle_->forget();
}

void CKnob::draw(CDrawContext* context) {
  if (background_) background_->draw(context, size_, backOffset_);
  // A pointer line over the usual 300 degrees, from 7 to 5 o'clock.
  const double angle = (kStartAngle - kSweep * (value_ - min_) / (max_ - min_)) * M_PI / 180.0;
  const double cx = (size_.left + size_.right) / 2, cy = (size_.top + size_.bottom) / 2;
  const double r = std::min(size_.width(), size_.height()) / 2 - 2;
  if (handle_) {
    const CPoint at(cx + std::cos(angle) * r * 0.7 - handle_->getWidth() / 2,
                    cy - std::sin(angle) * r * 0.7 - handle_->getHeight() / 2);
    handle_->draw(context, CRect(at.x, at.y, at.x + handle_->getWidth(), at.y + handle_->getHeight()));
  } else if (!background_) {
    context->setFrameColor(kWhiteCColor);
    context->setLineWidth(2);
    context->drawLine(CPoint(cx, cy), CPoint(cx + std::cos(angle) * r, cy - std::sin(angle) * r));
    context->setLineWidth(1);
  }
  setDirty(false);
}

void CKnob::startDrag(const CPoint& where, const CButtonState& buttons) {
  firstPoint_ = where;
  entryValue_ = value_;
  dragModifiers_ = buttons & kModifierMask;
  range_ = (buttons & kShift) ? kLinearRange * zoomFactor_ : kLinearRange;
}

int32_t CKnob::knobMode() const {
  const VSTGUIEditorInterface* editor = getEditor();
  return editor ? editor->getKnobMode() : kLinearMode;
}

float CKnob::valueFromPoint(const CPoint& where) const {
  const double cx = (size_.left + size_.right) / 2, cy = (size_.top + size_.bottom) / 2;
  const double angle = std::atan2(cy - where.y, where.x - cx) * 180.0 / M_PI;
  double along = std::fmod(kStartAngle - angle + 720.0, 360.0);
  if (along > kSweep) along = along - kSweep < (360.0 - kSweep) / 2 ? kSweep : 0.0;
  return static_cast<float>(min_ + (max_ - min_) * along / kSweep);
}

float CKnob::guardGap(float next) const {
  const float range = max_ - min_;
  if (value_ - min_ > 0.75f * range && next - min_ < 0.25f * range) return max_;
  if (value_ - min_ < 0.25f * range && next - min_ > 0.75f * range) return min_;
  return next;
}

CMouseEventResult CKnob::onMouseDown(const CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  beginEdit();
  dragging_ = true;
  dragMode_ = knobMode();
  startDrag(where, buttons);
  if (dragMode_ == kRelativCircularMode) {
    angleAtStart_ = valueFromPoint(where);
  } else if (dragMode_ == kCircularMode) {
    const float before = value_;
    value_ = valueFromPoint(where);
    if (value_ != before) {
      invalid();
      notify();
    }
  }
  return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseMoved(const CPoint& where, const CButtonState& buttons) {
  if (!dragging_) return kMouseEventNotHandled;
  const float before = value_;
  if (dragMode_ == kCircularMode) {
    value_ = guardGap(valueFromPoint(where));
  } else if (dragMode_ == kRelativCircularMode) {
    value_ = guardGap(entryValue_ + (valueFromPoint(where) - angleAtStart_));
  } else {
    if ((buttons & kModifierMask) != dragModifiers_) startDrag(where, buttons);
    const double delta = (firstPoint_.y - where.y) + (where.x - firstPoint_.x);
    value_ = static_cast<float>(entryValue_ + delta * (max_ - min_) / range_);
  }
  bounceValue();
  if (value_ != before) {
    invalid();
    notify();
  }
  return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(const CPoint&, const CButtonState&) {
  if (!dragging_) return kMouseEventNotHandled;
  dragging_ = false;
  endEdit();
  return kMouseEventHandled;
}

bool CKnob::onWheel(const CPoint&, float distance, const CButtonState&) {
  const float before = value_;
  value_ += distance * wheelInc_;
  bounceValue();
  if (value_ != before) {
    beginEdit();
    invalid();
    notify();
    endEdit();
  }
  return true;
}

}  // namespace toolkit
