// The help button at the panel's bottom right corner. A click opens the help
// overlay (a CHelpView over rows 0..154 of the panel, the program bar stays
// visible) as the frame's modal view; a click on the overlay closes it. The
// button's picture has three bands: normal, under the mouse, help shown.
#pragma once

#include <cstdint>

#include "toolkit/CSplashScreen.h"

class CHelpView;

class CHelp : public toolkit::CSplashScreen {
 public:
  // `helpPicture` holds the help pages one below the other; `buttonBitmap`
  // the button's three bands. Both are remembered.
  CHelp(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag, toolkit::CBitmap* helpPicture,
        toolkit::CBitmap* buttonBitmap);
  CHelp(const CHelp& other);  // a copy shows no overlay
  ~CHelp() override;

  void draw(toolkit::CDrawContext* context) override;
  toolkit::CMouseEventResult onMouseDown(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseEntered(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseExited(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  void unSplash() override;

  // The editor's idle with the millisecond tick count: advances the page
  // cross-fade of the open overlay.
  void idleStep(uint32_t now);
  // Opens the overlay (unless it is open) at the page of the section at
  // `where`, as the help key does; false when another overlay is up.
  bool openAt(const toolkit::CPoint& where);

  // The open overlay, or null.
  CHelpView* getHelpView() const;
  toolkit::CBitmap* getButtonBitmap() const { return buttonBitmap_; }
  bool isHovered() const { return hovered_ != 0; }

  TOOLKIT_CLASS_METHODS(CHelp, toolkit::CSplashScreen)

 private:
  CHelpView* helpView_ = nullptr;  // not owned: the frame holds it as its modal view
  toolkit::CBitmap* buttonBitmap_;
  uint8_t hovered_ = 0;
};
