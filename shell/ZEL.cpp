#include "shell/ZEL.h"

#include <cmath>
#include <cstring>
#include <new>

#include "editor/Editor.h"
#include "params/Steps.h"
#include "params/Tempo.h"
#include "shell/ParameterProperties.h"

using namespace params;

static_assert(editor::EditorHost::kNoController == state::kNone,
              "the editor and the controller map agree on no controller");

ZEL::ZEL(vst::HostCallback audioMaster) : CPresetSystemEffect(audioMaster) {
  // Held for the rest of construction: no block may run on a half-built effect.
  std::lock_guard<shell::ProcessingLock> hold(lock_);
  channelMapFixed_ = false;
  engine_ = std::make_unique<engine::DelayEngine>();
  params_ = std::make_unique<ParameterApplication>(engine_->values());
  params_->setSampleRate(engine_->sampleRate());

  setNumInputs(4);   // main stereo input, then the stereo key of the ducking
  setNumOutputs(2);
  setUniqueID(getPluginID());
  canProcessReplacing();
  canDoubleReplacing();

  setParameter(RvbType, 0.0f);
  curProgram = 0;
  setEditor(new Editor(this));
  loadStartupSettings();
  selectProgram(0);
  engine_->placeHeads();
  suspend();
}

ZEL::~ZEL() {
  // A host may end the instance with its window still open: the window
  // closes first, while the effect can still hear the end of a drag or a
  // typed name.
  if (editor) editor->close();
  // Never free the buffers under a running block.
  std::lock_guard<shell::ProcessingLock> hold(lock_);
  engine_.reset();
}

Editor* ZEL::zelEditor() { return static_cast<Editor*>(editor); }

// ---------------------------------------------------------------- lifecycle

void ZEL::suspend() {
  shell::TimedLockGuard hold(lock_);
  if (!hold || !engineReady_) return;
  takeReverbChange();
  engine_->suspend();
}

// The host is asked everything first (events, transport, connected pins) and
// the lock is taken only for the engine's own work: a host whose callbacks
// are slow (some take their own locks to answer the time) would otherwise
// hold a chunk or a reverb type change waiting on the lock.
void ZEL::resume() {
  CPresetSystemEffect::resume();

  double hostTempo = NAN;
  if (const vst::VstTimeInfo* time = getTimeInfo(vst::kVstTempoValid);
      time && (time->flags & vst::kVstTempoValid) && std::isfinite(time->tempo))
    hostTempo = time->tempo;

  engine::ChannelMap counted;
  bool pinsCounted = false;
  if (!channelMapFixed_) {
    int inputs = 0, outputs = 0;
    while (inputs < 4 && isInputConnected(inputs)) ++inputs;
    while (outputs < 2 && isOutputConnected(outputs)) ++outputs;
    pinsCounted = engine::ChannelMap::forChannelCounts(inputs, outputs, counted);
  }

  shell::TimedLockGuard hold(lock_);
  if (!hold) return;
  if (std::isfinite(hostTempo)) {
    params_->setTempo(hostTempo);
    updateSyncedTimes(kSyncAll);
  }
  // An arrangement the host set meanwhile wins over the counted pins.
  if (pinsCounted && !channelMapFixed_) engine_->setChannelMap(counted);

  const float rate = getSampleRate();
  try {
    engine_->setSampleRate(std::isfinite(rate) ? rate : 0.0);
    engine_->setBlockSize(getBlockSize());
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

// --------------------------------------------------------------------- audio

void ZEL::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  processBlock(inputs, outputs, sampleFrames);
}

void ZEL::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
  processBlock(inputs, outputs, sampleFrames);
}

template <typename Sample>
void ZEL::processBlock(Sample** inputs, Sample** outputs, VstInt32 frames) {
  // The host's transport is asked before the lock is taken: the lock is never
  // held across a call into the host.
  const engine::BlockTiming timing = prepareBlockTiming();
  shell::TimedLockGuard hold(lock_);
  if (!hold || !engineReady_) {
    // The engine is busy elsewhere, or has no buffers that fit its set-up: a
    // late block goes out as silence, never as whatever the host's buffers
    // still held.
    const engine::ChannelMap& map = engine_->channelMap();
    for (VstInt32 i = 0; i < frames; ++i) outputs[map.outL][i] = outputs[map.outR][i] = 0;
    return;
  }
  takeReverbChange();
  engine_->process(inputs, outputs, frames, timing);
}

