// Input peak memory for the editor's meters: a ring one block long per
// channel, so the peaks lag the input by one block, and per channel a running
// maximum and minimum that the editor reads and resets from its own thread.
#pragma once

#include <algorithm>
#include <atomic>
#include <vector>

#include "engine/Pair.h"

namespace engine {

class PeakMemory {
 public:
  void allocate(int length) {
    for (auto& ring : ring_) ring.assign(static_cast<std::size_t>(std::max(length, 1)), 0.0f);
    length_ = static_cast<int>(ring_[0].size());
    index_ = 0;
  }
  int length() const { return length_; }

  void clear() {
    for (auto& ring : ring_) std::fill(ring.begin(), ring.end(), 0.0f);
    for (int c = 0; c < 2; ++c) {
      max_[c].store(0.0f, std::memory_order_relaxed);
      min_[c].store(0.0f, std::memory_order_relaxed);
    }
  }

  // Stores a run of pairs (left in the first lane), each followed by taking
  // the entries one block old into the running extremes, which stay in
  // registers across the run and are stored once at its end.
  void push(const Pair* x, int n) {
    float top[2], bottom[2];
    for (int c = 0; c < 2; ++c) {
      top[c] = max_[c].load(std::memory_order_relaxed);
      bottom[c] = min_[c].load(std::memory_order_relaxed);
    }
    const float topWas[2] = {top[0], top[1]}, bottomWas[2] = {bottom[0], bottom[1]};
    float* const left = ring_[0].data();
    float* const right = ring_[1].data();
    int index = index_;
    for (int j = 0; j < n; ++j) {
      left[index] = static_cast<float>(x[j][0]);
      right[index] = static_cast<float>(x[j][1]);
      if (++index >= length_) index = 0;
      track(top[0], bottom[0], left[index]);
      track(top[1], bottom[1], right[index]);
    }
    index_ = index;
    for (int c = 0; c < 2; ++c) {
      if (top[c] != topWas[c]) max_[c].store(top[c], std::memory_order_relaxed);
      if (bottom[c] != bottomWas[c]) min_[c].store(bottom[c], std::memory_order_relaxed);
    }
  }

  // Per channel the larger of the maximum and the negated minimum; resets all
  // four extremes.
  void read(float& left, float& right) {
    left = std::max(max_[0].exchange(0.0f, std::memory_order_relaxed),
                    -min_[0].exchange(0.0f, std::memory_order_relaxed));
    right = std::max(max_[1].exchange(0.0f, std::memory_order_relaxed),
                     -min_[1].exchange(0.0f, std::memory_order_relaxed));
  }

 private:
  static void track(float& top, float& bottom, float x) {
    if (x > top)
      top = x;
    else if (x < bottom)
      bottom = x;
  }


  std::vector<float> ring_[2] = {std::vector<float>(1, 0.0f), std::vector<float>(1, 0.0f)};
  int length_ = 1;
  int index_ = 0;
  std::atomic<float> max_[2] = {0.0f, 0.0f};
  std::atomic<float> min_[2] = {0.0f, 0.0f};
};

}  // namespace engine
