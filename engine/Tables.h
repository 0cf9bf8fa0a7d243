// Lookup tables that replace expensive functions in the sample loop. They
// depend on nothing, so one set serves every effect in the process.
#pragma once

#include <array>

#include "engine/Pair.h"

namespace engine {

struct Tables {
  static constexpr int kSineSize = 1000;
  static constexpr int kFrequencySize = 8192;
  static constexpr int kDampingSize = 4097;
  static constexpr int kExponentialSize = 10000;

  Tables();
  // The process's one set, built on first use (thread-safe) and never changed.
  static const Tables& shared();

  std::array<double, kSineSize> sine;                // sin(2 pi i / 1000): one period
  std::array<double, kFrequencySize> frequency;      // 2 sin(i (pi/4) / 8191): filter frequency coefficient
  std::array<double, kDampingSize> damping;          // 2 (1 - (i/4095)^0.25): filter damping
  std::array<double, kExponentialSize> exponential;  // 2^((i - 4999) / 4999): 0.5 .. just above 2

  // The exponential curve at control position p in 0..1, linearly
  // interpolated; 1.0 at p = 0.5.
  double exponentialAt(double p) const {
    if (!(p > 0.0)) p = 0.0;  // NaN too
    if (p > 1.0) p = 1.0;
    const double x = p * 9998.0;
    const int i = static_cast<int>(x);  // x >= 0: truncation is the floor
    const double u = x - i;
    return (1.0 - u) * exponential[i] + u * exponential[i + 1];
  }
  // The same at two positions in one step, a position per lane.
  Pair exponentialAt(Pair p) const {
    p = select(p > 0.0, p, Pair{});  // NaN too
    p = select(p > 1.0, Pair{1.0, 1.0}, p);
    const Pair x = p * 9998.0;
    using Indices = int __attribute__((vector_size(8)));
    const Indices i = __builtin_convertvector(x, Indices);  // both truncated in one step, as above
    const int i0 = i[0], i1 = i[1];
    const Pair u = x - __builtin_convertvector(i, Pair);
    return (1.0 - u) * Pair{exponential[i0], exponential[i1]} + u * Pair{exponential[i0 + 1], exponential[i1 + 1]};
  }
};

}  // namespace engine
