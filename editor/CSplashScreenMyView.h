// The about overlay: the about picture with the version text written on it
// in white; a left click closes it.
#pragma once

#include "editor/OverlayView.h"

class CAbout;

class CSplashScreenMyView : public COverlayView {
 public:
  static constexpr const char* kVersionText = "v.1.0.0";
  static constexpr double kVersionFontSize = 11;
  static constexpr double kVersionWidth = 100;
  static constexpr double kVersionHeight = 15;

  CSplashScreenMyView(const toolkit::CRect& size, CAbout* owner, const toolkit::CPoint& versionPoint);

  void draw(toolkit::CDrawContext* context) override;

  // Where the version text is written, in frame units.
  toolkit::CRect versionBox() const;

  TOOLKIT_CLASS_METHODS(CSplashScreenMyView, COverlayView)

 private:
  toolkit::CPoint versionPoint_;
};
