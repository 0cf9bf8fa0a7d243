#include "editor/CAbout.h"

#include "editor/CSplashScreenMyView.h"
#include "toolkit/CFrame.h"

using namespace toolkit;

CAbout::CAbout(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* picture, const CRect& areaToShow,
               const CPoint& offset, const CPoint& versionPoint)
    : CSplashScreen(size, listener, tag, picture, areaToShow, offset), versionPoint_(versionPoint) {}

CMouseEventResult CAbout::onMouseDown(const CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  // An overlay the frame dropped is closed (the pointer is only compared).
  if (!splashView_ || !frame_ || frame_->getModalView() != splashView_) value_ = 0.0f;
  value_ = value_ == 0.0f ? 1.0f : 0.0f;
  if (value_ == 0.0f) return kMouseEventHandled;
  if (!showSplashView(new CSplashScreenMyView(toDisplay_, this, versionPoint_)))
    value_ = 0.0f;  // another modal view is up: no overlay
  invalid();
  return kMouseEventHandled;
}
