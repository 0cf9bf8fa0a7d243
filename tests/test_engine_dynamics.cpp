// Levels around the delay lines, measured on the engine: the drive on new
// input, the gates with their look-ahead, the ducking by the key, the wet
// pans, the mix, bypass, the channel maps and what a bad host sample does.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/Coefficients.h"
#include "tests/engine_rig.h"

namespace {

using namespace enginetest;

struct DriveCase {
  const char* name;
  double factor, normalised, level;
  double expectedScale;
};

TEST(EngineDrive, SteadyInputIsScaledByTheMeanDrivenLevel) {
  const DriveCase cases[] = {
      {"drive off passes unchanged", 8.0, 0.0, 0.5, 1.0},
      {"driven level 1 scales by 0.75", 2.0, 0.25, 0.5, 0.75},
      {"driven level 0.5 scales by 0.875", 1.0, 0.01, 0.5, 0.875},
      {"driven level 2 is the knee: 0.5", 4.0, 0.5, 0.5, 0.5},
      {"driven level 4 scales by 0.25", 8.0, 0.75, 0.5, 0.25},
      {"driven level 16 scales by 1/16", 16.0, 1.0, 1.0, 1.0 / 16.0},
      {"negative input is rectified", 2.0, 0.25, -0.5, 0.75},
  };
  for (const DriveCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.setDelay(10.0);
    rig.values().driveGain = c.factor;
    rig.values().driveNormalised = c.normalised;
    rig.settle();
    const Stereo out = rig.run(constant(2000, c.level));
    EXPECT_NEAR(out.left[1500], c.level * c.expectedScale, 1e-12);
    EXPECT_NEAR(out.right[1500], c.level * c.expectedScale, 1e-12);
  }
}

struct GateCase {
  const char* name;
  double threshold, level;
  double expected;  // steady wet level
};

TEST(EngineGate, BelowTheThresholdTheWetFallsWithTheSquareOfTheRatio) {
  const GateCase cases[] = {
      {"threshold above the signal", 0.25, 0.1, 0.1 * 0.4 * 0.4},
      {"far above", 0.5, 0.05, 0.05 * 0.1 * 0.1},
      {"threshold below the signal", 0.05, 0.1, 0.1},
      {"threshold under 1e-5 switches the gate off", 0.9e-5, 1e-6, 1e-6},
  };
  for (const GateCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.setDelay(10.0);
    rig.values().gateThreshold[0] = rig.values().gateThreshold[1] = c.threshold;
    rig.settle();
    const Stereo out = rig.run(constant(static_cast<long>(rig.rate() / 2), c.level));
    EXPECT_NEAR(out.left.back(), c.expected, c.expected * 1e-6);
  }
}

TEST(EngineGate, GainReactsOneMillisecondAheadOfTheSound) {
  Rig rig;
  rig.setDelay(100.0);
  const double threshold = 0.49, level = 0.5;
  rig.values().gateThreshold[0] = threshold;
  rig.settle();
  const long d = rig.samples(100.0), la = rig.lookahead();
  const Stereo out = rig.run(constant(d + 200, level), silence(d + 200));
  // When the step reaches the output, the follower has already heard it for
  // the look-ahead plus the current sample.
  const double attack = engine::gateAttackCoefficient(rig.rate());
  const double envelope = level * (1.0 - std::pow(1.0 - attack, la + 1));
  ASSERT_LT(envelope, threshold);
  EXPECT_EQ(firstAbove(out.left, 1e-9), d + la);
  EXPECT_NEAR(out.left[d + la], level * (envelope / threshold) * (envelope / threshold), 1e-9);
}

TEST(EngineDucking, KeyOnInputsThreeAndFourHoldsTheWetAtTheThresholdThenReleases) {
  Rig rig;
  rig.setDelay(10.0);
  const double threshold = std::pow(10.0, -1.5);  // Ducking at 0
  rig.values().duckThreshold = threshold;
  rig.values().duckRelease = engine::duckReleaseCoefficient(0.0, rig.rate());  // 30 ms
  rig.settle();
  const long n = rig.samples(300.0);
  const Signal key = constant(n, 1.0), quiet = silence(n);
  const Signal tone = constant(n, 0.5);
  // A full-scale key after its 10 ms attack: the wet falls to about the threshold.
  const Stereo ducked = rig.run(tone, tone, 512, &key, &quiet);
  EXPECT_NEAR(ducked.left.back() / 0.5, threshold, threshold * 1e-3);
  EXPECT_NEAR(ducked.right.back() / 0.5, threshold, threshold * 1e-3);
  // The key stops: 20 ms later the wet is still held down, ten release
  // times later it is back at full level.
  const Stereo after = rig.run(tone, tone, 512, &quiet, &quiet);
  EXPECT_LT(after.left[rig.samples(20.0)], 0.5 * 0.1);
  EXPECT_NEAR(after.left.back(), 0.5, 1e-12);
  // Loud main inputs are not the key while inputs 3 and 4 are connected.
  rig.settle();
  const Stereo loudMain = rig.run(constant(n, 1.0), constant(n, 1.0), 512, &quiet, &quiet);
  EXPECT_NEAR(loudMain.left.back(), 1.0, 1e-12);
}

TEST(EngineDucking, WithTwoInputsTheMainSignalIsTheKey) {
  Rig rig;
  engine::ChannelMap map;
  engine::ChannelMap::forChannelCounts(2, 2, map);
  rig.engine().setChannelMap(map);
  rig.setDelay(10.0);
  const double threshold = std::pow(10.0, -1.5);
  rig.values().duckThreshold = threshold;
  rig.settle();
  const Stereo out = rig.run(constant(rig.samples(300.0), 0.5));
  // The key level is the input's own 0.5: the echo of 0.5 comes out at
  // 0.5 * threshold / 0.5.
  EXPECT_NEAR(out.left.back(), threshold, 1e-6);
}

struct MixCase {
  const char* name;
  double mix, outputGain;
  int reverbMode;  // dry through the reverb stage (and so under the ducking)
  double beforeEcho, afterEcho;  // output for a steady input of 1
};

TEST(EngineMix, DryAndWetShareTheOutputAsMixSays) {
  const MixCase cases[] = {
      {"mix 0: dry only", 0.0, 1.0, 0, 1.0, 1.0},
      {"mix 1: wet only", 1.0, 1.0, 0, 0.0, 1.0},
      {"mix 0.25, output gain 2", 0.25, 2.0, 0, 1.5, 2.0},
      {"mix 0 with the dry routed through the reverb stage", 0.0, 1.0, 1, 1.0, 1.0},
  };
  for (const MixCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.setDelay(10.0);
    rig.values().mix = c.mix;
    rig.values().outputGain = c.outputGain;
    rig.values().rvbMode = c.reverbMode;
    rig.settle();
    const Stereo out = rig.run(constant(1000, 1.0));
    EXPECT_NEAR(out.left[100], c.beforeEcho, 1e-12);
    EXPECT_NEAR(out.left[900], c.afterEcho, 1e-12);
  }
}

TEST(EngineMix, DryIsDuckedOnlyWhenRoutedThroughTheReverbStage) {
  for (int reverbMode : {0, 1}) {
    SCOPED_TRACE(reverbMode);
    Rig rig;
    rig.values().mix = 0.0;
    rig.values().rvbMode = reverbMode;
    rig.values().duckThreshold = 0.1;
    rig.settle();
    const long n = rig.samples(200.0);
    const Signal key = constant(n, 1.0);
    const Stereo out = rig.run(constant(n, 1.0), constant(n, 1.0), 512, &key, &key);
    EXPECT_NEAR(out.left.back(), reverbMode ? 0.1 : 1.0, 1e-4);
  }
}

struct PanCase {
  const char* name;
  double panL, panR;
  int side;  // impulse into left (0) or right (1)
  double left, right;
};

TEST(EngineMix, WetPansPlaceEachSideLinearly) {
  const PanCase cases[] = {
      {"left hard left", 0.0, 1.0, 0, 1.0, 0.0},  {"left centre", 0.5, 1.0, 0, 0.5, 0.5},
      {"left hard right", 1.0, 1.0, 0, 0.0, 1.0}, {"right hard left", 0.0, 0.0, 1, 1.0, 0.0},
      {"right at 0.25", 0.0, 0.25, 1, 0.75, 0.25},
  };
  for (const PanCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.setDelay(10.0);
    rig.values().dlyPan[0] = c.panL;
    rig.values().dlyPan[1] = c.panR;
    rig.settle();
    const Signal in = impulse(1000);
    const Stereo out = c.side == 0 ? rig.run(in, silence(1000)) : rig.run(silence(1000), in);
    const long at = rig.samples(10.0) + rig.lookahead();
    EXPECT_NEAR(out.left[at], c.left, 1e-12);
    EXPECT_NEAR(out.right[at], c.right, 1e-12);
  }
}

TEST(EngineMix, BypassPassesTheInputUntouched) {
  Rig rig;
  rig.values().inputGain = 3.0;
  rig.values().outputGain = 0.2;
  rig.values().fbGain[0] = 0.9;
  rig.values().vcoOn = 1;
  rig.values().bypass = 1;
  rig.settle();
  const Signal l = sine(3000, 440.0, 44100.0, 0.7), r = sine(3000, 220.0, 44100.0, 0.3);
  const Stereo out = rig.run(l, r);
  for (long i = 0; i < 3000; ++i) {
    ASSERT_EQ(out.left[i], l[i]);
    ASSERT_EQ(out.right[i], r[i]);
  }
}

// The channel layouts a host can connect, with what each output carries for
// a mono impulse of 1 on input 1 (no wet pans, mix 0.5: dry 0.5, echo 0.5).
struct LayoutCase {
  const char* name;
  int inputs, outputs;
  bool bypass;
  double outDry[2], outEcho[2];
};

TEST(EngineChannels, LayoutsRouteAndSumAsConnected) {
  const LayoutCase cases[] = {
      {"1 in, 2 out: both carry the processed mono", 1, 2, false, {0.5, 0.5}, {0.5, 0.5}},
      {"2 in, 1 out: input 1 feeds both sides, input 2 is the key", 2, 1, false, {1.0, 0.0}, {1.0, 0.0}},
      {"1 in, 1 out: the sum of both results", 1, 1, false, {1.0, 0.0}, {1.0, 0.0}},
      {"1 in, 1 out, bypass: the input added to itself", 1, 1, true, {2.0, 0.0}, {0.0, 0.0}},
      {"2 in, 2 out: right input stays right", 2, 2, false, {0.5, 0.0}, {0.5, 0.0}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    engine::ChannelMap map;
    ASSERT_TRUE(engine::ChannelMap::forChannelCounts(c.inputs, c.outputs, map));
    rig.engine().setChannelMap(map);
    rig.setDelay(1.0);
    rig.values().mix = 0.5;
    rig.values().bypass = c.bypass ? 1 : 0;
    rig.settle();
    // Exactly as many host buffers as connected; the second output buffer
    // exists only for two outputs.
    std::vector<std::vector<double>> in(c.inputs, std::vector<double>(200, 0.0));
    std::vector<std::vector<double>> out(2, std::vector<double>(200, -7.0));
    in[0][0] = 1.0;
    std::vector<double*> ip, op;
    for (auto& b : in) ip.push_back(b.data());
    for (int o = 0; o < c.outputs; ++o) op.push_back(out[o].data());
    rig.engine().process(ip.data(), op.data(), 200, {});
    const long at = rig.samples(1.0) + rig.lookahead();
    for (int o = 0; o < c.outputs; ++o) {
      EXPECT_NEAR(out[o][0], c.outDry[o], 1e-12) << "output " << o;
      EXPECT_NEAR(out[o][at], c.outEcho[o], 1e-12) << "output " << o;
    }
    if (c.outputs == 1) {
      EXPECT_EQ(out[1][0], -7.0);  // an unconnected output is never written
    }
  }
}

struct BadSampleCase {
  const char* name;
  bool everythingOn;
};

// One NaN or infinity from the host must not poison the lines, the filter
// or the reverb: later input still gives finite echoes.
TEST(EngineBadInput, NonFiniteSamplesAreSilence) {
  const BadSampleCase cases[] = {{"plain echo", false}, {"clock, filter in the loop, reverb, drive", true}};
  for (const BadSampleCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.setDelay(20.0);
    rig.values().fbGain[0] = rig.values().fbGain[1] = 0.5;
    if (c.everythingOn) {
      rig.values().vcoOn = 1;
      rig.values().fltOn = 1;
      rig.values().fltMode = 1;
      rig.values().rvbOn = 1;
      rig.values().driveNormalised = 0.5;
      rig.values().driveGain = 4.0;
    }
    rig.settle();
    const long n = 20000;
    Signal in = silence(n);
    in[10] = std::nan("");
    in[20] = INFINITY;
    in[30] = -INFINITY;
    in[5000] = 1.0;
    const Stereo out = rig.run(in, in);
    for (long i = 0; i < n; ++i) ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i])) << i;
    EXPECT_LT(peak(out.left, 0, 5000), 1e-9);  // the bad samples themselves left no trace
    if (!c.everythingOn) {
      EXPECT_DOUBLE_EQ(out.left[5000 + rig.samples(20.0) + rig.lookahead()], 1.0);
    }
    EXPECT_GT(peak(out.left, 5000), 0.1);
  }
}

TEST(EngineBadInput, BypassGivesSilenceForANonFiniteSample) {
  Rig rig;
  rig.values().bypass = 1;
  rig.settle();
  Signal in = constant(10, 0.25);
  in[3] = std::nan("");
  const Stereo out = rig.run(in);
  EXPECT_EQ(out.left[3], 0.0);
  EXPECT_EQ(out.left[4], 0.25);
}

}  // namespace
