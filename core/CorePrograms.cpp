// The core's programs, its state image and its MIDI controllers.
#include <cstring>

#include "core/PluginCore.h"
#include "params/ParameterTable.h"
#include "params/Tempo.h"

namespace core {

// ------------------------------------------------------------------ programs

// LINK is suggested off while the program is applied, and on after it when
// its sides mirror each other (an index out of range applies nothing).
void PluginCore::selectProgram(int index) {
  events_.linkSuggested(false);
  if (index >= 0 && index < state::kNumPrograms) {
    const std::thread::id outer = applyingThread_.exchange(std::this_thread::get_id(), std::memory_order_relaxed);
    programStore_.setCurrent(index);
    for (int i = 0; i < params::kNumParams; ++i) setParameter(i, programStore_[index].values[i]);
    events_.parametersChanged();
    applyingThread_.store(outer, std::memory_order_relaxed);
    events_.programChanged();
  }
  if (channelsSymmetric()) events_.linkSuggested(true);
  updateSyncedTimes(params::kSyncAll);
}

void PluginCore::renameCurrentProgram(const char* name) {
  if (name) programStore_.currentProgram().setName(name);
  events_.parametersChanged();
}

void PluginCore::setProgramName(const char* name) {
  if (!name) return;
  char buffer[state::kNameSize + 1] = {};
  std::strncpy(buffer, name, state::kNameSize);
  programStore_.currentProgram().setName(buffer);
  events_.programNameShown(buffer);
}

bool PluginCore::copyProgramName(int index, char* text) const {
  if (!text || index < 0 || index >= state::kNumPrograms) return false;
  programStore_.copyName(index, text);
  return true;
}

// ------------------------------------------------------------------- chunk

const uint8_t* PluginCore::writeChunk() {
  state::writeChunk(chunk_.get(), static_cast<uint32_t>(kPluginId), programStore_, midiMap_);
  return chunk_.get();
}

state::ChunkRead PluginCore::readChunk(const void* data, int size) {
  int current = 0;
  const state::ChunkRead read = state::readChunk(static_cast<const uint8_t*>(data), size,
                                                 static_cast<uint32_t>(kPluginId), programStore_, midiMap_, current);
  if (read == state::ChunkRead::Taken && current >= 0 && current < state::kNumPrograms) selectProgram(current);
  return read;
}

// --------------------------------------------------------- MIDI controllers

void PluginCore::touchParameter(int param) {
  if (midiMap_.learning()) midiMap_.setLearnTarget(param);
  if (midiMap_.forgetting()) {
    midiMap_.unassignParameter(param);
    stopMidiForget();
  }
}

void PluginCore::stopMidiLearn() {
  midiMap_.stopLearn();
  events_.learnEnded();
}

void PluginCore::stopMidiForget() {
  midiMap_.stopForget();
  events_.forgetEnded();
}

// Sets the parameter the controller drives to value / 127. Runs on the
// host's event thread: no allocation, constant work per event (one pass
// over the parameters when a controller is learnt).
void PluginCore::controlChange(int cc, int value) {
  if (cc < 0 || cc >= state::kNumControllers) return;
  // Channel-mode messages (120..127) are never learnt.
  const int target = midiMap_.learnTarget();
  if (midiMap_.learning() && target >= 0 && target < params::kNumParams && cc < 120) {
    midiMap_.learn(target, cc);
    stopMidiLearn();
  }
  const int param = midiMap_.parameterOf(cc);
  if (param == state::kNone) return;
  if (value < 0) value = 0;
  if (value > 127) value = 127;
  setParameter(param, static_cast<float>(value / 127.0));
}

}  // namespace core
