#include "engine/Dynamics.h"

namespace engine {

void Drive::setSampleRate(int integerRate) {
  window_ = integerRate <= 25000 ? 2 : integerRate <= 50000 ? 4 : integerRate <= 100000 ? 8 : 16;
  index_ = 0;
}

void Drive::clear() {
  for (auto& ring : ring_)
    for (double& x : ring) x = 0.0;
  sum_[0] = sum_[1] = 0.0;
}

void Drive::beginBlock() {
  threshold_ = 2.0 * window_;
  quarterOverWindow_ = 0.25 / window_;
  for (int c = 0; c < 2; ++c) {
    double s = 0.0;
    for (int i = 0; i < window_; ++i) s += ring_[c][i];
    sum_[c] = s;
  }
}

}  // namespace engine
