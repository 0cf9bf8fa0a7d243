// The resonant two-pole state-variable filter, one per channel, run twice per
// sample with the input held (two-times oversampling) and softly saturated in
// its band state. The cut-off is swept by modL, the resonance by modR.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

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
    Pair low = {}, band = {};
  };
  // What the coefficients were last computed from.
  struct Inputs {
    double cutoffHz = NAN, resonance = NAN, resoModDepth = NAN, cutoffFactor = NAN, resoMod = NAN;
    bool operator==(const Inputs&) const = default;
  };

  // The coefficients of one sample (T double) or of two, a sample per lane
  // (T Pair), each lane with the arithmetic of the lone sample, from the
  // sweep the sample takes; formed from what holds over a run (the tables,
  // the rate's ceiling and table scale, the knobs), a value of its own that a
  // run's loop keeps in registers.
  template <typename T>
  struct CoefficientsOf {
    T cutoff, f, q, satCap;
  };
  struct Setting {
    const Tables& tables;
    double ceiling, tableScale, cutoffHz, resonance, resoModDepth;
    Pair cutoffFactorAt(Pair position) const;  // the sweep's factor at two control positions
    template <typename T>
    T dampingAt(T resoMod) const;  // q at a resonance modulation
    template <typename T>
    CoefficientsOf<T> withDamping(T cutoffFactor, T q) const;
    template <typename T>
    CoefficientsOf<T> at(T cutoffFactor, T resoMod) const {
      return withDamping(cutoffFactor, dampingAt(resoMod));
    }
  };
  Setting setting(double cutoffHz, double resonance, double resoModDepth) const {
    return {tables_, ceiling_, tableScale_, cutoffHz, resonance, resoModDepth};
  }
  // Table look-ups a lane at a time: the entry at k, and the linear
  // interpolation at x.
  static double entry(const double* t, double k) { return t[static_cast<int>(k)]; }
  static Pair entry(const double* t, Pair k) { return Pair{t[static_cast<int>(k[0])], t[static_cast<int>(k[1])]}; }
  static double interpolated(const double* t, double x) {
    const int i = static_cast<int>(x);
    const double u = x - i;
    return (1.0 - u) * t[i] + u * t[i + 1];
  }
  static Pair interpolated(const double* t, Pair x) {
    const int i0 = static_cast<int>(x[0]), i1 = static_cast<int>(x[1]);
    const Pair u = x - Pair{static_cast<double>(i0), static_cast<double>(i1)};
    return (1.0 - u) * Pair{t[i0], t[i1]} + u * Pair{t[i0 + 1], t[i1 + 1]};
  }

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

inline Pair Filter::process(Pair x, int type, const Coefficients& c) {
  const double f = c.f, q = c.q, satCap = c.satCap;
  // One pass of the state-variable filter:
  //   low'  = low + f band
  //   high  = x - q band - low'
  //   band' = band + f high - saturation
  // The band update written out, band' = (1 - f (q + f)) band + f (x - low)
  // - saturation, waits for one product and two sums behind the last band
  // state instead of five steps in a row; the same filter, rounded once
  // differently.
  const double keep = 1.0 - f * (q + f);
  const double capSquare = satCap * (1.0 / 0.075);  // the band^2 at which the cube meets the cap
  State& s = state_;
  Pair sum = {};
  for (int pass = 0; pass < 2; ++pass) {
    const Pair band = s.band;
    const Pair lowBefore = s.low;
    s.low = f * band + s.low;
    // The cubic term 0.075 band^3 saturates the band state softly and bounds
    // the resonance; where it would take away more than satCap band (where
    // 0.075 band^2 passes satCap), that takes its place. The choice looks at
    // band^2 alone, so it is made while the cube is still being formed.
    const Pair square = band * band;
    const Pair cube = (0.075 * band) * square, cap = satCap * band;
    const Pair saturation = select(square < capSquare, cube, cap);
    const Pair high = x - q * band - s.low;
    s.band = (keep * band + f * (x - lowBefore)) - saturation;
    sum += type == kBandPass ? s.band : (type == kHighPass ? high : s.low);
  }
  return 0.5 * sum;
}

inline Pair Filter::Setting::cutoffFactorAt(Pair position) const {
  const Pair e = tables.exponentialAt(position);
  return e * e * e;
}

template <typename T>
inline T Filter::Setting::dampingAt(T resoMod) const {
  // The limits in the forms of the processor's minimum and maximum, which
  // give the same results, NaN included.
  T r = resoModDepth * resoMod + resonance;
  const T least = T{} + 0.05, most = T{} + 1.0;
  r = r > least ? r : least;  // NaN too
  r = most < r ? most : r;
  return entry(tables.damping.data(), r * 4095.0);
}

template <typename T>
inline Filter::CoefficientsOf<T> Filter::Setting::withDamping(T cutoffFactor, T q) const {
  CoefficientsOf<T> c;
  T fc = cutoffFactor * cutoffHz;
  const T top = T{} + ceiling;
  fc = top < fc ? top : fc;
  fc = fc > 0.0 ? fc : T{};  // also catches NaN: the table index must stay valid
  c.cutoff = fc;

  // f = 2 sin(pi fc / (2 sr)): the coefficient for a filter running at twice the rate.
  // Held under the ceiling, the index stays below 8191 * 2/2.75 (5958): no
  // end of the table to guard.
  c.f = interpolated(tables.frequency.data(), fc * tableScale * 8191.0);
  c.q = q;

  // The two-pass recursion is stable while f q + f^2/2 stays below 2. Held
  // under sr/2.75 the cut-off keeps f below 1.082, and the least resonance
  // (0.05) keeps q below 1.056, so that sum stays below 1.73 and the damping
  // never needs a limit.
  // The cubic saturation acts as extra damping 0.075 band^2 on top of f q:
  // a loud band state (full-scale input at a high cut-off, or a hot feedback
  // loop) would push the cube past the remaining headroom and the states
  // would run away to infinity. Half of that headroom (more than 0.13) is the
  // most the saturation may add.
  c.satCap = 0.5 * (2.0 - 0.5 * c.f * c.f - c.f * c.q);
  return c;
}

}  // namespace engine
