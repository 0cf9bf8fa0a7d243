// Two doubles in one SSE2 register: the left and right channel, or two
// signals taken at the same place, sent through the same arithmetic at once.
// Each lane rounds exactly as the same expression on a lone double does, so
// the results are those of two scalar passes.
#pragma once

#include <emmintrin.h>

namespace engine {

using Pair = double __attribute__((vector_size(16)));
using PairMask = long long __attribute__((vector_size(16)));  // per lane all ones or all zeros

// |x| per lane: the sign bit cleared, as std::fabs does.
inline Pair magnitude(Pair x) {
  return reinterpret_cast<Pair>(reinterpret_cast<PairMask>(x) & PairMask{0x7FFFFFFFFFFFFFFFLL, 0x7FFFFFFFFFFFFFFFLL});
}

// Lane by lane: a where the mask is set, otherwise b.
inline Pair select(PairMask mask, Pair a, Pair b) {
  return reinterpret_cast<Pair>((reinterpret_cast<PairMask>(a) & mask) | (reinterpret_cast<PairMask>(b) & ~mask));
}

// Which lanes a mask sets, a bit each (the left lane in bit 0): one
// instruction, where taking each lane out of the register costs three or four.
inline int lanes(PairMask mask) { return _mm_movemask_pd(reinterpret_cast<__m128d>(mask)); }
inline bool both(PairMask mask) { return lanes(mask) == 3; }
inline bool either(PairMask mask) { return lanes(mask) != 0; }

// Adding and removing 1e-30 flushes a state decaying into the denormal range
// to 0, where arithmetic is many times slower. From 2^-45 up the two
// additions give a value back unchanged (1e-30 lies under half its spacing),
// so a state that large, as it is whenever signal passes, skips them: a
// predicted branch keeps them off the critical path of a recursion. The
// result has the bits of always adding and removing.
inline Pair flushTiny(Pair x) {
  if (__builtin_expect(both(magnitude(x) >= 0x1p-45), 1)) return x;
  return (x + 1e-30) - 1e-30;
}
inline double flushTiny(double x) {
  if (__builtin_expect(__builtin_fabs(x) >= 0x1p-45, 1)) return x;
  return (x + 1e-30) - 1e-30;
}
// flushTiny with the test on the bits in integer registers: the same
// results, but the test takes no slot of the floating-point adders, for a
// loop that keeps them busy (the reverb). Infinities and NaN pass as they are.
inline Pair flushTinyByBits(Pair x) {
  constexpr unsigned long long kLarge = (1023ull - 45) << 53;  // 2^-45 with the sign shifted out
  unsigned long long u[2];
  __builtin_memcpy(u, &x, sizeof u);
  if (__builtin_expect(((u[0] << 1) >= kLarge) & ((u[1] << 1) >= kLarge), 1)) return x;
  return (x + 1e-30) - 1e-30;
}

}  // namespace engine
