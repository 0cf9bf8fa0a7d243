// A delay engine on a test bench: clean settings (one echo, no feedback,
// wet only, filter, clock, reverb, gates and ducking out of the way), four
// input channels and two outputs, and block-wise processing of whole signals.
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

inline Signal silence(long n) { return Signal(static_cast<std::size_t>(n), 0.0); }
inline Signal impulse(long n, long at = 0, double height = 1.0) {
  Signal s = silence(n);
  s[static_cast<std::size_t>(at)] = height;
  return s;
}
inline Signal constant(long n, double level) { return Signal(static_cast<std::size_t>(n), level); }
inline Signal sine(long n, double hz, double sampleRate, double amplitude = 1.0) {
  Signal s = silence(n);
  for (long i = 0; i < n; ++i) s[i] = amplitude * std::sin(6.283185307179586 * hz * i / sampleRate);
  return s;
}

// Index of the first sample whose magnitude exceeds `floor` at or after `from`, or -1.
inline long firstAbove(const Signal& s, double floor, long from = 0) {
  for (long i = from; i < static_cast<long>(s.size()); ++i)
    if (std::fabs(s[i]) > floor) return i;
  return -1;
}
inline double peak(const Signal& s, long from = 0, long to = -1) {
  if (to < 0) to = static_cast<long>(s.size());
  double p = 0.0;
  for (long i = from; i < to; ++i) p = std::max(p, std::fabs(s[i]));
  return p;
}

class Rig {
 public:
  explicit Rig(double sampleRate = 44100.0) : engine_(std::make_unique<engine::DelayEngine>()) {
    engine_->setSampleRate(sampleRate);
    engine::ChannelMap map;
    engine::ChannelMap::forChannelCounts(4, 2, map);
    engine_->setChannelMap(map);
    engine::WorkingValues& v = values();
    v.inputGain = 1.0;
    v.outputGain = 1.0;
    v.mix = 1.0;
    v.vcoOn = 0;
    v.fltOn = 0;
    v.rvbOn = 0;
    v.rvbMode = 0;
    v.bypass = 0;
    v.driveGain = 1.0;
    v.driveNormalised = 0.0;
    v.duckThreshold = 1.0;
    for (int c = 0; c < 2; ++c) {
      v.muteGain[c] = 1.0;
      v.fbGain[c] = 0.0;
      v.fbSign[c] = 1.0;
      v.dlySign[c] = 1.0;
      v.gateThreshold[c] = 0.0;
      v.syncOn[c] = 0;
      v.preNumIndex[c] = 0;
    }
    v.fbPan[0] = 0.0;  // two independent loops
    v.fbPan[1] = 1.0;
    v.dlyPan[0] = 0.0;  // left wet hard left, right wet hard right
    v.dlyPan[1] = 1.0;
    setDelay(500.0);
    settle();
  }

  engine::DelayEngine& engine() { return *engine_; }
  engine::WorkingValues& values() { return engine_->values(); }
  double rate() const { return engine_->sampleRate(); }
  long samples(double ms) const { return static_cast<long>(ms * engine_->sampleRate() / 1000.0); }
  long lookahead() const { return engine_->gateLookaheadLength(); }

  void setDelay(double ms) { setDelay(ms, ms); }
  void setDelay(double leftMs, double rightMs) {
    values().delayTimeMs[0] = leftMs;
    values().delayTimeMs[1] = rightMs;
  }
  // Heads placed from the current times, smoothers at their targets, state cleared.
  void settle() { engine_->suspend(); }

  // Runs the main inputs (and optionally the key inputs) through the engine
  // in blocks of `block` samples.
  template <typename Sample = double>
  Stereo run(const Signal& left, const Signal& right, int block = 512, const Signal* keyL = nullptr,
             const Signal* keyR = nullptr, engine::BlockTiming timing = {}) {
    const long n = static_cast<long>(left.size());
    Stereo out{silence(n), silence(n)};
    std::vector<std::vector<Sample>> in(4, std::vector<Sample>(static_cast<std::size_t>(block)));
    std::vector<std::vector<Sample>> o(2, std::vector<Sample>(static_cast<std::size_t>(block)));
    for (long at = 0; at < n; at += block) {
      const int frames = static_cast<int>(std::min<long>(block, n - at));
      for (int i = 0; i < frames; ++i) {
        in[0][i] = static_cast<Sample>(left[at + i]);
        in[1][i] = static_cast<Sample>(right[at + i]);
        in[2][i] = static_cast<Sample>(keyL ? (*keyL)[at + i] : 0.0);
        in[3][i] = static_cast<Sample>(keyR ? (*keyR)[at + i] : 0.0);
      }
      Sample* inputs[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
      Sample* outputs[2] = {o[0].data(), o[1].data()};
      engine_->process(inputs, outputs, frames, timing);
      for (int i = 0; i < frames; ++i) {
        out.left[at + i] = o[0][i];
        out.right[at + i] = o[1][i];
      }
    }
    return out;
  }
  Stereo run(const Signal& mono, int block = 512) { return run(mono, mono, block); }

 private:
  std::unique_ptr<engine::DelayEngine> engine_;
};

}  // namespace enginetest
