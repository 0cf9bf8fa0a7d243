#include "editor/ZELAnimKnob.h"

#include <algorithm>

#include "toolkit/CBitmap.h"

using namespace toolkit;

namespace {
constexpr float kFineDragZoom = 5.0f;  // Shift makes a full sweep 1000 pixels
constexpr float kFineWheelZoom = 10.0f;
}

ZELAnimKnob::ZELAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                         double heightOfOneImage, CBitmap* background, const CPoint& offset, const CRect& drawRect)
    : CAnimKnob(size, listener, tag, subPixmaps, heightOfOneImage, background, offset), drawRect_(drawRect) {
  setZoomFactor(kFineDragZoom);
}

// Truncated, not rounded: the pointer reaches its last picture only at the
// very top of the range.
int ZELAnimKnob::frameIndex() const {
  const int frame = static_cast<int>(static_cast<float>(subPixmaps_ - 1) * value_);
  return std::clamp(frame, 0, subPixmaps_ - 1);
}

bool ZELAnimKnob::onWheel(const CPoint& where, float distance, const CButtonState& buttons) {
  return CAnimKnob::onWheel(where, (buttons & kShift) ? distance / kFineWheelZoom : distance, buttons);
}

CMouseEventResult ZELAnimKnob::onMouseDown(const CPoint& where, const CButtonState& buttons) {
  const bool doubleClick = (buttons & (kButtonsMask | kDoubleClick | kControl)) == (kLButton | kDoubleClick);
  if (doubleClick && listener_ && listener_->controlModifierClicked(this, buttons) != 0)
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  return CAnimKnob::onMouseDown(where, buttons);
}

void ZELAnimKnob::draw(CDrawContext* context) {
  if (background_)
    background_->draw(context, drawRect_, CPoint(backOffset_.x, backOffset_.y + frameIndex() * heightOfOneImage_));
  setDirty(false);
}
