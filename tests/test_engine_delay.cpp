// The delay lines and the feedback loop, measured on the engine itself: where
// an impulse lands, how the repeats circulate, what the pans, inversions and
// mutes do to them, and how a time change fades out and back in.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/engine_rig.h"

namespace {

using namespace enginetest;

struct EchoCase {
  const char* name;
  double sampleRate;
  double delayMs;
  int preNum, preDen;  // indices into the pre-delay lists
  long expectedDelay;  // samples from input to echo, without the look-ahead
};

TEST(EngineDelayLine, ImpulseLandsOnTheSampleTheTimesGive) {
  const EchoCase cases[] = {
      {"500 ms", 44100, 500.0, 0, 0, 22050},
      {"500 ms, pre-delay 1/1 doubles the first echo", 44100, 500.0, 1, 0, 44100},
      {"100 ms, pre-delay 1/2", 44100, 100.0, 1, 1, 4410 + 2205},
      {"250 ms at 48 kHz", 48000, 250.0, 0, 0, 12000},
      {"pre-delay 9/2 is held at the delay time", 44100, 200.0, 5, 1, 2 * 8820},
      {"fractional ms truncate to whole samples", 44100, 20.8333, 0, 0, 918},
      {"5000 ms, pre-delay 1/1: the whole line", 44100, 5000.0, 1, 0, 441000},
      {"1 s at 192 kHz", 192000, 1000.0, 0, 0, 192000},
  };
  for (const EchoCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig(c.sampleRate);
    rig.values().preNumIndex[0] = rig.values().preNumIndex[1] = c.preNum;
    rig.values().preDenIndex[0] = rig.values().preDenIndex[1] = c.preDen;
    rig.setDelay(c.delayMs);
    rig.settle();
    const long n = c.expectedDelay + rig.lookahead() + 100;
    const Stereo out = rig.run(impulse(n), 4096);
    const long at = c.expectedDelay + rig.lookahead();
    EXPECT_EQ(firstAbove(out.left, 1e-12), at);
    EXPECT_DOUBLE_EQ(out.left[at], 1.0);
    EXPECT_DOUBLE_EQ(out.right[at], 1.0);
    EXPECT_LT(peak(out.left, at + 1), 1e-12);  // no feedback: one echo only
  }
}

// Where the first three echoes of an impulse into one side come out, for the
// four corners of the feedback crossfeed. The loop takes the previous
// sample's tap, so each repeat comes one sample after a whole delay time.
struct CrossfeedCase {
  const char* name;
  double panL, panR;
  int inputSide;
  int expectedSide[3];  // output side of echo 1, 2, 3 (wet pans hard left/right)
};

TEST(EngineFeedback, CrossfeedSendsRepeatsWhereThePansSay) {
  const CrossfeedCase cases[] = {
      {"independent loops, left", 0.0, 1.0, 0, {0, 0, 0}},
      {"independent loops, right", 0.0, 1.0, 1, {1, 1, 1}},
      {"ping-pong from the left", 1.0, 0.0, 0, {0, 1, 0}},
      {"ping-pong from the right", 1.0, 0.0, 1, {1, 0, 1}},
      {"all feedback to the left line", 0.0, 0.0, 1, {1, 0, 0}},
      {"all feedback to the right line", 1.0, 1.0, 0, {0, 1, 1}},
  };
  const double g = 0.5;
  for (const CrossfeedCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.setDelay(100.0);
    rig.values().fbGain[0] = rig.values().fbGain[1] = g;
    rig.values().fbPan[0] = c.panL;
    rig.values().fbPan[1] = c.panR;
    rig.settle();
    const long d = 4410, la = rig.lookahead();
    const long n = 3 * d + 100;
    const Signal in = impulse(n);
    const Stereo out = c.inputSide == 0 ? rig.run(in, silence(n)) : rig.run(silence(n), in);
    for (int k = 0; k < 3; ++k) {
      const long at = (k + 1) * d + k + la;
      const Signal& heard = c.expectedSide[k] == 0 ? out.left : out.right;
      const Signal& other = c.expectedSide[k] == 0 ? out.right : out.left;
      EXPECT_NEAR(heard[at], std::pow(g, k), 1e-12) << "echo " << k + 1;
      EXPECT_NEAR(other[at], 0.0, 1e-12) << "echo " << k + 1;
    }
  }
}

struct InversionCase {
  const char* name;
  bool feedbackInverted, wetInverted;
  double echo[3];
};

TEST(EngineFeedback, InversionsFlipTheRepeatsTheyShould) {
  const InversionCase cases[] = {
      {"none", false, false, {1.0, 0.5, 0.25}},
      {"feedback: every second repeat flips", true, false, {1.0, -0.5, 0.25}},
      {"wet: every repeat flips", false, true, {-1.0, -0.5, -0.25}},
      {"both", true, true, {-1.0, 0.5, -0.25}},
  };
  for (const InversionCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.setDelay(50.0);
    rig.values().fbGain[0] = 0.5;
    rig.values().fbSign[0] = c.feedbackInverted ? -1.0 : 1.0;
    rig.values().dlySign[0] = c.wetInverted ? -1.0 : 1.0;
    rig.settle();
    const long d = 2205, la = rig.lookahead(), n = 3 * d + 100;
    const Stereo out = rig.run(impulse(n), silence(n));
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(out.left[(k + 1) * d + k + la], c.echo[k], 1e-12);
  }
}

TEST(EngineFeedback, FullFeedbackRepeatsWithoutLoss) {
  Rig rig;
  rig.setDelay(10.0);
  rig.values().fbGain[0] = 1.0;
  rig.settle();
  const long d = 441, la = rig.lookahead();
  const Stereo out = rig.run(impulse(50 * (d + 1) + 100), silence(50 * (d + 1) + 100));
  for (int k = 0; k < 50; ++k) EXPECT_DOUBLE_EQ(out.left[(k + 1) * d + k + la], 1.0);
}

TEST(EngineDelayLine, MutedInputStopsNewSignalButRepeatsAndDryGoOn) {
  Rig rig;
  rig.setDelay(100.0);
  rig.values().fbGain[0] = 0.5;
  rig.values().mix = 0.5;
  rig.settle();
  const long d = 4410, la = rig.lookahead(), n = 3 * d + 200;
  // An impulse enters; the mute goes on; 70 ms later, with the mute's glide
  // long settled, a second impulse arrives.
  Signal in = impulse(n);
  in[3000] = 1.0;
  Stereo out = rig.run(Signal(in.begin(), in.begin() + 10), silence(10));
  rig.values().muteGain[0] = 0.0;
  const Stereo rest = rig.run(Signal(in.begin() + 10, in.end()), silence(n - 10));
  out.left.insert(out.left.end(), rest.left.begin(), rest.left.end());
  EXPECT_DOUBLE_EQ(out.left[0], 0.5);  // the dry half passes both impulses
  EXPECT_DOUBLE_EQ(out.left[3000], 0.5);
  EXPECT_NEAR(out.left[d + la], 0.5, 1e-12);  // the first impulse and its repeat go on
  EXPECT_NEAR(out.left[2 * d + 1 + la], 0.25, 1e-12);
  EXPECT_LT(std::fabs(out.left[d + 3000 + la]), 1e-4);  // the second never entered the line
}

TEST(EngineDelayLine, TimeChangeFadesThroughSilenceWithoutAClick) {
  Rig rig;
  rig.setDelay(300.0);
  rig.settle();
  const double sr = rig.rate();
  const long n = static_cast<long>(sr);  // 1 s of a 220 Hz tone
  const Signal tone = sine(n, 220.0, sr, 0.5);
  const long change = static_cast<long>(0.5 * sr);
  rig.run(Signal(tone.begin(), tone.begin() + change), Signal(tone.begin(), tone.begin() + change));
  rig.values().delayTimeMs[0] = 200.0;
  rig.values().delayTimeChanged[0] = true;
  Stereo after = rig.run(Signal(tone.begin() + change, tone.end()), Signal(tone.begin() + change, tone.end()), 64);
  // Within 100 ms the left side falls to -60 dB, then the heads move.
  const long fade = static_cast<long>(0.1 * sr);
  EXPECT_LT(peak(after.left, fade - 5, fade + 5), 0.5 * 0.0012);
  EXPECT_FALSE(rig.values().delayTimeChanged[0].get());
  // Never a step larger than the tone's own steepest step.
  const double toneStep = 0.5 * 6.283185307179586 * 220.0 / sr;
  for (long i = 1; i < n - change; ++i) ASSERT_LE(std::fabs(after.left[i] - after.left[i - 1]), toneStep * 1.01) << i;
  // 100 ms later the tone is back at full level, now from the new time.
  EXPECT_NEAR(peak(after.left, 2 * fade + 500, 2 * fade + 2000), 0.5, 0.005);
  // The right side, unchanged, never faded.
  EXPECT_NEAR(peak(after.right, fade - 200, fade + 200), 0.5, 0.005);
}

TEST(EngineDelayLine, ChangesDuringTheFadeOutMoveTheHeadsOnce) {
  Rig rig;
  rig.setDelay(300.0);
  rig.settle();
  rig.values().delayTimeMs[0] = 200.0;
  rig.values().delayTimeChanged[0] = true;
  rig.run(silence(1000));
  rig.values().delayTimeMs[0] = 100.0;
  rig.values().delayTimeChanged[0] = true;
  rig.run(silence(static_cast<long>(0.1 * rig.rate())));
  const engine::DelayLine& line = rig.engine().delayLine(0);
  const long gap = (line.feedbackHead() - line.readHead() + line.length()) % line.length();
  EXPECT_EQ(gap, rig.samples(100.0));
  EXPECT_FALSE(rig.values().delayTimeChanged[0].get());
}

TEST(EngineDelayLine, TimesBeyondTheLineStayInsideIt) {
  // A parameter written beyond its range (v > 1) asks for more than the line
  // holds; the heads must still address the line.
  Rig rig;
  rig.values().delayTimeMs[0] = 9000.0;
  rig.values().preNumIndex[0] = 1;
  rig.values().preDenIndex[0] = 0;
  rig.values().delayTimeMs[1] = std::nan("");
  rig.settle();
  const Stereo out = rig.run(impulse(2000));
  EXPECT_TRUE(std::isfinite(peak(out.left)));
  const engine::DelayLine& right = rig.engine().delayLine(1);
  EXPECT_EQ(right.readHead(), right.writeHead());  // NaN counts as no delay
}

}  // namespace
