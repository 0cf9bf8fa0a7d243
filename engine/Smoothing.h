// The 30 Hz glide of the continuous working values. Parameter writes arrive as
// steps from any thread; every sample each smoothed value moves a one-pole
// step toward its target, so a knob turn never reaches the audio as a click.
#pragma once

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

#include "engine/Pair.h"
#include "engine/WorkingValues.h"

namespace engine {

enum Smoothed {
  kInputGain,
  kMuteL,
  kMuteR,
  kOutputGain,
  kMix,
  kFbGainL,
  kFbGainR,
  kFbPanL,
  kFbPanR,
  kWetPanL,
  kWetPanR,
  kGateThresholdL,
  kGateThresholdR,
  kModSource,
  kCutoffModDepth,
  kResoModDepth,
  kCutoff,
  kResonance,
  kClockModDepth,
  kDriveFactor,
  kSmoothedCount
};

// Adding and removing a tiny constant puts a value decaying toward 0 on a
// grid of about 1e-46, so that it reaches 0 exactly: a glide toward 0 comes
// to rest (and a block skips its steps) within half a second instead of
// creeping down through hundreds of decades.
inline double denormalGuard(double x) { return (x + 1e-30) - 1e-30; }

class Smoother {
 public:
  // Coefficient of a 30 Hz one-pole at the sample rate.
  void setSampleRate(double sampleRate) { k_ = 1.0 - std::exp(-188.49555921538757 / sampleRate); }
  double coefficient() const { return k_; }

  // Takes the targets from the working values. A target that is not a finite
  // number keeps the previous one: a single bad write must not leave the
  // glide stuck at NaN for the life of the instance.
  void readTargets(const WorkingValues& v, double sampleRate);

  // One step of every value toward its target.
  void advance() {
    for (int i = 0; i < kSmoothedCount; ++i)
      current_[i] = denormalGuard((target_[i] - current_[i]) * k_ + current_[i]);
  }

  // True when a step would leave every value exactly as it is. A glide comes
  // to rest a few units in the last place short of its target, where the step
  // rounds away; from then on the block may skip the steps, because targets
  // only change between blocks.
  bool atRest() const {
    for (int i = 0; i < kSmoothedCount; ++i)
      if (!restsAt(i)) return false;
    return true;
  }
  // The same for one value.
  bool restsAt(int i) const {
    const double next = denormalGuard((target_[i] - current_[i]) * k_ + current_[i]);
    return std::bit_cast<std::uint64_t>(next) == std::bit_cast<std::uint64_t>(current_[i]);
  }

  // Every value at its target, so the next block starts without glides.
  void snap(const WorkingValues& v, double sampleRate) {
    readTargets(v, sampleRate);
    current_ = target_;
  }

  // True when a value is 0 and stays 0 for the whole block: a depth that
  // modulates nothing.
  bool zeroThroughout(int i) const { return current_[i] == 0.0 && target_[i] == 0.0; }

  double operator[](int i) const { return current_[i]; }
  const std::array<double, kSmoothedCount>& values() const { return current_; }
  // A left value and the right one after it, a side per lane.
  Pair pair(int left) const { return Pair{current_[left], current_[left + 1]}; }
  double& current(int i) { return current_[i]; }
  double target(int i) const { return target_[i]; }

 private:
  double k_ = 1.0 - std::exp(-188.49555921538757 / 44100.0);
  std::array<double, kSmoothedCount> current_{};
  std::array<double, kSmoothedCount> target_{};
};

inline void Smoother::readTargets(const WorkingValues& v, double sampleRate) {
  auto take = [this](int i, double value) {
    if (std::isfinite(value)) target_[i] = value;
  };
  take(kInputGain, v.inputGain);
  take(kMuteL, v.muteGain[kLeft]);
  take(kMuteR, v.muteGain[kRight]);
  take(kOutputGain, v.outputGain);
  take(kMix, v.mix);
  take(kFbGainL, v.fbGain[kLeft]);
  take(kFbGainR, v.fbGain[kRight]);
  take(kFbPanL, v.fbPan[kLeft]);
  take(kFbPanR, v.fbPan[kRight]);
  take(kWetPanL, v.dlyPan[kLeft]);
  take(kWetPanR, v.dlyPan[kRight]);
  take(kGateThresholdL, v.gateThreshold[kLeft]);
  take(kGateThresholdR, v.gateThreshold[kRight]);
  take(kModSource, v.modSrc);
  take(kCutoffModDepth, v.cutfModDepth);
  take(kResoModDepth, v.resoModDepth);
  // The cut-off never exceeds half the sample rate.
  double cutoff = v.cutoffHz;
  if (cutoff > 0.5 * sampleRate) cutoff = 0.5 * sampleRate;
  take(kCutoff, cutoff);
  take(kResonance, v.reso);
  take(kClockModDepth, v.vcoModDepth);
  take(kDriveFactor, v.driveGain);
}

}  // namespace engine
