// Step quantisation shared by every stepped parameter, switch and button.
#pragma once

#include <cmath>

namespace params {

// The index of the step of width 1/n that holds x; 1.0 belongs to the last
// step. The product n x is taken in single precision. Values below 0 (and
// NaN) fall into step 0, so a stray host value can never index outside a list.
inline int steps(float x, int n) {
  const float t = static_cast<float>(n) * x;
  if (!(t >= 1.0f)) return 0;
  if (t >= static_cast<float>(n - 1)) return n - 1;
  return static_cast<int>(std::floor(t));
}

// The centre of step a of n, the value a program stores for that step.
inline float stepValue(int a, int n) { return static_cast<float>((a + 0.5) / n); }

// One click's step along a list of n: forward for a step size of 1, back for
// a larger one (the panel's Shift- and Control-clicks), wrapping round at
// both ends.
inline float stepped(float current, int n, float stepSize) {
  int i = steps(current, n);
  i = stepSize > 1.0f ? i - 1 : i + 1;
  if (i >= n) i = 0;
  if (i < 0) i = n - 1;
  return stepValue(i, n);
}

}  // namespace params
