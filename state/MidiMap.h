// MIDI controllers driving parameters: the controller map in both
// directions, its stored form (one assignment value per parameter, which
// chunks and MIDI-settings images carry), and the learn and forget modes.
// The audio thread (control changes) and the user's thread (editor, chunks)
// use it at once: every entry is a relaxed atomic.
#pragma once

#include <array>

#include "engine/Relaxed.h"
#include "params/ParameterTable.h"

namespace state {

constexpr int kNumControllers = 128;
constexpr int kNone = 999;  // "no controller" / "no parameter" in the controller map

class MidiMap {
 public:
  MidiMap() { clear(); }

  // No parameter has a controller.
  void clear();
  // Parameter `param`'s assignment value, decoded into the map.
  void setAssignment(int param, float value);
  float assignment(int param) const { return assignmentValues_[param].get(); }
  // A restored project brings only the assignment values (kNumParams of
  // them): both directions of the map are derived from them afresh, so no
  // binding of the previous state survives beside them.
  void restore(const float* assignments);

  void assign(int param, int cc);
  void unassignParameter(int param);
  void unassignController(int cc);
  int controllerOf(int param) const;
  int parameterOf(int cc) const;
  // Binds `cc` to `target` and nothing else; does not end the learn mode.
  void learn(int target, int cc);

  void startLearn();
  void stopLearn();
  void setLearnTarget(int param) { learnTarget_ = param; }
  bool learning() const { return learning_.get(); }
  int learnTarget() const { return learnTarget_.get(); }
  void startForget() { forgetting_ = true; }
  void stopForget() { forgetting_ = false; }
  bool forgetting() const { return forgetting_.get(); }
  bool takeChangeFlag();

 private:
  void storeAssignment(int param);

  std::array<engine::Relaxed<int>, params::kNumParams> controllerOfParameter_;
  std::array<engine::Relaxed<int>, kNumControllers> parameterOfController_;
  std::array<engine::Relaxed<float>, params::kNumParams> assignmentValues_;
  engine::Relaxed<bool> learning_{false};
  engine::Relaxed<int> learnTarget_{kNone};
  engine::Relaxed<bool> forgetting_{false};
  engine::Relaxed<bool> changeFlag_{false};
};

}  // namespace state
