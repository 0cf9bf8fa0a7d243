// One channel's delay line: a ring of ten seconds plus one sample with three
// heads. The write head stores new input, the feedback head (a pre-delay
// behind it) adds the feedback, and the read head (one delay time behind the
// feedback head) takes the delayed signal. The first echo thus arrives after
// pre-delay plus delay time, and the repeats follow every delay time.
//
// The line runs either on the fixed clock (every head steps once per sample)
// or on the variable clock (VariableClock below, both lines at once), which
// steps the heads at a modulated speed like a bucket-brigade line, writing
// and reading between samples by Catmull-Rom interpolation.
#pragma once

#include <vector>

#include "engine/History.h"

namespace engine {

class DelayLine {
 public:
  // A zeroed line of `length` entries with every head at the start.
  void allocate(int length);
  int length() const { return length_; }

  // Zeroes the contents.
  void clear();

  // Moves the feedback head `preDelay` entries behind the write head and the
  // read head `delay` entries behind the feedback head. The two spans are held
  // within the line (holdSpans), so out-of-range times can never address
  // outside it.
  void placeHeads(long delay, long preDelay);
  void holdSpans(long& delay, long& preDelay) const;

  // The spans the heads were last placed at.
  long placedDelay() const { return placedDelay_; }
  long placedPreDelay() const { return placedPreDelay_; }

  // One tick: store the input at the write head, add the feedback at the
  // feedback head, take the delayed sample at the read head, step all three
  // heads. The fixed clock ticks once per sample.
  double stepFixed(double input, double feedback) {
    line_[write_] = input;
    line_[feedback_] += feedback;
    const double delayed = line_[read_];
    advance();
    return delayed;
  }

  // The same when `tick` is 1; when it is 0 the heads stay and the input,
  // the feedback and the read go to the spare entry past the ring's end,
  // which nothing reads. The variable clock thus ticks one line or both
  // without a branch that would follow their uneven pattern of ticks.
  double stepIf(int tick, double input, double feedback) {
    const int ticking = -tick;  // all ones when ticking, else zero
    double* const line = line_.data() + (length_ & ~ticking);  // the ring, or its spare entry
    line[write_ & ticking] = input;
    line[feedback_ & ticking] += feedback;
    const double delayed = line[read_ & ticking];
    const int n = length_;
    if ((write_ += tick) == n) write_ = 0;
    if ((feedback_ += tick) == n) feedback_ = 0;
    if ((read_ += tick) == n) read_ = 0;
    return delayed;
  }

  // Time-change fade. While a change is pending the gain falls by `factor`
  // each sample; the result is true when it has reached -60 dB and the heads
  // may jump unheard. Without a pending change it rises back to 1 at the same
  // rate.
  bool fade(bool changePending, double factor) {
    if (!changePending) {
      if (fadeGain_ == 1.0) return false;  // at full gain already (factor < 1)
      fadeGain_ = fadeGain_ / factor;
      if (fadeGain_ > 1.0) fadeGain_ = 1.0;
      return false;
    }
    fadeGain_ *= factor;
    return fadeGain_ <= 0.001;
  }
  double fadeGain() const { return fadeGain_; }
  void resetFade() { fadeGain_ = 1.0; }

  int writeHead() const { return write_; }
  int feedbackHead() const { return feedback_; }
  int readHead() const { return read_; }

 private:
  void advance() {
    const int n = length();
    if (++write_ == n) write_ = 0;
    if (++feedback_ == n) feedback_ = 0;
    if (++read_ == n) read_ = 0;
  }

  std::vector<double> line_ = std::vector<double>(2, 0.0);
  int length_ = 1;  // the ring; line_ holds one spare entry more
  int write_ = 0, feedback_ = 0, read_ = 0;
  long placedDelay_ = 0, placedPreDelay_ = 0;
  double fadeGain_ = 1.0;
};

// The variable clock of both lines, a line per lane (left in the first): the
// speed of each (0.5..2 times the fixed rate) and its period, 1/speed, the
// position between ticks, and the last four reads. Each sample the lines
// tick as many times as their phases pass, each tick writing the input and
// adding the feedback interpolated at the tick's place between the last two
// samples; the delayed signals are the reads interpolated at the phases.
class VariableClock {
 public:
  // What the lines were given to write, newest last: the muted input and the
  // feedback of each sample, a line per lane.
  struct Writes {
    History4Pair input, feedback;
    void push(Pair in, Pair fed) {
      input.push(in);
      feedback.push(fed);
    }
    void clear() {
      input.clear();
      feedback.clear();
    }
  };

