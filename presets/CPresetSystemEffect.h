// The effect half of the preset system: 61 named programs behind the single
// program the host sees, the host chunk, and the MIDI controller map, as the
// VST 2.4 host sees them. The programs and the map are the state layer's
// (state::ProgramStore, state::MidiMap); this class hands them to the host
// and tells the editor what changed.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "params/ParameterTable.h"
#include "state/ChunkLayout.h"
#include "state/MidiMap.h"
#include "state/ProgramStore.h"
#include "vst/AudioEffectX.h"

namespace presets {

class CPresetSystemEditor;

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
  virtual int getCurrentProgramIndex() { return programStore_.current(); }
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

  virtual int32_t getPluginID() { return state::kPluginId; }
  virtual void loadStartupSettings();
  virtual void initFactoryPresets();
  virtual void clearMidiMap();

  // Direct access for the editor's file images and for tests.
  state::ProgramRecord* programs() { return programStore_.programs(); }
  // Whether the calling thread is applying a stored program. Only the
  // application's own writes skip the store: a controller or automation write
  // from another thread meanwhile still lands in the current program.
  bool isApplyingProgram() const { return applyingThread_.load(std::memory_order_relaxed) == std::this_thread::get_id(); }
  bool isLearning() const { return midiMap_.learning(); }
  bool isForgetting() const { return midiMap_.forgetting(); }
  int learnTarget() const { return midiMap_.learnTarget(); }

 protected:
  CPresetSystemEditor* presetEditor();
  void touchParameter(int param);              // learn and forget on a parameter change
  void learnController(int target, int cc);
  void storeProgramValue(int index, float value);  // into the current program, nothing else

  state::ProgramStore programStore_;
  state::MidiMap midiMap_;
  std::unique_ptr<uint8_t[]> chunk_;
  std::atomic<std::thread::id> applyingThread_{};
};

}  // namespace presets
