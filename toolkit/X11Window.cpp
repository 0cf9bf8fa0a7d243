#include "toolkit/X11Window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <mutex>

#include "toolkit/CFrame.h"
#include "toolkit/HeadlessWindow.h"

namespace toolkit {

namespace {

// ------------------------------------------------ scoped X error handling
//
// Xlib's error handler is one for the whole process, and a host may end the
// program on any error it sees. Ours is installed only while one of our
// calls runs; errors of our own connections are counted and dropped, others
// go to the handler we replaced.

struct ErrorState {
  std::recursive_mutex mutex;
  int depth = 0;
  XErrorHandler previous = nullptr;
  std::vector<std::pair<Display*, long>> ours;  // our connections, errors seen
  long ignored = 0;
};

ErrorState& errorState() {
  static ErrorState* s = new ErrorState;  // used until the very end of the process
  return *s;
}

int scopedHandler(Display* display, XErrorEvent* event) {
  ErrorState& s = errorState();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  for (auto& [d, errors] : s.ours)
    if (d == display) {
      ++errors;
      ++s.ignored;
      return 0;
    }
  return s.previous ? s.previous(display, event) : 0;
}

class ErrorScope {
 public:
  ErrorScope() : lock_(errorState().mutex) {
    ErrorState& s = errorState();
    if (s.depth++ == 0) s.previous = XSetErrorHandler(scopedHandler);
  }
  ~ErrorScope() {
    ErrorState& s = errorState();
    if (--s.depth == 0) {
      XSetErrorHandler(s.previous);
      s.previous = nullptr;
    }
  }
  ErrorScope(const ErrorScope&) = delete;
  ErrorScope& operator=(const ErrorScope&) = delete;

 private:
  std::lock_guard<std::recursive_mutex> lock_;
};

void registerDisplay(Display* d) {
  std::lock_guard<std::recursive_mutex> lock(errorState().mutex);
  errorState().ours.emplace_back(d, 0);
}

void unregisterDisplay(Display* d) {
  std::lock_guard<std::recursive_mutex> lock(errorState().mutex);
  auto& ours = errorState().ours;
  ours.erase(std::remove_if(ours.begin(), ours.end(), [d](const auto& e) { return e.first == d; }), ours.end());
}

long errorsOf(Display* d) {
  std::lock_guard<std::recursive_mutex> lock(errorState().mutex);
  for (const auto& [display, errors] : errorState().ours)
    if (display == d) return errors;
  return 0;
}

CButtonState modifiersOf(unsigned int state) {
  CButtonState b = 0;
  if (state & ShiftMask) b |= kShift;
  if (state & ControlMask) b |= kControl;
  if (state & Mod1Mask) b |= kAlt;
  return b;
}

CButtonState heldButtonsOf(unsigned int state) {
  CButtonState b = 0;
  if (state & Button1Mask) b |= kLButton;
  if (state & Button2Mask) b |= kMButton;
  if (state & Button3Mask) b |= kRButton;
  return b;
}

CButtonState buttonOf(unsigned int button) {
  switch (button) {
    case Button1: return kLButton;
    case Button2: return kMButton;
    case Button3: return kRButton;
    default: return 0;
  }
}

int32_t virtualKeyOf(KeySym sym) {
  switch (sym) {
    case XK_BackSpace: return VKEY_BACK;
    case XK_Tab: return VKEY_TAB;
    case XK_Return: return VKEY_RETURN;
    case XK_KP_Enter: return VKEY_ENTER;
    case XK_Escape: return VKEY_ESCAPE;
    case XK_End: case XK_KP_End: return VKEY_END;
    case XK_Home: case XK_KP_Home: return VKEY_HOME;
    case XK_Left: case XK_KP_Left: return VKEY_LEFT;
    case XK_Up: case XK_KP_Up: return VKEY_UP;
    case XK_Right: case XK_KP_Right: return VKEY_RIGHT;
    case XK_Down: case XK_KP_Down: return VKEY_DOWN;
    case XK_Delete: case XK_KP_Delete: return VKEY_DELETE;
    default: return VKEY_NONE;
  }
}

// A parent the host destroyed first took our window with it: reads what
// the server said (every event still waiting) so that a dead window is
// never touched.
bool destroyedMeanwhile(Display* display, unsigned long window) {
  XSync(display, False);
  bool destroyed = false;
  while (XPending(display)) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == DestroyNotify && event.xdestroywindow.window == window) destroyed = true;
  }
  return destroyed;
}

constexpr unsigned long kDoubleClickMs = 400;
constexpr int kDoubleClickDistance = 4;

}  // namespace