engine::BlockTiming ZEL::prepareBlockTiming() {
  auto& values = engine_->values();
  engine::BlockTiming timing;
  const vst::VstTimeInfo* time = getTimeInfo(vst::kVstTempoValid);
  // Each field counts only when the host marks it valid: a record without the
  // tempo flag carries a tempo of 0 or whatever the host left there.
  if (time && (time->flags & vst::kVstTempoValid)) {
    values.hostTime = true;
    const double bpm = time->tempo;
    if (bpm != values.tempo.get() && bpm >= params::kSlowestTempo && bpm <= params::kFastestTempo) {
      params_->setTempo(bpm);
      updateSyncedTimes(kSyncAll);
    }
  } else {
    values.hostTime = false;
  }
  time = getTimeInfo(vst::kVstPpqPosValid);
  if (time && (time->flags & vst::kVstPpqPosValid) && (time->flags & vst::kVstTransportPlaying) &&
      std::isfinite(time->ppqPos)) {
    timing.songPositionValid = true;
    timing.ppqPos = time->ppqPos;
  }
  return timing;
}

// ---------------------------------------------------------------- parameters

void ZEL::setParameter(VstInt32 index, float value) {
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
      if (applied.syncedTimesRecomputed) tellEditorTempo();
      settled = applied.settled;
    }
    if (!fromProgram) storeDerivedValues(index, settled);
  }
  if (zelEditor()) zelEditor()->setParameter(index, value);
  if (!fromProgram) CPresetSystemEffect::setParameter(index, value);
}

// What a write outside a program application changes besides its own value
// must reach the current program too, or a saved project reloads different.
void ZEL::storeDerivedValues(int index, const SettledValues& settled) {
  // The switches that silence drive and cut-off modulation on a program's
  // application have no control: a drive or modulation the user sets turns
  // them on in the program, so the setting comes back on reload.
  if (index == Drive) storeProgramValue(DriveSwitch, 1.0f);
  if (index == CutfMod) storeProgramValue(CutfModSwitch, 1.0f);

  // A delay side's mode or range settles its range and time. Those that
  // differ from the program's reach the store and the editor, and the host
  // is told to read its parameters again (it is never sent automation from
  // inside a write of its own).
  bool changed = false;
  for (const ParameterValue& derived : settled) {
    if (programs()[getCurrentProgramIndex()].values[derived.index] == derived.value) continue;
    storeProgramValue(derived.index, derived.value);
    if (zelEditor()) zelEditor()->setParameter(derived.index, derived.value);
    changed = true;
  }
  if (changed) updateDisplay();
}

// The type counts at once for the program store, getParameter and the
// editor. The reverb's tap lengths change with it, which must not happen
// while a block runs: the writer reconfigures the engine itself when the lock
// is free, and otherwise leaves the change to whoever takes the lock next
// (the next block, suspend or resume, before their own work). It never
// waits, so a chunk or a click on the panel is never held up by the audio
// thread, and a change is never lost: a later type replaces an earlier one.
void ZEL::applyReverbType(float value) {
  params_->apply(RvbType, value);
  reverbChanged_.store(true, std::memory_order_release);
  std::unique_lock<shell::ProcessingLock> hold(lock_, std::try_to_lock);
  if (hold && engineReady_) takeReverbChange();
}

// Only the engine's reconfiguration: nothing here calls the host, since it
// may run on the audio thread.
void ZEL::takeReverbChange() {
  if (!reverbChanged_.exchange(false, std::memory_order_acquire)) return;
  const int before = engine_->reverb().type();
  engine_->configureReverb();
  // The other type's lines hold sound that does not belong to this one.
  if (engine_->reverb().type() != before) engine_->clearReverb();
}

float ZEL::getParameter(VstInt32 index) {
  if (isHostParameter(index)) {
    if (index == DriveSwitch || index == CutfModSwitch) return 1.0f;
    return static_cast<float>(params_->normalised(index));
  }
  if (isAssignmentSlot(index)) return CPresetSystemEffect::getParameter(index);
  return 0.0f;
}

