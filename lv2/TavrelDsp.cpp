// The LV2 adapter's audio side: ports, the atom input and the transport.
#include "lv2/TavrelDsp.h"

#include <algorithm>
#include <cmath>

namespace lv2plugin {

namespace {

// The parameters that tie a side's delay time together, in index order:
// mode, note numerator, note denominator, range, time, pre-delay
// numerator and denominator.
constexpr std::array<int, 7> kLeftTimeGroup{params::DlyModeL, params::DlyNumL, params::DlyDenL, params::RangeL,
                                             params::DlyTimeL, params::PreNumL, params::PreDenL};
constexpr std::array<int, 7> kRightTimeGroup{params::DlyModeR, params::DlyNumR, params::DlyDenR, params::RangeR,
                                              params::DlyTimeR, params::PreNumR, params::PreDenR};

// How long the meters hold a peak for a UI that reads them at its own pace.
constexpr double kMeterHoldSeconds = 0.06;

}  // namespace

TavrelDsp::TavrelDsp(double sampleRate, const LV2_URID_Map* map, const LV2_Worker_Schedule* schedule, int blockSize)
    : core_(*this), urids_(map), schedule_(schedule), sampleRate_(sampleRate), blockSize_(blockSize) {
  if (map) lv2_atom_forge_init(&forge_, const_cast<LV2_URID_Map*>(map));
  // The main stereo input, then the stereo key of the ducking; a key the
  // host leaves unconnected is fed from the main input.
  core_.fixChannelMap(4, 2);
  core_.start();
  keepLocations();
  applied_.fill(NAN);
}

void TavrelDsp::connect(uint32_t port, void* data) {
  if (port <= kKeyR) {
    audioIn_[port] = static_cast<const float*>(data);
  } else if (port <= kOutputR) {
    audioOut_[port - kOutputL] = static_cast<float*>(data);
  } else if (port < kControl) {
    controls_[port - kFirstParameter] = static_cast<const float*>(data);
  } else if (port == kControl) {
    control_ = static_cast<const LV2_Atom_Sequence*>(data);
  } else if (port == kNotify) {
    notify_ = static_cast<LV2_Atom_Sequence*>(data);
  } else if (port == kMeterL || port == kMeterR) {
    meters_[port - kMeterL] = static_cast<float*>(data);
  }
}

void TavrelDsp::activate() {
  core::SetUp setUp;
  setUp.sampleRate = sampleRate_;
  setUp.blockSize = blockSize_;
  core_.resume(setUp);
}

void TavrelDsp::parameterChanged(int index, float /*value*/) {
  // A controller or a message moved a value the host's port does not show.
  if (applyingPorts_.load(std::memory_order_relaxed) != std::this_thread::get_id()) tell(index < params::kNumParams ? kValues : kControllers);
}

// ------------------------------------------------------------------ run

void TavrelDsp::run(uint32_t frames) {
  if (notify_ && urids_.mapped()) {
    // The host gives the port's capacity in its size; the forge writes
    // within it and the sequence starts empty.
    const uint32_t capacity = notify_->atom.size;
    lv2_atom_forge_set_buffer(&forge_, reinterpret_cast<uint8_t*>(notify_), capacity);
    LV2_Atom_Forge_Frame frame;
    lv2_atom_forge_sequence_head(&forge_, &frame, 0);
    applyControlPorts();
    readEvents(frames);
    writeNews();
    lv2_atom_forge_pop(&forge_, &frame);
  } else {
    if (notify_) notify_->atom.size = 0;
    applyControlPorts();
    readEvents(frames);
  }
  writeMeters(frames);
}

// A port counts only when it moved since it was last applied, so that a
// restored state, a learnt controller or a derived value is not overwritten
// every block by a port the host did not move. A side's delay-time group is
// applied whole, in index order, when any of it moved: a preset that changes
// the range and keeps the time ends with its own time, not a rescaled one.
void TavrelDsp::applyControlPorts() {
  if (portsSettled_.exchange(false, std::memory_order_acquire)) {
    for (int i = 0; i < params::kNumParams; ++i)
      if (controls_[i]) applied_[i] = *controls_[i];
  }
  std::array<bool, params::kNumParams> moved{};
  for (int i = 0; i < params::kNumParams; ++i) {
    // Hosts that never connect a control port leave it out of play.
    moved[i] = controls_[i] && !(*controls_[i] == applied_[i]);
  }
  for (const auto* group : {&kLeftTimeGroup, &kRightTimeGroup}) {
    const bool any = std::any_of(group->begin(), group->end(), [&](int i) { return moved[i]; });
    if (any)
      for (int i : *group) moved[i] = controls_[i] != nullptr;
  }
  applyingPorts_.store(std::this_thread::get_id(), std::memory_order_relaxed);
  for (int i = 0; i < params::kNumParams; ++i) {
    if (!moved[i]) continue;
    applied_[i] = *controls_[i];
    // The write-only switches act only when switched off.
    core_.setParameter(i, applied_[i]);
  }
  applyingPorts_.store(std::thread::id(), std::memory_order_relaxed);
}

// The block is cut at each event, so a controller or a tempo change acts on
// the frame it is stamped with.
void TavrelDsp::readEvents(uint32_t frames) {
  uint32_t done = 0;
  if (control_ && urids_.mapped()) {
    LV2_ATOM_SEQUENCE_FOREACH(control_, event) {
      const auto at = static_cast<uint32_t>(std::clamp<int64_t>(event->time.frames, done, frames));
      if (at > done) {
        processFrames(done, at);
        done = at;
      }
      const LV2_Atom& body = event->body;
      if (body.type == urids_.midiEvent && body.size >= 3) {
        const auto* midi = reinterpret_cast<const uint8_t*>(&body + 1);
        if ((midi[0] & 0xf0) == 0xb0) core_.controlChange(midi[1] & 0x7f, midi[2] & 0x7f);
      } else if (body.type == urids_.atomObject || body.type == urids_.atomBlank) {
        const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&body);
        if (object->body.otype == urids_.timePosition) readPosition(object);
        else readMessage(object);
      }
    }
  }
  if (done < frames) processFrames(done, frames);
}