long X11Window::ignoredErrorCount() {
  std::lock_guard<std::recursive_mutex> lock(errorState().mutex);
  return errorState().ignored;
}

X11Window::X11Window(unsigned long parent, int width, int height, double scale)
    : parent_(parent), scale_(scale > 0 ? scale : 1.0), width_(std::max(width, 1)), height_(std::max(height, 1)) {
  display_ = XOpenDisplay(nullptr);
  if (!display_) return;
  registerDisplay(display_);
  ErrorScope scope;
  XWindowAttributes parentAttributes;
  if (!XGetWindowAttributes(display_, parent_, &parentAttributes)) return;
  const int screen = XScreenNumberOfScreen(parentAttributes.screen);
  // Our pixels are 0x00RRGGBB words: a 24-bit true-colour visual shows them
  // as they are.
  XVisualInfo info;
  if (!XMatchVisualInfo(display_, screen, 24, TrueColor, &info)) return;
  visual_ = info.visual;
  depth_ = 24;
  XSetWindowAttributes attributes{};
  attributes.background_pixmap = None;
  attributes.border_pixel = 0;
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                          LeaveWindowMask | KeyPressMask | KeyReleaseMask | StructureNotifyMask | FocusChangeMask;
  unsigned long mask = CWBackPixmap | CWBorderPixel | CWEventMask;
  if (info.visual != parentAttributes.visual) {
    colormap_ = XCreateColormap(display_, parent_, info.visual, AllocNone);
    attributes.colormap = colormap_;
    mask |= CWColormap;
  }
  window_ = XCreateWindow(display_, parent_, 0, 0, static_cast<unsigned>(width_), static_cast<unsigned>(height_), 0,
                          depth_, InputOutput, info.visual, mask, &attributes);
  gc_ = XCreateGC(display_, window_, 0, nullptr);
  XMapWindow(display_, window_);
  // The host sees the child and its size at once, and we learn whether the
  // parent took it.
  XSync(display_, False);
  alive_ = errorsOf(display_) == 0;
}

X11Window::~X11Window() {
  if (!display_) return;
  {
    ErrorScope scope;
    if (haveFocus_) releaseKeyboardFocus();
    if (destroyedMeanwhile(display_, window_)) alive_ = false;
    if (image_) {
      image_->data = nullptr;  // the pixels belong to the frame's picture
      XDestroyImage(image_);
    }
    if (gc_) XFreeGC(display_, gc_);
    if (window_ && alive_) XDestroyWindow(display_, window_);
    if (colormap_) XFreeColormap(display_, colormap_);
    XCloseDisplay(display_);
  }
  unregisterDisplay(display_);
}

void X11Window::pollEvents() {
  if (!display_) return;
  // Read under our error handler, then deliver without it: the frame's
  // views and listeners run the editor's own code.
  std::vector<XEvent> events;
  {
    ErrorScope scope;
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      // Only the latest position of a burst of moves matters.
      if (event.type == MotionNotify && !events.empty() && events.back().type == MotionNotify)
        events.back() = event;
      else
        events.push_back(event);
    }
  }
  for (XEvent& event : events) handle(event);
}

