#include "engine/Filter.h"

#include <cmath>

namespace engine {

Filter::Filter(const Tables& tables) : tables_(tables) {}

void Filter::setSampleRate(double sampleRate) {
  if (!(sampleRate > 0.0)) return;
  ceiling_ = sampleRate / 2.75;
  tableScale_ = 2.0 / sampleRate;
  computedFrom_ = Inputs{};
}

void Filter::clear() {
  // The sweep the cleared modulation signals (both 0) give: the cut-off
  // unmoved and no resonance offset, as in a fresh filter.
  cutoffFactor_ = 1.0;
  sweptAt_ = NAN;
  resoMod_ = 0.0;
  f_ = q_ = limit_ = satCap_ = 0.0;
  effectiveCutoff_ = 0.0;
  computedFrom_ = Inputs{};
  state_ = State{};
}

void Filter::updateModulation(double modL, double modR, double cutoffModDepth) {
  // exponentialAt holds its position within 0..1: the curve runs 0.5..2,
  // cubed 1/8..8, three octaves either way.
  // The same position gives the same factor: a sweep that stands still (no
  // depth, or a modulation that holds) skips the look-up.
  const double position = (cutoffModDepth * modL + 1.0) * 0.5;
  if (position != sweptAt_) {
    sweptAt_ = position;
    const double e = tables_.exponentialAt(position);
    cutoffFactor_ = e * e * e;
  }
  resoMod_ = modR;
}

void Filter::computeCoefficients(double cutoffHz, double resonance, double resoModDepth) {
  const Inputs inputs = {cutoffHz, resonance, resoModDepth, cutoffFactor_, resoMod_};
  if (inputs == computedFrom_) return;
  computedFrom_ = inputs;

  double fc = cutoffFactor_ * cutoffHz;
  if (fc > ceiling_) fc = ceiling_;
  if (!(fc > 0.0)) fc = 0.0;  // also catches NaN: the table index must stay valid
  effectiveCutoff_ = fc;

  // f = 2 sin(pi fc / (2 sr)): the coefficient for a filter running at twice the rate.
  const double x = fc * tableScale_ * 8191.0;
  int i = static_cast<int>(x);
  if (i > Tables::kFrequencySize - 2) i = Tables::kFrequencySize - 2;
  const double u = x - i;
  f_ = (1.0 - u) * tables_.frequency[i] + u * tables_.frequency[i + 1];

  double r = resoModDepth * resoMod_ + resonance;
  if (!(r >= 0.05)) r = 0.05;
  if (r > 1.0) r = 1.0;
  q_ = tables_.damping[static_cast<int>(r * 4095.0)];

  // Keeps the two-pass recursion stable at high cut-off and resonance.
  // Below f = 0.5 the bound 2/f - f/2 lies above 3.75 and the cap of 2 holds
  // anyway: no division needed.
  limit_ = f_ >= 0.5 ? 2.0 / f_ - f_ * 0.5 : 2.0;
  if (limit_ > 2.0) limit_ = 2.0;
  if (q_ > limit_) q_ = limit_;

  // The cubic saturation acts as extra damping 0.075 band^2 on top of f q.
  // The recursion stays stable while their sum is below 2 - f^2/2; a loud
  // band state (full-scale input at a high cut-off, or a hot feedback loop)
  // would push the cube past that and the states would run away to infinity.
  // Half of the remaining headroom is the most the saturation may add.
  satCap_ = 0.5 * (2.0 - 0.5 * f_ * f_ - f_ * q_);
  if (satCap_ < 0.0) satCap_ = 0.0;
}

Pair Filter::process(Pair x, int type, const Coefficients& c) {
  const double f = c.f, q = c.q, satCap = c.satCap;
  State& s = state_;
  Pair sum = {};
  for (int pass = 0; pass < 2; ++pass) {
    // Adding and removing 1e-30 flushes a band state decaying into the
    // denormal range. From 2^-45 up the pair of additions gives the state back
    // unchanged (1e-30 is under half its spacing), so a state that large, as
    // it is whenever the filter hears something, skips them and a predicted
    // branch keeps them off the recursion's path.
    Pair band = s.band;
    const PairMask large = magnitude(band) >= 0x1p-45;
    if (__builtin_expect(!(large[0] & large[1]), 0)) band = (band + 1e-30) - 1e-30;
    s.low = f * band + s.low;
    s.high = x - q * band - s.low;
    // The cubic term saturates the band state softly and bounds the resonance.
    const Pair cube = 0.075 * band * band * band;
    const Pair saturation = select(magnitude(cube) > satCap * magnitude(band), satCap * band, cube);
    s.band = band + f * s.high - saturation;
    sum += type == kBandPass ? s.band : (type == kHighPass ? s.high : s.low);
  }
  return 0.5 * sum;
}

double Filter::process(int channel, double x, int type) {
  const int lane = channel & 1;
  const State kept = state_;
  Pair in = {};
  in[lane] = x;
  const double y = process(in, type)[lane];
  const int other = 1 - lane;
  state_.low[other] = kept.low[other];
  state_.band[other] = kept.band[other];
  state_.high[other] = kept.high[other];
  return y;
}

}  // namespace engine
