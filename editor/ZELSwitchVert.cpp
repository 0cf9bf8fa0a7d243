#include "editor/ZELSwitchVert.h"

#include <algorithm>
#include <cmath>

#include "toolkit/CBitmap.h"

using namespace toolkit;

ZELSwitchVert::ZELSwitchVert(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                             double heightOfOneImage, int32_t iMaxPositions, CBitmap* background,
                             const CPoint& offset)
    : CVerticalSwitch(size, listener, tag, subPixmaps, heightOfOneImage, iMaxPositions, background, offset),
      positionCount_(std::max(iMaxPositions, 1)) {}

void ZELSwitchVert::draw(CDrawContext* context) {
  if (background_) {
    const int frame = stepIndex(value_, positionCount_);
    background_->draw(context, size_, CPoint(backOffset_.x, backOffset_.y + frame * heightOfOneImage_));
  }
  setDirty(false);
}

CMouseEventResult ZELSwitchVert::onMouseDown(const CPoint& where, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  beginEdit();
  // The picture of one position is as tall as the switch: the row within it
  // scales to the position count.
  const float row = heightOfOneImage_ > 0 ? static_cast<float>((where.y - size_.top) / heightOfOneImage_) : 0.0f;
  const int position = std::clamp(static_cast<int>(std::floor(row * static_cast<float>(positionCount_))), 0,
                                  positionCount_ - 1);
  value_ = static_cast<float>(position) / static_cast<float>(positionCount_);
  if (isDirty()) notify();
  invalid();
  endEdit();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
