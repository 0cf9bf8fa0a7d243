#include "toolkit/CFrame.h"

#include <cairo.h>
#include <dlfcn.h>

#include <algorithm>
#include <cmath>

#include "platform/TickCount.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CControl.h"
#include "toolkit/CDrawContext.h"

namespace toolkit {

namespace {

// Counts the frame's event dispatch so that views removed during an event
// live until the event is over.
struct DispatchScope {
  int& depth;
  explicit DispatchScope(int& d) : depth(d) { ++depth; }
  ~DispatchScope() { --depth; }
};

bool touches(const CRect& a, const CRect& b) {
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

// Joins rectangles that overlap or touch, until none do.
void mergeRects(std::vector<CRect>& rects) {
  bool merged = true;
  while (merged) {
    merged = false;
    for (std::size_t i = 0; i < rects.size() && !merged; ++i)
      for (std::size_t j = i + 1; j < rects.size(); ++j)
        if (touches(rects[i], rects[j])) {
          rects[i] = rects[i].united(rects[j]);
          rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(j));
          merged = true;
          break;
        }
  }
}

// Once a frame has drawn, cairo's process-wide font caches and Xlib hold
// things of ours (the embedded face, whose bytes live in this library) past
// the last editor; so the library stays loaded when the host unloads it.
void keepLibraryLoaded() {
  static const bool kept = [] {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&keepLibraryLoaded), &info) && info.dli_fname)
      dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
    return true;
  }();
  (void)kept;
}

}  // namespace

CFrame::CFrame(const CRect& size, void* parentWindow, VSTGUIEditorInterface* editor, double scale)
    : CView(size), editor_(editor) {
  window_ = PlatformWindow::create(parentWindow, static_cast<int>(std::ceil(size.width() * scale)),
                                   static_cast<int>(std::ceil(size.height() * scale)), scale);
  init();
}

CFrame::CFrame(const CRect& size, std::unique_ptr<PlatformWindow> window, VSTGUIEditorInterface* editor)
    : CView(size), editor_(editor), window_(std::move(window)) {
  init();
}

void CFrame::init() {
  keepLibraryLoaded();
  frame_ = this;
  scale_ = window_ ? window_->getScale() : 1.0;
  const int w = static_cast<int>(std::ceil(size_.width() * scale_));
  const int h = static_cast<int>(std::ceil(size_.height() * scale_));
  offscreen_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(w, 1), std::max(h, 1));
  if (window_) window_->attach(this);
  dirty_ = true;
}

CFrame::~CFrame() { close(); }

void CFrame::finishGestures() {
  if (closed_) return;
  {
    DispatchScope scope(dispatchDepth_);
    if (focus_) setFocusView(nullptr);
    mouseDownView_ = nullptr;
    // A copy: a listener may add or remove views.
    std::vector<CView*> all(views_);
    if (modal_) all.push_back(modal_);
    for (CView* v : all)
      if (auto* control = dynamic_cast<CControl*>(v))
        while (control->isEditing()) control->endEdit();
  }
  releaseRetired();
}

void CFrame::close() {
  if (closed_) return;
  closed_ = true;
  focus_ = nullptr;
  if (window_) window_->releaseKeyboardFocus();
  mouseDownView_ = hoverView_ = nullptr;
  if (modal_) {
    CView* m = modal_;
    modal_ = nullptr;
    m->removed(this);
    m->forget();
  }
  removeAll(true);
  releaseRetired();
  timers_.clear();
  pointerListener_ = nullptr;
  window_.reset();
  if (offscreen_) cairo_surface_destroy(offscreen_);
  offscreen_ = nullptr;
  setBackground(nullptr);
}

bool CFrame::addView(CView* view) {
  if (!view || closed_ || isChild(view)) return false;
  views_.push_back(view);
  view->attached(this);
  view->setDirty(true);
  return true;
}

bool CFrame::removeView(CView* view, bool withForget) {
  auto it = std::find(views_.begin(), views_.end(), view);
  if (it == views_.end()) return false;
  views_.erase(it);
  retire(view, withForget);
  return true;
}

void CFrame::removeAll(bool withForget) {
  while (!views_.empty()) {
    CView* v = views_.back();
    views_.pop_back();
    retire(v, withForget);
  }
}

CView* CFrame::getView(int index) const {
  return index >= 0 && index < getNbViews() ? views_[static_cast<std::size_t>(index)] : nullptr;
}

bool CFrame::isChild(const CView* view) const { return std::find(views_.begin(), views_.end(), view) != views_.end(); }

bool CFrame::setModalView(CView* view) {
  if (view && modal_) return false;
  if (!view) {
    if (!modal_) return true;
    CView* old = modal_;
    modal_ = nullptr;
    retire(old, true);
    return true;
  }
  if (closed_) return false;
  modal_ = view;
  view->attached(this);
  view->setDirty(true);
  // Whatever the pointer was over now lies under the modal view.
  if (hoverView_ && hoverView_ != view) {
    CView* h = hoverView_;
    hoverView_ = nullptr;
    CPoint where;
    getCurrentMouseLocation(where);
    h->onMouseExited(where, 0);
  }
  return true;
}