void TavrelDsp::processFrames(uint32_t from, uint32_t to) {
  const uint32_t count = to - from;
  if (!audioIn_[kInputL] || !audioIn_[kInputR] || !audioOut_[0] || !audioOut_[1]) return;
  float* inputs[4];
  inputs[0] = const_cast<float*>(audioIn_[kInputL]) + from;
  inputs[1] = const_cast<float*>(audioIn_[kInputR]) + from;
  inputs[2] = const_cast<float*>(audioIn_[kKeyL] ? audioIn_[kKeyL] : audioIn_[kInputL]) + from;
  inputs[3] = const_cast<float*>(audioIn_[kKeyR] ? audioIn_[kKeyR] : audioIn_[kInputR]) + from;
  float* outputs[2] = {audioOut_[0] + from, audioOut_[1] + from};

  core::Transport transport;
  transport.tempoValid = hostTimeSeen_;
  transport.tempo = tempo_;
  transport.positionValid = hostTimeSeen_ && positionKnown_ && speed_ != 0.0;
  transport.ppqPos = ppqPos_;
  core_.process(inputs, outputs, static_cast<int>(count), transport);
  // Positions come only when the transport or the tempo changes: between
  // them the song moves on at the host's speed.
  if (positionKnown_) ppqPos_ += count / sampleRate_ * tempo_ / 60.0 * speed_;
}

// The quarter-note tempo is beats per minute x 4 / beat unit; the song
// position in quarter notes likewise from the beats since the start, else
// from the bar and the beat in it.
void TavrelDsp::readPosition(const LV2_Atom_Object* position) {
  const LV2_Atom *bar = nullptr, *barBeat = nullptr, *beat = nullptr, *beatUnit = nullptr, *beatsPerBar = nullptr,
                 *bpm = nullptr, *speed = nullptr;
  lv2_atom_object_get(position, urids_.timeBar, &bar, urids_.timeBarBeat, &barBeat, urids_.timeBeat, &beat,
                      urids_.timeBeatUnit, &beatUnit, urids_.timeBeatsPerBar, &beatsPerBar, urids_.timeBeatsPerMinute,
                      &bpm, urids_.timeSpeed, &speed, 0);
  auto number = [this](const LV2_Atom* atom, double& out) {
    if (!atom) return false;
    if (atom->type == urids_.atomFloat) out = reinterpret_cast<const LV2_Atom_Float*>(atom)->body;
    else if (atom->type == urids_.atomDouble) out = reinterpret_cast<const LV2_Atom_Double*>(atom)->body;
    else if (atom->type == urids_.atomInt) out = reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
    else if (atom->type == urids_.atomLong) out = static_cast<double>(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
    else return false;
    return std::isfinite(out);
  };
  double unit = 4.0;
  if (!number(beatUnit, unit) || unit <= 0.0) unit = 4.0;
  double value = 0.0;
  if (number(bpm, value) && value > 0.0) {
    tempo_ = value * 4.0 / unit;
    hostTimeSeen_ = true;
  }
  if (number(speed, value)) speed_ = value;
  double perBar = 4.0, barNumber = 0.0;
  if (number(beat, value)) {
    ppqPos_ = value * 4.0 / unit;
    positionKnown_ = true;
  } else if (number(bar, barNumber) && number(barBeat, value)) {
    if (!number(beatsPerBar, perBar)) perBar = 4.0;
    ppqPos_ = (barNumber * perBar + value) * 4.0 / unit;
    positionKnown_ = true;
  }
}

void TavrelDsp::writeMeters(uint32_t frames) {
  float peaks[2];
  core_.readInputPeaks(peaks[0], peaks[1]);
  meterAge_ += frames;
  const bool expired = meterAge_ >= kMeterHoldSeconds * sampleRate_;
  if (expired) meterAge_ = 0;
  for (int side = 0; side < 2; ++side) {
    meterHeld_[side] = expired ? peaks[side] : std::max(peaks[side], meterHeld_[side]);
    if (meters_[side]) *meters_[side] = meterHeld_[side];
  }
}

}  // namespace lv2plugin
