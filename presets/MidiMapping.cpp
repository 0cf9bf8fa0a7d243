// MIDI controllers driving parameters as the host delivers them: the
// control changes of its event lists, learn and forget (the map itself:
// state/MidiMap.h), and the editor's learn and forget buttons released.
#include <cstdint>

#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"

namespace presets {

void CPresetSystemEffect::clearMidiMap() { midiMap_.clear(); }

void CPresetSystemEffect::touchParameter(int param) {
  if (midiMap_.learning()) midiMap_.setLearnTarget(param);
  if (midiMap_.forgetting()) {
    unassignParameter(param);
    stopMidiForget();
  }
}

void CPresetSystemEffect::assignController(int param, int cc) { midiMap_.assign(param, cc); }
void CPresetSystemEffect::unassignParameter(int param) { midiMap_.unassignParameter(param); }
void CPresetSystemEffect::unassignController(int cc) { midiMap_.unassignController(cc); }
int CPresetSystemEffect::getControllerForParameter(int param) { return midiMap_.controllerOf(param); }
int CPresetSystemEffect::getParameterForController(int cc) { return midiMap_.parameterOf(cc); }
bool CPresetSystemEffect::takeChangeFlag() { return midiMap_.takeChangeFlag(); }
void CPresetSystemEffect::startMidiLearn() { midiMap_.startLearn(); }

void CPresetSystemEffect::stopMidiLearn() {
  midiMap_.stopLearn();
  if (presetEditor()) presetEditor()->releaseLearnButton();
}

void CPresetSystemEffect::setLearnTarget(int param) { midiMap_.setLearnTarget(param); }
void CPresetSystemEffect::startMidiForget() { midiMap_.startForget(); }

void CPresetSystemEffect::stopMidiForget() {
  midiMap_.stopForget();
  if (presetEditor()) presetEditor()->releaseForgetButton();
}

void CPresetSystemEffect::learnController(int target, int cc) {
  midiMap_.learn(target, cc);
  stopMidiLearn();
}

// Control changes on any channel set the parameter their controller drives
// to value / 127. Runs on the host's event thread: no allocation, constant
// work per event (one pass over the parameters when a controller is learnt).
vst::VstInt32 CPresetSystemEffect::processEvents(vst::VstEvents* events) {
  if (!events) return 1;
  // The host allocates numEvents pointers behind the header.
  vst::VstEvent* const* list = events->events;
  for (int32_t i = 0; i < events->numEvents; ++i) {
    const vst::VstEvent* event = list[i];
    if (!event || event->type != vst::kVstMidiType) continue;
    const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
    const auto status = static_cast<uint8_t>(midi->midiData[0]);
    if ((status & 0xf0) != 0xb0) continue;
    const int cc = static_cast<uint8_t>(midi->midiData[1]);
    if (cc >= state::kNumControllers) continue;

    // Channel-mode messages (120..127) are never learnt.
    const int target = midiMap_.learnTarget();
    if (midiMap_.learning() && target >= 0 && target < params::kNumParams && cc < 120) learnController(target, cc);

    const int param = getParameterForController(cc);
    if (param == state::kNone) continue;
    // The data byte arrives as a signed char; anything outside 0..127 is held to the range.
    int value = static_cast<signed char>(midi->midiData[2]);
    if (value < 0) value = 0;
    if (value > 127) value = 127;
    setParameter(param, static_cast<float>(value / 127.0));
  }
  return 1;
}

}  // namespace presets
