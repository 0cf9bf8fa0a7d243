// The base of an editor built from the view toolkit, free of any plug-in
// format: answers the size query, keeps the parent window between open and
// close, drives the frame from the host's idle, passes forwarded keys to the
// frame, and keeps the knob mode. A format adapter wraps it in its own
// editor record (the VST 2.4 one: shell/PanelBridge.h).
#pragma once

#include <cstdint>

#include "toolkit/CGraphics.h"
#include "toolkit/VSTGUIEditorInterface.h"

namespace toolkit {
class CFrame;
}

namespace editor {

// The editor's rectangle in pixels, as a host asks for it.
struct PanelRect {
  int16_t top, left, bottom, right;
};

class FrameEditor : public toolkit::VSTGUIEditorInterface {
 public:
  FrameEditor() = default;
  virtual ~FrameEditor();
  FrameEditor(const FrameEditor&) = delete;
  FrameEditor& operator=(const FrameEditor&) = delete;

  virtual bool getRect(PanelRect** rect);
  // Remembers the parent; a derived editor then creates its frame in it.
  virtual bool open(void* parent);
  // Closes and releases the frame if the derived editor has not.
  virtual void close();
  bool isOpen() const { return frame != nullptr; }
  virtual void idle();
  // A key the host forwards: true when a view took it.
  virtual bool onKeyDown(toolkit::VstKeyCode key);
  bool onKeyUp(toolkit::VstKeyCode key);
  bool setKnobMode(int32_t mode);

  // The plug-in's notification of a parameter change (index, normalised value).
  virtual void setParameter(int32_t /*index*/, float /*value*/) {}

  // A control's edit brackets: a derived editor passes them to its host.
  void beginEdit(int32_t /*index*/) override {}
  void endEdit(int32_t /*index*/) override {}
  int32_t getKnobMode() const override { return knobMode; }
  toolkit::CFrame* getFrame() const override { return frame; }

 protected:
  void* systemWindow = nullptr;
  PanelRect rect{0, 0, 0, 0};
  toolkit::CFrame* frame = nullptr;
  int32_t knobMode = toolkit::kLinearMode;
};

}  // namespace editor
