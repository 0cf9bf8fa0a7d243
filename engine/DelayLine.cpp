#include "engine/DelayLine.h"

#include <algorithm>

namespace engine {

void DelayLine::allocate(int length) {
  length_ = std::max(length, 1);
  line_.assign(static_cast<std::size_t>(length_) + 1, 0.0);
  write_ = feedback_ = read_ = 0;
  placedDelay_ = placedPreDelay_ = 0;
}

void DelayLine::clear() {
  std::fill(line_.begin(), line_.end(), 0.0);
}

void DelayLine::holdSpans(long& delay, long& preDelay) const {
  // Pre-delay plus delay spans at most ten seconds with valid settings; hold
  // anything larger (a parameter beyond its range) inside the line.
  const long n = length();
  delay = std::clamp(delay, 0L, n - 1);
  preDelay = std::clamp(preDelay, 0L, n - 1 - delay);
}

void DelayLine::placeHeads(long delay, long preDelay) {
  holdSpans(delay, preDelay);
  placedDelay_ = delay;
  placedPreDelay_ = preDelay;
  const long n = length();
  long fb = write_ - preDelay;
  if (fb < 0) fb += n;
  long rd = fb - delay;
  if (rd < 0) rd += n;
  feedback_ = static_cast<int>(fb);
  read_ = static_cast<int>(rd);
}

}  // namespace engine
