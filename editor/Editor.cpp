#include "editor/Editor.h"

#include "shell/ZEL.h"

Editor::Editor(ZEL* effect) : CPresetSystemEditor(effect) { (void)editingTag_; }

Editor::~Editor() = default;

bool Editor::getRect(vst::ERect** rect) {
  if (!rect) return false;
  *rect = &rect_;
  return true;
}

// Controls exist only while the window is open; with none, a parameter
// change has nothing to show.
void Editor::setParameter(int32_t /*index*/, float /*value*/) {}

void Editor::setLinked(bool on) { link_ = on; }

void Editor::tempoChanged(double /*bpm*/) {}
