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

// ------------------------------------------------------------ older images

void Editor::loadBankData(const uint8_t* buffer, bool reversed) { applyBankImage(buffer, reversed, true); }

void Editor::loadPresetData(const uint8_t* buffer, bool reversed) { applyPresetImage(buffer, reversed, true); }

// The older MIDI settings cover parameters 0..47; the others keep theirs.
void Editor::loadMidiData(const uint8_t* buffer, bool reversed) { applyMidiImage(buffer, reversed, true); }
