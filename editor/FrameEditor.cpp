#include "editor/FrameEditor.h"

#include "toolkit/CFrame.h"

namespace editor {

FrameEditor::~FrameEditor() { FrameEditor::close(); }

bool FrameEditor::getRect(PanelRect** r) {
  if (!r) return false;
  *r = &rect;
  return true;
}

bool FrameEditor::open(void* parent) {
  systemWindow = parent;
  return true;
}

void FrameEditor::close() {
  if (frame) {
    toolkit::CFrame* f = frame;
    frame = nullptr;
    f->close();
    f->forget();
  }
  systemWindow = nullptr;
}

void FrameEditor::idle() {
  if (frame) frame->idle();
}

bool FrameEditor::onKeyDown(toolkit::VstKeyCode key) { return frame && frame->onKeyDown(key) == 1; }
bool FrameEditor::onKeyUp(toolkit::VstKeyCode key) { return frame && frame->onKeyUp(key) == 1; }

bool FrameEditor::setKnobMode(int32_t mode) {
  knobMode = mode;
  return true;
}

}  // namespace editor
