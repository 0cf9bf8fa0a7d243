#include "engine/DelayLine.h"

#include <algorithm>

namespace engine {

void DelayLine::allocate(int length) {
  line_.assign(static_cast<std::size_t>(std::max(length, 1)), 0.0);
  write_ = feedback_ = read_ = 0;
}

void DelayLine::clear() {
  std::fill(line_.begin(), line_.end(), 0.0);
  speed_ = 1.0;
  phase_ = 0.0;
  output_.clear();
}

void DelayLine::placeHeads(long delay, long preDelay) {
  // Pre-delay plus delay spans at most ten seconds with valid settings; hold
  // anything larger (a parameter beyond its range) inside the line.
  const long n = length();
  delay = std::clamp(delay, 0L, n - 1);
  preDelay = std::clamp(preDelay, 0L, n - 1 - delay);
  long fb = write_ - preDelay;
  if (fb < 0) fb += n;
  long rd = fb - delay;
  if (rd < 0) rd += n;
  feedback_ = static_cast<int>(fb);
  read_ = static_cast<int>(rd);
}

Pair DelayLine::stepVariable(DelayLine& left, DelayLine& right, Pair speed, const History4Pair& writtenLeft,
                             const History4Pair& writtenRight) {
  const Pair previous = {left.speed_, right.speed_};
  const Pair phase = {left.phase_, right.phase_};
  // Rescale the distance to the next tick to the new speed.
  const Pair a0 = 1.0 - (1.0 - phase) * speed / previous;
  left.clockVariable(a0[0], speed[0], writtenLeft);
  right.clockVariable(a0[1], speed[1], writtenRight);
  History4Pair out;
  for (int k = 0; k < 4; ++k) out.h[k] = Pair{left.output_.h[k], right.output_.h[k]};
  return out.catmullRom(Pair{left.phase_, right.phase_});
}

void DelayLine::clockVariable(double a0, double speed, const History4Pair& written) {
  speed_ = speed;
  phase_ = a0 + speed;
  double t = 1.0 - a0;  // time from the last sample to this tick, in ticks
  while (phase_ >= 1.0) {
    phase_ -= 1.0;
    // The tick's place between the last two samples (at speed 1 the division
    // is exact and skipped).
    const double q = speed == 1.0 ? t : t / speed;
    const Pair w = written.catmullRom(q);
    line_[write_] = w[0];
    line_[feedback_] += w[1];
    output_.push(line_[read_]);
    advance();
    t += 1.0;
  }
}

}  // namespace engine
