// The anti-alias low-pass in front of the variable-clock lines: two identical
// second-order Butterworth sections in series, per channel. A line clocked up
// to twice as fast would fold content near the Nyquist frequency back into
// the audible band; the cascade removes it first.
#pragma once

#include "engine/Pair.h"

namespace engine {

class AntiAlias {
 public:
  // Butterworth coefficients for a cut-off at `cutoffHz` (14 kHz in use).
  void setCoefficients(double cutoffHz, double sampleRate);

  // One sample of both channels (left in the first lane).
  Pair process(Pair x) {
    for (Section& s : sections_) x = s.process(x, pairs_);
    return x;
  }

  // Every state value of a channel set to x, so that the cascade starts from
  // a steady signal of x instead of a step.
  void preset(int channel, double x) {
    for (Section& s : sections_) s.x1[channel] = s.x2[channel] = s.y1[channel] = s.y2[channel] = x;
  }
  void clear() {
    preset(0, 0.0);
    preset(1, 0.0);
  }

  double b0() const { return c_.b0; }
  double b1() const { return c_.b1; }
  double b2() const { return c_.b2; }
  double a1() const { return c_.a1; }
  double a2() const { return c_.a2; }

 private:
  struct Coefficients {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
  };
  // The same, each in both lanes.
  struct PairCoefficients {
    Pair b0, b1, b2, a1, a2;
  };
  // One section for both channels, a channel per lane.
  struct Section {
    Pair x1 = {}, x2 = {}, y1 = {}, y2 = {};
    Pair process(Pair x, const PairCoefficients& c) {
      const Pair y = c.b0 * x + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2;
      x2 = x1;
      x1 = x;
      y2 = y1;
      y1 = y;
      return y;
    }
  };

  Coefficients c_;
  PairCoefficients pairs_ = {{1.0, 1.0}, {}, {}, {}, {}};
  Section sections_[2];
};

}  // namespace engine