void CFrame::retire(CView* view, bool withForget) {
  forgetPointersTo(view);
  invalidRect(view->getViewSize());
  if (withForget) {
    retired_.emplace_back(view, true);
    releaseRetired();
  } else {
    view->removed(this);
  }
}

void CFrame::releaseRetired() {
  if (dispatchDepth_ > 0) return;
  while (!retired_.empty()) {
    auto list = std::move(retired_);
    retired_.clear();
    for (auto& [view, forget] : list) {
      view->removed(this);
      if (forget) view->forget();
    }
  }
}

void CFrame::forgetPointersTo(CView* view) {
  if (mouseDownView_ == view) mouseDownView_ = nullptr;
  if (hoverView_ == view) hoverView_ = nullptr;
  if (focus_ == view) {
    focus_ = nullptr;
    if (window_) window_->releaseKeyboardFocus();
  }
}

bool CFrame::getCurrentMouseLocation(CPoint& where) const { return window_ && window_->getMouseLocation(where); }

CView* CFrame::getViewAt(const CPoint& where) const {
  for (auto it = views_.rbegin(); it != views_.rend(); ++it)
    if ((*it)->isVisible() && (*it)->getViewSize().pointInside(where)) return *it;
  return nullptr;
}

CView* CFrame::mouseTargetAt(const CPoint& where) const {
  if (modal_) return modal_->getViewSize().pointInside(where) ? modal_ : nullptr;
  for (auto it = views_.rbegin(); it != views_.rend(); ++it)
    if ((*it)->hitTest(where)) return *it;
  return nullptr;
}

void CFrame::setFocusView(CView* view) {
  if (view == focus_) return;
  CView* old = focus_;
  focus_ = view;
  if (old) old->looseFocus();
  if (focus_ != view) return;  // the old view's commit moved the focus itself
  if (view) {
    view->takeFocus();
    if (window_) window_->takeKeyboardFocus();
  } else if (window_) {
    window_->releaseKeyboardFocus();
  }
}

void CFrame::invalidRect(const CRect& r) {
  CRect c = r.intersected(size_);
  if (!c.isEmpty()) invalid_.push_back(c);
}

void CFrame::setDirty(bool val) {
  dirty_ = val;
  if (!val) invalid_.clear();
}

bool CFrame::isDirty() const {
  if (dirty_ || !invalid_.empty()) return true;
  if (modal_ && modal_->isDirty()) return true;
  for (const CView* v : views_)
    if (v->isVisible() && v->isDirty()) return true;
  return false;
}

// ------------------------------------------------------------ mouse and keys

CMouseEventResult CFrame::onMouseDown(const CPoint& where, const CButtonState& buttons) {
  CMouseEventResult result = kMouseEventNotHandled;
  {
    DispatchScope scope(dispatchDepth_);
    if (pointerListener_) pointerListener_(PointerNews::Pressed);
    // A click elsewhere ends typing (the text edit commits).
    if (focus_ && !focus_->getViewSize().pointInside(where)) setFocusView(nullptr);
    CView* target = nullptr;
    if (modal_) {
      target = modal_;
      result = modal_->onMouseDown(where, buttons);
    } else {
      // A copy: a handler may add or remove views.
      std::vector<CView*> order(views_.rbegin(), views_.rend());
      for (CView* v : order) {
        if (!isChild(v) || !v->hitTest(where)) continue;
        result = v->onMouseDown(where, buttons);
        if (result != kMouseEventNotHandled && result != kMouseEventNotImplemented) {
          target = v;
          break;
        }
      }
    }
    if (result == kMouseEventHandled && isLive(target)) mouseDownView_ = target;
  }
  releaseRetired();
  return result;
}

CMouseEventResult CFrame::onMouseUp(const CPoint& where, const CButtonState& buttons) {
  CMouseEventResult result = kMouseEventNotHandled;
  {
    DispatchScope scope(dispatchDepth_);
    if (CView* v = mouseDownView_) {
      mouseDownView_ = nullptr;
      result = v->onMouseUp(where, buttons);
    }
    updateHover(where, 0);
  }
  releaseRetired();
  return result;
}

CMouseEventResult CFrame::onMouseMoved(const CPoint& where, const CButtonState& buttons) {
  CMouseEventResult result = kMouseEventNotHandled;
  {
    DispatchScope scope(dispatchDepth_);
    if (mouseDownView_) {
      result = mouseDownView_->onMouseMoved(where, buttons);
    } else {
      updateHover(where, buttons);
      if (hoverView_) result = hoverView_->onMouseMoved(where, buttons);
    }
  }
  releaseRetired();
  return result;
}

