// The phrase the factory programs are heard with: one bar of drums at
// 120 BPM, shared by the sound tests and the render comparison.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace testing_support {

// One bar of drums at 120 BPM (kick, snare, eighth-note hats), then silence.
inline std::vector<std::vector<float>> drumBar(double seconds, double rate = 44100.0) {
  const long n = static_cast<long>(seconds * rate);
  std::vector<std::vector<float>> s(2, std::vector<float>(static_cast<size_t>(n), 0.0f));
  uint32_t seed = 1;
  auto noise = [&] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(static_cast<int32_t>(seed)) / 2147483648.0f;
  };
  for (int beat = 0; beat < 4; ++beat) {
    const long at = static_cast<long>(beat * 0.5 * rate);
    for (long i = 0; i < static_cast<long>(0.3 * rate); ++i) {
      const double t = i / rate;
      float v;
      if (beat % 2 == 0) {  // kick: a falling sine
        v = static_cast<float>(0.8 * std::sin(2 * M_PI * (50 * t + 3 * (1 - std::exp(-t / 0.03)))) * std::exp(-t / 0.12));
      } else {  // snare: noise over a short tone
        v = static_cast<float>((0.5 * noise() + 0.3 * std::sin(2 * M_PI * 190 * t)) * std::exp(-t / 0.045));
      }
      s[0][at + i] += 0.9f * v;
      s[1][at + i] += v;
    }
    for (int half = 0; half < 2; ++half) {  // hats: differenced noise
      const long h = at + static_cast<long>(half * 0.25 * rate);
      float previous = 0.0f;
      for (long i = 0; i < static_cast<long>(0.05 * rate); ++i) {
        const float x = noise();
        const float v = 0.15f * (x - previous) * static_cast<float>(std::exp(-i / (0.01 * rate)));
        previous = x;
        s[0][h + i] += 0.6f * v;
        s[1][h + i] += v;
      }
    }
  }
  return s;
}

}  // namespace testing_support
