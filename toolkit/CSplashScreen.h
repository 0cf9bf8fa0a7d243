// A splash screen: a left click shows an area of a picture as the frame's
// modal view (value 1); unSplash() returns the value to 0 and removes that
// view. The stock view closes it again on a left click. Derived classes may
// show a view of their own through showSplashView().
#pragma once

#include "toolkit/CControl.h"

namespace toolkit {

class CSplashScreen : public CControl, public CControlListener {
 public:
  CSplashScreen(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                const CRect& toDisplay, const CPoint& offset = {});

  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  void draw(CDrawContext* context) override;
  virtual void unSplash();
  // From the splash view: a click on it closes the splash.
  void valueChanged(CControl* control) override;

  const CRect& getDisplayArea() const { return toDisplay_; }
  const CPoint& getDisplayOffset() const { return offset_; }
  CView* getSplashView() const { return splashView_; }

  TOOLKIT_CLASS_METHODS(CSplashScreen, CControl)

 protected:
  // Makes `view` the frame's modal view (the frame takes the reference).
  // False, with the view released, when the frame already has one.
  bool showSplashView(CView* view);

  CRect toDisplay_;
  CPoint offset_;
  CView* splashView_ = nullptr;  // not owned: the frame holds it
};

// The stock splash view: draws the splash's picture from its offset, and a
// left click on it closes the splash.
class CSplashScreenView : public CControl {
 public:
  CSplashScreenView(const CRect& size, CSplashScreen* owner, CBitmap* bitmap, const CPoint& offset);
  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;

  TOOLKIT_CLASS_METHODS(CSplashScreenView, CControl)
};

}  // namespace toolkit
