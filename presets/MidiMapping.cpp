// MIDI controllers driving parameters: the controller map in both
// directions, its stored form (the assignment values 60..119), learn and
// forget.
#include <cstdint>

#include "params/Steps.h"
#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"

namespace presets {

void CPresetSystemEffect::clearMidiMap() {
  if (!hasMaps()) return;
  for (auto& p : parameterOfController_) p = kNone;
  for (auto& c : controllerOfParameter_) c = kNone;
  for (auto& a : assignmentValues_) a = params::stepValue(kNone, 129);
}

void CPresetSystemEffect::setAssignment(int param, float value) {
  assignmentValues_[param] = value;
  // Controller c is stored as the centre of step c of 129; step 128 and
  // anything above means none. Any value below zero (and NaN) encodes no
  // controller either, rather than falling into controller 0 (bank select).
  int cc = value >= 0.0f ? params::steps(value, 129) : kNone;
  if (cc == 128) cc = kNone;
  controllerOfParameter_[param] = cc;
  if (cc >= 0 && cc < kNumControllers) parameterOfController_[cc] = param;
}

// A restored project brings only the assignment values: both directions of
// the map are derived from them afresh, so no binding of the previous state
// survives beside them.
void CPresetSystemEffect::rebuildMidiMap() {
  if (!hasMaps()) return;
  for (auto& p : parameterOfController_) p = kNone;
  for (int p = 0; p < params::kNumParams; ++p) setAssignment(p, assignmentValues_[p]);
}

// The assignment value follows the map whenever the map changes here, so
// what a MIDI-settings file or a project saves is what the user bound.
void CPresetSystemEffect::storeAssignment(int param) {
  assignmentValues_[param] = params::stepValue(controllerOfParameter_[param], 129);
}

void CPresetSystemEffect::touchParameter(int param) {
  if (learning_) learnTarget_ = param;
  if (forgetting_) {
    unassignParameter(param);
    stopMidiForget();
  }
}

void CPresetSystemEffect::assignController(int param, int cc) {
  if (!hasMaps() || param < 0 || param >= params::kNumParams || cc < 0 || cc >= kNumControllers) return;
  controllerOfParameter_[param] = cc;
  parameterOfController_[cc] = param;
  storeAssignment(param);
}

// Setting assignments (setParameter 60..119) may leave two parameters naming
// the same controller, or a controller pointing at a parameter that has
// moved on to another one. Each direction is cleared only where it still
// points back, so removing one binding never takes another one with it.
void CPresetSystemEffect::unassignParameter(int param) {
  if (!hasMaps() || param < 0 || param >= params::kNumParams) return;
  const int cc = controllerOfParameter_[param];
  if (cc >= 0 && cc < kNumControllers) {
    controllerOfParameter_[param] = kNone;
    if (parameterOfController_[cc] == param) parameterOfController_[cc] = kNone;
    storeAssignment(param);
  }
}

void CPresetSystemEffect::unassignController(int cc) {
  if (!hasMaps() || cc < 0 || cc >= kNumControllers) return;
  const int param = parameterOfController_[cc];
  if (param >= 0 && param < params::kNumParams) {
    parameterOfController_[cc] = kNone;
    if (controllerOfParameter_[param] == cc) {
      controllerOfParameter_[param] = kNone;
      storeAssignment(param);
    }
  }
}

int CPresetSystemEffect::getControllerForParameter(int param) {
  if (!hasMaps() || param < 0 || param >= params::kNumParams) return kNone;
  return controllerOfParameter_[param];
}

// A controller drives a parameter only while that parameter still names it.
int CPresetSystemEffect::getParameterForController(int cc) {
  if (!hasMaps() || cc < 0 || cc >= kNumControllers) return kNone;
  const int param = parameterOfController_[cc];
  if (param < 0 || param >= params::kNumParams || controllerOfParameter_[param] != cc) return kNone;
  return param;
}

bool CPresetSystemEffect::takeChangeFlag() {
  const bool flag = changeFlag_;
  changeFlag_ = false;
  return flag;
}

void CPresetSystemEffect::startMidiLearn() {
  learnTarget_ = -1;
  learning_ = true;
}

void CPresetSystemEffect::stopMidiLearn() {
  learning_ = false;
  learnTarget_ = -1;
  if (presetEditor()) presetEditor()->releaseLearnButton();
}

void CPresetSystemEffect::setLearnTarget(int param) { learnTarget_ = param; }

void CPresetSystemEffect::startMidiForget() { forgetting_ = true; }

void CPresetSystemEffect::stopMidiForget() {
  forgetting_ = false;
  if (presetEditor()) presetEditor()->releaseForgetButton();
}

void CPresetSystemEffect::learnController(int target, int cc) {
  // The controller leaves whatever it drove, and the target leaves the
  // controller it had, so the new binding is the only one either takes part in.
  for (int p = 0; p < params::kNumParams; ++p) {
    if (controllerOfParameter_[p] == cc) {
      controllerOfParameter_[p] = kNone;
      storeAssignment(p);
    }
  }
  const int previous = controllerOfParameter_[target];
  if (previous >= 0 && previous < kNumControllers && parameterOfController_[previous] == target)
    parameterOfController_[previous] = kNone;
  controllerOfParameter_[target] = cc;
  parameterOfController_[cc] = target;
  storeAssignment(target);
  stopMidiLearn();
}

// Control changes on any channel set the parameter their controller drives
// to value / 127. Runs on the host's event thread: no allocation, constant
// work per event (one pass over the parameters when a controller is learnt).
vst::VstInt32 CPresetSystemEffect::processEvents(vst::VstEvents* events) {
  if (!programs_ || !hasMaps()) return 0;
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
    if (cc >= kNumControllers) continue;

    // Channel-mode messages (120..127) are never learnt.
    const int target = learnTarget_;
    if (learning_ && target >= 0 && target < params::kNumParams && cc < 120) learnController(target, cc);

    const int param = getParameterForController(cc);
    if (param == kNone) continue;
    // The data byte arrives as a signed char; anything outside 0..127 is held to the range.
    int value = static_cast<signed char>(midi->midiData[2]);
    if (value < 0) value = 0;
    if (value > 127) value = 127;
    setParameter(param, static_cast<float>(value / 127.0));
  }
  return 1;
}

}  // namespace presets
