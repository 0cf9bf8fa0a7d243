// The preset bar's load and save buttons. A left click reports 1; a click
// with the right button alone reports 0.5, which a load takes as the request
// to read the numbers in the other byte order. The value goes back to 0 as
// soon as the listener has acted. Images: 0 idle, 1 hover, 2 while acting
// and while the file dialog it opened is still open (pending).
#pragma once

#include "toolkit/CKickButton.h"

namespace presets {

class CSaveLoadButton : public toolkit::CKickButton {
 public:
  CSaveLoadButton(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag,
                  double heightOfOneImage, toolkit::CBitmap* background);

  void draw(toolkit::CDrawContext* context) override;
  toolkit::CMouseEventResult onMouseDown(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseEntered(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseExited(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  int32_t onKeyDown(toolkit::VstKeyCode&) override { return -1; }  // keys do not press it

  bool isHovered() const { return hover_; }
  void setPending(bool pending);
  bool isPending() const { return pending_; }

  TOOLKIT_CLASS_METHODS(CSaveLoadButton, CKickButton)

 private:
  bool hover_ = false;
  bool pending_ = false;
};

}  // namespace presets
