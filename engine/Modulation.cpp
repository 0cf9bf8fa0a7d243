#include "engine/Modulation.h"

#include <cmath>

namespace engine {

namespace {

using lfo::kPi;
constexpr int kLfoNumerators[] = {1, 2, 3, 4, 8};
constexpr int kDenominators[] = {1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64, 96};

template <typename T, int N>
T pick(const T (&list)[N], int index) {
  return list[index < 0 ? 0 : (index >= N ? N - 1 : index)];
}

// A working value that is not a finite number (a NaN written by a host) must
// not reach the recursive states, which would then stay NaN for good.
inline double finiteOr(double x, double fallback) { return std::isfinite(x) ? x : fallback; }

}  // namespace

Modulation::Modulation(const Tables& tables)
    // A 1000 Hz one-pole at 44100 Hz until a different rate is applied.
    : tables_(&tables), k_(1.0 - std::exp(-0.14247585730565954)) {}

void Modulation::setSampleRate(double sampleRate) {
  if (sampleRate == sampleRate_ || !(sampleRate > 0.0)) return;
  sampleRate_ = sampleRate;
  k_ = 1.0 - std::exp(-3141.592653589793 / sampleRate);  // 500 Hz one-pole
}

void Modulation::clear() {
  phase_ = 0.0;
  prevPhase_[0] = prevPhase_[1] = 0.0;
  coastedPhase_ = 0.0;
  lfoOut_ = Pair{};
  envelope_ = Pair{};
  modL_ = modR_ = 0.0;
}

void Modulation::suspend() {
  target_ = Pair{};
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
  // Locked to the song position only while the transport plays: a stopped
  // transport's position stands still, and restarting from it every block
  // would turn the LFO into a buzz at the block rate. Without a position the
  // LFO runs on at its synchronised rate from where it is.
  if (values.lfoMode.get() != 2 || !songPositionValid || !std::isfinite(ppqPos)) return;
  // One LFO period lasts numerator/denominator of a whole note.
  const double period = pick(kLfoNumerators, values.lfoNumIndex.get()) * 4.0 /
                        pick(kDenominators, values.lfoDenIndex.get());
  const double cycles = ppqPos / period;
  double phi = (cycles - std::floor(cycles)) * kTwoPi;
  if (phi > kPi) phi -= kTwoPi;
  phase_ = phi;
}

}  // namespace engine
