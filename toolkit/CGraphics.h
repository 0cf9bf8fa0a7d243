// The toolkit's plain value types: points and rectangles in layout units
// (the 1x pixels of the panel; a display scale is applied only when drawing),
// colours, mouse button state, mouse results and key codes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace toolkit {

struct CPoint {
  double x = 0.0;
  double y = 0.0;
  constexpr CPoint() = default;
  constexpr CPoint(double px, double py) : x(px), y(py) {}
  constexpr bool operator==(const CPoint&) const = default;
  CPoint& offset(double dx, double dy) {
    x += dx;
    y += dy;
    return *this;
  }
};

// Left and top inclusive, right and bottom exclusive.
struct CRect {
  double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
  constexpr CRect() = default;
  constexpr CRect(double l, double t, double r, double b) : left(l), top(t), right(r), bottom(b) {}
  constexpr bool operator==(const CRect&) const = default;

  constexpr double width() const { return right - left; }
  constexpr double height() const { return bottom - top; }
  constexpr bool isEmpty() const { return right <= left || bottom <= top; }
  constexpr CPoint topLeft() const { return {left, top}; }

  CRect& offset(double dx, double dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
    return *this;
  }
  CRect& moveTo(double x, double y) { return offset(x - left, y - top); }
  CRect& setWidth(double w) {
    right = left + w;
    return *this;
  }
  CRect& setHeight(double h) {
    bottom = top + h;
    return *this;
  }
  CRect& inset(double dx, double dy) {
    left += dx;
    right -= dx;
    top += dy;
    bottom -= dy;
    return *this;
  }
  constexpr bool pointInside(const CPoint& p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  constexpr bool rectOverlap(const CRect& r) const {
    return left < r.right && r.left < right && top < r.bottom && r.top < bottom;
  }
  CRect intersected(const CRect& r) const {
    CRect out(std::max(left, r.left), std::max(top, r.top), std::min(right, r.right), std::min(bottom, r.bottom));
    if (out.isEmpty()) return {};
    return out;
  }
  CRect united(const CRect& r) const {
    if (isEmpty()) return r;
    if (r.isEmpty()) return *this;
    return {std::min(left, r.left), std::min(top, r.top), std::max(right, r.right), std::max(bottom, r.bottom)};
  }
  // The smallest rectangle of whole device pixels covering this one at `scale`.
  CRect devicePixels(double scale) const {
    return {std::floor(left * scale), std::floor(top * scale), std::ceil(right * scale), std::ceil(bottom * scale)};
  }
};

// Red, green, blue and alpha bytes (alpha 255 is opaque).
struct CColor {
  uint8_t red = 0, green = 0, blue = 0, alpha = 255;
  constexpr bool operator==(const CColor&) const = default;
};

inline constexpr CColor kBlackCColor{0, 0, 0, 255};
inline constexpr CColor kWhiteCColor{255, 255, 255, 255};
inline constexpr CColor kGreyCColor{127, 127, 127, 255};
inline constexpr CColor kRedCColor{255, 0, 0, 255};
inline constexpr CColor kGreenCColor{0, 255, 0, 255};
inline constexpr CColor kBlueCColor{0, 0, 255, 255};
inline constexpr CColor kTransparentCColor{0, 0, 0, 0};

// Mouse button state: buttons and modifiers held during a mouse event.
using CButtonState = int32_t;
enum : CButtonState {
  kLButton = 1 << 0,
  kMButton = 1 << 1,
  kRButton = 1 << 2,
  kShift = 1 << 3,
  kControl = 1 << 4,
  kAlt = 1 << 5,
  kDoubleClick = 1 << 6,  // the press completes a double-click
};
inline constexpr CButtonState kButtonsMask = kLButton | kMButton | kRButton;
inline constexpr CButtonState kModifierMask = kShift | kControl | kAlt;

enum CMouseEventResult {
  kMouseEventNotImplemented = 0,
  kMouseEventHandled,
  kMouseEventNotHandled,
  kMouseDownEventHandledButDontNeedMovedOrUpEvents,
};

// A key press: the character typed (0 for none) or a virtual key, and
// modifiers; the numbers are the plug-in interface's, so that keys a host
// forwards need no translation.
enum VirtualKey : int32_t {
  VKEY_NONE = 0,
  VKEY_BACK = 1,
  VKEY_TAB = 2,
  VKEY_RETURN = 4,
  VKEY_ESCAPE = 6,
  VKEY_SPACE = 7,
  VKEY_END = 9,
  VKEY_HOME = 10,
  VKEY_LEFT = 11,
  VKEY_UP = 12,
  VKEY_RIGHT = 13,
  VKEY_DOWN = 14,
  VKEY_ENTER = 19,  // the keypad's Enter
  VKEY_DELETE = 22,
  VKEY_HELP = 23,
  VKEY_F1 = 40,
};
enum KeyModifier : int32_t { MODIFIER_SHIFT = 1, MODIFIER_ALTERNATE = 2, MODIFIER_CONTROL = 4 };

struct VstKeyCode {
  int32_t character = 0;  // Unicode code point, 0 for a virtual key
  int32_t virt = VKEY_NONE;
  int32_t modifier = 0;
};

enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };

}  // namespace toolkit
