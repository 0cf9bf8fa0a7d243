#include "toolkit/CMovieBitmap.h"

#include <algorithm>

#include "toolkit/CBitmap.h"

namespace toolkit {

CMovieBitmap::CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                           double heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background),
      subPixmaps_(std::max(subPixmaps, 1)),
      heightOfOneImage_(heightOfOneImage) {
  backOffset_ = offset;
  value_ = 0.0f;
  setMouseEnabled(false);
}

int CMovieBitmap::frameIndex() const {
  const float norm = (value_ - min_) / (max_ - min_);
  return std::clamp(static_cast<int>(norm * static_cast<float>(subPixmaps_ - 1) + 0.5f), 0, subPixmaps_ - 1);
}

void CMovieBitmap::draw(CDrawContext* context) {
  if (background_)
    background_->draw(context, size_, CPoint(backOffset_.x, backOffset_.y + frameIndex() * heightOfOneImage_));
  setDirty(false);
}

}  // namespace toolkit
