// The processor's arithmetic mode while the effect runs a block.
#pragma once

#include <xmmintrin.h>

namespace engine {

// While a block runs, numbers too small to be normal (subnormals) count as
// zero, coming in and going out (the SSE control word's DAZ and FTZ bits),
// rounding is to nearest and no arithmetic exception traps, whatever mode
// the host left its thread in; the host's own mode comes back when the block
// ends. Decaying states (the filter, the reverb, the envelopes, the LFO's
// glides) thus fall to zero without passing through the subnormal range,
// where x86 arithmetic is many times slower, and without a test of their own
// every sample; and a block gives the same bits in every host.
class BlockFloatMode {
 public:
  static constexpr unsigned kFlushToZero = 0x8000, kSubnormalsAreZero = 0x0040, kAllExceptionsMasked = 0x1F80;
  static constexpr unsigned kMode = kFlushToZero | kSubnormalsAreZero | kAllExceptionsMasked;  // round to nearest

  BlockFloatMode() : hosts_(_mm_getcsr()) { _mm_setcsr(kMode); }
  ~BlockFloatMode() { _mm_setcsr(hosts_); }
  BlockFloatMode(const BlockFloatMode&) = delete;
  BlockFloatMode& operator=(const BlockFloatMode&) = delete;

 private:
  unsigned hosts_;
};

}  // namespace engine
