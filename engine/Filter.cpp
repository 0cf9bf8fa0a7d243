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
  // Both lanes alike: the arithmetic of a run's sweep, one sample.
  const PairCoefficients c =
      coefficientsAt(Pair{cutoffFactor_, cutoffFactor_}, Pair{resoMod_, resoMod_}, cutoffHz, resonance, resoModDepth);
  effectiveCutoff_ = c.cutoff[0];
  f_ = c.f[0];
  q_ = c.q[0];
  satCap_ = c.satCap[0];
}

void Filter::sweepRun(const Pair* mod, int n, double cutoffHz, double resonance, double resoModDepth,
                      double cutoffModDepth, Coefficients* out) {
  // Two samples at a time; each takes the sweep of the sample before it, so
  // the first of a pair takes the one carried over from the pair before (at
  // first the sweep in force) and the second the first one's signals.
  double factor = cutoffFactor_, resoMod = resoMod_, position = sweptAt_;
  // The coefficients computed last, with the sweep they came from. A slow
  // LFO read from its table, or a square held at its level, leaves the
  // signals standing for many samples: while they stand, the kept
  // coefficients serve, as computeCoefficients would keep them.
  const bool knobsAsKept = computedFrom_.cutoffHz == cutoffHz && computedFrom_.resonance == resonance &&
                           computedFrom_.resoModDepth == resoModDepth;
  Coefficients kept = coefficients();
  double keptFactor = knobsAsKept ? computedFrom_.cutoffFactor : NAN;
  double keptResoMod = computedFrom_.resoMod, keptCutoff = effectiveCutoff_;
  for (int j = 0; j < n; j += 2) {
    const bool pair = j + 1 < n;
    const Pair a = mod[j], b = pair ? mod[j + 1] : mod[j];
    const Pair positions = (cutoffModDepth * Pair{a[0], b[0]} + 1.0) * 0.5;
    const PairMask standing = (positions == position) & (Pair{a[1], b[1]} == resoMod);
    if (standing[0] && standing[1] && factor == keptFactor && resoMod == keptResoMod) {
      out[j] = kept;
      if (pair) out[j + 1] = kept;
      continue;
    }
    const Pair factors = cutoffFactorAt(positions);
    const Pair takenFactors = {factor, factors[0]}, takenResoMods = {resoMod, a[1]};
    const PairCoefficients c = coefficientsAt(takenFactors, takenResoMods, cutoffHz, resonance, resoModDepth);
    out[j] = {c.f[0], c.q[0], c.satCap[0]};
    if (pair) out[j + 1] = {c.f[1], c.q[1], c.satCap[1]};
    const int last = pair ? 1 : 0;
    kept = out[j + last];
    keptFactor = takenFactors[last];
    keptResoMod = takenResoMods[last];
    keptCutoff = c.cutoff[last];
    factor = factors[last];
    resoMod = pair ? b[1] : a[1];
    position = positions[last];
  }
  // The last sample's coefficients stay in force, with what they came from,
  // and the sweep of its signals for the sample after it.
  if (n > 0) {
    computedFrom_ = {cutoffHz, resonance, resoModDepth, keptFactor, keptResoMod};
    effectiveCutoff_ = keptCutoff;
    f_ = kept.f;
    q_ = kept.q;
    satCap_ = kept.satCap;
  }
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
  state_.high[other] = kept.high[other];
  return y;
}

}  // namespace engine
