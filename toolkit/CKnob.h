// A knob. In linear mode (the mode the panel uses) the value follows a drag
// as entry value + ((start y - y) + (x - start x)) * (max - min) / range, so
// that moving 200 pixels up or right covers the whole range; with Shift the
// range is multiplied by the zoom factor for fine adjustment. When the
// modifiers change during a drag the drag starts anew from the current value
// and point, so the value never jumps. The wheel moves it by the wheel
// increment per notch. In the circular modes (when the editor asks for
// them) the pointer's angle around the centre sets the value over the usual
// 300 degrees from 7 to 5 o'clock: directly, or relative to where the drag
// began.
#pragma once

#include "toolkit/CControl.h"

namespace toolkit {

class CKnob : public CControl {
 public:
  static constexpr float kLinearRange = 200.0f;
  static constexpr double kStartAngle = 240.0;  // degrees, counter-clockwise from 3 o'clock
  static constexpr double kSweep = 300.0;       // clockwise from the start

  CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background, CBitmap* handle = nullptr,
        const CPoint& offset = {});
  CKnob(const CKnob& other);
  ~CKnob() override;

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;

  void setZoomFactor(float f) { zoomFactor_ = f > 0 ? f : 1.0f; }
  float getZoomFactor() const { return zoomFactor_; }
  bool isDragging() const { return dragging_; }

  TOOLKIT_CLASS_METHODS(CKnob, CControl)

 protected:
  CBitmap* handle_ = nullptr;
  float zoomFactor_ = 10.0f;

 private:
  void startDrag(const CPoint& where, const CButtonState& buttons);
  int32_t knobMode() const;
  // The value at the pointer's angle; in the gap below the knob, the
  // nearer end.
  float valueFromPoint(const CPoint& where) const;
  // Circular drags never jump across the gap from one end to the other.
  float guardGap(float next) const;

  bool dragging_ = false;
  CPoint firstPoint_;
  float entryValue_ = 0.0f;
  float range_ = kLinearRange;
  CButtonState dragModifiers_ = 0;
  int32_t dragMode_ = 2;
  float angleAtStart_ = 0.0f;
};

}  // namespace toolkit
