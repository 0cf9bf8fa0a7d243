// The plug-in without a plug-in format: the delay engine and the processing
// hand-off around it, the parameters with their delay-time interlocks, the
// 61 programs behind the one the host sees, the host's state image (the
// chunk), the MIDI controller map with learn and forget, the tempo, and the
// preset, bank and MIDI-settings files with the user's defaults and memos.
//
// A format adapter owns one, answers its host's calls with it, and passes
// on what the core tells through CoreEvents. The core knows no plug-in
// format and no toolkit.
#pragma once

#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <thread>

#include "core/CoreEvents.h"
#include "core/ProcessingLock.h"
#include "core/ProgramFiles.h"
#include "engine/ChannelMap.h"
#include "engine/DelayEngine.h"
#include "params/ParameterApplication.h"
#include "state/ChunkImage.h"
#include "state/ChunkLayout.h"
#include "state/MidiMap.h"
#include "state/ProgramStore.h"

namespace core {

// The host's transport for one block. Each part counts only when the host
// marks it valid; the song position only while the transport plays.
struct Transport {
  bool tempoValid = false;
  double tempo = 0.0;
  bool positionValid = false;
  double ppqPos = 0.0;
};

// What a resume brings from the host, asked before the core takes its lock.
struct SetUp {
  double sampleRate = 0.0;
  int blockSize = 0;
  double hostTempo = NAN;  // not a number: the host gives none
  // The layout from the pins the host connected, when it could be counted
  // (a layout the host fixed meanwhile wins over it).
  bool pinsCounted = false;
  engine::ChannelMap countedMap;
};

class PluginCore {
 public:
  static constexpr const char* kEffectName = "Tavrel";
  static constexpr const char* kVendor = "korvane.com";
  static constexpr const char* kProduct = "Tavrel - Stereo Modulated Delay";
  static constexpr int32_t kPluginId = state::kPluginId;

  // `events` outlives the core. Nothing is loaded until start().
  explicit PluginCore(CoreEvents& events);
  ~PluginCore();
  PluginCore(const PluginCore&) = delete;
  PluginCore& operator=(const PluginCore&) = delete;

  // The user's defaults and last file locations, program 0 applied, the
  // heads placed, suspended: the state a host finds a new instance in. The
  // adapter calls it once its panel can hear the core's events.
  void start();

  // ---- lifecycle and audio
  void suspend();
  void resume(const SetUp& setUp);
  // A layout the host sets for the inputs and outputs; false when the
  // counts make none.
  bool fixChannelMap(int inputs, int outputs);
  bool channelMapFixed() const { return channelMapFixed_.get(); }
  const engine::ChannelMap& channelMap() const { return engine_->channelMap(); }
  void process(float** inputs, float** outputs, int frames, const Transport& transport);
  void process(double** inputs, double** outputs, int frames, const Transport& transport);

  // ---- parameters: 0..59 the host's, 60..119 the controller assignment slots
  void setParameter(int index, float value);
  float getParameter(int index) const;
  const params::ParameterApplication& parameters() const { return *params_; }

  // ---- the delay sides
  const params::DelayTimeModel& delayTime(bool right) const { return params_->delayTime(right ? 1 : 0); }
  // LINK: one side's mode, range, time and note value onto the other, each
  // as an edit the host sees.
  void copyChannelSettings(bool rightToLeft);
  bool syncRangeExceeded(int selector) const { return params_->syncRangeExceeded(selector); }
  bool channelsSymmetric() const;
  void updateSyncedTimes(int mask);

  // ---- tempo and meters
  double manualTempo() const { return params_->manualTempo(); }
  // The manual tempo as the panel's tempo control holds it (0..1 for
  // params::kSlowestTempo..kFastestTempo).
  void setManualTempo(double position);
  bool hostTimeActive() const { return engine_->values().hostTime.get(); }
  void readInputPeaks(float& left, float& right) { engine_->readInputPeaks(left, right); }

  // ---- programs
  int currentProgram() const { return programStore_.current(); }
  void selectProgram(int index);
  // The user renamed the current program: the host reads the names again.
  void renameCurrentProgram(const char* name);
  // The host renamed it (at most 24 bytes are taken): the panel shows it.
  void setProgramName(const char* name);
  // Program `index`'s name, all 24 bytes and a terminator; false for no such program.
  bool copyProgramName(int index, char* text) const;
  state::ProgramRecord* programs() { return programStore_.programs(); }
  // Tells the panel a name to show now, or that many names changed.
  void showProgramName(const char* name) { events_.programNameShown(name); }
  void showProgramNames() { events_.programNamesChanged(); }
  // Whether the calling thread is applying a stored program. Only the
  // application's own writes skip the store: a controller or automation write
  // from another thread meanwhile still lands in the current program.
  bool isApplyingProgram() const {
    return applyingThread_.load(std::memory_order_relaxed) == std::this_thread::get_id();
  }

  // ---- the host's state image: every program, the current one and the
  // controller map, state::kChunkSize bytes
  // The image in the core's own buffer, which nothing but the next call
  // writes: the host may keep reading it until it asks again.
  const uint8_t* writeChunk();
  // Nothing changes unless the image is taken; the bytes are only read.
  state::ChunkRead readChunk(const void* data, int size);

  // ---- MIDI controllers
  // A control change on any channel (value 0..127, held to that range).
  void controlChange(int cc, int value);
  void startMidiLearn() { midiMap_.startLearn(); }
  void stopMidiLearn();
  void startMidiForget() { midiMap_.startForget(); }
  void stopMidiForget();
  bool isLearning() const { return midiMap_.learning(); }
  bool isForgetting() const { return midiMap_.forgetting(); }
  int learnTarget() const { return midiMap_.learnTarget(); }
  void assignController(int param, int cc) { midiMap_.assign(param, cc); }
  int controllerOf(int param) const { return midiMap_.controllerOf(param); }
  int parameterOf(int cc) const { return midiMap_.parameterOf(cc); }
  void clearMidiMap() { midiMap_.clear(); }

  // ---- files, defaults and memos
  ProgramFiles& files() { return files_; }

  // ---- for tests and tools that look inside
  const engine::DelayEngine& engine() const { return *engine_; }
  // A test holds it to stand for a block in progress on the audio thread.
  ProcessingLock& processingLock() { return lock_; }

 private:
  template <typename Sample>
  void processBlock(Sample** inputs, Sample** outputs, int frames, const Transport& transport);
  engine::BlockTiming takeTransport(const Transport& transport);
  void applyReverbType(float value);
  void takeReverbChange();  // under the lock, with the engine ready
  void storeDerivedValues(int index, const params::SettledValues& settled);
  void touchParameter(int param);  // learn and forget on a parameter change

  CoreEvents& events_;
  ProcessingLock lock_;
  std::unique_ptr<engine::DelayEngine> engine_;
  std::unique_ptr<params::ParameterApplication> params_;
  state::ProgramStore programStore_;
  state::MidiMap midiMap_;
  std::unique_ptr<uint8_t[]> chunk_;
  std::atomic<std::thread::id> applyingThread_{};
  engine::Relaxed<bool> channelMapFixed_{false};  // read by resume before it takes the lock
  bool engineReady_ = true;  // false after a resume that could not get its memory (under the lock)
  // A reverb type written while the lock was busy: set (release) after the
  // type's working value, taken (acquire) by whoever next holds the lock, so
  // the engine is reconfigured for the latest type written.
  std::atomic<bool> reverbChanged_{false};
  ProgramFiles files_;
};

}  // namespace core