void ZEL::getParameterLabel(VstInt32 index, char* label) { parameterLabel(index, label); }
void ZEL::getParameterDisplay(VstInt32 index, char* text) { parameterDisplay(*params_, index, text); }
void ZEL::getParameterName(VstInt32 index, char* text) { parameterName(index, text); }
bool ZEL::getParameterProperties(VstInt32 index, vst::VstParameterProperties* p) {
  return p && shell::fillParameterProperties(index, *p);
}
void ZEL::getParameterReadout(int index, ParameterReadout& readout) const {
  parameterReadout(*params_, index, readout);
}

void ZEL::updateSyncedTimes(int mask) {
  params_->updateSyncedTimes(mask);
  tellEditorTempo();
}

void ZEL::tellEditorTempo() {
  if (zelEditor()) zelEditor()->tempoChanged(params_->tempo());
}

void ZEL::setManualTempo(double t) {
  params_->setManualTempo(t);
  updateSyncedTimes(kSyncAll);
}

// ------------------------------------------------------------------ programs

void ZEL::selectProgram(int index) {
  if (zelEditor()) zelEditor()->setLinked(false);
  CPresetSystemEffect::selectProgram(index);
  if (zelEditor() && channelsSymmetric()) zelEditor()->setLinked(true);
  updateSyncedTimes(kSyncAll);
}

bool ZEL::channelsSymmetric() {
  auto differs = [](float difference) { return std::fabs(difference) > 0.01f; };
  auto p = [this](int index) { return getParameter(index); };
  if (differs(p(DlyTimeL) - p(DlyTimeR))) return false;
  return !(differs(p(FbGainL) - p(FbGainR)) || differs(p(FbPanL) + p(FbPanR) - 1.0f) ||
           differs(p(DlyPanL) + p(DlyPanR) - 1.0f) || differs(p(DlyGateL) - p(DlyGateR)) ||
           differs(p(FbInvL) - p(FbInvR)) || differs(p(DlyInvL) - p(DlyInvR)) || differs(p(RangeL) - p(RangeR)) ||
           differs(p(DlyModeL) - p(DlyModeR)) || differs(p(DlyNumL) - p(DlyNumR)) ||
           differs(p(DlyDenL) - p(DlyDenR)));
}

void ZEL::copyChannelSettings(bool rightToLeft) {
  const int from = rightToLeft ? engine::kRight : engine::kLeft;
  params_->delayTime(from).copyTo(params_->delayTime(1 - from), [this](int index, float value) {
    beginEdit(index);
    setParameterAutomated(index, value);
    endEdit(index);
  });
}

// ------------------------------------------------------------ host interface

bool ZEL::setSpeakerArrangement(vst::VstSpeakerArrangement* input, vst::VstSpeakerArrangement* output) {
  if (!input || !output) return false;
  engine::ChannelMap map;
  if (!engine::ChannelMap::forChannelCounts(input->numChannels, output->numChannels, map)) return false;
  // Hosts set the arrangement while suspended; the lock keeps a block from
  // reading a half-written map if one does not.
  shell::TimedLockGuard hold(lock_);
  if (!hold) return false;
  engine_->setChannelMap(map);
  channelMapFixed_ = true;
  return true;
}

bool ZEL::getEffectName(char* name) {
  std::strcpy(name, kEffectName);
  return true;
}

bool ZEL::getVendorString(char* text) {
  std::strcpy(text, kVendor);
  return true;
}

bool ZEL::getProductString(char* text) {
  std::strcpy(text, kProduct);
  return true;
}

// Some hosts hand their content scale (for high-resolution screens) through
// this vendor call: index 'PreS', value 'AeCs', the factor in opt.
vst::VstIntPtr ZEL::vendorSpecific(VstInt32 index, vst::VstIntPtr value, void* /*ptr*/, float opt) {
  if (index == vst::fourCharCode('P', 'r', 'e', 'S') && value == vst::fourCharCode('A', 'e', 'C', 's')) {
    if (!(opt > 0.0f) || !std::isfinite(opt) || !zelEditor()) return 0;
    zelEditor()->setContentScale(opt);
    return 1;
  }
  return 0;
}

// -------------------------------------------------------------------- entry

vst::AudioEffect* createEffectInstance(vst::HostCallback audioMaster) {
  if (!audioMaster || !audioMaster(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f)) return nullptr;
  try {
    return new ZEL(audioMaster);
  } catch (...) {
    // The host expects null when no instance could be made.
    return nullptr;
  }
}
