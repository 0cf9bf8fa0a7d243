#include "editor/Editor.h"

#include "shell/ZEL.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

Editor::Editor(ZEL* effect) : CPresetSystemEditor(effect) {
  (void)editingTag_;
  setKnobMode(toolkit::kLinearMode);
}

Editor::~Editor() = default;

bool Editor::getRect(vst::ERect** rect) {
  if (!rect) return false;
  *rect = &rect_;
  return true;
}

// ------------------------------------------------------------ window

bool Editor::open(void* parent) {
  if (frame) close();
  AEffGUIEditor::open(parent);
  auto* f = new toolkit::CFrame(toolkit::CRect(0, 0, kWidth, kHeight), parent, this);
  if (!f->isOpen()) {
    f->forget();
    systemWindow = nullptr;
    return false;
  }
  auto* background = new toolkit::CBitmap(kBackgroundBitmap);
  f->setBackground(background);
  background->forget();
  frame = f;
  setKnobMode(toolkit::kLinearMode);
  // The program bar goes on top of the panel's own views.
  CPresetSystemEditor::open(parent);
  return true;
}

void Editor::close() {
  CPresetSystemEditor::close();
  AEffGUIEditor::close();
}

void Editor::idle() { CPresetSystemEditor::idle(); }

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
