#include "state/MidiMap.h"

#include "params/Steps.h"

namespace state {

void MidiMap::clear() {
  for (auto& p : parameterOfController_) p = kNone;
  for (auto& c : controllerOfParameter_) c = kNone;
  for (auto& a : assignmentValues_) a = params::stepValue(kNone, 129);
}

void MidiMap::setAssignment(int param, float value) {
  assignmentValues_[param] = value;
  // Controller c is stored as the centre of step c of 129; step 128 and
  // anything above means none. Any value below zero (and NaN) encodes no
  // controller either, rather than falling into controller 0 (bank select).
  int cc = value >= 0.0f ? params::steps(value, 129) : kNone;
  if (cc == 128) cc = kNone;
  controllerOfParameter_[param] = cc;
  if (cc >= 0 && cc < kNumControllers) parameterOfController_[cc] = param;
}

void MidiMap::restore(const float* assignments) {
  for (int p = 0; p < params::kNumParams; ++p) assignmentValues_[p] = assignments[p];
  for (auto& p : parameterOfController_) p = kNone;
  for (int p = 0; p < params::kNumParams; ++p) setAssignment(p, assignmentValues_[p]);
}

// The assignment value follows the map whenever the map changes here, so
// what a MIDI-settings file or a project saves is what the user bound.
void MidiMap::storeAssignment(int param) {
  assignmentValues_[param] = params::stepValue(controllerOfParameter_[param], 129);
}

void MidiMap::assign(int param, int cc) {
  if (param < 0 || param >= params::kNumParams || cc < 0 || cc >= kNumControllers) return;
  controllerOfParameter_[param] = cc;
  parameterOfController_[cc] = param;
  storeAssignment(param);
}

// Setting assignments may leave two parameters naming the same controller,
// or a controller pointing at a parameter that has moved on to another one.
// Each direction is cleared only where it still points back, so removing
// one binding never takes another one with it.
void MidiMap::unassignParameter(int param) {
  if (param < 0 || param >= params::kNumParams) return;
  const int cc = controllerOfParameter_[param];
  if (cc >= 0 && cc < kNumControllers) {
    controllerOfParameter_[param] = kNone;
    if (parameterOfController_[cc] == param) parameterOfController_[cc] = kNone;
    storeAssignment(param);
  }
}

void MidiMap::unassignController(int cc) {
  if (cc < 0 || cc >= kNumControllers) return;
  const int param = parameterOfController_[cc];
  if (param >= 0 && param < params::kNumParams) {
    parameterOfController_[cc] = kNone;
    if (controllerOfParameter_[param] == cc) {
      controllerOfParameter_[param] = kNone;
      storeAssignment(param);
    }
  }
}

int MidiMap::controllerOf(int param) const {
  if (param < 0 || param >= params::kNumParams) return kNone;
  return controllerOfParameter_[param];
}

// A controller drives a parameter only while that parameter still names it.
int MidiMap::parameterOf(int cc) const {
  if (cc < 0 || cc >= kNumControllers) return kNone;
  const int param = parameterOfController_[cc];
  if (param < 0 || param >= params::kNumParams || controllerOfParameter_[param] != cc) return kNone;
  return param;
}

void MidiMap::learn(int target, int cc) {
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
}

void MidiMap::startLearn() {
  learnTarget_ = -1;
  learning_ = true;
}

void MidiMap::stopLearn() {
  learning_ = false;
  learnTarget_ = -1;
}

bool MidiMap::takeChangeFlag() {
  const bool flag = changeFlag_;
  changeFlag_ = false;
  return flag;
}

}  // namespace state
