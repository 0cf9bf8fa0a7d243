// The help overlay: one of eight help pages, chosen by the panel section
// under the mouse (page 0, the invitation, when the mouse leaves). A new
// page fades in over the previous one within 500 ms, advanced by the
// editor's idle through CHelp. A left click closes the overlay.
#pragma once

#include <cstdint>

#include "editor/OverlayView.h"

class CHelp;

class CHelpView : public COverlayView {
 public:
  static constexpr uint32_t kFadeMs = 500;
  static constexpr double kPageHeight = 155;

  CHelpView(const toolkit::CRect& size, CHelp* owner);

  void draw(toolkit::CDrawContext* context) override;
  toolkit::CMouseEventResult onMouseMoved(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
  toolkit::CMouseEventResult onMouseExited(const toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

  // One step of the cross-fade at tick `now` (milliseconds, wrapping).
  void fadeStep(uint32_t now);

  int32_t getCurrentPage() const { return currentPage_; }
  int32_t getPreviousPage() const { return previousPage_; }
  uint32_t getRemainingFade() const { return remainingFade_; }

  TOOLKIT_CLASS_METHODS(CHelpView, COverlayView)

 private:
  void showPage(int32_t page);

  uint32_t remainingFade_ = 0;
  uint32_t lastTick_ = 0;
  int32_t currentPage_ = 0;
  int32_t previousPage_ = 0;
};
