// What the help pages and the about picture share once shown: the frame
// holds the view as its modal view for the splash screen that opened it, the
// view draws the splash's picture, and a left click on it closes it.
#pragma once

#include "toolkit/CControl.h"
#include "toolkit/CFrame.h"
#include "toolkit/CSplashScreen.h"

class COverlayView : public toolkit::CControl {
 public:
  // A control without listener, tag 0, whose background is the owner's picture.
  COverlayView(const toolkit::CRect& size, toolkit::CSplashScreen* owner)
      : CControl(size, nullptr, 0, owner->getBackground()), owner_(owner) {}

  toolkit::CMouseEventResult onMouseDown(const toolkit::CPoint&, const toolkit::CButtonState& buttons) override {
    if (!(buttons & toolkit::kLButton)) return toolkit::kMouseEventNotHandled;
    toolkit::CFrame* frame = frame_;
    // Removes this view as the frame's modal view, which releases it once
    // the event is over.
    owner_->unSplash();
    if (frame) {
      frame->invalid();
      if (frame->getModalView() == this) frame->setModalView(nullptr);
    }
    return toolkit::kMouseEventHandled;
  }

  TOOLKIT_CLASS_METHODS(COverlayView, toolkit::CControl)

 protected:
  toolkit::CSplashScreen* owner_;
};
