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
  f_ = q_ = satCap_ = 0.0;
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
  const CoefficientsOf<double> c = setting(cutoffHz, resonance, resoModDepth).at(cutoffFactor_, resoMod_);
  effectiveCutoff_ = c.cutoff;
  f_ = c.f;
  q_ = c.q;
  satCap_ = c.satCap;
}

void Filter::sweepRun(const Pair* mod, int n, double cutoffHz, double resonance, double resoModDepth,
                      double cutoffModDepth, Coefficients* out) {
  if (n <= 0) return;
  const Setting setting = this->setting(cutoffHz, resonance, resoModDepth);
  // Two samples at a time; each takes the sweep of the sample before it, so
  // the first of a pair takes the one carried over from the pair before (at
  // first the sweep in force) and the second the first one's signals.
  double factor = cutoffFactor_, resoMod = resoMod_, position = sweptAt_;
  // The sweep the last sample took (none yet).
  double lastFactor = NAN, lastResoMod = NAN;
  // Without resonance modulation the damping holds: the signals are finite
  // (formed from finite samples), so 0 modR leaves the resonance as set.
  const bool dampingHeld = resoModDepth == 0.0;
  const Pair heldDamping = setting.dampingAt(Pair{resoMod, resoMod});
  int j = 0;
  for (; j + 1 < n; j += 2) {
    const Pair a = mod[j], b = mod[j + 1];
    const Pair positions = (cutoffModDepth * Pair{a[0], b[0]} + 1.0) * 0.5;
    const Pair resoMods = {a[1], b[1]};
    // A slow LFO read from its table, or a square held at its level, leaves
    // the signals standing for many samples: while a pair takes the sweep
    // the sample before it took, and leaves it for the next, it takes that
    // sample's coefficients.
    const PairMask standing = (positions == position) & (resoMods == resoMod) &
                              (Pair{factor, resoMod} == Pair{lastFactor, lastResoMod});
    if (standing[0] & standing[1]) {
      out[j] = out[j + 1] = out[j - 1];
      continue;
    }
    const Pair factors = setting.cutoffFactorAt(positions);
    const Pair takenResoMods = {resoMod, a[1]};
    const CoefficientsOf<Pair> c =
        setting.withDamping(Pair{factor, factors[0]}, dampingHeld ? heldDamping : setting.dampingAt(takenResoMods));
    out[j] = {c.f[0], c.q[0], c.satCap[0]};
    out[j + 1] = {c.f[1], c.q[1], c.satCap[1]};
    lastFactor = factors[0];
    lastResoMod = a[1];
    factor = factors[1];
    resoMod = b[1];
    position = positions[1];
  }
  if (j < n) {  // a run of odd length: its last sample alone
    const Pair a = mod[j];
    const CoefficientsOf<double> c = setting.at(factor, resoMod);
    out[j] = {c.f, c.q, c.satCap};
    lastFactor = factor;
    lastResoMod = resoMod;
    position = (cutoffModDepth * a[0] + 1.0) * 0.5;
    factor = setting.cutoffFactorAt(Pair{position, position})[0];
    resoMod = a[1];
  }
  // The last sample's coefficients stay in force, with what they came from,
  // and the sweep its signals give for the sample after it.
  computedFrom_ = {cutoffHz, resonance, resoModDepth, lastFactor, lastResoMod};
  const CoefficientsOf<double> c = setting.at(lastFactor, lastResoMod);
  effectiveCutoff_ = c.cutoff;
  f_ = c.f;
  q_ = c.q;
  satCap_ = c.satCap;
  cutoffFactor_ = factor;
  resoMod_ = resoMod;
  sweptAt_ = position;
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
  return y;
}

}  // namespace engine