CMouseEventResult CFrame::onMouseExited(const CPoint& where, const CButtonState& buttons) {
  {
    DispatchScope scope(dispatchDepth_);
    if (pointerListener_) pointerListener_(PointerNews::Left);
    if (!mouseDownView_ && hoverView_) {
      CView* h = hoverView_;
      hoverView_ = nullptr;
      h->onMouseExited(where, buttons);
    }
  }
  releaseRetired();
  return kMouseEventHandled;
}

void CFrame::updateHover(const CPoint& where, const CButtonState& buttons) {
  CView* target = mouseTargetAt(where);
  if (target == hoverView_) return;
  if (CView* old = hoverView_) {
    hoverView_ = nullptr;
    old->onMouseExited(where, buttons);
  }
  if (target && isLive(target)) {
    hoverView_ = target;
    target->onMouseEntered(where, buttons);
  }
}

bool CFrame::onWheel(const CPoint& where, float distance, const CButtonState& buttons) {
  bool used = false;
  {
    DispatchScope scope(dispatchDepth_);
    if (modal_) {
      used = modal_->onWheel(where, distance, buttons);
    } else {
      std::vector<CView*> order(views_.rbegin(), views_.rend());
      for (CView* v : order)
        if (isChild(v) && v->hitTest(where) && v->onWheel(where, distance, buttons)) {
          used = true;
          break;
        }
    }
  }
  releaseRetired();
  return used;
}

int32_t CFrame::onKeyDown(VstKeyCode& key) {
  int32_t used = -1;
  {
    DispatchScope scope(dispatchDepth_);
    if (focus_)
      used = focus_->onKeyDown(key);
    else if (modal_)
      used = modal_->onKeyDown(key);
  }
  releaseRetired();
  return used;
}

int32_t CFrame::onKeyUp(VstKeyCode& key) {
  int32_t used = -1;
  {
    DispatchScope scope(dispatchDepth_);
    if (focus_)
      used = focus_->onKeyUp(key);
    else if (modal_)
      used = modal_->onKeyUp(key);
  }
  releaseRetired();
  return used;
}

// ------------------------------------------------------------ drawing

void CFrame::draw(CDrawContext* context) {
  if (background_) {
    background_->draw(context, size_, backOffset_);
  } else {
    context->setFillColor(kBlackCColor);
    context->fillRect(size_);
  }
}

std::vector<CRect> CFrame::redrawDirty() {
  if (closed_ || !offscreen_) return {};
  std::vector<CRect> areas;
  if (dirty_) areas.push_back(size_);
  for (const CRect& r : invalid_) areas.push_back(r);
  for (CView* v : views_)
    if (v->isVisible() && v->isDirty()) areas.push_back(v->getViewSize().intersected(size_));
  if (modal_ && modal_->isDirty()) areas.push_back(modal_->getViewSize().intersected(size_));
  std::vector<CRect> device;
  for (const CRect& a : areas)
    if (!a.isEmpty()) device.push_back(a.devicePixels(scale_));
  dirty_ = false;
  invalid_.clear();
  if (device.empty()) return device;
  mergeRects(device);

  CDrawContext context(offscreen_, scale_);
  std::vector<CView*> drawn;
  for (const CRect& d : device) {
    const CRect area(d.left / scale_, d.top / scale_, d.right / scale_, d.bottom / scale_);
    context.setClipRect(area);
    draw(&context);
    for (CView* v : views_)
      if (v->isVisible() && v->getViewSize().rectOverlap(area)) {
        v->draw(&context);
        drawn.push_back(v);
      }
    if (modal_ && modal_->isVisible() && modal_->getViewSize().rectOverlap(area)) {
      modal_->draw(&context);
      drawn.push_back(modal_);
    }
    context.restoreClip();
  }
  for (CView* v : drawn) v->setDirty(false);
  cairo_surface_flush(offscreen_);
  return device;
}

void CFrame::idle() {
  handleEvents();
  update();
}

void CFrame::handleEvents() {
  if (closed_) return;
  {
    DispatchScope scope(dispatchDepth_);
    if (window_) window_->pollEvents();
    if (!timers_.empty()) {
      const uint32_t now = platform::tickCount();
      std::vector<int> due;
      for (const Timer& t : timers_)
        if (now - t.last >= t.interval) due.push_back(t.id);
      for (int id : due) {
        auto it = std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
        if (it == timers_.end()) continue;
        it->last = now;
        auto callback = it->callback;  // the callback may remove its timer
        callback();
        if (closed_) break;
      }
    }
  }
  releaseRetired();
}

void CFrame::update() {
  if (closed_) return;
  std::vector<CRect> rects = redrawDirty();
  if (window_) window_->present(offscreen_, rects);
}

int CFrame::addTimer(uint32_t intervalMs, std::function<void()> callback) {
  const int id = nextTimerId_++;
  timers_.push_back({id, intervalMs, platform::tickCount(), std::move(callback)});
  return id;
}

void CFrame::removeTimer(int id) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; }),
                timers_.end());
}

bool CFrame::writePng(const char* path) const {
  return offscreen_ && cairo_surface_write_to_png(offscreen_, path) == CAIRO_STATUS_SUCCESS;
}

}  // namespace toolkit
