// The roundings shared by the value texts and the editor's readout. A host
// may send any float, so every conversion to an integer saturates instead of
// overflowing: a wild value shows a wild number, never undefined behaviour.
#pragma once

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace params {

// The integer part of an already rounded value, held to the int range (NaN
// gives 0).
inline int32_t saturatingInt(double x) {
  if (!(x == x)) return 0;
  if (x >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  if (x <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  return static_cast<int32_t>(x);
}

// The right-hand share in percent of a two-sided split (wet of Mix, right of
// a pan, envelope of ModSrc): floor(101 v) in single precision, so 0.5 gives
// 50 and only v = 1.0 reaches 101, which is capped to 100. Values outside
// 0..1 are held to 0..100 so the two shares stay between 0 and 100.
inline int percentSplit(double v) {
  const float scaled = static_cast<float>(101.0 * v);
  return std::clamp(saturatingInt(std::floor(scaled)), 0, 100);
}

// |x| in hundredths, rounded half up in single precision: 0.0999 gives 10,
// -0.002 gives 0.
inline int32_t roundedMagnitude(double x) {
  const float magnitude = std::fabs(static_cast<float>(x));
  return saturatingInt(std::floor(magnitude * 100.0f + 0.5f));
}

}  // namespace params
