// A control: a view with a value between a minimum and a maximum (0 and 1
// unless a control says otherwise), a default value, a wheel increment, a tag
// and a listener that hears about changes the user makes.
#pragma once

#include "toolkit/CView.h"

namespace toolkit {

class CControl;

// The position of `value` among `count` equal steps: min(floor(count * value),
// count - 1) with the product in float, never below 0.
inline int stepIndex(float value, int count) {
  if (count <= 1) return 0;
  const float product = static_cast<float>(count) * value;
  if (!(product > 0.0f)) return 0;
  const int i = static_cast<int>(product);
  return i < count - 1 ? i : count - 1;
}

class CControlListener {
 public:
  virtual ~CControlListener() = default;
  virtual void valueChanged(CControl* control) = 0;
  virtual int32_t controlModifierClicked(CControl* /*control*/, CButtonState /*buttons*/) { return 0; }
  virtual void controlBeginEdit(CControl* /*control*/) {}
  virtual void controlEndEdit(CControl* /*control*/) {}
  virtual void controlTagWillChange(CControl* /*control*/) {}
  virtual void controlTagDidChange(CControl* /*control*/) {}
};

class CControl : public CView {
 public:
  CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = 0, CBitmap* background = nullptr);
  CControl(const CControl& other);  // a copy is not being edited

  // Sets the value, clamped to the range; nobody is told. The next idle
  // redraws the control if the value differs from the one last drawn.
  virtual void setValue(float val);
  float getValue() const { return value_; }
  virtual void setMin(float v) { min_ = v; }
  virtual void setMax(float v) { max_ = v; }
  float getMin() const { return min_; }
  float getMax() const { return max_; }
  void setDefaultValue(float v) { default_ = v; }
  float getDefaultValue() const { return default_; }
  void setWheelInc(float v) { wheelInc_ = v; }
  float getWheelInc() const { return wheelInc_; }
  virtual void setTag(int32_t tag);
  int32_t getTag() const { return tag_; }
  void setListener(CControlListener* l) { listener_ = l; }
  CControlListener* getListener() const { return listener_; }

  // Dirty while marked or while the value differs from the one last drawn;
  // marking clean remembers the value as drawn.
  bool isDirty() const override;
  void setDirty(bool val = true) override;

  // Opens and closes an edit: tells the listener, then the editor with the tag.
  virtual void beginEdit();
  virtual void endEdit();
  bool isEditing() const { return editing_ > 0; }

  // Keeps the value within the range.
  void bounceValue();
  // The reset gesture: a left click with Control as the only modifier sets
  // the default value and reports it. True when the gesture was made.
  virtual bool checkDefaultValue(CButtonState buttons);

  TOOLKIT_CLASS_METHODS(CControl, CView)

 protected:
  void notify() {
    if (listener_) listener_->valueChanged(this);
  }

  CControlListener* listener_;
  int32_t tag_;
  float value_ = 0.0f;
  float oldValue_ = 1.0f;  // the value last drawn
  float min_ = 0.0f;
  float max_ = 1.0f;
  float default_ = 0.5f;
  float wheelInc_ = 0.1f;
  int editing_ = 0;
};

}  // namespace toolkit
