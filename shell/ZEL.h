// The effect: what a host loads, with everything it owns: the processing
// lock, the delay engine, the parameter application, the program store and
// MIDI map (through its preset-system base) and the editor object, which it
// serves as the editor's host.
#pragma once

#include <atomic>
#include <memory>

#include "editor/EditorHost.h"
#include "engine/DelayEngine.h"
#include "params/ParameterApplication.h"
#include "params/ParameterText.h"
#include "presets/CPresetSystemEffect.h"
#include "shell/ProcessingLock.h"

class Editor;

class ZEL : public presets::CPresetSystemEffect, public editor::EditorHost {
 public:
  static constexpr const char* kEffectName = "Tavrel";
  static constexpr const char* kVendor = "korvane.com";
  static constexpr const char* kProduct = "Tavrel - Stereo Modulated Delay";

  explicit ZEL(vst::HostCallback audioMaster);
  ~ZEL() override;

  // Lifecycle and audio
  void suspend() override;
  void resume() override;
  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
  void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;

  // Parameters
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  void getParameterLabel(VstInt32 index, char* label) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  void getParameterName(VstInt32 index, char* text) override;
  bool getParameterProperties(VstInt32 index, vst::VstParameterProperties* p) override;

  // Host interface
  bool setSpeakerArrangement(vst::VstSpeakerArrangement* input, vst::VstSpeakerArrangement* output) override;
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

  // Programs
  void selectProgram(int index) override;

  void updateSyncedTimes(int mask);
  bool channelsSymmetric();

  // The editor's host (getParameter, setParameter and selectProgram above
  // serve it too).
  void beginParameterEdit(int index) override { beginEdit(index); }
  void performParameterEdit(int index, float value) override { setParameterAutomated(index, value); }
  void endParameterEdit(int index) override { endEdit(index); }
  void getParameterReadout(int index, params::ParameterReadout& readout) const override;
  const params::DelayTimeModel& delayTime(bool right) const override { return params_->delayTime(right ? 1 : 0); }
  void copyChannelSettings(bool rightToLeft) override;
  bool syncRangeExceeded(int selector) const override { return params_->syncRangeExceeded(selector); }
  double getManualTempo() const override { return params_->manualTempo(); }
  void setManualTempo(double t) override;
  bool hostTimeActive() const override { return engine_->values().hostTime.get(); }
  void readInputPeaks(float& left, float& right) override { engine_->readInputPeaks(left, right); }
  bool resizeEditorWindow(int width, int height) override { return sizeWindow(width, height); }
  state::ProgramRecord* programs() override { return CPresetSystemEffect::programs(); }
  int getCurrentProgramIndex() override { return CPresetSystemEffect::getCurrentProgramIndex(); }
  void renameCurrentProgram(const char* name) override { CPresetSystemEffect::renameCurrentProgram(name); }
  int32_t getPluginID() override { return CPresetSystemEffect::getPluginID(); }
  void startMidiLearn() override { CPresetSystemEffect::startMidiLearn(); }
  void stopMidiLearn() override { CPresetSystemEffect::stopMidiLearn(); }
  void startMidiForget() override { CPresetSystemEffect::startMidiForget(); }
  void stopMidiForget() override { CPresetSystemEffect::stopMidiForget(); }
  int getControllerForParameter(int param) override { return CPresetSystemEffect::getControllerForParameter(param); }

  // For tests and tools that look inside.
  const engine::DelayEngine& engine() const { return *engine_; }
  // A test holds it to stand for a block in progress on the audio thread.
  shell::ProcessingLock& processingLock() { return lock_; }
  const params::ParameterApplication& parameters() const { return *params_; }
  Editor* zelEditor();

 private:
  template <typename Sample>
  void processBlock(Sample** inputs, Sample** outputs, VstInt32 frames);
  engine::BlockTiming prepareBlockTiming();
  void tellEditorTempo();
  void applyReverbType(float value);
  void takeReverbChange();  // under the lock, with the engine ready
  void storeDerivedValues(int index, const params::SettledValues& settled);

  shell::ProcessingLock lock_;
  std::unique_ptr<engine::DelayEngine> engine_;
  std::unique_ptr<params::ParameterApplication> params_;
  engine::Relaxed<bool> channelMapFixed_{false};  // read by resume before it takes the lock
  bool engineReady_ = true;  // false after a resume that could not get its memory (under the lock)
  // A reverb type written while the lock was busy: set (release) after the
  // type's working value, taken (acquire) by whoever next holds the lock, so
  // the engine is reconfigured for the latest type written.
  std::atomic<bool> reverbChanged_{false};
};

// Creates the effect for a host; null when the host is too old or the
// effect cannot be built.
vst::AudioEffect* createEffectInstance(vst::HostCallback audioMaster);
