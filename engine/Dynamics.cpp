#include "engine/Dynamics.h"

namespace engine {

void Drive::setSampleRate(int integerRate) {
  window_ = integerRate <= 25000 ? 2 : integerRate <= 50000 ? 4 : integerRate <= 100000 ? 8 : 16;
  index_ = 0;
}

void Drive::clear() {
  for (Pair& x : ring_) x = Pair{};
  sum_ = Pair{};
}

void Drive::beginBlock() {
  threshold_ = 2.0 * window_;
  quarterOverWindow_ = 0.25 / window_;
  Pair s = {};
  for (int i = 0; i < window_; ++i) s += ring_[i];
  sum_ = s;
}

}  // namespace engine
