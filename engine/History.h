// The last four values of a signal and the Catmull-Rom cubic through them,
// which the variable clock uses to write and read its lines between samples.
#pragma once

namespace engine {

struct History4 {
  double h[4] = {0.0, 0.0, 0.0, 0.0};  // h[0] oldest .. h[3] newest

  void push(double x) {
    h[0] = h[1];
    h[1] = h[2];
    h[2] = h[3];
    h[3] = x;
  }
  void clear() { h[0] = h[1] = h[2] = h[3] = 0.0; }

  // The cubic between h[1] (q = 0) and h[2] (q = 1).
  double catmullRom(double q) const {
    const double h0 = h[0], h1 = h[1], h2 = h[2], h3 = h[3];
    return 0.5 * ((3.0 * h1 - 3.0 * h2 + h3 - h0) * q * q * q + (2.0 * h0 - 5.0 * h1 + 4.0 * h2 - h3) * q * q +
                  (h2 - h0) * q + 2.0 * h1);
  }
};

}  // namespace engine
