// A small VST 2.4 host: loads a plug-in library with dlopen the way a Linux
// DAW does, answers the plug-in's host calls from a script the caller fills,
// records every call the plug-in makes, and drives audio through it in
// host-sized blocks. Used by the test suite and by the `tavrel` program.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "vst/aeffect.h"

namespace host {

// What the host answers when the plug-in asks. Change it between calls; the
// host reads it from the plug-in's callback, so do not change it from one
// thread while another thread is inside the plug-in.
struct HostScript {
  intptr_t version = 2400;           // audioMasterVersion (0 makes a plug-in refuse to load)
  intptr_t canDoSendVstMidiEvent = 1;  // audioMasterCanDo "sendVstMidiEvent"
  int connectedInputs = 4;           // audioMasterPinConnected: pins below these counts are connected
  int connectedOutputs = 2;
  float sampleRate = 44100.0f;        // audioMasterGetSampleRate and the time info
  int blockSize = 512;               // audioMasterGetBlockSize and the block cutting of process()

  // audioMasterGetTime
  bool timeInfo = true;  // false: answer null ("no time info")
  double tempo = 120.0;
  double ppqPos = 0.0;
  double samplePos = 0.0;
  int32_t timeSigNumerator = 4;
  int32_t timeSigDenominator = 4;
  int32_t timeFlags = vst::kVstTempoValid | vst::kVstPpqPosValid | vst::kVstTimeSigValid;
  bool playing = false;  // sets kVstTransportPlaying and advances the positions between blocks

  bool recordCalls = true;  // a long render can switch the call log off
};

// One call the plug-in made to the host.
struct HostCall {
  int32_t opcode = 0;
  int32_t index = 0;
  intptr_t value = 0;
  float opt = 0.0f;
  std::string text;  // the capability text of audioMasterCanDo
};

using MidiMessage = std::array<uint8_t, 3>;

class PluginInstance {
 public:
  // Loads the library at `path` and creates one effect instance. On failure
  // returns null and puts a one-line reason into *error (when given).
  static std::unique_ptr<PluginInstance> load(const std::string& path, const HostScript& script = {},
                                              std::string* error = nullptr);
  ~PluginInstance();  // effClose, then unloads the library
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  vst::AEffect* effect() const { return effect_; }
  HostScript& script() { return script_; }
  const std::string& path() const { return path_; }

  intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);

  // The call log.
  std::vector<HostCall> calls() const;
  std::vector<HostCall> calls(int32_t opcode) const;
  void clearCalls();

  // Fixed properties of the AEffect record.
  int numParams() const { return effect_->numParams; }
  int numPrograms() const { return effect_->numPrograms; }
  int numInputs() const { return effect_->numInputs; }
  int numOutputs() const { return effect_->numOutputs; }
  int32_t flags() const { return effect_->flags; }
  int32_t uniqueID() const { return effect_->uniqueID; }
  bool canDoubleReplacing() const;

  // Set-up. setSampleRate and setBlockSize also update the script, so the
  // host's own answers and the block cutting agree with what it told the plug-in.
  void setSampleRate(float rate);
  void setBlockSize(int frames);
  // effMainsChanged 1 / 0. On destruction the host suspends the plug-in
  // only if it is still running: some plug-ins assert on a double suspend.
  void resume();
  void suspend();
  bool resumed() const { return resumed_; }
  bool setSpeakerArrangement(int inputChannels, int outputChannels);

  // Parameters and identity.
  void setParameter(int index, float value);
  float getParameter(int index);
  std::string parameterName(int index) { return textRequest(vst::effGetParamName, index); }
  std::string parameterDisplay(int index) { return textRequest(vst::effGetParamDisplay, index); }
  std::string parameterLabel(int index) { return textRequest(vst::effGetParamLabel, index); }
  bool getParameterProperties(int index, vst::VstParameterProperties& properties);
  std::string programName() { return textRequest(vst::effGetProgramName, 0); }
  std::string programNameIndexed(int index) { return textRequest(vst::effGetProgramNameIndexed, index); }
  void setProgramName(const std::string& name);
  std::string effectName() { return textRequest(vst::effGetEffectName, 0); }
  std::string vendorString() { return textRequest(vst::effGetVendorString, 0); }
  std::string productString() { return textRequest(vst::effGetProductString, 0); }
  intptr_t canDo(const std::string& text);

  // Whole-state chunk (effGetChunk / effSetChunk with index 0).
  std::vector<uint8_t> getChunk();
  intptr_t setChunk(const std::vector<uint8_t>& bytes);

  // Delivers MIDI messages (all at delta frame 0) through effProcessEvents.
  // The event records stay valid until the next sendMidi or destruction.
  intptr_t sendMidi(const std::vector<MidiMessage>& messages);

  // Processes planar channel buffers of any length, cut into blocks of the
  // script's block size. Inputs beyond those given, or shorter than
  // `frames`, are fed silence; `outputs` is resized to the plug-in's output
  // count and to `frames` samples. `frames` < 0 means the longest input.
  // Returns false when the plug-in lacks the entry point.
  bool process(const std::vector<std::vector<float>>& inputs, std::vector<std::vector<float>>& outputs,
               long frames = -1);
  bool processDouble(const std::vector<std::vector<double>>& inputs,
                     std::vector<std::vector<double>>& outputs, long frames = -1);

  // One block straight through to the plug-in, for callers that manage
  // their own buffers (the time info advances afterwards as in process()).
  bool processBlock(float** inputs, float** outputs, int frames);
  bool processBlockDouble(double** inputs, double** outputs, int frames);

  // Moves the script's transport position on by `frames` when it is playing.
  void advanceTransport(long frames);

 private:
  PluginInstance() = default;
  static intptr_t hostCallback(vst::AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                               void* ptr, float opt);
  intptr_t answer(vst::AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                  float opt);
  std::string textRequest(int32_t opcode, int index);
  template <typename T>
  bool processPlanar(const std::vector<std::vector<T>>& inputs, std::vector<std::vector<T>>& outputs,
                     long frames);

  bool resumed_ = false;
  void* library_ = nullptr;
  vst::AEffect* effect_ = nullptr;
  std::string path_;
  HostScript script_;
  vst::VstTimeInfo timeInfo_{};
  mutable std::mutex callsMutex_;
  std::vector<HostCall> calls_;
  std::vector<unsigned char> eventStorage_;
  std::vector<vst::VstMidiEvent> midiEvents_;
};

}  // namespace host
