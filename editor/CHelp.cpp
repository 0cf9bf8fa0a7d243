#include "editor/CHelp.h"

#include "editor/CHelpView.h"
#include "editor/PanelLayout.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

using namespace toolkit;

namespace {
constexpr int kButtonBands = 3;  // normal, hovered, help shown
}

CHelp::CHelp(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* helpPicture, CBitmap* buttonBitmap)
    : CSplashScreen(size, listener, tag, helpPicture,
                    CRect(0, 0, editor::panel::kWidth, editor::panel::kHelpHeight), CPoint(0, 0)),
      buttonBitmap_(buttonBitmap) {
  if (buttonBitmap_) buttonBitmap_->remember();
}

CHelp::CHelp(const CHelp& other) : CSplashScreen(other), buttonBitmap_(other.buttonBitmap_) {
  if (buttonBitmap_) buttonBitmap_->remember();
  splashView_ = nullptr;
  value_ = 0.0f;
}

CHelp::~CHelp() {
  if (buttonBitmap_) buttonBitmap_->forget();
}

void CHelp::draw(CDrawContext* context) {
  if (buttonBitmap_) {
    const double band = buttonBitmap_->getHeight() / kButtonBands;
    const double row = value_ > 0.0f ? 2 * band : hovered_ ? band : 0.0;
    buttonBitmap_->draw(context, size_, CPoint(0, row));
  }
  setDirty(false);
}

CMouseEventResult CHelp::onMouseEntered(const CPoint&, const CButtonState&) {
  hovered_ = 1;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CHelp::onMouseExited(const CPoint&, const CButtonState&) {
  hovered_ = 0;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CHelp::onMouseDown(const CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  if (!getHelpView()) value_ = 0.0f;  // an overlay the frame dropped is closed
  value_ = value_ == 0.0f ? 1.0f : 0.0f;
  if (value_ == 0.0f) return kMouseEventHandled;
  auto* view = new CHelpView(toDisplay_, this);
  if (showSplashView(view))
    helpView_ = view;
  else
    value_ = 0.0f;  // another modal view is up: no overlay
  invalid();
  return kMouseEventHandled;
}

void CHelp::unSplash() {
  helpView_ = nullptr;
  CSplashScreen::unSplash();
}

CHelpView* CHelp::getHelpView() const {
  // Only while it is still the frame's modal view: the frame may have
  // dropped it (closing) without a word to us.
  return helpView_ && frame_ && frame_->getModalView() == helpView_ ? helpView_ : nullptr;
}

bool CHelp::openAt(const CPoint& where) {
  if (!getHelpView()) onMouseDown(where, kLButton);
  CHelpView* view = getHelpView();
  if (view) view->onMouseMoved(where, 0);
  return view != nullptr;
}

void CHelp::idleStep(uint32_t now) {
  if (CHelpView* view = getHelpView()) view->fadeStep(now);
}