void X11Window::handle(XEvent& event) {
  if (event.xany.window != window_) return;
  switch (event.type) {
    case Expose:
      exposed_.push_back(
          CRect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                event.xexpose.y + event.xexpose.height));
      break;
    case DestroyNotify:
      alive_ = false;
      break;
    case ButtonPress: {
      const XButtonEvent& b = event.xbutton;
      notePointer(b.x, b.y);
      const CPoint where(b.x / scale_, b.y / scale_);
      const CButtonState modifiers = modifiersOf(b.state);
      if (b.button == Button4 || b.button == Button5) {
        if (frame_) frame_->onWheel(where, b.button == Button4 ? 1.0f : -1.0f, modifiers | heldButtonsOf(b.state));
        break;
      }
      CButtonState buttons = buttonOf(b.button);
      if (!buttons) break;  // sideways wheel and extra buttons
      if (static_cast<int>(b.button) == lastPressButton_ && b.time - lastPressTime_ <= kDoubleClickMs &&
          std::abs(b.x - lastPressX_) <= kDoubleClickDistance && std::abs(b.y - lastPressY_) <= kDoubleClickDistance) {
        buttons |= kDoubleClick;
        lastPressButton_ = 0;  // a third click starts anew
      } else {
        lastPressButton_ = static_cast<int>(b.button);
        lastPressTime_ = b.time;
        lastPressX_ = b.x;
        lastPressY_ = b.y;
      }
      if (frame_) frame_->onMouseDown(where, buttons | modifiers | (heldButtonsOf(b.state) & ~buttonOf(b.button)));
      break;
    }
    case ButtonRelease: {
      const XButtonEvent& b = event.xbutton;
      notePointer(b.x, b.y);
      const CButtonState buttons = buttonOf(b.button);
      if (!buttons) break;
      if (frame_) frame_->onMouseUp(CPoint(b.x / scale_, b.y / scale_), buttons | modifiersOf(b.state));
      break;
    }
    case MotionNotify: {
      const XMotionEvent& m = event.xmotion;
      notePointer(m.x, m.y);
      if (frame_)
        frame_->onMouseMoved(CPoint(m.x / scale_, m.y / scale_), heldButtonsOf(m.state) | modifiersOf(m.state));
      break;
    }
    case EnterNotify: {
      const XCrossingEvent& c = event.xcrossing;
      notePointer(c.x, c.y);
      if (frame_)
        frame_->onMouseMoved(CPoint(c.x / scale_, c.y / scale_), heldButtonsOf(c.state) | modifiersOf(c.state));
      break;
    }
    case LeaveNotify: {
      const XCrossingEvent& c = event.xcrossing;
      notePointer(c.x, c.y);
      if (c.mode == NotifyNormal && frame_) frame_->onMouseExited(CPoint(c.x / scale_, c.y / scale_), 0);
      break;
    }
    case KeyPress: {
      char text[16] = {};
      KeySym sym = NoSymbol;
      {
        ErrorScope scope;
        XLookupString(&event.xkey, text, sizeof text - 1, &sym, nullptr);
      }
      VstKeyCode key;
      key.virt = virtualKeyOf(sym);
      if (key.virt == VKEY_NONE) {
        if (sym >= 0x20 && sym <= 0xff)
          key.character = static_cast<int32_t>(sym);  // Latin-1 keysyms are their code points
        else if ((sym & 0xff000000) == 0x01000000)
          key.character = static_cast<int32_t>(sym & 0x00ffffff);  // Unicode keysyms
        else
          break;
      }
      if (event.xkey.state & ShiftMask) key.modifier |= MODIFIER_SHIFT;
      if (event.xkey.state & ControlMask) key.modifier |= MODIFIER_CONTROL;
      if (event.xkey.state & Mod1Mask) key.modifier |= MODIFIER_ALTERNATE;
      if (frame_) frame_->onKeyDown(key);
      break;
    }
    case FocusOut:
      // Typing ends when the keyboard goes elsewhere (the text commits).
      // (Not the FocusOut that merely tells the pointer's window that the
      // focus no longer follows the pointer: that comes with our own focus.)
      if (haveFocus_ && event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyInferior &&
          event.xfocus.detail != NotifyPointer) {
        haveFocus_ = false;
        if (frame_) frame_->setFocusView(nullptr);
      }
      break;
    default:
      break;
  }
}

void X11Window::present(cairo_surface_t* image, const std::vector<CRect>& deviceRects) {
  if (!display_) return;
  if (!alive_) {
    exposed_.clear();
    return;
  }
  std::vector<CRect> rects = deviceRects;
  rects.insert(rects.end(), exposed_.begin(), exposed_.end());
  exposed_.clear();
  if (rects.empty()) return;
  // Exposes come in many small pieces: copy each area once.
  for (bool merged = true; merged;) {
    merged = false;
    for (std::size_t i = 0; i < rects.size() && !merged; ++i)
      for (std::size_t j = i + 1; j < rects.size(); ++j)
        if (rects[i].rectOverlap(rects[j])) {
          rects[i] = rects[i].united(rects[j]);
          rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(j));
          merged = true;
          break;
        }
  }
  ErrorScope scope;
  if (!image_ || imageSource_ != image) {
    if (image_) {
      image_->data = nullptr;
      XDestroyImage(image_);
      image_ = nullptr;
    }
    cairo_surface_flush(image);
    const int w = cairo_image_surface_get_width(image);
    const int h = cairo_image_surface_get_height(image);
    image_ = XCreateImage(display_, static_cast<Visual*>(visual_), static_cast<unsigned>(depth_), ZPixmap, 0,
                          reinterpret_cast<char*>(cairo_image_surface_get_data(image)), static_cast<unsigned>(w),
                          static_cast<unsigned>(h), 32, cairo_image_surface_get_stride(image));
    if (!image_) return;
    // The picture's words are in this machine's byte order; Xlib converts.
    const uint32_t one = 1;
    image_->byte_order = *reinterpret_cast<const unsigned char*>(&one) ? LSBFirst : MSBFirst;
    imageSource_ = image;
  }
  const int w = image_->width, h = image_->height;
  for (const CRect& r : rects) {
    const int x0 = std::clamp(static_cast<int>(r.left), 0, w), y0 = std::clamp(static_cast<int>(r.top), 0, h);
    const int x1 = std::clamp(static_cast<int>(std::ceil(r.right)), 0, w);
    const int y1 = std::clamp(static_cast<int>(std::ceil(r.bottom)), 0, h);
    if (x1 > x0 && y1 > y0)
      XPutImage(display_, window_, gc_, image_, x0, y0, x0, y0, static_cast<unsigned>(x1 - x0),
                static_cast<unsigned>(y1 - y0));
  }
  XFlush(display_);
}

