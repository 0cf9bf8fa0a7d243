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

double DelayLine::stepVariable(double speed, const History4& input, const History4& feedback) {
  const double previous = speed_;
  speed_ = speed;
  // Rescale the distance to the next tick to the new speed.
  const double a0 = 1.0 - (1.0 - phase_) * speed / previous;
  phase_ = a0 + speed;
  double t = 1.0 - a0;  // time from the last sample to this tick, in ticks
  while (phase_ >= 1.0) {
    phase_ -= 1.0;
    const double q = t / speed;  // the tick's place between the last two samples
    line_[write_] = input.catmullRom(q);
    line_[feedback_] += feedback.catmullRom(q);
    output_.push(line_[read_]);
    advance();
    t += 1.0;
  }
  return output_.catmullRom(phase_);
}

}  // namespace engine
