// The resonant two-pole state-variable filter, one per channel, run twice per
// sample with the input held (two-times oversampling) and softly saturated in
// its band state. The cut-off is swept by modL, the resonance by modR.
#pragma once

#include <cmath>

#include "engine/Pair.h"
#include "engine/Tables.h"

namespace engine {

enum FilterType { kLowPass = 0, kBandPass = 1, kHighPass = 2 };

class Filter {
 public:
  explicit Filter(const Tables& tables);

  // Cut-off ceiling sr/2.75 and the frequency-table scale 2/sr.
  void setSampleRate(double sampleRate);
  // Coefficients and both channels' states to 0, the sweep to rest (cut-off
  // factor 1, no resonance modulation).
  void clear();

  // From the modulation step of each sample, for use from the next sample on:
  // the cut-off factor (up to three octaves either way) from modL and the
  // depth, and the stored resonance modulation modR.
  void updateModulation(double modL, double modR, double cutoffModDepth);

  // Every sample while the filter is on, from the smoothed cut-off (Hz),
  // resonance (0.05..1) and resonance modulation depth (-1..1). Recomputed
  // only when one of them or the sweep has moved since the last call.
  void computeCoefficients(double cutoffHz, double resonance, double resoModDepth);

  // The coefficients in force, as computeCoefficients left them.
  struct Coefficients {
    double f = 0.0, q = 0.0, satCap = 0.0;
  };
  Coefficients coefficients() const { return {f_, q_, satCap_}; }

  // The coefficients of a run of n samples while the cut-off, the resonance
  // and both depths hold and only the modulation signals move (mod[j]: modL
  // and modR of sample j, a signal per lane), for a filter whose output does
  // not reach those signals. Sample j takes the sweep of sample j - 1 (the
  // first sample the sweep in force) and the last sample's sweep stays in
  // force: exactly what computeCoefficients and updateModulation, taken in
  // turn sample by sample, give, two samples at a time.
  void sweepRun(const Pair* mod, int n, double cutoffHz, double resonance, double resoModDepth,
                double cutoffModDepth, Coefficients* out);

  // Filters one sample of both channels (left in the first lane); type 0
  // low-pass, 1 band-pass, 2 high-pass. The second form takes coefficients
  // kept from an earlier computeCoefficients.
  Pair process(Pair x, int type) { return process(x, type, coefficients()); }
  Pair process(Pair x, int type, const Coefficients& c);
  // One sample of one channel (0 left, 1 right); the other keeps its state.
  double process(int channel, double x, int type);

  double cutoffFactor() const { return cutoffFactor_; }
  double effectiveCutoffHz() const { return effectiveCutoff_; }  // after modulation and ceiling
  double frequencyCoefficient() const { return f_; }
  double dampingCoefficient() const { return q_; }

 private:
  // Both channels' states, a channel per lane.
  struct State {
    Pair low = {}, band = {}, high = {};
  };
  // What the coefficients were last computed from.
  struct Inputs {
    double cutoffHz = NAN, resonance = NAN, resoModDepth = NAN, cutoffFactor = NAN, resoMod = NAN;
    bool operator==(const Inputs&) const = default;
  };

  // The sweep's cut-off factor at two control positions, and the
  // coefficients for two samples from their sweeps: a sample per lane, each
  // with the arithmetic of computeCoefficients and updateModulation.
  Pair cutoffFactorAt(Pair position) const;
  struct PairCoefficients {
    Pair cutoff, f, q, satCap;
  };
  PairCoefficients coefficientsAt(Pair cutoffFactor, Pair resoMod, double cutoffHz, double resonance,
                                  double resoModDepth) const;

  const Tables& tables_;
  double ceiling_ = 44100.0 / 2.75;
  double tableScale_ = 2.0 / 44100.0;
  double cutoffFactor_ = 1.0;
  double sweptAt_ = NAN;  // the sweep position cutoffFactor_ was looked up at
  double resoMod_ = 0.0;
  double effectiveCutoff_ = 0.0;
  double f_ = 0.0, q_ = 0.0;
  double satCap_ = 0.0;  // most damping the saturation may add
  Inputs computedFrom_;  // NaN: compute at the next call
  State state_;
};

}  // namespace engine
