// The frame: the root of an editor's views inside the host's window. It owns
// its views (later views lie above earlier ones), at most one modal view that
// takes the mouse while it is set, the keyboard focus, timers driven from
// idle, and the off-screen picture into which dirty views are redrawn.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "toolkit/CView.h"
#include "toolkit/PlatformWindow.h"

typedef struct _cairo_surface cairo_surface_t;

namespace toolkit {

class VSTGUIEditorInterface;

class CFrame : public CView {
 public:
  // A frame in the host's `parentWindow` (an X11 window id; null for a frame
  // that is not shown anywhere), drawn at `scale`.
  CFrame(const CRect& size, void* parentWindow, VSTGUIEditorInterface* editor, double scale = 1.0);
  // A frame on a window of the caller's making (the headless window of tests).
  CFrame(const CRect& size, std::unique_ptr<PlatformWindow> window, VSTGUIEditorInterface* editor);
  ~CFrame() override;

  // Whether the frame got its window.
  bool isOpen() const { return window_ && window_->isValid(); }
  // Ends what the user has under way, as the editor's window is about to
  // close: a text being typed is committed (as a click elsewhere commits
  // it), and every control still inside an edit (a drag cut short) ends it,
  // so that its listener and the editor hear the end of each edit they
  // heard begin. The views take no further mouse input until the next press.
  void finishGestures();
  // Destroys all views and the window, telling no one: a half-typed text is
  // dropped and open edits stay open unless finishGestures ran first. Later
  // calls do nothing.
  void close();

  // Takes over the caller's reference: the frame releases the view when it
  // is removed or the frame closes.
  bool addView(CView* view);
  bool removeView(CView* view, bool withForget = true);
  void removeAll(bool withForget = true);
  int getNbViews() const { return static_cast<int>(views_.size()); }
  CView* getView(int index) const;
  bool isChild(const CView* view) const;

  // One modal view at a time; it receives all mouse input while set.
  // setModalView takes over the caller's reference and fails (returning
  // false, keeping the reference with the caller) while another is set;
  // setModalView(nullptr) removes and releases the current one.
  bool setModalView(CView* view);
  CView* getModalView() const { return modal_; }

  // The pointer in frame units; false when the window cannot tell.
  bool getCurrentMouseLocation(CPoint& where) const;
  // The topmost visible direct child under `where`, or null.
  CView* getViewAt(const CPoint& where) const;

  void setFocusView(CView* view);
  CView* getFocusView() const { return focus_; }

  // Marks an area (frame units) for repainting at the next idle.
  void invalidRect(const CRect& r);
  void setDirty(bool val = true) override;
  bool isDirty() const override;

  // The work of one host idle: handleEvents, then update. An editor that
  // changes views of its own accord at each idle calls the two itself, with
  // its changes between them, so that they show in the same idle.
  void idle();
  // Delivers pending events and runs due timers.
  void handleEvents();
  // Redraws what is dirty and copies it to the window; nothing is drawn when
  // nothing changed.
  void update();

  // Calls `callback` from idle every `intervalMs` milliseconds. Returns an id
  // for removeTimer.
  int addTimer(uint32_t intervalMs, std::function<void()> callback);
  void removeTimer(int id);

  // Mouse and keyboard, in frame units, from the window (or from tests).
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(const CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseExited(const CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;
  int32_t onKeyDown(VstKeyCode& key) override;
  int32_t onKeyUp(VstKeyCode& key) override;
  // Told of every press before any view hears it, and of the pointer leaving
  // the window (an editor's tooltip goes away on both).
  enum class PointerNews { Pressed, Left };
  void setPointerListener(std::function<void(PointerNews)> listener) { pointerListener_ = std::move(listener); }

  void draw(CDrawContext* context) override;

  VSTGUIEditorInterface* getEditor() const { return editor_; }
  PlatformWindow* getPlatformWindow() const { return window_.get(); }
  double getScale() const { return scale_; }
  // The off-screen picture (device pixels), for tests and screenshots.
  cairo_surface_t* getOffscreen() const { return offscreen_; }
  // Renders whatever is dirty into the off-screen picture now, without
  // events or timers; returns the device rectangles redrawn.
  std::vector<CRect> redrawDirty();
  // Writes the off-screen picture as a PNG file.
  bool writePng(const char* path) const;

  const char* getClassName() const override { return "CFrame"; }
  bool isTypeOf(const char* s) const override { return std::strcmp(s, "CFrame") == 0 || CView::isTypeOf(s); }
  CView* newCopy() const override { return nullptr; }  // frames are not copied

 private:
  void init();
  // Removed views are released only after the event that removed them is
  // done with them.
  void retire(CView* view, bool withForget);
  void releaseRetired();
  void forgetPointersTo(CView* view);
  bool isLive(const CView* view) const { return view && (view == modal_ || isChild(view)); }
  CView* mouseTargetAt(const CPoint& where) const;
  void updateHover(const CPoint& where, const CButtonState& buttons);

  struct Timer {
    int id;
    uint32_t interval;
    uint32_t last;
    std::function<void()> callback;
  };

  VSTGUIEditorInterface* editor_;
  std::unique_ptr<PlatformWindow> window_;
  double scale_ = 1.0;
  cairo_surface_t* offscreen_ = nullptr;
  std::vector<CView*> views_;
  std::vector<std::pair<CView*, bool>> retired_;
  CView* modal_ = nullptr;
  CView* focus_ = nullptr;
  CView* mouseDownView_ = nullptr;
  CView* hoverView_ = nullptr;
  std::vector<CRect> invalid_;  // frame units
  std::vector<Timer> timers_;
  int nextTimerId_ = 1;
  std::function<void(PointerNews)> pointerListener_;
  int dispatchDepth_ = 0;
  bool closed_ = false;
};

}  // namespace toolkit