bool X11Window::getMouseLocation(CPoint& where) {
  if (!display_ || !alive_) return false;
  if (pointerKnown_) {
    where = CPoint(pointerX_ / scale_, pointerY_ / scale_);
    return true;
  }
  ErrorScope scope;
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned int mask = 0;
  if (!XQueryPointer(display_, window_, &root, &child, &rootX, &rootY, &x, &y, &mask)) return false;
  notePointer(x, y);
  where = CPoint(x / scale_, y / scale_);
  return true;
}

void X11Window::takeKeyboardFocus() {
  if (!display_ || !alive_ || haveFocus_) return;
  ErrorScope scope;
  Window before = 0;
  int revert = 0;
  XGetInputFocus(display_, &before, &revert);
  focusBefore_ = before;
  XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
  XFlush(display_);
  haveFocus_ = true;
}

void X11Window::releaseKeyboardFocus() {
  if (!display_ || !haveFocus_) return;
  haveFocus_ = false;
  if (!alive_) return;
  ErrorScope scope;
  // Back to where it was (the host's window), or to our parent.
  const Window to = (focusBefore_ != None && focusBefore_ != window_) ? focusBefore_ : parent_;
  XSetInputFocus(display_, to, RevertToParent, CurrentTime);
  XFlush(display_);
}

// The host's top-level is the window the window manager manages (ICCCM
// marks it with WM_STATE; the manager's own frame around it has none); with
// no window manager running, the ancestor just below the root.
unsigned long X11Window::topLevelHandle() const {
  if (!display_ || !alive_) return 0;
  ErrorScope scope;
  const Atom wmState = XInternAtom(display_, "WM_STATE", True);  // None: no window has it
  Window w = window_;
  for (int depth = 0; depth < 64; ++depth) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_, w, &root, &parent, &children, &count)) return 0;
    if (children) XFree(children);
    if (w != window_ && wmState != None) {
      Atom type = None;
      int format = 0;
      unsigned long items = 0, after = 0;
      unsigned char* data = nullptr;
      const bool read = XGetWindowProperty(display_, w, wmState, 0, 0, False, AnyPropertyType, &type, &format, &items,
                                           &after, &data) == Success;
      if (data) XFree(data);
      if (read && type != None) return w;
    }
    if (parent == 0 || parent == root) return w == window_ ? 0 : w;
    w = parent;
  }
  return 0;
}

std::unique_ptr<PlatformWindow> PlatformWindow::create(void* parent, int width, int height, double scale) {
  if (!parent) return std::make_unique<HeadlessWindow>(scale);
  return std::make_unique<X11Window>(reinterpret_cast<unsigned long>(parent), width, height, scale);
}

// ------------------------------------------------------------ container

X11Container::X11Container(unsigned long parent, int width, int height) {
  display_ = XOpenDisplay(nullptr);
  if (!display_) return;
  registerDisplay(display_);
  ErrorScope scope;
  window_ = XCreateSimpleWindow(display_, parent, 0, 0, static_cast<unsigned>(std::max(width, 1)),
                                static_cast<unsigned>(std::max(height, 1)), 0, 0, 0);
  XSelectInput(display_, window_, StructureNotifyMask);
  XMapWindow(display_, window_);
  XSync(display_, False);
  alive_ = errorsOf(display_) == 0;
}

X11Container::~X11Container() {
  if (!display_) return;
  {
    ErrorScope scope;
    if (destroyedMeanwhile(display_, window_)) alive_ = false;
    if (window_ && alive_) XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
  }
  unregisterDisplay(display_);
}

void X11Container::resize(int width, int height) {
  if (!isValid()) return;
  ErrorScope scope;
  XResizeWindow(display_, window_, static_cast<unsigned>(std::max(width, 1)), static_cast<unsigned>(std::max(height, 1)));
  XSync(display_, False);
}

}  // namespace toolkit
