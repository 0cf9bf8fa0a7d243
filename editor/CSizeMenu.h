// The panel's size menu: a right-click where no control answers offers the
// panel at 100, 150 or 200 percent. It lies under every other view and draws
// nothing; its value is the chosen entry.
#pragma once

#include "toolkit/COptionMenu.h"

class CSizeMenu : public toolkit::COptionMenu {
 public:
  CSizeMenu(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag);

  // Opens the list at the pointer, for the right button only.
  toolkit::CMouseEventResult onMouseDown(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  void draw(toolkit::CDrawContext* context) override;

  // The entry of the size nearest `scale`.
  static int32_t sizeEntry(double scale);

  TOOLKIT_CLASS_METHODS(CSizeMenu, COptionMenu)
};
