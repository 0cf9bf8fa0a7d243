// A view: a rectangle of the frame that draws itself and may answer the
// mouse and the keyboard. Views only draw; listeners decide.
#pragma once

#include <cstring>

#include "toolkit/CGraphics.h"
#include "toolkit/CReferenceCounter.h"

namespace toolkit {

class CBitmap;
class CDrawContext;
class CFrame;
class VSTGUIEditorInterface;

// Run-time type query and copy for a class derived from `Base`.
#define TOOLKIT_CLASS_METHODS(Name, Base)                                                          \
  const char* getClassName() const override { return #Name; }                                    \
  bool isTypeOf(const char* s) const override { return std::strcmp(s, #Name) == 0 || Base::isTypeOf(s); } \
  toolkit::CView* newCopy() const override { return new Name(*this); }

class CView : public CReferenceCounter {
 public:
  explicit CView(const CRect& size);
  // A copy has the same rectangle, picture (one more reference) and state,
  // and belongs to no frame.
  CView(const CView& other);
  CView& operator=(const CView&) = delete;
  ~CView() override;

  virtual void draw(CDrawContext* context);

  virtual CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseUp(const CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseMoved(const CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseEntered(const CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseExited(const CPoint& where, const CButtonState& buttons);
  // `distance` in notches (positive: away from the user). True when used.
  virtual bool onWheel(const CPoint& where, float distance, const CButtonState& buttons);
  // 1 when the key was used, -1 when not.
  virtual int32_t onKeyDown(VstKeyCode& key);
  virtual int32_t onKeyUp(VstKeyCode& key);
  // Keyboard focus given and taken away by the frame.
  virtual void takeFocus() {}
  virtual void looseFocus() {}

  virtual bool isDirty() const { return dirty_; }
  virtual void setDirty(bool val = true) { dirty_ = val; }
  void invalid() { setDirty(true); }

  const CRect& getViewSize() const { return size_; }
  void getViewSize(CRect& r) const { r = size_; }
  virtual void setViewSize(const CRect& r);
  double getWidth() const { return size_.width(); }
  double getHeight() const { return size_.height(); }
  const CRect& getMouseableArea() const { return mouseableArea_; }
  void setMouseableArea(const CRect& r) { mouseableArea_ = r; }
  bool hitTest(const CPoint& where) const { return mouseEnabled_ && visible_ && mouseableArea_.pointInside(where); }

  // The picture drawn under the view, from `backOffset` on.
  void setBackground(CBitmap* bitmap);
  CBitmap* getBackground() const { return background_; }
  void setBackOffset(const CPoint& p) { backOffset_ = p; }
  const CPoint& getBackOffset() const { return backOffset_; }

  void setVisible(bool v);
  bool isVisible() const { return visible_; }
  void setMouseEnabled(bool e) { mouseEnabled_ = e; }
  bool getMouseEnabled() const { return mouseEnabled_; }
  void setTransparency(bool t) { transparent_ = t; }
  bool getTransparency() const { return transparent_; }

  CFrame* getFrame() const { return frame_; }
  VSTGUIEditorInterface* getEditor() const;
  virtual void attached(CFrame* frame) { frame_ = frame; }
  virtual void removed(CFrame* /*frame*/) { frame_ = nullptr; }

  virtual const char* getClassName() const { return "CView"; }
  virtual bool isTypeOf(const char* s) const { return std::strcmp(s, "CView") == 0; }
  virtual CView* newCopy() const { return new CView(*this); }

 protected:
  CRect size_;
  CRect mouseableArea_;
  CBitmap* background_ = nullptr;
  CPoint backOffset_;
  CFrame* frame_ = nullptr;
  bool dirty_ = true;
  bool visible_ = true;
  bool mouseEnabled_ = true;
  bool transparent_ = false;
};

}  // namespace toolkit
