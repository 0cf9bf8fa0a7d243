// Input peak memory for the editor's meters: a ring one block long per
// channel, so the peaks lag the input by one block, and per channel a running
// maximum and minimum that the editor reads and resets from its own thread.
#pragma once

#include <algorithm>
#include <atomic>
#include <vector>

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

  // Stores this sample's pair, then takes the entries one block old into the
  // running extremes.
  void push(float left, float right) {
    ring_[0][index_] = left;
    ring_[1][index_] = right;
    if (++index_ >= length()) index_ = 0;
    track(0, ring_[0][index_]);
    track(1, ring_[1][index_]);
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
  void track(int c, float x) {
    if (x > max_[c].load(std::memory_order_relaxed))
      max_[c].store(x, std::memory_order_relaxed);
    else if (x < min_[c].load(std::memory_order_relaxed))
      min_[c].store(x, std::memory_order_relaxed);
  }

  std::vector<float> ring_[2] = {std::vector<float>(1, 0.0f), std::vector<float>(1, 0.0f)};
  int length_ = 1;
  int index_ = 0;
  std::atomic<float> max_[2] = {0.0f, 0.0f};
  std::atomic<float> min_[2] = {0.0f, 0.0f};
};

}  // namespace engine
