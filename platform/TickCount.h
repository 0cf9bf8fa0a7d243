// The millisecond tick count: an unsigned 32-bit count that wraps after
// about 49.7 days. Compare two ticks only by unsigned subtraction.
#pragma once

#include <cstdint>
#include <ctime>

namespace platform {

inline uint32_t tickCount() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  const uint64_t ms = static_cast<uint64_t>(t.tv_sec) * 1000u + static_cast<uint64_t>(t.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

}  // namespace platform
