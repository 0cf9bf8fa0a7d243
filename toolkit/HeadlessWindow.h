// A window that shows nothing: the frame draws into its off-screen picture
// as usual, and tests feed in mouse and key events as a window would, in
// device pixels (divided by the scale on the way in, as the X11 window does).
#pragma once

#include <vector>

#include "toolkit/PlatformWindow.h"

namespace toolkit {

class HeadlessWindow : public PlatformWindow {
 public:
  explicit HeadlessWindow(double scale = 1.0) : scale_(scale > 0 ? scale : 1.0) {}

  bool isValid() const override { return true; }
  double getScale() const override { return scale_; }
  void attach(CFrame* frame) override { frame_ = frame; }
  void pollEvents() override {}
  void present(cairo_surface_t* image, const std::vector<CRect>& deviceRects) override;
  bool getMouseLocation(CPoint& where) override;
  void takeKeyboardFocus() override { keyboardFocus_ = true; }
  void releaseKeyboardFocus() override { keyboardFocus_ = false; }

  // Events as the window system would deliver them.
  void mouseDown(double x, double y, CButtonState buttons);
  void mouseUp(double x, double y, CButtonState buttons);
  void mouseMove(double x, double y, CButtonState buttons = 0);
  void mouseLeave();
  void wheel(double x, double y, float distance, CButtonState buttons = 0);
  void key(int32_t character, int32_t virt = 0, int32_t modifier = 0);
  // A whole click: down and up at one place.
  void click(double x, double y, CButtonState buttons = kLButton);
  // Types each character of `text`.
  void type(const char* text);

  bool hasKeyboardFocus() const { return keyboardFocus_; }
  // The device rectangles of the last present with anything to show, and
  // how many presents showed something.
  const std::vector<CRect>& lastPresented() const { return lastPresented_; }
  int presentCount() const { return presentCount_; }

 private:
  CPoint toFrame(double x, double y) const { return {x / scale_, y / scale_}; }

  CFrame* frame_ = nullptr;
  double scale_;
  bool mouseInside_ = false;
  CPoint mouse_;
  bool keyboardFocus_ = false;
  std::vector<CRect> lastPresented_;
  int presentCount_ = 0;
};

}  // namespace toolkit
