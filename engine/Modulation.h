// Modulation sources: one LFO with two channel phases and an envelope follower
// per channel, blended into the modulation signals modL and modR (nominally
// -1..+1). modL sweeps the filter cut-off and the left line's clock, modR the
// resonance and the right line's clock.
#pragma once

#include <cmath>
#include <cstdint>

#include "engine/Coefficients.h"
#include "engine/Pair.h"
#include "engine/Tables.h"
#include "engine/WorkingValues.h"

namespace engine {

namespace lfo {

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPiSingle = 1.5707963705062866;  // pi/2 as a float, as the triangle has always used

// Brings a channel phase back into [-pi, pi] with one turn either way; the
// offset never moves it further than half a cycle out.
inline double wrapOnce(double phi) {
  if (phi > kPi) return phi - kTwoPi;
  if (phi < -kPi) return phi + kTwoPi;
  return phi;
}

}  // namespace lfo

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
  // notes). Without a position (the transport stopped) it runs on at its
  // synchronised rate.
  void beginBlock(const WorkingValues& values, bool songPositionValid, double ppqPos);

  // One sample with the values of the block. envInL/R are |x| after the
  // anti-alias cascade and before the drive; modSource is the smoothed ModSrc
  // (0 LFO only, 1 envelope only).
  void tick(double modSource, double envInL, double envInR, double& modL, double& modR);

  // While nothing reads the modulation signals: one sample of everything that
  // has a state of its own (the phase, the glides of the smoothed waves, the
  // random draws and the envelopes) exactly as tick() moves it, without
  // forming the signals. After the block's last such sample finishCoasting()
  // forms them as tick() would have, so that a depth turned up later meets
  // the LFO and the envelopes where they would be had they been heard.
  void coast(double envInL, double envInR);
  void finishCoasting(double modSource);

  double modL() const { return modL_; }
  double modR() const { return modR_; }
  double phase() const { return phase_; }
  double lfoOutput(int channel) const { return lfoOut_[channel]; }
  double smoothingCoefficient() const { return k_; }

 private:
  int nextRandom() {  // 0..32767
    // xorshift32: uniform enough for a sample-and-hold, and private to this
    // instance so several effects never share or race on one generator.
    random_ ^= random_ << 13;
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    return static_cast<int>(random_ >> 17);  // 15 bits: 0..32767
  }
  template <bool kShaped>
  void step(double envInL, double envInR);  // kShaped: the sine and triangle formed too
  void shape(const double (&phi)[2]);       // the sine or triangle at the channel phases
  void blend(double modSource);             // the modulation signals from the LFO and the envelopes
  void advance(double envInL, double envInR);  // the phase and the envelopes one sample on
  // One step of both channels' smoothed waves toward `target`.
  void glide(Pair target) { lfoOut_ = lfoOut_ + (target - lfoOut_) * k_; }

  const Tables* tables_;  // a pointer, so that a run can work on a copy and assign it back
  double sampleRate_ = 44100.0;
  double k_;                   // LFO output smoothing
  double phase_ = 0.0;         // common phase, (-pi, pi]
  double increment_ = 0.0;     // this block's radians per sample
  double offset_ = 0.0;        // this block's stereo offset, radians within +-pi
  int wave_ = 0;               // this block's wave
  double sensitivity_ = 1.0;   // this block's envelope sensitivity
  double envCoef_ = 0.0;       // this block's envelope follower coefficient
  double prevPhase_[2] = {0.0, 0.0};
  Pair lfoOut_ = {0.0, 0.0};  // a channel per lane
  Pair target_ = {0.0, 0.0};
  Pair envelope_ = {0.0, 0.0};  // a channel per lane
  double modL_ = 0.0;
  double modR_ = 0.0;
  std::uint32_t random_ = 0x2545F491u;
  double coastedPhase_ = 0.0;  // the common phase of the last sample coasted
};

inline void Modulation::tick(double modSource, double envInL, double envInR, double& modL, double& modR) {
  step<true>(envInL, envInR);
  blend(modSource);
  modL = modL_;
  modR = modR_;
}

inline void Modulation::coast(double envInL, double envInR) { step<false>(envInL, envInR); }

