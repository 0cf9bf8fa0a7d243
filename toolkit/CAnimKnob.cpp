#include "toolkit/CAnimKnob.h"

#include <algorithm>

#include "toolkit/CBitmap.h"

namespace toolkit {

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                     double heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CKnob(size, listener, tag, background, nullptr, offset),
      subPixmaps_(std::max(subPixmaps, 1)),
      heightOfOneImage_(heightOfOneImage) {}

void CAnimKnob::draw(CDrawContext* context) {
  if (background_) {
    const float norm = (value_ - min_) / (max_ - min_);
    const int frame = std::clamp(static_cast<int>(norm * static_cast<float>(subPixmaps_ - 1) + 0.5f), 0, subPixmaps_ - 1);
    background_->draw(context, size_, CPoint(backOffset_.x, backOffset_.y + frame * heightOfOneImage_));
  }
  setDirty(false);
}

}  // namespace toolkit
