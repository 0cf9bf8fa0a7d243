// The core's lifecycle, audio and parameters.
#include "core/PluginCore.h"

#include <cmath>
#include <new>

#include "params/ParameterTable.h"
#include "params/Steps.h"
#include "params/Tempo.h"

namespace core {

using namespace params;

PluginCore::PluginCore(CoreEvents& events) : events_(events), files_(*this) {
  // Held for the rest of construction: no block may run on a half-built core.
  std::lock_guard<ProcessingLock> hold(lock_);
  engine_ = std::make_unique<engine::DelayEngine>();
  params_ = std::make_unique<ParameterApplication>(engine_->values());
  params_->setSampleRate(engine_->sampleRate());
  chunk_ = std::make_unique<uint8_t[]>(state::kChunkSize);
}

PluginCore::~PluginCore() {
  // Never free the buffers under a running block.
  std::lock_guard<ProcessingLock> hold(lock_);
  engine_.reset();
}

void PluginCore::start() {
  std::lock_guard<ProcessingLock> hold(lock_);
  setParameter(RvbType, 0.0f);
  files_.loadStartupSettings();
  selectProgram(0);
  engine_->placeHeads();
  suspend();
}

// ---------------------------------------------------------------- lifecycle

void PluginCore::suspend() {
  TimedLockGuard hold(lock_);
  if (!hold || !engineReady_) return;
  takeReverbChange();
  engine_->suspend();
}

// The adapter asks the host everything first (transport, connected pins)
// and the lock is taken only for the engine's own work: a host whose
// callbacks are slow (some take their own locks to answer the time) would
// otherwise hold a chunk or a reverb type change waiting on the lock.
void PluginCore::resume(const SetUp& setUp) {
  TimedLockGuard hold(lock_);
  if (!hold) return;
  if (std::isfinite(setUp.hostTempo)) {
    params_->setTempo(setUp.hostTempo);
    updateSyncedTimes(kSyncAll);
  }
  // A layout the host fixed meanwhile wins over the counted pins.
  if (setUp.pinsCounted && !channelMapFixed_) engine_->setChannelMap(setUp.countedMap);

  try {
    engine_->setSampleRate(std::isfinite(setUp.sampleRate) ? setUp.sampleRate : 0.0);
    engine_->setBlockSize(setUp.blockSize);
  } catch (const std::bad_alloc&) {
    // Out of memory for the new buffers: the effect stays loaded and plays
    // silence until a resume gets the memory it needs.
    engine_->forgetSetUp();
    engineReady_ = false;
    return;
  }
  engineReady_ = true;
  takeReverbChange();
  params_->setSampleRate(engine_->sampleRate());
  engine_->clear();
}

bool PluginCore::fixChannelMap(int inputs, int outputs) {
  engine::ChannelMap map;
  if (!engine::ChannelMap::forChannelCounts(inputs, outputs, map)) return false;
  // Hosts set the layout while suspended; the lock keeps a block from
  // reading a half-written map if one does not.
  TimedLockGuard hold(lock_);
  if (!hold) return false;
  engine_->setChannelMap(map);
  channelMapFixed_ = true;
  return true;
}

// --------------------------------------------------------------------- audio

void PluginCore::process(float** inputs, float** outputs, int frames, const Transport& transport) {
  processBlock(inputs, outputs, frames, transport);
}

void PluginCore::process(double** inputs, double** outputs, int frames, const Transport& transport) {
  processBlock(inputs, outputs, frames, transport);
}

template <typename Sample>
void PluginCore::processBlock(Sample** inputs, Sample** outputs, int frames, const Transport& transport) {
  const engine::BlockTiming timing = takeTransport(transport);
  TimedLockGuard hold(lock_);
  if (!hold || !engineReady_) {
    // The engine is busy elsewhere, or has no buffers that fit its set-up: a
    // late block goes out as silence, never as whatever the host's buffers
    // still held.
    const engine::ChannelMap& map = engine_->channelMap();
    for (int i = 0; i < frames; ++i) outputs[map.outL][i] = outputs[map.outR][i] = 0;
    return;
  }
  takeReverbChange();
  engine_->process(inputs, outputs, frames, timing);
}

engine::BlockTiming PluginCore::takeTransport(const Transport& transport) {
  auto& values = engine_->values();
  engine::BlockTiming timing;
  if (transport.tempoValid) {
    values.hostTime = true;
    const double bpm = transport.tempo;
    if (bpm != values.tempo.get() && bpm >= kSlowestTempo && bpm <= kFastestTempo) {
      params_->setTempo(bpm);
      updateSyncedTimes(kSyncAll);
    }
  } else {
    values.hostTime = false;
  }
  if (transport.positionValid && std::isfinite(transport.ppqPos)) {
    timing.songPositionValid = true;
    timing.ppqPos = transport.ppqPos;
  }
  return timing;
}

// ---------------------------------------------------------------- parameters

void PluginCore::setParameter(int index, float value) {
  // A value that is not a number (NaN, infinity) cannot be any setting: taken
  // on, it would spread through the smoothers and feedback into the delay
  // lines and silence the effect for good. It is ignored like other bad data.
  if (!std::isfinite(value)) return;
  const bool fromProgram = isApplyingProgram();
  if (isHostParameter(index)) {
    value = heldNormalised(value);
    SettledValues settled;
    if (index == DriveSwitch) {
      // Switching drive off sets the drive level itself to zero.
      if (steps(value, 2) == 0) setParameter(Drive, 0.0f);
    } else if (index == CutfModSwitch) {
      if (steps(value, 2) == 0) setParameter(CutfMod, 0.5f);
    } else if (index == RvbType) {
      applyReverbType(value);
    } else {
      const ParameterApplication::Applied applied = params_->apply(index, value);
      if (applied.syncedTimesRecomputed) events_.tempoChanged(params_->tempo());
      settled = applied.settled;
    }
    if (!fromProgram) storeDerivedValues(index, settled);
  }
  events_.parameterChanged(index, value);
  if (fromProgram) return;
  if (isHostParameter(index)) {
    programStore_.storeValue(index, value);
    touchParameter(index);
  } else if (isAssignmentSlot(index)) {
    midiMap_.setAssignment(index - kNumParams, value);
  }
}

// What a write outside a program application changes besides its own value
// must reach the current program too, or a saved project reloads different.
void PluginCore::storeDerivedValues(int index, const SettledValues& settled) {
  // The switches that silence drive and cut-off modulation on a program's
  // application have no control: a drive or modulation the user sets turns
  // them on in the program, so the setting comes back on reload.
  if (index == Drive) programStore_.storeValue(DriveSwitch, 1.0f);
  if (index == CutfMod) programStore_.storeValue(CutfModSwitch, 1.0f);

  // A delay side's mode or range settles its range and time. Those that
  // differ from the program's reach the store and the panel, and the host
  // is told to read its parameters again (it is never sent automation from
  // inside a write of its own).
  bool changed = false;
  for (const ParameterValue& derived : settled) {
    if (programStore_.currentProgram().values[derived.index] == derived.value) continue;
    programStore_.storeValue(derived.index, derived.value);
    events_.parameterChanged(derived.index, derived.value);
    changed = true;
  }
  if (changed) events_.parametersChanged();
}

// The type counts at once for the program store, getParameter and the
// panel. The reverb's tap lengths change with it, which must not happen
// while a block runs: the writer reconfigures the engine itself when the lock
// is free, and otherwise leaves the change to whoever takes the lock next
// (the next block, suspend or resume, before their own work). It never
// waits, so a chunk or a click on the panel is never held up by the audio
// thread, and a change is never lost: a later type replaces an earlier one.
void PluginCore::applyReverbType(float value) {
  params_->apply(RvbType, value);
  reverbChanged_.store(true, std::memory_order_release);
  std::unique_lock<ProcessingLock> hold(lock_, std::try_to_lock);
  if (hold && engineReady_) takeReverbChange();
}

// Only the engine's reconfiguration: nothing here tells anyone, since it
// may run on the audio thread. The type a host writes again unchanged (as
// hosts re-send automation every block, and as every program applies it)
// leaves the reverb's lines and positions as they are: reconfiguring them
// would read the tail from the wrong places.
void PluginCore::takeReverbChange() {
  if (!reverbChanged_.exchange(false, std::memory_order_acquire)) return;
  const int before = engine_->reverb().type();
  const int wanted = engine_->values().rvbType.get() == engine::kPlate ? engine::kPlate
                                                                                : engine::kSpring;
  if (wanted == before) return;
  engine_->configureReverb();
  // The other type's lines hold sound that does not belong to this one.
  engine_->clearReverb();
}

float PluginCore::getParameter(int index) const {
  if (isHostParameter(index)) {
    if (index == DriveSwitch || index == CutfModSwitch) return 1.0f;
    return static_cast<float>(params_->normalised(index));
  }
  if (isAssignmentSlot(index)) return midiMap_.assignment(index - kNumParams);
  return 0.0f;
}

void PluginCore::updateSyncedTimes(int mask) {
  params_->updateSyncedTimes(mask);
  events_.tempoChanged(params_->tempo());
}

void PluginCore::setManualTempo(double position) {
  params_->setManualTempo(position);
  updateSyncedTimes(kSyncAll);
}

bool PluginCore::channelsSymmetric() const {
  auto differs = [](float difference) { return std::fabs(difference) > 0.01f; };
  auto p = [this](int index) { return getParameter(index); };
  if (differs(p(DlyTimeL) - p(DlyTimeR))) return false;
  return !(differs(p(FbGainL) - p(FbGainR)) || differs(p(FbPanL) + p(FbPanR) - 1.0f) ||
           differs(p(DlyPanL) + p(DlyPanR) - 1.0f) || differs(p(DlyGateL) - p(DlyGateR)) ||
           differs(p(FbInvL) - p(FbInvR)) || differs(p(DlyInvL) - p(DlyInvR)) || differs(p(RangeL) - p(RangeR)) ||
           differs(p(DlyModeL) - p(DlyModeR)) || differs(p(DlyNumL) - p(DlyNumR)) ||
           differs(p(DlyDenL) - p(DlyDenR)));
}

void PluginCore::copyChannelSettings(bool rightToLeft) {
  const int from = rightToLeft ? engine::kRight : engine::kLeft;
  params_->delayTime(from).copyTo(params_->delayTime(1 - from), [this](int index, float value) {
    events_.beginHostEdit(index);
    setParameter(index, value);
    events_.automate(index, value);
    events_.endHostEdit(index);
  });
}

}  // namespace core
