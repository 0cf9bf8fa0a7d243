#include "engine/AntiAlias.h"

#include <cmath>

namespace engine {

void AntiAlias::setCoefficients(double cutoffHz, double sampleRate) {
  // At rates below 28 kHz a 14 kHz corner lies beyond the Nyquist frequency,
  // where the bilinear design turns into an unstable filter whose output
  // grows without bound. Such rates get a corner at 45 % of the rate instead;
  // from 31.2 kHz up the corner is the one asked for.
  if (cutoffHz > 0.45 * sampleRate) cutoffHz = 0.45 * sampleRate;
  const double a = 1.0 / std::tan(3.141592653589793 * cutoffHz / sampleRate);
  const double sqrt2 = std::sqrt(2.0);
  const double c = 1.0 + sqrt2 * a + a * a;
  c_.b0 = 1.0 / c;
  c_.b1 = 2.0 / c;
  c_.b2 = 1.0 / c;
  c_.a1 = 2.0 * (1.0 - a * a) / c;
  c_.a2 = (1.0 - sqrt2 * a + a * a) / c;
  pairs_ = {Pair{c_.b0, c_.b0}, Pair{c_.b1, c_.b1}, Pair{c_.b2, c_.b2}, Pair{c_.a1, c_.a1}, Pair{c_.a2, c_.a2}};
}

}  // namespace engine
