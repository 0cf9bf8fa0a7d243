#include "editor/CSizeMenu.h"

#include "editor/PanelScale.h"
#include "toolkit/CFrame.h"

using namespace toolkit;

CSizeMenu::CSizeMenu(const CRect& size, CControlListener* listener, int32_t tag)
    : COptionMenu(size, listener, tag, nullptr, kNoDrawStyle | kCheckStyle) {
  addEntry("Size: 100 %");
  addEntry("Size: 150 %");
  addEntry("Size: 200 %");
}

int32_t CSizeMenu::sizeEntry(double scale) {
  const double shown = editor::nearestPanelScale(scale);
  for (int32_t i = 0; i < 3; ++i)
    if (editor::kPanelScales[i] == shown) return i;
  return 0;
}

CMouseEventResult CSizeMenu::onMouseDown(const CPoint& where, const CButtonState& buttons) {
  if ((buttons & kButtonsMask) != kRButton) return kMouseEventNotHandled;
  // The tick marks the size the panel is shown at now (the menu is made anew
  // with every opening of the window, so it cannot remember the last choice).
  if (CFrame* frame = getFrame()) setCurrent(sizeEntry(frame->getScale()));
  // The list opens below the pointer: for the moment of opening the menu is
  // the point clicked.
  const CRect whole = size_;
  size_ = CRect(where.x, where.y, where.x + 1, where.y + 1);
  const CMouseEventResult result = COptionMenu::onMouseDown(where, buttons);
  size_ = whole;
  return result;
}

void CSizeMenu::draw(CDrawContext*) { setDirty(false); }
