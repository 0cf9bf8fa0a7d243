// Buffers, rates and state of the engine, its two sample types, the way it
// cuts blocks, and the variable clock against the fixed one.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/Coefficients.h"
#include "tests/engine_rig.h"

namespace {

using namespace enginetest;

struct RateCase {
  double reported, running;
  int lineLength, lookahead, driveWindow;
};

TEST(EngineLifecycle, BuffersAreSizedForTheRateAndBadRatesRunAs44100) {
  const RateCase cases[] = {
      {44100, 44100, 441001, 44, 4},      {96000, 96000, 960001, 96, 8},
      {192000, 192000, 1920001, 192, 16}, {48000, 48000, 480001, 48, 4},
      {22050, 22050, 220501, 22, 2},      {4096, 4096, 40961, 4, 2},
      {200000, 200000, 2000001, 200, 16}, {88200.5, 88200.5, 882001, 88, 8},
      {0, 44100, 441001, 44, 4},          {1e6, 44100, 441001, 44, 4},
      {4095.9, 44100, 441001, 44, 4},     {200000.5, 44100, 441001, 44, 4},
      {-48000, 44100, 441001, 44, 4},     {std::nan(""), 44100, 441001, 44, 4},
  };
  engine::DelayEngine e;
  for (const RateCase& c : cases) {
    SCOPED_TRACE(c.reported);
    e.setSampleRate(48000.0);  // from somewhere else each time
    e.setSampleRate(c.reported);
    EXPECT_EQ(e.sampleRate(), c.running);
    EXPECT_EQ(e.delayLine(0).length(), c.lineLength);
    EXPECT_EQ(e.delayLine(1).length(), c.lineLength);
    EXPECT_EQ(e.gateLookaheadLength(), c.lookahead);
    EXPECT_EQ(e.driveWindow(), c.driveWindow);
  }
}

TEST(EngineLifecycle, BlockSizesOutsideTheRangeRunAs1024) {
  const int cases[][2] = {{512, 512}, {1, 1}, {44100, 44100}, {0, 1024}, {-5, 1024}, {44101, 1024}};
  engine::DelayEngine e;
  for (const auto& c : cases) {
    e.setBlockSize(c[0]);
    EXPECT_EQ(e.blockSize(), c[1]);
    EXPECT_EQ(e.peakMemoryLength(), c[1]);
  }
}

TEST(EngineLifecycle, RateChangeRecomputesEveryRateDependentValue) {
  engine::DelayEngine e;
  // Construction: the LFO glide is the 1000 Hz one-pole of 44100 Hz.
  EXPECT_DOUBLE_EQ(e.modulation().smoothingCoefficient(), 1.0 - std::exp(-0.14247585730565954));
  e.setSampleRate(44100.0);  // no change: nothing is recomputed
  EXPECT_DOUBLE_EQ(e.modulation().smoothingCoefficient(), 1.0 - std::exp(-0.14247585730565954));

  engine::WorkingValues& v = e.values();
  v.envSpeed = 0.2;
  v.envSpeedMs = 280.0;
  v.lfoRate = 2.0;
  e.setSampleRate(48000.0);
  e.setSampleRate(44100.0);
  const double sr = 44100.0;
  EXPECT_DOUBLE_EQ(e.modulation().smoothingCoefficient(), 1.0 - std::exp(-3141.592653589793 / sr));
  EXPECT_DOUBLE_EQ(e.smoothingCoefficient(), 1.0 - std::exp(-188.49555921538757 / sr));
  EXPECT_DOUBLE_EQ(e.fadeFactor(), std::pow(0.001, 10.0 / sr));
  EXPECT_DOUBLE_EQ(v.envCoef, 1.0 - std::exp(-6283.185307179586 / (sr * 280.0)));
  EXPECT_DOUBLE_EQ(v.duckAttack, 1.0 - std::exp(-1000.0 / (sr * 10.0)));
  EXPECT_DOUBLE_EQ(v.duckRelease, 1.0 - std::exp(-1000.0 / (sr * 600.0)));
  EXPECT_DOUBLE_EQ(v.gateAttack, 1.0 - std::exp(-1000.0 / sr));
  EXPECT_DOUBLE_EQ(v.gateRelease, 1.0 - std::exp(-1000.0 / (sr * 200.0)));
  EXPECT_DOUBLE_EQ(v.lfoIncrement, 2.0 * 6.283185307179586 / sr);
  EXPECT_EQ(e.reverb().length(0), 2384);  // spring A0 at 44100 Hz
}

TEST(EngineLifecycle, AfterSuspendTheEngineSoundsLikeAFreshOne) {
  auto configure = [](Rig& rig) {
    engine::WorkingValues& v = rig.values();
    v.fbGain[0] = v.fbGain[1] = 0.7;
    v.fbPan[0] = 0.3;
    v.vcoOn = 1;
    v.vcoModDepth = 0.4;
    v.lfoWave = 0;
    v.fltOn = 1;
    v.fltMode = 1;
    v.cutoffHz = 2000.0;
    v.rvbOn = 1;
    v.driveNormalised = 0.5;
    v.driveGain = 4.0;
    v.gateThreshold[0] = 0.01;
    v.duckThreshold = 0.1;
    rig.setDelay(30.0, 45.0);
  };
  Rig used, fresh;
  configure(used);
  configure(fresh);
  used.settle();
  used.run(sine(20000, 330.0, 44100.0, 0.8), sine(20000, 550.0, 44100.0, 0.8));
  used.values().inputGain = 2.0;  // a glide in progress when the host suspends
  used.run(silence(100));
  fresh.values().inputGain = 2.0;
  used.settle();
  fresh.settle();

  const Signal probe = impulse(8000, 10);
  const Stereo a = used.run(probe, probe), b = fresh.run(probe, probe);
  for (long i = 0; i < 8000; ++i) {
    ASSERT_NEAR(a.left[i], b.left[i], 1e-12) << i;
    ASSERT_NEAR(a.right[i], b.right[i], 1e-12) << i;
  }
  // And before the probe: silence, not what was left in the lines.
  EXPECT_LT(peak(a.left, 0, 10), 1e-12);
}

TEST(EngineLifecycle, SmoothedValuesGlideAt30Hz) {
  Rig rig;
  rig.values().mix = 0.0;
  rig.settle();
  rig.values().inputGain = 3.0;
  const Stereo out = rig.run(constant(static_cast<long>(rig.rate()), 1.0));
  const double k = 1.0 - std::exp(-2.0 * 3.141592653589793 * 30.0 / rig.rate());
  EXPECT_NEAR(out.left[0], 1.0 + 2.0 * k, 1e-12);  // one step, not a jump
  EXPECT_NEAR(out.left[1000], 1.0 + 2.0 * (1.0 - std::pow(1.0 - k, 1001)), 1e-9);
  EXPECT_NEAR(out.left.back(), 3.0, 1e-9);
}

TEST(EngineLifecycle, PeakMemoryLagsOneBlockAndReadingResetsIt) {
  Rig rig;
  rig.engine().setBlockSize(256);
  rig.settle();
  float l = -1, r = -1;
  rig.run(impulse(256, 255, 0.5), impulse(256, 255, -0.75), 256);
  rig.engine().readInputPeaks(l, r);
  EXPECT_EQ(l, 0.0f);  // the block's last sample is still in the ring
  EXPECT_EQ(r, 0.0f);
  rig.run(silence(256), silence(256), 256);
  rig.engine().readInputPeaks(l, r);
  EXPECT_EQ(l, 0.5f);
  EXPECT_EQ(r, 0.75f);
  rig.engine().readInputPeaks(l, r);
  EXPECT_EQ(l, 0.0f);
  EXPECT_EQ(r, 0.0f);
}

// The same signal through the float and the double path.
TEST(EngineLifecycle, FloatAndDoublePathsAgreeWithinFloatPrecision) {
  auto configure = [](Rig& rig) {
    rig.values().fbGain[0] = rig.values().fbGain[1] = 0.6;
    rig.values().fbPan[0] = 1.0;
    rig.values().fbPan[1] = 0.0;
    rig.values().mix = 0.4;
    rig.values().vcoOn = 1;
    rig.values().vcoMan = 0.3;
    rig.values().rvbOn = 1;
    rig.setDelay(25.0, 40.0);
    rig.settle();
  };
  Rig single, twin;
  configure(single);
  configure(twin);
  const Signal l = sine(20000, 440.0, 44100.0, 0.5), r = sine(20000, 660.0, 44100.0, 0.5);
  const Stereo f = single.run<float>(l, r), d = twin.run<double>(l, r);
  double worst = 0.0;
  for (long i = 0; i < 20000; ++i) worst = std::max({worst, std::fabs(f.left[i] - d.left[i]), std::fabs(f.right[i] - d.right[i])});
  EXPECT_LT(worst, 1e-6);
  EXPECT_GT(peak(d.left, 10000), 0.1);
}

TEST(EngineLifecycle, BlockCuttingDoesNotChangeTheSound) {
  // Blocks shorter and longer than the announced block size, and one empty
  // block in between, give the same output.
  auto make = [](Rig& rig) {
    rig.values().fbGain[0] = 0.5;
    rig.values().driveNormalised = 0.5;
    rig.values().driveGain = 4.0;
    rig.engine().setBlockSize(64);
    rig.setDelay(5.0);
    rig.settle();
  };
  Rig whole, pieces;
  make(whole);
  make(pieces);
  const Signal in = sine(6000, 300.0, 44100.0, 0.9);
  const Stereo a = whole.run(in, in, 6000);
  const Stereo b = pieces.run(in, in, 7);
  for (long i = 0; i < 6000; ++i) ASSERT_NEAR(a.left[i], b.left[i], 1e-12) << i;

  double untouched[2][4] = {{5, 5, 5, 5}, {5, 5, 5, 5}};
  double dummy[4] = {0, 0, 0, 0};
  double* ins[4] = {dummy, dummy, dummy, dummy};
  double* outs[2] = {untouched[0], untouched[1]};
  pieces.engine().process(ins, outs, 0, {});
  EXPECT_EQ(untouched[0][0], 5.0);
  EXPECT_EQ(untouched[1][0], 5.0);
}

// At speed 1 the variable clock gives the fixed clock's delay; the Catmull-
// Rom writing and reading add three samples and the anti-alias cascade a
// little phase, so compare the delayed tone at its best alignment.
TEST(EngineClock, AtSpeedOneTheVariableClockMatchesTheFixedClock) {
  Rig fixed, variable;
  for (Rig* rig : {&fixed, &variable}) {
    rig->setDelay(50.0);
    rig->values().vcoMan = 0.0;
    rig->values().vcoModDepth = 0.0;
    rig->settle();
  }
  variable.values().vcoOn = 1;
  const long n = 8000;
  const Signal tone = sine(n, 250.0, 44100.0, 0.5);
  const Stereo a = fixed.run(tone), b = variable.run(tone);
  EXPECT_DOUBLE_EQ(variable.engine().delayLine(0).clockSpeed(), 1.0);
  double bestError = 1e9;
  long bestLag = -1;
  for (long lag = 0; lag < 10; ++lag) {
    double e = 0.0;
    for (long i = 4000; i < 7000; ++i) e = std::max(e, std::fabs(b.left[i + lag] - a.left[i]));
    if (e < bestError) bestError = e, bestLag = lag;
  }
  EXPECT_GE(bestLag, 3);
  EXPECT_LE(bestLag, 5);
  EXPECT_LT(bestError, 0.02);  // 250 Hz passes the 14 kHz cascade nearly untouched
}

struct SpeedCase {
  const char* name;
  double manual;  // VcoMan working value, -1..1
  double speed;
};

// The clock speed sets the heard delay: twice as fast, half the time.
TEST(EngineClock, ManualSpeedScalesTheHeardDelay) {
  const SpeedCase cases[] = {{"one octave up", 1.0, 2.0}, {"centre", 0.0, 1.0}, {"one octave down", -1.0, 0.5}};
  for (const SpeedCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.setDelay(100.0);
    rig.values().vcoOn = 1;
    rig.values().vcoMan = c.manual;
    rig.values().vcoModDepth = 0.0;
    rig.settle();
    const long n = rig.samples(250.0);
    const Stereo out = rig.run(impulse(n, 0));
    long at = 0;
    for (long i = 1; i < n; ++i)
      if (std::fabs(out.left[i]) > std::fabs(out.left[at])) at = i;
    const double expected = rig.samples(100.0) / c.speed + rig.lookahead();
    EXPECT_NEAR(static_cast<double>(at), expected, 6.0);
  }
}

TEST(EngineClock, SwitchingTheClockOnCarriesASteadySignalWithoutADip) {
  Rig rig;
  rig.setDelay(10.0);
  rig.settle();
  const long d = rig.samples(10.0);
  rig.run(constant(2048, 0.5), constant(2048, 0.5));
  rig.values().vcoOn = 1;
  const Stereo out = rig.run(constant(3 * d, 0.5), constant(3 * d, 0.5), 64);
  // What was written after the switch comes out from one delay on.
  for (long i = d + 60; i < 3 * d; ++i) ASSERT_NEAR(out.left[i], 0.5, 1e-6) << i;
}

TEST(EngineClock, VariableClockStaysBoundedAtLowRates) {
  for (double rate : {4096.0, 11025.0, 22050.0, 28000.0, 32000.0}) {
    SCOPED_TRACE(rate);
    Rig rig(rate);
    rig.values().vcoOn = 1;
    rig.values().vcoModDepth = 1.0;
    rig.setDelay(20.0);
    rig.settle();
    Signal noise = silence(static_cast<long>(rate));
    unsigned seed = 1;
    for (double& x : noise) x = ((seed = seed * 1103515245u + 12345u) >> 16 & 0x7FFF) / 16384.0 - 1.0;
    const Stereo out = rig.run(noise, noise);
    EXPECT_LT(peak(out.left), 4.0);
  }
}

}  // namespace
