// The level-shaping stages around the delay lines: the drive in front of the
// lines, the 2x2 feedback crossfeed, the gates on the delayed signal with
// their 1 ms look-ahead, and the ducking of the wet signal by a key signal.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/Pair.h"
#include "engine/Smoothing.h"

namespace engine {

// Drive: a compressor on new input. A short window of the rectified,
// drive-scaled level (2 to 16 samples by rate) sets a gain of 1 - m/4 up to a
// mean level m of 2 and 1/m above, so a higher drive factor compresses harder
// and lowers the level; no make-up gain follows.
class Drive {
 public:
  static constexpr int kMaxWindow = 16;

  // Window length for a rate: 2 up to 25 kHz, 4 up to 50 kHz, 8 up to 100 kHz,
  // 16 above. The write index restarts.
  void setSampleRate(int integerRate);
  int window() const { return window_; }
  void clear();

  // Once per block: the running sums recomputed from the window, so rounding
  // in the running update cannot build up.
  void beginBlock();

  // Feeds |x| * factor of both channels (left in the first lane) into the
  // window and steps its index.
  void feed(Pair x, double factor) {
    Pair& slot = ring_[index_];
    sum_ -= slot;
    slot = magnitude(x) * factor;
    sum_ += slot;
    if (++index_ >= window_) index_ = 0;
  }

  // The same while the drive is off: the window keeps the level as if the
  // drive ran, so that switching it on finds the last samples there, but
  // nothing reads the running sums before the next block recomputes them
  // from the window, so they are left as they are.
  void keep(Pair x, double factor) {
    ring_[index_] = magnitude(x) * factor;
    if (++index_ >= window_) index_ = 0;
  }

  // Gain of both channels from their running sums.
  Pair gain() const {
    const Pair u = sum_;
    const double window = window_;
    return select(u > threshold_, window / u, 1.0 - u * quarterOverWindow_);
  }

 private:
  Pair ring_[kMaxWindow] = {};  // a channel per lane
  Pair sum_ = {};
  int window_ = 4;
  int index_ = 0;
  double threshold_ = 8.0;           // 2 W
  double quarterOverWindow_ = 0.0625;  // 0.25 / W
};

// Feedback crossfeed from the two taps of the previous sample. A pan of 0
// keeps a side's feedback on the left line, 1 sends it wholly to the right
// line; so FbPanL 0 / FbPanR 1 gives two independent loops and 1 / 0 a
// ping-pong.
inline void feedbackMatrix(double yL, double yR, double gainL, double gainR, double panL, double panR,
                           double& toL, double& toR) {
  const double a = gainL * yL;
  const double b = gainR * yR;
  toR = panL * a + panR * b;
  toL = (a + b) - toR;
  toL = denormalGuard(toL);
  toR = denormalGuard(toR);
}

// Followers of the delayed signal's magnitude (a channel per lane), and the
// downward expander gain they give: envelope/threshold below the threshold,
// 1 above it; a threshold under 1e-5 switches the gate off.
struct Gates {
  static constexpr double kOff = 1e-5;  // thresholds below switch the gate off
  Pair envelope = {};

  Pair follow(Pair x, double attack, double release) {
    const Pair level = magnitude(x);
    envelope += (level - envelope) * select(level >= envelope, Pair{attack, attack}, Pair{release, release});
    return envelope;
  }
  static Pair gain(Pair envelope, Pair threshold) {
    const PairMask closing = (threshold >= kOff) & (envelope < threshold);
    if (!either(closing)) return Pair{1.0, 1.0};  // both open: no division
    return select(closing, envelope / threshold, Pair{1.0, 1.0});
  }
};

// The 1 ms look-ahead: the gated signal waits one line length so the gain
// reacts ahead of the sound it shapes. One shared index serves both channels.
class GateLookahead {
 public:
  void allocate(int length) {
    line_.assign(static_cast<std::size_t>(std::max(length, 1)), Pair{});
    length_ = static_cast<int>(line_.size());
    index_ = 0;
  }
  int length() const { return length_; }
  void clear() { std::fill(line_.begin(), line_.end(), Pair{}); }
  void resetIndex() { index_ = 0; }

  // Stores this sample's pair and returns the pair stored one length earlier.
  void exchange(Pair& x) {
    std::swap(line_[index_], x);
    if (++index_ >= length()) index_ = 0;
  }

 private:
  std::vector<Pair> line_ = std::vector<Pair>(1, Pair{});  // a channel per lane
  int length_ = 1;
  int index_ = 0;
};

// Ducking: one follower of the key level; above the threshold the wet signal
// is pulled down to threshold/envelope, so a loud key holds it near the
// threshold level.
struct Ducker {
  double envelope = 0.0;

  double gain(double keyLevel, double threshold, double attack, double release) {
    envelope += (keyLevel - envelope) * (keyLevel < envelope ? release : attack);
    return envelope > threshold ? threshold / std::max(envelope, 0.0001) : 1.0;
  }
};

}  // namespace engine
