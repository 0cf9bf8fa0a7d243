#include "presets/CPresetSystemEffect.h"

#include <cstring>

#include "presets/CPresetSystemEditor.h"
#include "state/FactoryPresets.h"

namespace presets {

CPresetSystemEffect::CPresetSystemEffect(vst::HostCallback audioMaster)
    : AudioEffectX(audioMaster, 1, params::kNumParams) {
  programsAreChunks(true);
  chunk_ = std::make_unique<uint8_t[]>(kChunkSize);
  currentProgram_ = 0;
  programs_ = std::make_unique<ProgramRecord[]>(kNumPrograms);
  initFactoryPresets();
  mapsReady_ = true;
  clearMidiMap();
  learning_ = false;
  forgetting_ = false;
  learnTarget_ = kNone;
}

CPresetSystemEffect::~CPresetSystemEffect() = default;

CPresetSystemEditor* CPresetSystemEffect::presetEditor() { return static_cast<CPresetSystemEditor*>(editor); }

void CPresetSystemEffect::resume() { wantEvents(1); }

void CPresetSystemEffect::setParameter(VstInt32 index, float value) {
  if (!programs_ || !hasMaps()) return;
  if (params::isHostParameter(index)) {
    programs_[currentProgram_].values[index] = value;
    touchParameter(index);
  } else if (params::isAssignmentSlot(index)) {
    setAssignment(index - params::kNumParams, value);
  }
}

void CPresetSystemEffect::storeProgramValue(int index, float value) {
  if (programs_ && params::isHostParameter(index)) programs_[currentProgram_].values[index] = value;
}

float CPresetSystemEffect::getParameter(VstInt32 index) {
  if (!programs_ || !hasMaps()) return -1.0f;
  if (params::isAssignmentSlot(index)) return assignmentValues_[index - params::kNumParams].get();
  return 0.0f;
}

void CPresetSystemEffect::setProgramName(char* name) {
  if (!programs_ || !name) return;
  char buffer[kNameSize + 1] = {};
  std::strncpy(buffer, name, kNameSize);
  programs_[currentProgram_].setName(buffer);
  if (presetEditor()) presetEditor()->showProgramName(buffer);
}

// The name goes out whole: 24 bytes and a terminator. Hosts give buffers far
// larger than the published 24 bytes, and a name that fills all 24 would
// otherwise lose its last character.
void CPresetSystemEffect::getProgramName(char* name) {
  if (!name) return;
  if (!programs_) {
    *name = 0;
    return;
  }
  std::memcpy(name, programs_[currentProgram_].name, kNameSize);
  name[kNameSize] = 0;
}

bool CPresetSystemEffect::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
  if (!programs_ || !text || index < 0 || index >= kNumPrograms) return false;
  std::memcpy(text, programs_[index].name, kNameSize);
  text[kNameSize] = 0;
  return true;
}

vst::VstInt32 CPresetSystemEffect::canDo(char* text) {
  if (text && std::strcmp(text, "receiveVstMidiEvent") == 0)
    return canHostDo(const_cast<char*>("sendVstMidiEvent")) ? 1 : 0;
  return 0;
}

void CPresetSystemEffect::selectProgram(int index) {
  if (!programs_ || index < 0 || index >= kNumPrograms) return;
  const std::thread::id outer = applyingThread_.exchange(std::this_thread::get_id(), std::memory_order_relaxed);
  curProgram = 0;
  currentProgram_ = index;
  for (int i = 0; i < params::kNumParams; ++i) setParameter(i, programs_[index].values[i]);
  updateDisplay();
  applyingThread_.store(outer, std::memory_order_relaxed);
  if (presetEditor()) presetEditor()->programChanged();
}

void CPresetSystemEffect::renameCurrentProgram(const char* name) {
  curProgram = 0;
  if (name && programs_) programs_[currentProgram_].setName(name);
  updateDisplay();
}

void CPresetSystemEffect::loadStartupSettings() {
  if (presetEditor()) presetEditor()->loadStartupSettings();
}

void CPresetSystemEffect::initFactoryPresets() {
  if (!programs_) return;
  const auto& factory = factoryPresets();
  for (int p = 0; p < kNumPrograms; ++p) {
    programs_[p].setName(factory[p].name);
    for (int i = 0; i < params::kNumParams; ++i) programs_[p].values[i] = factory[p].values[i];
  }
}

}  // namespace presets
