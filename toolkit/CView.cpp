#include "toolkit/CView.h"

#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

namespace toolkit {

CView::CView(const CRect& size) : size_(size), mouseableArea_(size) {}

CView::CView(const CView& other)
    : CReferenceCounter(other),
      size_(other.size_),
      mouseableArea_(other.mouseableArea_),
      background_(other.background_),
      backOffset_(other.backOffset_),
      dirty_(true),
      visible_(other.visible_),
      mouseEnabled_(other.mouseEnabled_),
      transparent_(other.transparent_) {
  if (background_) background_->remember();
}

CView::~CView() {
  if (background_) background_->forget();
}

void CView::draw(CDrawContext* context) {
  if (background_) background_->draw(context, size_, backOffset_);
  setDirty(false);
}

CMouseEventResult CView::onMouseDown(const CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(const CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(const CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseEntered(const CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseExited(const CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
bool CView::onWheel(const CPoint&, float, const CButtonState&) { return false; }
int32_t CView::onKeyDown(VstKeyCode&) { return -1; }
int32_t CView::onKeyUp(VstKeyCode&) { return -1; }

void CView::setViewSize(const CRect& r) {
  // The old place needs the background again, the new one the view.
  if (frame_) frame_->invalidRect(size_);
  size_ = r;
  setDirty(true);
}

void CView::setBackground(CBitmap* bitmap) {
  if (bitmap == background_) return;
  if (bitmap) bitmap->remember();
  if (background_) background_->forget();
  background_ = bitmap;
  setDirty(true);
}

void CView::setVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  if (frame_) frame_->invalidRect(size_);
  setDirty(true);
}

VSTGUIEditorInterface* CView::getEditor() const { return frame_ ? frame_->getEditor() : nullptr; }

}  // namespace toolkit
