#include "toolkit/CSplashScreen.h"

#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

namespace toolkit {

CSplashScreen::CSplashScreen(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                             const CRect& toDisplay, const CPoint& offset)
    : CControl(size, listener, tag, background), toDisplay_(toDisplay), offset_(offset) {
  value_ = 0.0f;
}

// The button itself shows nothing of the picture: that is the splash's.
void CSplashScreen::draw(CDrawContext*) { setDirty(false); }

bool CSplashScreen::showSplashView(CView* view) {
  if (!frame_ || !frame_->setModalView(view)) {
    view->forget();
    return false;
  }
  splashView_ = view;
  return true;
}

CMouseEventResult CSplashScreen::onMouseDown(const CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  value_ = value_ == 0.0f ? 1.0f : 0.0f;
  if (value_ != 0.0f) {
    if (!showSplashView(new CSplashScreenView(toDisplay_, this, background_, offset_))) value_ = 0.0f;
  }
  invalid();
  notify();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CSplashScreen::unSplash() {
  value_ = 0.0f;
  invalid();
  if (frame_ && splashView_ && frame_->getModalView() == splashView_) frame_->setModalView(nullptr);
  splashView_ = nullptr;
}

void CSplashScreen::valueChanged(CControl*) { unSplash(); }

CSplashScreenView::CSplashScreenView(const CRect& size, CSplashScreen* owner, CBitmap* bitmap, const CPoint& offset)
    : CControl(size, owner, 0, bitmap) {
  backOffset_ = offset;
}

void CSplashScreenView::draw(CDrawContext* context) {
  if (background_) background_->draw(context, size_, backOffset_);
  setDirty(false);
}

CMouseEventResult CSplashScreenView::onMouseDown(const CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  notify();  // the owner closes the splash; this view lives until the event is over
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

}  // namespace toolkit
