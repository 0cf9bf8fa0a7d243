#include "engine/Modulation.h"

#include <cmath>

#include "engine/Coefficients.h"

namespace engine {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPiSingle = 1.5707963705062866;  // pi/2 as a float, as the triangle has always used
constexpr int kLfoNumerators[] = {1, 2, 3, 4, 8};
constexpr int kDenominators[] = {1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64, 96};

template <typename T, int N>
T pick(const T (&list)[N], int index) {
  return list[index < 0 ? 0 : (index >= N ? N - 1 : index)];
}

inline double guard(double x) { return x + 1e-30 - 1e-30; }

// Brings a channel phase back into [-pi, pi] with one turn either way; the
// offset never moves it further than half a cycle out.
inline double wrapOnce(double phi) {
  if (phi > kPi) return phi - kTwoPi;
  if (phi < -kPi) return phi + kTwoPi;
  return phi;
}

// A working value that is not a finite number (a NaN written by a host) must
// not reach the recursive states, which would then stay NaN for good.
inline double finiteOr(double x, double fallback) { return std::isfinite(x) ? x : fallback; }

}  // namespace

Modulation::Modulation(const Tables& tables)
    // A 1000 Hz one-pole at 44100 Hz until a different rate is applied.
    : tables_(tables), k_(1.0 - std::exp(-0.14247585730565954)) {}

void Modulation::setSampleRate(double sampleRate) {
  if (sampleRate == sampleRate_ || !(sampleRate > 0.0)) return;
  sampleRate_ = sampleRate;
  k_ = 1.0 - std::exp(-3141.592653589793 / sampleRate);  // 500 Hz one-pole
}

void Modulation::clear() {
  phase_ = 0.0;
  prevPhase_[0] = prevPhase_[1] = 0.0;
  lfoOut_[0] = lfoOut_[1] = 0.0;
  envelope_[0] = envelope_[1] = 0.0;
  modL_ = modR_ = 0.0;
}

void Modulation::suspend() {
  target_[0] = target_[1] = 0.0;
  clear();
}

void Modulation::beginBlock(const WorkingValues& values, bool songPositionValid, double ppqPos) {
  double offset = finiteOr(values.lrOffset.get(), 0.0);
  if (std::fabs(offset) > kPi) offset = std::remainder(offset, kTwoPi);  // beyond the knob's +-pi/2
  offset_ = offset;
  wave_ = values.lfoWave.get();
  sensitivity_ = finiteOr(values.modSens.get(), 1.0);
  envCoef_ = finiteOr(values.envCoef.get(), 0.0);
  increment_ = finiteOr(values.lfoIncrement.get(), 0.0);
  if (values.lfoMode.get() != 2) return;
  if (!songPositionValid || !std::isfinite(ppqPos)) {
    // No transport position: the LFO stands at phase 0 for this block.
    phase_ = 0.0;
    increment_ = 0.0;
    return;
  }
  // One LFO period lasts numerator/denominator of a whole note.
  const double period = pick(kLfoNumerators, values.lfoNumIndex.get()) * 4.0 /
                        pick(kDenominators, values.lfoDenIndex.get());
  const double cycles = ppqPos / period;
  double phi = (cycles - std::floor(cycles)) * kTwoPi;
  if (phi > kPi) phi -= kTwoPi;
  phase_ = phi;
}

int Modulation::nextRandom() {
  // xorshift32: uniform enough for a sample-and-hold, and private to this
  // instance so several effects never share or race on one generator.
  random_ ^= random_ << 13;
  random_ ^= random_ >> 17;
  random_ ^= random_ << 5;
  return static_cast<int>(random_ >> 17);  // 15 bits: 0..32767
}

void Modulation::tick(double modSource, double envInL, double envInR, double& modL, double& modR) {
  const double phi[2] = {wrapOnce(phase_ - offset_), wrapOnce(phase_ + offset_)};

  switch (wave_) {
    case 0:  // sine, opposite in sign to sin(phi)
      for (int c = 0; c < 2; ++c) {
        double pos = (phi[c] + kPi) * 1000.0 / kTwoPi;
        // A phase of exactly pi lands one past the table; hold it on the last entry.
        if (!(pos >= 0.0)) pos = 0.0;
        if (pos > Tables::kSineSize - 1) pos = Tables::kSineSize - 1;
        lfoOut_[c] = tables_.sine[static_cast<int>(pos)];
      }
      break;
    case 1:  // square, rounded by the smoothing
      for (int c = 0; c < 2; ++c) {
        target_[c] = phi[c] > 0.0 ? 1.0 : -1.0;
        lfoOut_[c] = guard(lfoOut_[c] + (target_[c] - lfoOut_[c]) * k_);
      }
      break;
    case 2:  // triangle: +1 at a quarter cycle, -1 at three quarters
      for (int c = 0; c < 2; ++c) {
        const double t = phi[c] / kHalfPiSingle;
        if (std::fabs(phi[c]) <= kHalfPiSingle)
          lfoOut_[c] = t;
        else if (phi[c] > 0.0)
          lfoOut_[c] = 2.0 - t;
        else
          lfoOut_[c] = -t - 2.0;
      }
      break;
    case 3:  // rising saw, slightly rounded
      for (int c = 0; c < 2; ++c) lfoOut_[c] = guard(lfoOut_[c] + (phi[c] / kPi - lfoOut_[c]) * k_);
      break;
    default: {  // random: a new target at each rising zero crossing, glided to
      if (phi[0] > 0.0 && prevPhase_[0] <= 0.0) target_[0] = 2.0 * nextRandom() / 32767.0 - 1.0;
      if (std::fabs(phi[0] - phi[1]) < 0.001)
        target_[1] = target_[0];  // channels in step share one target
      else if (phi[1] > 0.0 && prevPhase_[1] <= 0.0)
        target_[1] = 2.0 * nextRandom() / 32767.0 - 1.0;
      for (int c = 0; c < 2; ++c) lfoOut_[c] = guard(lfoOut_[c] + (target_[c] - lfoOut_[c]) * k_);
      break;
    }
  }
  prevPhase_[0] = phi[0];
  prevPhase_[1] = phi[1];

  phase_ += increment_;
  if (phase_ > kPi) phase_ -= kTwoPi;

  const double sens = sensitivity_;
  const double coef = envCoef_;
  envelope_[0] = guard(envelope_[0] + (envInL * sens - envelope_[0]) * coef);
  envelope_[1] = guard(envelope_[1] + (envInR * sens - envelope_[1]) * coef);

  // Envelope 0 maps to -1, so silence with the envelope selected pulls down.
  const double b = finiteOr(modSource, 0.0);
  modL_ = b * (2.0 * envelope_[0] - 1.0) + (1.0 - b) * lfoOut_[0];
  modR_ = b * (2.0 * envelope_[1] - 1.0) + (1.0 - b) * lfoOut_[1];
  modL = modL_;
  modR = modR_;
}

}  // namespace engine
