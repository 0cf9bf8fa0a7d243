#include "toolkit/CMultiPositionSwitch.h"

#include <algorithm>
#include <cmath>

#include "toolkit/CBitmap.h"

namespace toolkit {

CMultiPositionSwitch::CMultiPositionSwitch(SwitchAxis axis, const CRect& size, CControlListener* listener, int32_t tag,
                                           int32_t subPixmaps, double heightOfOneImage, int32_t maxPositions,
                                           CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background),
      axis_(axis),
      subPixmaps_(std::max(subPixmaps, 1)),
      heightOfOneImage_(heightOfOneImage),
      maxPositions_(std::max(maxPositions, 1)) {
  backOffset_ = offset;
}

void CMultiPositionSwitch::draw(CDrawContext* context) {
  if (background_) {
    const float norm = (value_ - min_) / (max_ - min_);
    const int frame = std::min(stepIndex(norm, maxPositions_), subPixmaps_ - 1);
    background_->draw(context, size_, CPoint(backOffset_.x, backOffset_.y + frame * heightOfOneImage_));
  }
  setDirty(false);
}

void CMultiPositionSwitch::setFromPoint(const CPoint& where) {
  const bool across = axis_ == SwitchAxis::Horizontal;
  const double cell = (across ? size_.width() : size_.height()) / maxPositions_;
  const double along = across ? where.x - size_.left : where.y - size_.top;
  int position = cell > 0 ? static_cast<int>(std::floor(along / cell)) : 0;
  position = std::clamp(position, 0, maxPositions_ - 1);
  const float before = value_;
  value_ = maxPositions_ > 1 ? min_ + (max_ - min_) * static_cast<float>(position) / static_cast<float>(maxPositions_ - 1)
                             : min_;
  if (value_ != before) {
    invalid();
    notify();
  }
}

CMouseEventResult CMultiPositionSwitch::onMouseDown(const CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  beginEdit();
  tracking_ = true;
  setFromPoint(where);
  return kMouseEventHandled;
}

CMouseEventResult CMultiPositionSwitch::onMouseMoved(const CPoint& where, const CButtonState& buttons) {
  if (!tracking_ || !(buttons & kLButton)) return kMouseEventNotHandled;
  setFromPoint(where);
  return kMouseEventHandled;
}

CMouseEventResult CMultiPositionSwitch::onMouseUp(const CPoint&, const CButtonState&) {
  if (!tracking_) return kMouseEventNotHandled;
  tracking_ = false;
  endEdit();
  return kMouseEventHandled;
}

}  // namespace toolkit
