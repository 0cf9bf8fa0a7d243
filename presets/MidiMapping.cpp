// MIDI controllers driving parameters: the controller map in both
// directions, its stored form (the assignment values 60..119), learn and
// forget.
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
  int cc = params::steps(value, 129);
  if (cc == 128) cc = kNone;
  controllerOfParameter_[param] = cc;
  if (cc >= 0 && cc < kNumControllers) parameterOfController_[cc] = param;
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
}

void CPresetSystemEffect::unassignParameter(int param) {
  if (!hasMaps() || param < 0 || param >= params::kNumParams) return;
  const int cc = controllerOfParameter_[param];
  if (cc >= 0 && cc < kNumControllers) {
    controllerOfParameter_[param] = kNone;
    parameterOfController_[cc] = kNone;
  }
}

void CPresetSystemEffect::unassignController(int cc) {
  if (!hasMaps() || cc < 0 || cc >= kNumControllers) return;
  const int param = parameterOfController_[cc];
  if (param >= 0 && param < params::kNumParams) {
    controllerOfParameter_[param] = kNone;
    parameterOfController_[cc] = kNone;
  }
}

int CPresetSystemEffect::getControllerForParameter(int param) {
  if (!hasMaps() || param < 0 || param >= params::kNumParams) return kNone;
  return controllerOfParameter_[param];
}

int CPresetSystemEffect::getParameterForController(int cc) {
  if (!hasMaps() || cc < 0 || cc >= kNumControllers) return kNone;
  const int param = parameterOfController_[cc];
  if (param < 0 || param >= params::kNumParams || controllerOfParameter_[param] == kNone) return kNone;
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

// Placeholder until controller messages are handled: events are accepted and
// change nothing.
vst::VstInt32 CPresetSystemEffect::processEvents(vst::VstEvents* /*events*/) { return (programs_ && hasMaps()) ? 1 : 0; }

}  // namespace presets
