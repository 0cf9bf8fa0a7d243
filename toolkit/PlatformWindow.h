// The frame's window on the screen (or none, for tests): it delivers mouse
// and key events to the frame in layout units and shows the frame's
// off-screen picture. The frame calls it only from its own idle and events.
#pragma once

#include <memory>
#include <vector>

#include "toolkit/CGraphics.h"

typedef struct _cairo_surface cairo_surface_t;

namespace toolkit {

class CFrame;

class PlatformWindow {
 public:
  virtual ~PlatformWindow() = default;

  // Whether the window exists (creating it may have failed).
  virtual bool isValid() const = 0;
  // Device pixels per layout unit.
  virtual double getScale() const = 0;
  // The frame that receives the events; called once, before anything else.
  virtual void attach(CFrame* frame) = 0;
  // Delivers the events that are waiting, without blocking.
  virtual void pollEvents() = 0;
  // Copies these device-pixel rectangles of `image` to the screen, plus
  // whatever the window itself needs repainted.
  virtual void present(cairo_surface_t* image, const std::vector<CRect>& deviceRects) = 0;
  // The pointer in layout units relative to the frame; false when unknown.
  virtual bool getMouseLocation(CPoint& where) = 0;
  // Keyboard focus for typing into a text edit, and handing it back.
  virtual void takeKeyboardFocus() {}
  virtual void releaseKeyboardFocus() {}
  // The native window (an X11 window id), 0 when there is none.
  virtual unsigned long nativeHandle() const { return 0; }
  // The host's top-level window that holds this one (a native id, for a
  // dialog to stay above), 0 when there is none.
  virtual unsigned long topLevelHandle() const { return 0; }

  // The window for a host's parent: an X11 child window of `parent` (an X11
  // window id); null `parent` gives a window that is not shown anywhere.
  static std::unique_ptr<PlatformWindow> create(void* parent, int width, int height, double scale);
};

}  // namespace toolkit
