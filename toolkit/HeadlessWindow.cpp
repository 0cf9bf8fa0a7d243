#include "toolkit/HeadlessWindow.h"

#include "toolkit/CFrame.h"

namespace toolkit {

void HeadlessWindow::present(cairo_surface_t*, const std::vector<CRect>& deviceRects) {
  if (deviceRects.empty()) return;
  lastPresented_ = deviceRects;
  ++presentCount_;
}

bool HeadlessWindow::getMouseLocation(CPoint& where) {
  if (!mouseInside_) return false;
  where = mouse_;
  return true;
}

void HeadlessWindow::mouseDown(double x, double y, CButtonState buttons) {
  mouseInside_ = true;
  mouse_ = toFrame(x, y);
  if (frame_) frame_->onMouseDown(mouse_, buttons);
}

void HeadlessWindow::mouseUp(double x, double y, CButtonState buttons) {
  mouse_ = toFrame(x, y);
  if (frame_) frame_->onMouseUp(mouse_, buttons);
}

void HeadlessWindow::mouseMove(double x, double y, CButtonState buttons) {
  mouseInside_ = true;
  mouse_ = toFrame(x, y);
  if (frame_) frame_->onMouseMoved(mouse_, buttons);
}

void HeadlessWindow::mouseLeave() {
  mouseInside_ = false;
  if (frame_) frame_->onMouseExited(mouse_, 0);
}

void HeadlessWindow::wheel(double x, double y, float distance, CButtonState buttons) {
  mouseInside_ = true;
  mouse_ = toFrame(x, y);
  if (frame_) frame_->onWheel(mouse_, distance, buttons);
}

void HeadlessWindow::key(int32_t character, int32_t virt, int32_t modifier) {
  VstKeyCode code{character, virt, modifier};
  if (frame_) frame_->onKeyDown(code);
}

void HeadlessWindow::click(double x, double y, CButtonState buttons) {
  mouseDown(x, y, buttons);
  mouseUp(x, y, buttons);
}

void HeadlessWindow::type(const char* text) {
  for (const char* p = text; p && *p; ++p) key(static_cast<unsigned char>(*p));
}

}  // namespace toolkit
