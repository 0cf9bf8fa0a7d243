#include "engine/Tables.h"

#include <cmath>

namespace engine {

Tables::Tables() {
  for (int i = 0; i < kSineSize; ++i) sine[i] = std::sin(i / 158.99578814880346);
  // pi/4 as single precision, as the frequency curve has always used.
  for (int i = 0; i < kFrequencySize; ++i) frequency[i] = 2.0 * std::sin(i * 0.7853981852531433 / 8191.0);
  for (int i = 0; i < kDampingSize; ++i) damping[i] = 2.0 * (1.0 - std::pow(i / 4095.0, 0.25));
  for (int i = 0; i < kExponentialSize; ++i) exponential[i] = std::pow(2.0, (i - 4999.0) / 4999.0);
}

const Tables& Tables::shared() {
  static const Tables tables;
  return tables;
}

}  // namespace engine
