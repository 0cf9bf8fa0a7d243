#include "editor/CSplashScreenMyView.h"

#include "editor/CAbout.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CDrawContext.h"

using namespace toolkit;

CSplashScreenMyView::CSplashScreenMyView(const CRect& size, CAbout* owner, const CPoint& versionPoint)
    : COverlayView(size, owner), versionPoint_(versionPoint) {
  backOffset_ = owner->getDisplayOffset();
}

CRect CSplashScreenMyView::versionBox() const {
  const double x = size_.left + versionPoint_.x, y = size_.top + versionPoint_.y;
  return {x, y, x + kVersionWidth, y + kVersionHeight};
}

void CSplashScreenMyView::draw(CDrawContext* context) {
  if (background_) background_->draw(context, size_, backOffset_);
  context->setFont(kNormalFont, kVersionFontSize);
  context->setFontColor(kWhiteCColor);
  context->drawString(kVersionText, versionBox(), kLeftText, true);
  setDirty(false);
}
