// Modulation sources: one LFO with two channel phases and an envelope follower
// per channel, blended into the modulation signals modL and modR (nominally
// -1..+1). modL sweeps the filter cut-off and the left line's clock, modR the
// resonance and the right line's clock.
#pragma once

#include <cstdint>

#include "engine/Tables.h"
#include "engine/WorkingValues.h"

namespace engine {

class Modulation {
 public:
  explicit Modulation(const Tables& tables);

  // Recomputes the LFO smoothing coefficient (a 500 Hz one-pole) when the
  // rate differs from the one in force. The coefficient set at construction
  // is a 1000 Hz one-pole at 44100 Hz and stays until another rate comes.
  void setSampleRate(double sampleRate);

  // Phase, previous phases, LFO outputs, envelopes and modulation signals to 0.
  void clear();
  // clear() plus the square/random targets to 0.
  void suspend();

  // Once per block, before the first sample: takes this block's phase
  // increment, wave, stereo offset, sensitivity and envelope coefficient and,
  // in song-position mode, sets the phase from the host's position (quarter
  // notes). Without a position the LFO stands at phase 0.
  void beginBlock(const WorkingValues& values, bool songPositionValid, double ppqPos);

  // One sample with the values of the block. envInL/R are |x| after the
  // anti-alias cascade and before the drive; modSource is the smoothed ModSrc
  // (0 LFO only, 1 envelope only).
  void tick(double modSource, double envInL, double envInR, double& modL, double& modR);

  double modL() const { return modL_; }
  double modR() const { return modR_; }
  double phase() const { return phase_; }
  double lfoOutput(int channel) const { return lfoOut_[channel]; }
  double smoothingCoefficient() const { return k_; }

 private:
  int nextRandom();  // 0..32767

  const Tables& tables_;
  double sampleRate_ = 44100.0;
  double k_;                   // LFO output smoothing
  double phase_ = 0.0;         // common phase, (-pi, pi]
  double increment_ = 0.0;     // this block's radians per sample
  double offset_ = 0.0;        // this block's stereo offset, radians within +-pi
  int wave_ = 0;               // this block's wave
  double sensitivity_ = 1.0;   // this block's envelope sensitivity
  double envCoef_ = 0.0;       // this block's envelope follower coefficient
  double prevPhase_[2] = {0.0, 0.0};
  double lfoOut_[2] = {0.0, 0.0};
  double target_[2] = {0.0, 0.0};
  double envelope_[2] = {0.0, 0.0};
  double modL_ = 0.0;
  double modR_ = 0.0;
  std::uint32_t random_ = 0x2545F491u;
};

}  // namespace engine
