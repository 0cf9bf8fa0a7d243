// A side plate of the panel: a left click opens the about picture (the rear
// of the unit with the version text) over the whole panel as the frame's
// modal view; a left click on it closes it.
#pragma once

#include "toolkit/CSplashScreen.h"

class CAbout : public toolkit::CSplashScreen {
 public:
  // `versionPoint`: where the version text starts, from the picture's top left.
  CAbout(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag, toolkit::CBitmap* picture,
         const toolkit::CRect& areaToShow, const toolkit::CPoint& offset, const toolkit::CPoint& versionPoint);

  toolkit::CMouseEventResult onMouseDown(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

  const toolkit::CPoint& getVersionPoint() const { return versionPoint_; }

  TOOLKIT_CLASS_METHODS(CAbout, toolkit::CSplashScreen)

 private:
  toolkit::CPoint versionPoint_;
};
