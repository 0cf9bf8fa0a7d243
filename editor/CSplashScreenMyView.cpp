#include "editor/CSplashScreenMyView.h"

#include "editor/CAbout.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CDrawContext.h"
#include "toolkit/CFrame.h"

using namespace toolkit;

CSplashScreenMyView::CSplashScreenMyView(const CRect& size, CAbout* owner, const CPoint& versionPoint)
    : CControl(size, nullptr, 0, owner->getBackground()), owner_(owner), versionPoint_(versionPoint) {
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

CMouseEventResult CSplashScreenMyView::onMouseDown(const CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  CFrame* frame = frame_;
  owner_->unSplash();
  if (frame) {
    frame->invalid();
    if (frame->getModalView() == this) frame->setModalView(nullptr);
  }
  return kMouseEventHandled;
}
