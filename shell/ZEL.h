// The effect as a VST 2.4 host loads it: the adapter between the host's
// calls and the plug-in core, and the host of the panel it shows. It asks
// the host what a call needs (transport, pins, rate), hands it to the core,
// and passes the core's events on: automation, edit brackets and "read the
// parameters again" to the host, the rest to the panel.
#pragma once

#include <memory>
#include <string>

#include "core/PluginCore.h"
#include "editor/EditorHost.h"
#include "vst/AudioEffectX.h"

class Editor;

class ZEL : public vst::AudioEffectX, public core::CoreEvents, public editor::EditorHost {
 public:
  static constexpr const char* kEffectName = core::PluginCore::kEffectName;
  static constexpr const char* kVendor = core::PluginCore::kVendor;
  static constexpr const char* kProduct = core::PluginCore::kProduct;

  explicit ZEL(vst::HostCallback audioMaster);
  ~ZEL() override;

  // ---- the host's calls
  void suspend() override;
  void resume() override;
  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
  void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;

  void setParameter(VstInt32 index, float value) override { core_.setParameter(index, value); }
  float getParameter(VstInt32 index) override { return core_.getParameter(index); }
  void getParameterLabel(VstInt32 index, char* label) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  void getParameterName(VstInt32 index, char* text) override;
  bool getParameterProperties(VstInt32 index, vst::VstParameterProperties* p) override;

  // The host sees one program; the 61 stored ones live behind it.
  VstInt32 getProgram() override { return 0; }
  void setProgram(VstInt32 /*program*/) override {}
  void setProgramName(char* name) override { core_.setProgramName(name); }
  void getProgramName(char* name) override;
  bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
  VstInt32 getChunk(void** data, bool isPreset = false) override;
  VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset = false) override;
  VstInt32 processEvents(vst::VstEvents* events) override;
  VstInt32 canDo(char* text) override;

  bool setSpeakerArrangement(vst::VstSpeakerArrangement* input, vst::VstSpeakerArrangement* output) override;
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

  // ---- the panel's host (getParameter and setParameter above serve it too)
  void beginParameterEdit(int index) override { beginEdit(index); }
  void performParameterEdit(int index, float value) override { setParameterAutomated(index, value); }
  void endParameterEdit(int index) override { endEdit(index); }
  void getParameterReadout(int index, params::ParameterReadout& readout) const override;
  void getParameterText(int index, char* display, char* label) override;
  const params::DelayTimeModel& delayTime(bool right) const override { return core_.delayTime(right); }
  void copyChannelSettings(bool rightToLeft) override { core_.copyChannelSettings(rightToLeft); }
  bool syncRangeExceeded(int selector) const override { return core_.syncRangeExceeded(selector); }
  double getManualTempo() const override { return core_.manualTempo(); }
  void setManualTempo(double position) override { core_.setManualTempo(position); }
  bool hostTimeActive() const override { return core_.hostTimeActive(); }
  void readInputPeaks(float& left, float& right) override { core_.readInputPeaks(left, right); }
  bool resizeEditorWindow(int width, int height) override { return sizeWindow(width, height); }
  void copyProgramName(int index, char* name) override { core_.copyProgramName(index, name); }
  int getCurrentProgramIndex() override { return core_.currentProgram(); }
  void selectProgram(int index) override { core_.selectProgram(index); }
  void renameCurrentProgram(const char* name) override { core_.renameCurrentProgram(name); }
  bool loadFile(FileKind kind, const std::string& path, bool reversed) override;
  bool saveFile(FileKind kind, const std::string& path) override;
  std::string currentFolder() override { return core_.files().currentFolder(); }
  std::string lastFileName(FileKind kind) override { return core_.files().lastName(kind); }
  void storeUserImage(state::UserImage which) override { core_.files().storeUserImage(which); }
  void recallUserImage(state::UserImage which) override { core_.files().recallUserImage(which); }
  void removeUserImage(state::UserImage which) override { core_.files().removeUserImage(which); }
  void startMidiLearn() override { core_.startMidiLearn(); }
  void stopMidiLearn() override { core_.stopMidiLearn(); }
  void startMidiForget() override { core_.startMidiForget(); }
  void stopMidiForget() override { core_.stopMidiForget(); }
  int getControllerForParameter(int param) override { return core_.controllerOf(param); }

  // ---- for tests and tools that look inside
  core::PluginCore& core() { return core_; }
  core::ProgramFiles& files() { return core_.files(); }
  const engine::DelayEngine& engine() const { return core_.engine(); }
  core::ProcessingLock& processingLock() { return core_.processingLock(); }
  const params::ParameterApplication& parameters() const { return core_.parameters(); }
  state::ProgramRecord* programs() { return core_.programs(); }
  bool isApplyingProgram() const { return core_.isApplyingProgram(); }
  int32_t getPluginID() const { return core::PluginCore::kPluginId; }
  bool isLearning() const { return core_.isLearning(); }
  bool isForgetting() const { return core_.isForgetting(); }
  int getParameterForController(int cc) const { return core_.parameterOf(cc); }
  void assignController(int param, int cc) { core_.assignController(param, cc); }
  void updateSyncedTimes(int mask) { core_.updateSyncedTimes(mask); }
  bool channelsSymmetric() const { return core_.channelsSymmetric(); }
  Editor* zelEditor() { return panel_; }

 private:
  // ---- the core's events
  void beginHostEdit(int index) override { beginEdit(index); }
  void automate(int index, float value) override;
  void endHostEdit(int index) override { endEdit(index); }
  void parametersChanged() override { updateDisplay(); }
  void parameterChanged(int index, float value) override;
  void tempoChanged(double bpm) override;
  void linkSuggested(bool on) override;
  void programChanged() override;
  void programNameShown(const char* name) override;
  void programNamesChanged() override;
  void learnEnded() override;
  void forgetEnded() override;

  core::Transport hostTransport();

  core::PluginCore core_;
  Editor* panel_ = nullptr;  // owned by the editor record the host sees
};

// Creates the effect for a host; null when the host is too old or the
// effect cannot be built.
vst::AudioEffect* createEffectInstance(vst::HostCallback audioMaster);