  // Speed 1, phase 0, no reads.
  void clear() {
    speed_ = period_ = Pair{1.0, 1.0};
    phase_ = Pair{};
    reads_.clear();
  }

  // One sample of both lines at the speeds and periods given, with the
  // writes up to this sample's. Returns the delayed signals. Inlined into
  // the lines' loop (left to itself the compiler makes it a call per sample).
  // A run whose speeds are never both exactly 1x passes `mayRest` false:
  // its ticks cannot land on the samples, and the test for that is skipped.
  __attribute__((always_inline)) Pair step(DelayLine& left, DelayLine& right, Pair speed, Pair period,
                                           const Writes& written, bool mayRest = true) {
    const Pair previous = speed_;
    const Pair last = phase_;
    // At exactly the fixed rate with the ticks on the samples, every tick
    // lands on a stored value: one tick per sample writes the last sample's
    // input and feedback, and the read is the value two ticks back. No
    // interpolation is needed.
    if (mayRest && both((speed == 1.0) & (previous == 1.0) & (last == 0.0))) {
      const Pair in = written.input.h[2], fed = written.feedback.h[2];
      reads_.push(Pair{left.stepFixed(in[0], fed[0]), right.stepFixed(in[1], fed[1])});
      return reads_.h[1];
    }
    // Rescale the distance to the next tick to the new speed: a0 is the
    // tick's distance, t the time from the last sample to it, in ticks.
    const Pair a0 = 1.0 - (1.0 - last) * speed * period_;
    Pair t = 1.0 - a0;
    Pair phase = a0 + speed;
    speed_ = speed;
    period_ = period;
    // Near 1x both lines tick once: the tick's places between the last two
    // samples, both lines in one evaluation.
    PairMask ticks = phase >= 1.0;
    const Pair after = phase - 1.0;
    const PairMask once = ticks & (after < 1.0);
    if (both(once)) {
      const auto w = History4Pair::weightsAt(t * period);
      const Pair input = written.input.at(w), feedback = written.feedback.at(w);
      reads_.push(Pair{left.stepFixed(input[0], feedback[0]), right.stepFixed(input[1], feedback[1])});
      phase_ = after;
      return reads_.catmullRom(after);
    }
    // Otherwise tick by tick while either phase passes one, both lines in
    // each evaluation, a line whose phase has not passed it idling: the
    // uneven pattern of one line ticking twice or not at all costs no branch
    // of its own per line.
    do {
      const auto w = History4Pair::weightsAt(t * period);
      const Pair input = written.input.at(w), feedback = written.feedback.at(w);
      reads_.pushWhere(ticks, Pair{left.stepIf(-static_cast<int>(ticks[0]), input[0], feedback[0]),
                                   right.stepIf(-static_cast<int>(ticks[1]), input[1], feedback[1])});
      phase = select(ticks, phase - 1.0, phase);
      t += 1.0;
      ticks = phase >= 1.0;
    } while (either(ticks));
    phase_ = phase;
    return reads_.catmullRom(phase_);
  }

  Pair speed() const { return speed_; }
  Pair phase() const { return phase_; }
  // The last four reads (newest last), and one more read taken into them: a
  // clock run at 1x on the samples brings them up to date.
  const History4Pair& reads() const { return reads_; }
  void pushRead(Pair x) { reads_.push(x); }

 private:
  Pair speed_ = {1.0, 1.0};
  Pair period_ = {1.0, 1.0};
  Pair phase_ = {0.0, 0.0};  // position between ticks, 0..1
  History4Pair reads_;       // the last four values from the read heads
};

}  // namespace engine
