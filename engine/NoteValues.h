// Note values and time ranges shared by the delay times, the pre-delays and
// the LFO rate. A note value num/den lasts num/den of a whole note, that is
// 240000 * num / (den * tempo) milliseconds.
#pragma once

#include <algorithm>
#include <array>

namespace engine {

inline constexpr std::array<int, 5> kDelayNumerators{1, 3, 5, 7, 9};
inline constexpr std::array<int, 5> kLfoNumerators{1, 2, 3, 4, 8};
inline constexpr std::array<int, 6> kPreDelayNumerators{0, 1, 3, 5, 7, 9};
inline constexpr std::array<int, 13> kDenominators{1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64, 96};
inline constexpr std::array<double, 3> kRangesMs{100.0, 1000.0, 5000.0};

// Element `index` of a list, with the index held inside it (a stepped
// parameter caps at its last step; a stray index must not read past the end).
template <typename T, std::size_t N>
constexpr T noteListAt(const std::array<T, N>& list, int index) {
  return list[static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(N) - 1))];
}

// Length of num/den of a whole note at `tempo` BPM, in ms.
inline double noteMs(int numerator, int denominator, double tempo) {
  return numerator * 240000.0 / (denominator * tempo);
}

// The pre-delay is a fraction of the delay time and never longer than it.
inline double preDelayMs(int preNumIndex, int preDenIndex, double delayMs) {
  const double fraction = static_cast<double>(noteListAt(kPreDelayNumerators, preNumIndex)) /
                          noteListAt(kDenominators, preDenIndex);
  return std::min(fraction * delayMs, delayMs);
}

}  // namespace engine
