#include "editor/CHelpView.h"

#include <cmath>

#include "editor/CHelp.h"
#include "editor/PanelLayout.h"
#include "toolkit/CBitmap.h"

using namespace toolkit;

CHelpView::CHelpView(const CRect& size, CHelp* owner) : COverlayView(size, owner) {}

void CHelpView::draw(CDrawContext* context) {
  if (background_) {
    background_->draw(context, size_, CPoint(0, kPageHeight * previousPage_));
    const float opacity = static_cast<float>(kFadeMs - remainingFade_) / static_cast<float>(kFadeMs);
    background_->draw(context, size_, CPoint(0, kPageHeight * currentPage_), opacity);
  }
  setDirty(false);
}

void CHelpView::showPage(int32_t page) {
  previousPage_ = currentPage_;
  currentPage_ = page;
  remainingFade_ = kFadeMs;
}

CMouseEventResult CHelpView::onMouseMoved(const CPoint& where, const CButtonState&) {
  // The page map is drawn in whole panel pixels; at a display scale the
  // pointer may lie between them.
  const int32_t page = editor::panel::helpPageAt(std::floor(where.x), std::floor(where.y));
  if (page != currentPage_) showPage(page);
  return kMouseEventHandled;
}

// Back to the invitation, faded in anew even when it is already shown.
CMouseEventResult CHelpView::onMouseExited(const CPoint&, const CButtonState&) {
  showPage(0);
  return kMouseEventHandled;
}

void CHelpView::fadeStep(uint32_t now) {
  const uint32_t elapsed = now - lastTick_;
  lastTick_ = now;
  if (remainingFade_ == 0) return;
  if (remainingFade_ >= elapsed) {
    remainingFade_ -= elapsed;
  } else {
    previousPage_ = currentPage_;
    remainingFade_ = 0;
  }
  // Also at the end of the fade: the last picture drawn still showed some
  // of the previous page.
  invalid();
}
