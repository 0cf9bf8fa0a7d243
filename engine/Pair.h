// Two doubles in one SSE2 register: the left and right channel, or two
// signals taken at the same place, sent through the same arithmetic at once.
// Each lane rounds exactly as the same expression on a lone double does, so
// the results are those of two scalar passes.
#pragma once

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

}  // namespace engine