inline void Modulation::finishCoasting(double modSource) {
  // The sine and triangle read no state of their own: their last sample
  // follows from the last sample's channel phases alone, formed here.
  if (wave_ == 0 || wave_ == 2) {
    prevPhase_[0] = lfo::wrapOnce(coastedPhase_ - offset_);
    prevPhase_[1] = lfo::wrapOnce(coastedPhase_ + offset_);
    shape(prevPhase_);
  }
  blend(modSource);
}

inline void Modulation::shape(const double (&phi)[2]) {
  const Pair phases = {phi[0], phi[1]};  // both channels' divisions in one
  if (wave_ == 0) {  // sine, opposite in sign to sin(phi)
    const Pair positions = (phases + lfo::kPi) * 1000.0 / kTwoPi;
    for (int c = 0; c < 2; ++c) {
      double pos = positions[c];
      // A phase of exactly pi lands one past the table; hold it on the last entry.
      if (!(pos >= 0.0)) pos = 0.0;
      if (pos > Tables::kSineSize - 1) pos = Tables::kSineSize - 1;
      lfoOut_[c] = tables_->sine[static_cast<int>(pos)];
    }
  } else {  // triangle: +1 at a quarter cycle, -1 at three quarters
    const Pair ts = phases / lfo::kHalfPiSingle;
    for (int c = 0; c < 2; ++c) {
      const double t = ts[c];
      if (std::fabs(phi[c]) <= lfo::kHalfPiSingle)
        lfoOut_[c] = t;
      else if (phi[c] > 0.0)
        lfoOut_[c] = 2.0 - t;
      else
        lfoOut_[c] = -t - 2.0;
    }
  }
}

template <bool kShaped>
inline void Modulation::step(double envInL, double envInR) {
  if (!kShaped && (wave_ == 0 || wave_ == 2)) {
    // Coasting, the sine and triangle need no channel phases until the last
    // sample's (finishCoasting).
    coastedPhase_ = phase_;
    advance(envInL, envInR);
    return;
  }
  const double phi[2] = {lfo::wrapOnce(phase_ - offset_), lfo::wrapOnce(phase_ + offset_)};

  switch (wave_) {
    case 0:  // sine
    case 2:  // triangle
      if constexpr (kShaped) shape(phi);
      break;
    case 1:  // square, rounded by the smoothing
      target_ = select(Pair{phi[0], phi[1]} > 0.0, Pair{1.0, 1.0}, Pair{-1.0, -1.0});
      glide(target_);
      break;
    case 3:  // rising saw, slightly rounded
      glide(Pair{phi[0], phi[1]} / lfo::kPi);
      break;
    default: {  // random: a new target at each rising zero crossing, glided to
      double left = target_[0], right = target_[1];
      if (phi[0] > 0.0 && prevPhase_[0] <= 0.0) left = 2.0 * nextRandom() / 32767.0 - 1.0;
      if (std::fabs(phi[0] - phi[1]) < 0.001)
        right = left;  // channels in step share one target
      else if (phi[1] > 0.0 && prevPhase_[1] <= 0.0)
        right = 2.0 * nextRandom() / 32767.0 - 1.0;
      target_ = Pair{left, right};
      glide(target_);
      break;
    }
  }
  prevPhase_[0] = phi[0];
  prevPhase_[1] = phi[1];
  advance(envInL, envInR);
}

inline void Modulation::advance(double envInL, double envInR) {
  phase_ += increment_;
  if (phase_ > lfo::kPi) phase_ -= kTwoPi;

  // Both envelopes at once, each with the arithmetic of its own.
  envelope_ = envelope_ + (Pair{envInL, envInR} * sensitivity_ - envelope_) * envCoef_;
}

inline void Modulation::blend(double modSource) {
  // Envelope 0 maps to -1, so silence with the envelope selected pulls down.
  const double b = std::isfinite(modSource) ? modSource : 0.0;
  const Pair m = b * (2.0 * envelope_ - 1.0) + (1.0 - b) * lfoOut_;  // each lane as alone
  modL_ = m[0];
  modR_ = m[1];
}

}  // namespace engine
