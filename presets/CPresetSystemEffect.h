// The effect half of the preset system: 61 named programs behind the single
// program the host sees, the host chunk, and the MIDI controller map.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "engine/Relaxed.h"
#include "params/ParameterTable.h"
#include "state/ChunkLayout.h"
#include "state/ProgramRecord.h"
#include "vst/AudioEffectX.h"

namespace presets {

// The preset system is built on the state layer and names its program store,
// images and controller names as its own.
using namespace state;

class CPresetSystemEditor;

constexpr int kNumControllers = 128;
constexpr int kNone = 999;  // "no controller" / "no parameter" in the controller map

class CPresetSystemEffect : public vst::AudioEffectX {
 public:
  explicit CPresetSystemEffect(vst::HostCallback audioMaster);
  ~CPresetSystemEffect() override;

  // Host-facing operations
  void resume() override;
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  VstInt32 getProgram() override { return 0; }
  void setProgram(VstInt32 /*program*/) override {}
  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
  VstInt32 getChunk(void** data, bool isPreset = false) override;
  VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset = false) override;
  VstInt32 processEvents(vst::VstEvents* events) override;
  VstInt32 canDo(char* text) override;

  // Programs
  virtual int getCurrentProgramIndex() { return currentProgram_; }
  virtual void selectProgram(int index);
  virtual void renameCurrentProgram(const char* name);

  // MIDI controller map
  virtual void assignController(int param, int cc);
  virtual void unassignParameter(int param);
  virtual void unassignController(int cc);
  virtual int getControllerForParameter(int param);
  virtual int getParameterForController(int cc);
  virtual bool takeChangeFlag();
  virtual void startMidiLearn();
  virtual void stopMidiLearn();
  virtual void setLearnTarget(int param);
  virtual void startMidiForget();
  virtual void stopMidiForget();

  virtual int32_t getPluginID() { return kPluginId; }
  virtual void loadStartupSettings();
  virtual void initFactoryPresets();
  virtual void clearMidiMap();

  // Direct access for the editor's file images and for tests.
  ProgramRecord* programs() { return programs_.get(); }
  // Whether the calling thread is applying a stored program. Only the
  // application's own writes skip the store: a controller or automation write
  // from another thread meanwhile still lands in the current program.
  bool isApplyingProgram() const { return applyingThread_.load(std::memory_order_relaxed) == std::this_thread::get_id(); }
  bool isLearning() const { return learning_.get(); }
  bool isForgetting() const { return forgetting_.get(); }
  int learnTarget() const { return learnTarget_.get(); }

 protected:
  CPresetSystemEditor* presetEditor();
  bool hasMaps() const { return mapsReady_; }
  void setAssignment(int param, float value);  // parameter 60 + param
  void touchParameter(int param);              // learn and forget on a parameter change
  void storeAssignment(int param);             // assignment value from the map entry of param
  void learnController(int target, int cc);
  void rebuildMidiMap();                       // both map directions from the assignment values
  void storeProgramValue(int index, float value);  // into the current program, nothing else

  std::unique_ptr<ProgramRecord[]> programs_;
  std::unique_ptr<uint8_t[]> chunk_;
  engine::Relaxed<int> currentProgram_{0};
  std::atomic<std::thread::id> applyingThread_{};

  // The controller map in both directions, and its stored form.
  bool mapsReady_ = false;
  std::array<engine::Relaxed<int>, params::kNumParams> controllerOfParameter_;
  std::array<engine::Relaxed<int>, kNumControllers> parameterOfController_;
  std::array<engine::Relaxed<float>, params::kNumParams> assignmentValues_;
  engine::Relaxed<bool> learning_{false};
  engine::Relaxed<int> learnTarget_{kNone};
  engine::Relaxed<bool> forgetting_{false};
  engine::Relaxed<bool> changeFlag_{false};
};

}  // namespace presets
