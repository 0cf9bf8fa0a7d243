// One channel's delay line: a ring of ten seconds plus one sample with three
// heads. The write head stores new input, the feedback head (a pre-delay
// behind it) adds the feedback, and the read head (one delay time behind the
// feedback head) takes the delayed signal. The first echo thus arrives after
// pre-delay plus delay time, and the repeats follow every delay time.
//
// The line runs either on the fixed clock (every head steps once per sample)
// or on the variable clock, which steps the heads at a modulated speed like a
// bucket-brigade line, writing and reading between samples by Catmull-Rom
// interpolation.
#pragma once

#include <vector>

#include "engine/History.h"

namespace engine {

class DelayLine {
 public:
  // A zeroed line of `length` entries with every head at the start.
  void allocate(int length);
  int length() const { return length_; }

  // Zeroes the contents and resets the variable clock (speed 1, phase 0).
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

  // Fixed clock, one sample: store the input at the write head, add the
  // feedback at the feedback head, take the delayed sample at the read head,
  // step all three heads.
  double stepFixed(double input, double feedback) {
    line_[write_] = input;
    line_[feedback_] += feedback;
    const double delayed = line_[read_];
    advance();
    return delayed;
  }

  // Variable clock, one sample of both lines, each at its own speed (0.5..2
  // times the fixed rate; left in the first lane) and its period, 1/speed: as many clock ticks as
  // the phase passes, each writing the input and adding the feedback
  // interpolated at the tick's place between the last two samples. `written`
  // holds a line's input in the first lane and its feedback in the second.
  // Returns the delayed signals interpolated at the current phases.
  static Pair stepVariable(DelayLine& left, DelayLine& right, Pair speed, Pair period,
                           const History4Pair& writtenLeft, const History4Pair& writtenRight) {
    const Pair previous = {left.speed_, right.speed_};
    const Pair phase = {left.phase_, right.phase_};
    // At exactly the fixed rate with the ticks on the samples, every tick
    // lands on a stored value: one tick per sample writes the last sample's
    // input and feedback, and the read is the value two ticks back. No
    // interpolation is needed.
    if (speed[0] == 1.0 && speed[1] == 1.0 && previous[0] == 1.0 && previous[1] == 1.0 && phase[0] == 0.0 &&
        phase[1] == 0.0) {
      left.tickOnSample(writtenLeft);
      right.tickOnSample(writtenRight);
      return Pair{left.output_.h[1], right.output_.h[1]};
    }
    // Rescale the distance to the next tick to the new speed.
    const Pair scaled = (1.0 - phase) * speed;
    const Pair a0 = 1.0 - scaled * Pair{left.period_, right.period_};
    left.clockVariable(a0[0], speed[0], period[0], writtenLeft);
    right.clockVariable(a0[1], speed[1], period[1], writtenRight);
    History4Pair out;
    for (int k = 0; k < 4; ++k) out.h[k] = Pair{left.output_.h[k], right.output_.h[k]};
    return out.catmullRom(Pair{left.phase_, right.phase_});
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

  // The variable clock's last four reads (newest last), and one more read
  // taken into them: a clock run at 1x on the samples brings them up to date.
  const History4& reads() const { return output_; }
  void pushRead(double x) { output_.push(x); }

  int writeHead() const { return write_; }
  int feedbackHead() const { return feedback_; }
  int readHead() const { return read_; }
  double clockSpeed() const { return speed_; }
  double clockPhase() const { return phase_; }

 private:
  // The clock ticks of one sample; a0 is the tick's distance, rescaled to the
  // new speed.
  void clockVariable(double a0, double speed, double period, const History4Pair& written) {
    speed_ = speed;
    period_ = period;
    double phase = a0 + speed;
    double t = 1.0 - a0;  // time from the last sample to this tick, in ticks
    double* const line = line_.data();
    const History4Pair::Cubic between = written.cubic();  // the writes' curve, for every tick
    while (phase >= 1.0) {
      phase -= 1.0;
      // The tick's place between the last two samples.
      const double q = t * period;
      const Pair w = between.at(q);
      line[write_] = w[0];
      line[feedback_] += w[1];
      output_.push(line[read_]);
      advance();
      t += 1.0;
    }
    phase_ = phase;
  }

  // One tick of the variable clock at speed 1 and phase 0: the Catmull-Rom
  // cubic at q = 1 is the newer of its middle points.
  void tickOnSample(const History4Pair& written) {
    const Pair w = written.h[2];
    line_[write_] = w[0];
    line_[feedback_] += w[1];
    output_.push(line_[read_]);
    advance();
  }

  void advance() {
    const int n = length();
    if (++write_ == n) write_ = 0;
    if (++feedback_ == n) feedback_ = 0;
    if (++read_ == n) read_ = 0;
  }

  std::vector<double> line_ = std::vector<double>(1, 0.0);
  int length_ = 1;  // line_.size()
  int write_ = 0, feedback_ = 0, read_ = 0;
  long placedDelay_ = 0, placedPreDelay_ = 0;
  double fadeGain_ = 1.0;
  double speed_ = 1.0;  // variable clock: speed of the last sample
  double period_ = 1.0;  // and its reciprocal
  double phase_ = 0.0;  // variable clock: position between ticks, 0..1
  History4 output_;     // variable clock: the last four values from the read head
};

}  // namespace engine
