// The frame's window on an X11 display: a child of the host's window on a
// display connection of its own, so that several editors (and several
// hosts' threads) never share one. Events are read only when the host calls
// idle, never blocking. Every call to Xlib runs under an error handler of
// ours that ignores errors of our connections (the parent may already be
// gone) and passes any other to the handler it replaced, which is put back
// before the call returns.
#pragma once

#include <vector>

#include "toolkit/PlatformWindow.h"

typedef struct _XDisplay Display;
typedef struct _XImage XImage;
typedef struct _XGC* GC;
union _XEvent;

namespace toolkit {

class X11Window : public PlatformWindow {
 public:
  X11Window(unsigned long parent, int width, int height, double scale);
  ~X11Window() override;

  bool isValid() const override { return window_ != 0 && alive_; }
  double getScale() const override { return scale_; }
  void attach(CFrame* frame) override { frame_ = frame; }
  void pollEvents() override;
  void present(cairo_surface_t* image, const std::vector<CRect>& deviceRects) override;
  bool getMouseLocation(CPoint& where) override;
  void takeKeyboardFocus() override;
  void releaseKeyboardFocus() override;
  unsigned long nativeHandle() const override { return window_; }
  unsigned long topLevelHandle() const override;

  // X errors on our connections that the scoped handler kept from the
  // host, over the life of the process (for tests).
  static long ignoredErrorCount();

 private:
  void handle(_XEvent& event);
  void notePointer(int x, int y) {
    pointerKnown_ = true;
    pointerX_ = x;
    pointerY_ = y;
  }

  Display* display_ = nullptr;
  unsigned long window_ = 0;
  unsigned long parent_ = 0;
  unsigned long colormap_ = 0;
  void* visual_ = nullptr;
  int depth_ = 0;
  GC gc_ = nullptr;
  XImage* image_ = nullptr;
  cairo_surface_t* imageSource_ = nullptr;
  bool alive_ = false;
  CFrame* frame_ = nullptr;
  double scale_;
  int width_, height_;
  std::vector<CRect> exposed_;
  unsigned long focusBefore_ = 0;
  bool haveFocus_ = false;
  unsigned long lastPressTime_ = 0;
  int lastPressButton_ = 0;
  int lastPressX_ = 0, lastPressY_ = 0;
  // The pointer as the last event placed it (device pixels), so that the
  // editor's idle can ask for it without a round trip to the server.
  bool pointerKnown_ = false;
  int pointerX_ = 0, pointerY_ = 0;
};

// A plain window of ours inside a host's window, for a host that keeps the
// first window an editor hands it for the editor's whole life (LV2 hosts
// that wrap it): the frame's window lives inside it and may be made again
// (at another size) while this one stays. Errors on its connection are
// kept from the host like the frame window's.
class X11Container {
 public:
  X11Container(unsigned long parent, int width, int height);
  ~X11Container();
  X11Container(const X11Container&) = delete;
  X11Container& operator=(const X11Container&) = delete;

  bool isValid() const { return window_ != 0 && alive_; }
  unsigned long nativeHandle() const { return window_; }
  void resize(int width, int height);

 private:
  Display* display_ = nullptr;
  unsigned long window_ = 0;
  bool alive_ = false;
};

}  // namespace toolkit
