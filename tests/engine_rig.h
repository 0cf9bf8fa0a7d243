// A delay engine on a bench: a plain echo (no feedback, wet only, fixed
// clock, filter, reverb, gates and ducking out of the way), four inputs, two
// outputs, and whole signals processed block by block.
#pragma once

#include <cmath>
#include <memory>
#include <vector>

#include "engine/DelayEngine.h"

namespace enginetest {

using Signal = std::vector<double>;
struct Stereo {
  Signal left, right;
};

inline Signal level(long n, double x) { return Signal(static_cast<std::size_t>(n), x); }
inline Signal impulse(long n, long at = 0) {
  Signal s = level(n, 0.0);
  s[static_cast<std::size_t>(at)] = 1.0;
  return s;
}
inline Signal tone(long n, double hz, double rate, double amplitude) {
  Signal s(static_cast<std::size_t>(n));
  for (long i = 0; i < n; ++i) s[i] = amplitude * std::sin(6.283185307179586 * hz * i / rate);
  return s;
}
inline double peak(const Signal& s, long from = 0, long to = -1) {
  double p = 0.0;
  for (long i = from; i < (to < 0 ? static_cast<long>(s.size()) : to); ++i) p = std::max(p, std::fabs(s[i]));
  return p;
}
inline long loudest(const Signal& s) {
  long at = 0;
  for (long i = 1; i < static_cast<long>(s.size()); ++i)
    if (std::fabs(s[i]) > std::fabs(s[at])) at = i;
  return at;
}

class Rig {
 public:
  explicit Rig(double rate = 44100.0, double delayMs = 500.0) : e_(std::make_unique<engine::DelayEngine>()) {
    e_->setSampleRate(rate);
    engine::ChannelMap map;
    engine::ChannelMap::forChannelCounts(4, 2, map);
    e_->setChannelMap(map);
    engine::WorkingValues& v = values();
    v.mix = 1.0;
    v.vcoOn = 0;
    v.duckThreshold = 1.0;
    for (int c = 0; c < 2; ++c) {
      v.syncOn[c] = 0;
      v.delayTimeMs[c] = delayMs;
    }
    e_->suspend();
  }
  engine::DelayEngine& engine() { return *e_; }
  engine::WorkingValues& values() { return e_->values(); }
  long samples(double ms) const { return static_cast<long>(ms * e_->sampleRate() / 1000.0); }
  long lookahead() const { return e_->gateLookaheadLength(); }

  template <typename Sample = double>
  Stereo run(const Signal& left, const Signal& right, int block = 512, const Signal* key = nullptr) {
    const long n = static_cast<long>(left.size());
    Stereo out{level(n, 0.0), level(n, 0.0)};
    std::vector<std::vector<Sample>> in(4, std::vector<Sample>(block)), o(2, std::vector<Sample>(block));
    for (long at = 0; at < n; at += block) {
      const int frames = static_cast<int>(std::min<long>(block, n - at));
      for (int i = 0; i < frames; ++i) {
        in[0][i] = static_cast<Sample>(left[at + i]);
        in[1][i] = static_cast<Sample>(right[at + i]);
        in[2][i] = in[3][i] = static_cast<Sample>(key ? (*key)[at + i] : 0.0);
      }
      Sample* ip[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
      Sample* op[2] = {o[0].data(), o[1].data()};
      e_->process(ip, op, frames, {});
      for (int i = 0; i < frames; ++i) {
        out.left[at + i] = o[0][i];
        out.right[at + i] = o[1][i];
      }
    }
    return out;
  }
  Stereo run(const Signal& mono, int block = 512) { return run(mono, mono, block); }

 private:
  std::unique_ptr<engine::DelayEngine> e_;
};

}  // namespace enginetest
