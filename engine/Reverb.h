// Stereo reverb with two characters: a spring (damped feedback lines and short
// all-pass diffusers) and a plate (four-stage input diffuser and six long
// damped lines). Both end in a wide band-pass per channel and a fixed output
// scaling. Sixteen power-of-two lines wrap with a mask.
#pragma once

#include <vector>

#include "engine/Pair.h"

namespace engine {

enum ReverbType { kSpring = 0, kPlate = 1 };

class Reverb {
 public:
  static constexpr int kLines = 16;

  struct Decay {
    double g1 = 0.0, g2 = 0.0, g3 = 0.0, kd = 0.0;
  };
  // Decay gains and damping coefficient of a type for a RvbDamp value 0..1.
  static Decay decayFor(int type, double damping);
  // Line mask for a sample rate: 0x7FFF below 50 kHz, 0xFFFF below 100 kHz,
  // 0x1FFFF above.
  static int maskFor(double sampleRate);

  // Sizes the lines for a rate; allocates only when the size changes. Call
  // from the lifecycle (resume), never from the audio path. Follow with
  // configure().
  void allocate(double sampleRate);
  // Applies a type: tap lengths, positions, band-pass and output scale, and
  // the decay for the damping last set. Never allocates; safe under the
  // processing lock while audio is paused.
  void configure(int type, double sampleRate);
  // RvbDamp normalised value; recomputes the decay for the configured type
  // only when the value changes, so it may be called every block.
  void setDamping(double damping);
  // Explicit decay values (they stay until the next configure or new damping).
  void setDecay(const Decay& decay);
  // Lines, damping and band-pass states to 0.
  void clear();
  bool ready() const { return mask_ != 0; }

  // One sample: inputs iL, iR; amount 0 passes them unchanged, 1 gives only
  // the scaled reverb. Without lines the inputs pass unchanged.
  void process(double iL, double iR, double amount, double& rL, double& rR);
  // A run of samples, a channel per lane; `out` may be `in`. The same
  // arithmetic as sample by sample, with the state held in registers.
  void process(const Pair* in, Pair* out, int frames, double amount);

  int type() const { return type_; }
  int mask() const { return mask_; }
  // Read distance of line 0..15 (A0..A5, B0..B5, C0..C3) in samples.
  int length(int line) const { return length_[line]; }
  const Decay& decay() const { return decay_; }

 private:
  // Every line's write position is the same index, so lines laid end to end
  // at a power-of-two length would all meet in one cache set and evict each
  // other every sample. Each line starts nine cache lines further along than
  // a power-of-two spacing would put it, which spreads the sixteen over
  // sixteen different sets.
  static constexpr int kStagger = 72;  // doubles: nine 64-byte cache lines
  double* line(int i) { return &buffer_[static_cast<std::size_t>(i) * (mask_ + 1 + kStagger)]; }
  struct Output;
  // The samples until the first of `count` line positions wraps.
  int runWithoutWrap(const int* positions, int count) const;
  // As many of `frames` samples as run without a wrap; returns how many.
  int runSpring(const Pair* in, Pair* out, int frames, Output& o);
  int runPlate(const Pair* in, Pair* out, int frames, Output& o);

  std::vector<double> buffer_;  // 16 lines of mask + 1, kStagger apart
  int mask_ = 0;
  int type_ = kSpring;
  int length_[kLines] = {};
  int writeA_ = 0;   // group A
  int writeBC_ = 0;  // groups B and C
  double damping_ = 0.0;
  Decay decay_ = decayFor(kSpring, 0.0);
  double d_[6] = {};
  double b0_ = 0.0, b2_ = 0.0, a1_ = 0.0, a2_ = 0.0;
  Pair x1_ = {}, x2_ = {}, y1_ = {}, y2_ = {};  // the band-pass states, a channel per lane
  double outputScale_ = 0.1625;
};

}  // namespace engine
