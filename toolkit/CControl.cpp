#include "toolkit/CControl.h"

#include "toolkit/CFrame.h"
#include "toolkit/VSTGUIEditorInterface.h"

namespace toolkit {

CControl::CControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CView(size), listener_(listener), tag_(tag) {
  setBackground(background);
}

CControl::CControl(const CControl& o)
    : CView(o),
      listener_(o.listener_),
      tag_(o.tag_),
      value_(o.value_),
      oldValue_(o.oldValue_),
      min_(o.min_),
      max_(o.max_),
      default_(o.default_),
      wheelInc_(o.wheelInc_) {}

void CControl::setValue(float val) {
  value_ = val;
  bounceValue();
}

void CControl::setTag(int32_t tag) {
  if (listener_) listener_->controlTagWillChange(this);
  tag_ = tag;
  if (listener_) listener_->controlTagDidChange(this);
}

bool CControl::isDirty() const { return dirty_ || value_ != oldValue_; }

void CControl::setDirty(bool val) {
  CView::setDirty(val);
  if (!val) oldValue_ = value_;
}

void CControl::bounceValue() {
  if (value_ > max_) value_ = max_;
  if (value_ < min_) value_ = min_;
  if (value_ != value_) value_ = min_;  // a NaN from anywhere ends at the minimum
}

void CControl::beginEdit() {
  ++editing_;
  if (listener_) listener_->controlBeginEdit(this);
  if (VSTGUIEditorInterface* editor = getEditor()) editor->beginEdit(tag_);
}

void CControl::endEdit() {
  if (editing_ == 0) return;  // never an end without a beginning
  --editing_;
  if (VSTGUIEditorInterface* editor = getEditor()) editor->endEdit(tag_);
  if (listener_) listener_->controlEndEdit(this);
}

bool CControl::checkDefaultValue(CButtonState buttons) {
  if ((buttons & (kButtonsMask | kModifierMask)) != (kLButton | kControl)) return false;
  beginEdit();
  value_ = default_;
  bounceValue();
  invalid();
  notify();
  endEdit();
  return true;
}

}  // namespace toolkit
