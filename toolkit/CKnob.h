// A knob. In linear mode (the mode the panel uses) the value follows a drag
// as entry value + ((start y - y) + (x - start x)) * (max - min) / range, so
// that moving 200 pixels up or right covers the whole range; with Shift the
// range is multiplied by the zoom factor for fine adjustment. When the
// modifiers change during a drag the drag starts anew from the current value
// and point, so the value never jumps. The wheel moves it by the wheel
// increment per notch. Circular modes behave as the linear one.
#pragma once

#include "toolkit/CControl.h"

namespace toolkit {

class CKnob : public CControl {
 public:
  static constexpr float kLinearRange = 200.0f;

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

  bool dragging_ = false;
  CPoint firstPoint_;
  float entryValue_ = 0.0f;
  float range_ = kLinearRange;
  CButtonState dragModifiers_ = 0;
};

}  // namespace toolkit
