#include "presets/CPresetSystemEffect.h"

#include <cstring>

#include "presets/CPresetSystemEditor.h"

namespace presets {

CPresetSystemEffect::CPresetSystemEffect(vst::HostCallback audioMaster)
    : AudioEffectX(audioMaster, 1, params::kNumParams) {
  programsAreChunks(true);
  chunk_ = std::make_unique<uint8_t[]>(state::kChunkSize);
}

CPresetSystemEffect::~CPresetSystemEffect() = default;

CPresetSystemEditor* CPresetSystemEffect::presetEditor() { return static_cast<CPresetSystemEditor*>(editor); }

void CPresetSystemEffect::resume() { wantEvents(1); }

void CPresetSystemEffect::setParameter(VstInt32 index, float value) {
  if (params::isHostParameter(index)) {
    programStore_.storeValue(index, value);
    touchParameter(index);
  } else if (params::isAssignmentSlot(index)) {
    midiMap_.setAssignment(index - params::kNumParams, value);
  }
}

void CPresetSystemEffect::storeProgramValue(int index, float value) { programStore_.storeValue(index, value); }

float CPresetSystemEffect::getParameter(VstInt32 index) {
  if (params::isAssignmentSlot(index)) return midiMap_.assignment(index - params::kNumParams);
  return 0.0f;
}

void CPresetSystemEffect::setProgramName(char* name) {
  if (!name) return;
  char buffer[state::kNameSize + 1] = {};
  std::strncpy(buffer, name, state::kNameSize);
  programStore_.currentProgram().setName(buffer);
  if (presetEditor()) presetEditor()->showProgramName(buffer);
}

// The name goes out whole: 24 bytes and a terminator. Hosts give buffers far
// larger than the published 24 bytes, and a name that fills all 24 would
// otherwise lose its last character.
void CPresetSystemEffect::getProgramName(char* name) {
  if (name) programStore_.copyName(programStore_.current(), name);
}

bool CPresetSystemEffect::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
  if (!text || index < 0 || index >= state::kNumPrograms) return false;
  programStore_.copyName(index, text);
  return true;
}

vst::VstInt32 CPresetSystemEffect::canDo(char* text) {
  if (text && std::strcmp(text, "receiveVstMidiEvent") == 0)
    return canHostDo(const_cast<char*>("sendVstMidiEvent")) ? 1 : 0;
  return 0;
}

void CPresetSystemEffect::selectProgram(int index) {
  if (index < 0 || index >= state::kNumPrograms) return;
  const std::thread::id outer = applyingThread_.exchange(std::this_thread::get_id(), std::memory_order_relaxed);
  curProgram = 0;
  programStore_.setCurrent(index);
  for (int i = 0; i < params::kNumParams; ++i) setParameter(i, programStore_[index].values[i]);
  updateDisplay();
  applyingThread_.store(outer, std::memory_order_relaxed);
  if (presetEditor()) presetEditor()->programChanged();
}

void CPresetSystemEffect::renameCurrentProgram(const char* name) {
  curProgram = 0;
  if (name) programStore_.currentProgram().setName(name);
  updateDisplay();
}

void CPresetSystemEffect::loadStartupSettings() {
  if (presetEditor()) presetEditor()->loadStartupSettings();
}

void CPresetSystemEffect::initFactoryPresets() { programStore_.loadFactoryPrograms(); }

}  // namespace presets
