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

}  // namespace engine
