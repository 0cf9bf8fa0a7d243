#include "editor/Editor.h"

#include <algorithm>

#include "params/Steps.h"
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

void Editor::loadBankData(const uint8_t* buffer, bool reversed) { applyBankImage(buffer, reversed, &convertOlderProgram); }

void Editor::loadPresetData(const uint8_t* buffer, bool reversed) {
  applyPresetImage(buffer, reversed, &convertOlderProgram);
}

// The older MIDI settings cover parameters 0..47; the others keep theirs.
void Editor::loadMidiData(const uint8_t* buffer, bool reversed) { applyMidiImage(buffer, reversed, true); }

// The older build had a two-state LFO mode, a five-state LFO waveform whose
// last state played the LFO at note values (now the third LFO mode), and
// none of parameters 48..59, which get their neutral values.
void Editor::convertOlderProgram(presets::ProgramRecord& record, const float* older) {
  using namespace params;
  float* v = record.values;
  v[LfoMode] = steps(older[LfoMode], 2) == 1 ? stepValue(2, 3) : stepValue(0, 3);

  v[DlyPanL] = 0.0f;
  v[DlyPanR] = 1.0f;
  v[DlyGateL] = 0.0f;
  v[DlyGateR] = 0.0f;
  v[Ducking] = 1.0f;
  v[ResoMod] = 0.5f;
  v[PreNumL] = 0.0f;
  v[PreNumR] = 0.0f;
  v[PreDenL] = stepValue(1, 13);
  v[PreDenR] = stepValue(1, 13);
  v[MuteInL] = 0.0f;
  v[MuteInR] = 0.0f;

  if (steps(older[LFOWave], 5) == 4) {
    v[LfoMode] = stepValue(2, 3);
    int den = steps(older[LfoDen], 13);
    den = den == 0 ? 3 : std::min(den + 4, 12);
    v[LfoDen] = stepValue(den, 13);
  }
}
