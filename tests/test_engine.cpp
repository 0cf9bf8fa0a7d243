// What only the engine itself shows: buffer sizes and rate-dependent values,
// reset against a fresh engine, block cutting, the glide, the meters, the
// gate's look-ahead, the variable clock, and bad values from outside.
#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/Coefficients.h"
#include "tests/engine_rig.h"

namespace {

using namespace enginetest;

struct RateCase {
  double reported, running;
  int line, lookahead, driveWindow;
};

TEST(EngineBuffers, SizedForTheRateAndBadRatesOrBlockSizesRunAsDefaults) {
  const RateCase cases[] = {
      {44100, 44100, 441001, 44, 4},   {96000, 96000, 960001, 96, 8},   {192000, 192000, 1920001, 192, 16},
      {22050, 22050, 220501, 22, 2},   {4096, 4096, 40961, 4, 2},       {200000, 200000, 2000001, 200, 16},
      {0, 44100, 441001, 44, 4},       {1e6, 44100, 441001, 44, 4},     {4095.9, 44100, 441001, 44, 4},
      {-48000, 44100, 441001, 44, 4},  {std::nan(""), 44100, 441001, 44, 4},
  };
  engine::DelayEngine e;
  for (const RateCase& c : cases) {
    SCOPED_TRACE(c.reported);
    e.setSampleRate(48000.0);
    e.setSampleRate(c.reported);
    EXPECT_EQ(e.sampleRate(), c.running);
    EXPECT_EQ(e.delayLine(0).length(), c.line);
    EXPECT_EQ(e.delayLine(1).length(), c.line);
    EXPECT_EQ(e.gateLookaheadLength(), c.lookahead);
    EXPECT_EQ(e.driveWindow(), c.driveWindow);
  }
  for (const auto& [asked, running] : {std::pair{512, 512}, {1, 1}, {44100, 44100}, {0, 1024}, {44101, 1024}}) {
    e.setBlockSize(asked);
    EXPECT_EQ(e.peakMemoryLength(), running) << asked;
  }
}

TEST(EngineBuffers, RateChangeRecomputesEveryRateDependentValue) {
  engine::DelayEngine e;
  // Until another rate comes, the LFO glide keeps its construction value.
  e.setSampleRate(44100.0);
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
  EXPECT_EQ(e.reverb().length(0), 2384);  // the reverb's taps follow the rate too
}

TEST(EngineLifecycle, AfterSuspendTheEngineSoundsLikeAFreshOne) {
  // The filter in front of the lines and in the loop; both swept, so a sweep
  // left over from before the suspend would colour the first sample after it.
  for (int filterMode : {0, 1}) {
    SCOPED_TRACE(filterMode);
    auto busy = [filterMode](Rig& rig) {
      engine::WorkingValues& v = rig.values();
      v.fbGain[0] = v.fbGain[1] = 0.7;
      v.fbPan[0] = 0.3;
      v.vcoOn = 1;
      v.vcoModDepth = 0.4;
      v.fltOn = 1;
      v.fltMode = filterMode;
      v.cutoffHz = 2000.0;
      v.cutfModDepth = 0.8;
      v.resoModDepth = 0.6;
      v.rvbOn = 1;
      v.driveNormalised = 0.5;
      v.gateThreshold[0] = 0.01;
      v.delayTimeMs[1] = 45.0;
    };
    Rig used(44100, 30), fresh(44100, 30);
    busy(used);
    busy(fresh);
    used.run(tone(20000, 330, 44100, 0.8), tone(20000, 550, 44100, 0.8));
    used.values().inputGain = 2.0;  // a glide under way when the host suspends
    used.run(level(100, 0.0));
    fresh.values().inputGain = 2.0;
    used.engine().suspend();
    fresh.engine().suspend();
    const Signal probe = impulse(8000, 0);
    const Stereo a = used.run(probe, probe), b = fresh.run(probe, probe);
    for (long i = 0; i < 8000; ++i) {
      ASSERT_NEAR(a.left[i], b.left[i], 1e-12) << i;
      ASSERT_NEAR(a.right[i], b.right[i], 1e-12) << i;
    }
  }
}

TEST(EngineLifecycle, BlockCuttingDoesNotChangeTheSoundAndEmptyBlocksWriteNothing) {
  // Each setting whole and in pieces longer and shorter than the engine's
  // runs and the block size. Half-way the clock's and the filter's depths
  // turn up: a clock that ran at exactly 1x then interpolates between the
  // writes and reads it kept while it did not need them.
  using V = engine::WorkingValues;
  struct Case {
    const char* name;
    void (*set)(V&);
  };
  const Case cases[] = {
      {"fixed clock, feedback and drive",
       [](V& v) {
         v.vcoOn = 0;
         v.fbGain[0] = 0.5;
         v.driveNormalised = 0.5;
         v.driveGain = 4.0;
       }},
      {"variable clock at 1x with crossed feedback",
       [](V& v) {
         v.vcoOn = 1;
         v.fbGain[0] = v.fbGain[1] = 0.5;
         v.fbPan[0] = 0.3;
       }},
      {"clock, filter in the loop, gates and reverb",
       [](V& v) {
         v.vcoOn = 1;
         v.fbGain[0] = v.fbGain[1] = 0.6;
         v.fltOn = 1;
         v.fltMode = 1;
         v.cutoffHz = 3000.0;
         v.reso = 0.6;
         v.gateThreshold[0] = v.gateThreshold[1] = 0.01;
         v.rvbOn = 1;
       }},
  };
  const Signal in = tone(6000, 300, 44100, 0.9);
  const Signal first(in.begin(), in.begin() + 3000), second(in.begin() + 3000, in.end());
  for (const Case& c : cases) {
    Rig whole(44100, 5), pieces(44100, 5), single(44100, 5);
    Stereo out[3];
    int k = 0;
    for (auto [rig, block] : {std::pair{&whole, 6000}, std::pair{&pieces, 7}, std::pair{&single, 1}}) {
      c.set(rig->values());
      rig->values().lfoIncrement = 0.001;
      rig->engine().setBlockSize(64);
      out[k] = rig->run(first, block);
      rig->values().vcoModDepth = 0.8;
      rig->values().cutfModDepth = 0.5;
      const Stereo rest = rig->run(second, block);
      out[k].left.insert(out[k].left.end(), rest.left.begin(), rest.left.end());
      ++k;
    }
    for (int cut : {1, 2})
      for (long i = 0; i < 6000; ++i)
        ASSERT_NEAR(out[0].left[i], out[cut].left[i], 1e-12) << c.name << ", sample " << i;
  }
  Rig pieces(44100, 5);
  double out[2] = {5, 5}, in0 = 1;
  double* ip[4] = {&in0, &in0, &in0, &in0};
  double* op[2] = {&out[0], &out[1]};
  pieces.engine().process(ip, op, 0, {});
  EXPECT_EQ(out[0] + out[1], 10.0);
}

TEST(EngineLifecycle, InputGainGlidesAt30HzAndMetersLagOneBlock) {
  Rig rig;
  rig.values().mix = 0.0;
  rig.engine().setBlockSize(256);
  rig.engine().suspend();
  rig.values().inputGain = 3.0;
  const Stereo out = rig.run(level(256, 1.0), 256);
  const double k = 1.0 - std::exp(-2.0 * 3.141592653589793 * 30.0 / 44100.0);
  EXPECT_NEAR(out.left[0], 1.0 + 2.0 * k, 1e-12);  // one step of the glide, never a jump
  EXPECT_NEAR(out.left[200], 1.0 + 2.0 * (1.0 - std::pow(1.0 - k, 201)), 1e-9);
  float l, r;
  rig.engine().readInputPeaks(l, r);
  rig.values().inputGain = 1.0;
  rig.engine().suspend();
  rig.run(impulse(256, 255), 256);  // the block's last sample is still in the ring
  rig.engine().readInputPeaks(l, r);
  EXPECT_EQ(l, 0.0f);
  rig.run(level(256, 0.0), 256);
  rig.engine().readInputPeaks(l, r);
  EXPECT_EQ(l, 1.0f);
  rig.engine().readInputPeaks(l, r);  // reading resets
  EXPECT_EQ(l, 0.0f);
}

// Nobody reading the meters (an editor closed) stops the peak memory after
// half a second; the next read starts it again, empty, so the peaks it then
// reports are those of the blocks after the read, never stale ones.
TEST(EngineLifecycle, MetersRunWhileReadAndRestartEmpty) {
  Rig rig;
  rig.engine().setBlockSize(256);
  float l, r;
  rig.run(level(256, 0.5), 256);
  EXPECT_TRUE(rig.engine().metering()) << "a fresh effect meters until half a second passes unread";
  rig.run(level(44100 / 2 + 256, 0.5), 256);
  EXPECT_FALSE(rig.engine().metering());
  rig.engine().readInputPeaks(l, r);  // the editor opens: the first read
  rig.run(level(256, 0.25), 256);
  EXPECT_TRUE(rig.engine().metering());
  rig.run(level(256, 0.25), 256);
  rig.engine().readInputPeaks(l, r);
  EXPECT_EQ(l, 0.25f) << "only the blocks since the read, one block late";
  for (int block = 0; block < 100; ++block) {  // an editor idling every block keeps them on
    rig.run(level(256, 0.0), 256);
    rig.engine().readInputPeaks(l, r);
  }
  EXPECT_TRUE(rig.engine().metering());
}

// A glide from one target to another: once the smoother says it is at rest,
// stepping on must not move any value by a single bit, since blocks then skip
// the steps; and a fresh target some way off is never at rest.
struct RestCase {
  double from, to;
  bool moves;  // false: closer than one step can resolve, at rest from the start
};

TEST(EngineLifecycle, GlidesComeToRestWhereFurtherStepsChangeNothing) {
  const RestCase cases[] = {{0.0, 1.0, true},    {1.0, 0.0, true},    {1.0, 1.0 + 1e-15, false},
                            {3.0, 1e-20, true},   {1e-300, 0.0, true}, {0.25, -0.0, true},
                            {-0.0, 4.0, true},    {2.0, 1e-310, true}, {-0.0, 0.0, true}};
  for (const RestCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to);
    engine::WorkingValues v;
    engine::Smoother s;
    s.setSampleRate(44100.0);
    v.inputGain = c.from;
    v.fbPan[1] = c.to;  // one value already at its target throughout
    s.snap(v, 44100.0);
    v.inputGain = c.to;
    s.readTargets(v, 44100.0);
    EXPECT_EQ(s.atRest(), !c.moves);
    int steps = 0;
    while (!s.atRest() && steps < 100000) {
      s.advance();
      ++steps;
    }
    ASSERT_TRUE(s.atRest()) << "still gliding after " << steps << " steps";
    double before[engine::kSmoothedCount];
    for (int i = 0; i < engine::kSmoothedCount; ++i) before[i] = s[i];
    for (int n = 0; n < 10000; ++n) s.advance();
    for (int i = 0; i < engine::kSmoothedCount; ++i)
      ASSERT_EQ(std::memcmp(&before[i], &s.current(i), sizeof(double)), 0) << "value " << i;
    EXPECT_NEAR(s[engine::kInputGain], c.to, 1e-12);
  }
}

// With the filter off its sweep is not needed every sample; when it is
// switched on it must find the sweep of the last sample, as if taken all along.
TEST(EngineFilter, AnIdleFilterHoldsTheSweepOfTheLastSample) {
  for (int block : {1, 300, 512}) {
    SCOPED_TRACE(block);
    Rig rig;
    engine::WorkingValues& v = rig.values();
    v.vcoOn = 1;
    v.modSrc = 0.0;
    v.lfoMode = 0;
    v.lfoIncrement = engine::lfoIncrement(7.0, 44100.0);
    v.cutfModDepth = 0.8;
    rig.engine().suspend();
    rig.run(level(1000, 0.0), block);
    const double depth = rig.engine().smoothed(engine::kCutoffModDepth);
    const double e = rig.engine().tables().exponentialAt((depth * rig.engine().modulation().modL() + 1.0) * 0.5);
    EXPECT_NE(rig.engine().modulation().modL(), 0.0);
    EXPECT_EQ(rig.engine().filter().cutoffFactor(), e * e * e);
  }
}

// A glide of a value the filter does not read (here the clock's depth with
// the clock off) must leave the filtered sound exactly as it is: the
// coefficients then hold, or the sweep runs a run at a time, as without it.
// In front of the lines, in the loop and on the wet path, swept by the LFO
// and the envelope, with its resonance modulated and without.
TEST(EngineFilter, AGlideElsewhereLeavesTheFilteredSoundBitForBit) {
  struct Case {
    int mode;
    double cutfModDepth, resoModDepth, modSrc;
  };
  const Case cases[] = {{0, 0.7, 0.3, 0.0}, {1, 0.7, 0.0, 0.0}, {1, 0.5, 0.4, 1.0}, {2, -0.6, 0.0, 0.5}, {1, 0.0, 0.0, 0.0}};
  const Signal in = tone(9000, 220, 44100, 0.7);
  const Signal first(in.begin(), in.begin() + 4000), second(in.begin() + 4000, in.end());
  for (const Case& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode) + ", depth " + std::to_string(c.cutfModDepth));
    Stereo out[2];
    for (int gliding = 0; gliding < 2; ++gliding) {
      Rig rig(44100, 40);
      engine::WorkingValues& v = rig.values();
      v.fltOn = 1;
      v.fltMode = c.mode;
      v.cutoffHz = 1500.0;
      v.reso = 0.7;
      v.cutfModDepth = c.cutfModDepth;
      v.resoModDepth = c.resoModDepth;
      v.modSrc = c.modSrc;
      v.lfoIncrement = engine::lfoIncrement(9.0, 44100.0);
      v.fbGain[0] = v.fbGain[1] = 0.5;
      rig.engine().suspend();
      out[gliding] = rig.run(first, first, 100);
      if (gliding) v.vcoModDepth = 0.9;
      const Stereo rest = rig.run(second, second, 100);
      out[gliding].left.insert(out[gliding].left.end(), rest.left.begin(), rest.left.end());
    }
    for (size_t i = 0; i < out[0].left.size(); ++i) ASSERT_EQ(out[0].left[i], out[1].left[i]) << "sample " << i;
  }
}

TEST(EngineGate, GainReactsOneMillisecondAheadOfTheSound) {
  Rig rig(44100, 100);
  const double threshold = 0.49, x = 0.5;
  rig.values().gateThreshold[0] = threshold;
  rig.engine().suspend();
  const long d = rig.samples(100), la = rig.lookahead();
  const Stereo out = rig.run(level(d + 200, x), level(d + 200, 0.0));
  // When the step reaches the output, the follower has heard it for the
  // look-ahead plus the current sample.
  const double envelope = x * (1.0 - std::pow(1.0 - engine::gateAttackCoefficient(44100), la + 1));
  EXPECT_LT(peak(out.left, 0, d + la), 1e-12);
  EXPECT_NEAR(out.left[d + la], x * (envelope / threshold) * (envelope / threshold), 1e-9);
}

TEST(EngineDucking, DryIsDuckedOnlyWhenItPassesTheReverbStageAndReleases) {
  for (int dryThroughReverb : {0, 1}) {
    SCOPED_TRACE(dryThroughReverb);
    Rig rig;
    rig.values().mix = 0.0;
    rig.values().rvbMode = dryThroughReverb;
    rig.values().duckThreshold = 0.1;
    rig.values().duckRelease = engine::duckReleaseCoefficient(0.0, 44100);  // 30 ms
    rig.engine().suspend();
    const Signal key = level(8820, 1.0), quiet = level(13230, 0.0);
    const Stereo keyed = rig.run(level(8820, 1.0), level(8820, 1.0), 512, &key);
    EXPECT_NEAR(keyed.left.back(), dryThroughReverb ? 0.1 : 1.0, 1e-4);
    const Stereo released = rig.run(level(13230, 1.0), level(13230, 1.0), 512, &quiet);
    EXPECT_NEAR(released.left.back(), 1.0, 1e-9);  // ten release times later
  }
}

struct ClockCase {
  double manual;  // VcoMan working value: the speed is 2^manual
  double delayScale;
};

TEST(EngineClock, ManualSpeedScalesTheHeardDelay) {
  for (const ClockCase& c : {ClockCase{1.0, 0.5}, ClockCase{0.0, 1.0}, ClockCase{-1.0, 2.0}}) {
    SCOPED_TRACE(c.manual);
    Rig rig(44100, 100);
    rig.values().vcoOn = 1;
    rig.values().vcoMan = c.manual;
    rig.values().vcoModDepth = 0.0;
    rig.engine().suspend();
    const Stereo out = rig.run(impulse(rig.samples(250)));
    EXPECT_NEAR(loudest(out.left), rig.samples(100) * c.delayScale + rig.lookahead() + 3, 3.0);
  }
}

TEST(EngineClock, SwitchingTheClockOnCarriesASteadySignalWithoutADip) {
  Rig rig(44100, 10);
  rig.run(level(2048, 0.5));
  rig.values().vcoOn = 1;
  const Stereo out = rig.run(level(1323, 0.5), 64);
  // What was written after the switch comes out from one delay on.
  for (long i = 441 + 60; i < 1323; ++i) ASSERT_NEAR(out.left[i], 0.5, 1e-6) << i;
}

TEST(EngineClock, StaysBoundedAtRatesBelowTwiceTheAntiAliasCorner) {
  for (double rate : {4096.0, 22050.0, 28000.0, 32000.0}) {
    SCOPED_TRACE(rate);
    Rig rig(rate, 20);
    rig.values().vcoOn = 1;
    rig.values().vcoModDepth = 1.0;
    Signal noise = level(static_cast<long>(rate), 0.0);
    unsigned seed = 1;
    for (double& x : noise) x = ((seed = seed * 1103515245u + 12345u) >> 16 & 0x7FFF) / 16384.0 - 1.0;
    EXPECT_LT(peak(rig.run(noise).left), 4.0);
  }
}

// The clock's two ways of placing a value between samples agree: the
// weights that a tick's writes share, and the cubic's Horner form that the
// reads use. Both pass through the samples themselves at q = 0 and q = 1.
TEST(EngineClock, WeightsAndCubicInterpolateAlike) {
  engine::History4 h;
  for (double x : {0.3, -0.8, 0.5, 0.9}) h.push(x);
  for (double q = 0.0; q <= 1.0; q += 1.0 / 64) {
    const double viaWeights = h.at(engine::History4::weightsAt(q));
    EXPECT_NEAR(viaWeights, h.catmullRom(q), 1e-15) << q;
  }
  EXPECT_EQ(h.at(engine::History4::weightsAt(0.0)), -0.8);
  EXPECT_EQ(h.at(engine::History4::weightsAt(1.0)), 0.5);
}

// One line on the variable clock the plain way, a tick at a time, as the
// clock is defined: the ticks the phase passes each sample write the input
// and add the feedback interpolated at their places (at exactly 1x with the
// ticks on the samples, the stored values themselves), and the output is
// the reads interpolated at the phase.
class OneLineClock {
 public:
  OneLineClock(int length, long delay, long preDelay) : line_(static_cast<std::size_t>(length)) {
    feedback_ = static_cast<int>((length - preDelay) % length);
    read_ = static_cast<int>((feedback_ - delay + length) % length);
  }
  double step(double speed, double period, double input, double feedback) {
    in_.push(input);
    fed_.push(feedback);
    const bool onSamples = speed == 1.0 && speed_ == 1.0 && phase_ == 0.0;
    double phase = 1.0 - (1.0 - phase_) * speed * period_;
    double t = 1.0 - phase;
    phase += speed;
    speed_ = speed;
    period_ = period;
    for (; phase >= 1.0; phase -= 1.0, t += 1.0) {
      const int n = static_cast<int>(line_.size());
      const auto w = engine::History4::weightsAt(t * period);
      line_[write_] = onSamples ? in_.h[2] : in_.at(w);
      line_[feedback_] += onSamples ? fed_.h[2] : fed_.at(w);
      reads_.push(line_[read_]);
      write_ = (write_ + 1) % n;
      feedback_ = (feedback_ + 1) % n;
      read_ = (read_ + 1) % n;
    }
    phase_ = phase;
    return reads_.catmullRom(phase);
  }

 private:
  std::vector<double> line_;
  int write_ = 0, feedback_ = 0, read_ = 0;
  double speed_ = 1.0, period_ = 1.0, phase_ = 0.0;
  engine::History4 in_, fed_, reads_;
};

struct TwoLaneClockCase {
  const char* name;
  double (*speed)(long n, int line);  // each line's speed at sample n, 0.5..2
};

// Both lines on one two-lane clock give, bit for bit, what each line gives
// on its own: near 1x (both tick once), far from it (one ticks twice or not
// at all while the other ticks once), in jumps between the extremes and at
// random. Short lines wrap often, and a line whose heads coincide writes,
// adds and reads one entry.
TEST(EngineClock, BothLinesOnOneClockSoundAsEachLineOnItsOwn) {
  const TwoLaneClockCase cases[] = {
      {"steady 1x", [](long, int) { return 1.0; }},
      {"1 % sine", [](long n, int c) { return std::exp2(0.01 * std::sin(0.013 * n + c)); }},
      {"44 % triangle",
       [](long n, int c) { return std::exp2(0.44 * (std::fabs((n + 300 * c) % 800 / 200.0 - 2.0) - 1.0)); }},
      {"jumps 0.5 <-> 2", [](long n, int c) { return (n / (37 - 8 * c)) % 2 ? 2.0 : 0.5; }},
      {"random", [](long n, int c) {
         const unsigned x = static_cast<unsigned>(n * 2 + c) * 2654435761u;
         return std::exp2((x >> 8) / 8388608.0 - 1.0);
       }},
  };
  for (const TwoLaneClockCase& c : cases) {
    SCOPED_TRACE(c.name);
    engine::DelayLine left, right;
    left.allocate(7);
    right.allocate(5);
    left.placeHeads(3, 2);
    right.placeHeads(0, 0);
    engine::VariableClock clock;
    clock.clear();
    engine::VariableClock::Writes written;
    OneLineClock oneLeft(7, 3, 2), oneRight(5, 0, 0);
    for (long n = 0; n < 4000; ++n) {
      const engine::Pair speed = {c.speed(n, 0), c.speed(n, 1)};
      const engine::Pair in = {std::sin(0.1 * n), std::cos(0.07 * n)}, fed = {0.3 * std::sin(0.05 * n), -0.2};
      written.push(in, fed);
      const engine::Pair out = clock.step(left, right, speed, 1.0 / speed, written);
      ASSERT_EQ(out[0], oneLeft.step(speed[0], 1.0 / speed[0], in[0], fed[0])) << n;
      ASSERT_EQ(out[1], oneRight.step(speed[1], 1.0 / speed[1], in[1], fed[1])) << n;
    }
  }
}

TEST(EngineDelayLine, ChangesDuringTheFadeOutMoveTheHeadsOnceToTheLatestTime) {
  Rig rig(44100, 300);
  rig.values().delayTimeMs[0] = 200.0;
  rig.values().delayTimeChanged[0] = true;
  rig.run(level(1000, 0.0));
  rig.values().delayTimeMs[0] = 100.0;
  rig.values().delayTimeChanged[0] = true;
  rig.run(level(4410, 0.0));
  const engine::DelayLine& line = rig.engine().delayLine(0);
  EXPECT_EQ((line.feedbackHead() - line.readHead() + line.length()) % line.length(), 4410);
  EXPECT_FALSE(rig.values().delayTimeChanged[0].get());
}

// Bad values from outside: host samples that are not numbers, and times a
// parameter beyond its range asks for.
struct BadInputCase {
  const char* name;
  bool everythingOn;
  bool bypass;
};

TEST(EngineBadInput, NonFiniteSamplesAreSilenceAndNeverPoisonTheState) {
  const BadInputCase cases[] = {{"plain echo", false, false},
                                {"clock, filter in the loop, reverb, drive", true, false},
                                {"bypass", false, true}};
  for (const BadInputCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig(44100, 20);
    engine::WorkingValues& v = rig.values();
    v.fbGain[0] = v.fbGain[1] = 0.5;
    v.bypass = c.bypass;
    v.vcoOn = v.fltOn = v.fltMode = v.rvbOn = c.everythingOn;
    v.driveNormalised = c.everythingOn ? 0.5 : 0.0;
    Signal in = level(20000, 0.0);
    in[10] = std::nan("");
    in[20] = INFINITY;
    in[30] = -INFINITY;
    in[5000] = 1.0;
    const Stereo out = rig.run(in, in);
    for (long i = 0; i < 20000; ++i) ASSERT_TRUE(std::isfinite(out.left[i] + out.right[i])) << i;
    EXPECT_LT(peak(out.left, 0, 5000), 1e-9);
    EXPECT_GT(peak(out.left, 5000), c.bypass ? 0.99 : 0.1);
  }
}

TEST(EngineBadInput, TimesBeyondTheLineStayInsideIt) {
  Rig rig;
  rig.values().delayTimeMs[0] = 9000.0;  // plus a 1/1 pre-delay: 18 s asked of a 10 s line
  rig.values().preNumIndex[0] = 1;
  rig.values().preDenIndex[0] = 0;
  rig.values().delayTimeMs[1] = std::nan("");
  rig.engine().suspend();
  EXPECT_TRUE(std::isfinite(peak(rig.run(impulse(2000)).left)));
  const engine::DelayLine& right = rig.engine().delayLine(1);
  EXPECT_EQ(right.readHead(), right.writeHead());  // NaN counts as no delay
}

// The last line of defence: a state overflowed by a level no held parameter
// can reach (a gain of 1e308) recovers once the level is sane again, without
// waiting for the host to suspend and resume.
TEST(EngineBadInput, AnOverflowedStateClearsItselfInsteadOfStayingSilent) {
  Rig rig(44100, 20);
  engine::WorkingValues& v = rig.values();
  v.fbGain[0] = v.fbGain[1] = 0.5;
  v.fltOn = 1;
  v.fltMode = 1;  // in the loop
  v.inputGain = 1e308;
  rig.engine().suspend();
  const Stereo overflowed = rig.run(level(4096, 1.0));
  bool poisoned = false;
  for (double x : overflowed.left) poisoned = poisoned || !std::isfinite(x);
  EXPECT_TRUE(poisoned);
  v.inputGain = 1.0;
  rig.run(level(5 * 44100, 0.0));  // the input gain glides back from 1e308
  const Stereo out = rig.run(tone(20000, 220, 44100, 0.5));
  for (long i = 0; i < 20000; ++i) ASSERT_TRUE(std::isfinite(out.left[i] + out.right[i])) << i;
  EXPECT_GT(peak(out.left, 10000), 0.1);
}

}  // namespace

// While the drive is off its window still takes the level (its running sums
// are left until the next block recomputes them): switched on, the drive must
// find the gain that a window fed all along gives, and go on from there, at
// every window length.
TEST(EngineDrive, AWindowKeptWhileOffGivesTheGainOfOneFedAllAlong) {
  for (int rate : {22050, 44100, 96000, 192000}) {
    SCOPED_TRACE(rate);
    engine::Drive fed, kept;
    fed.setSampleRate(rate);
    kept.setSampleRate(rate);
    auto sample = [](int i) { return engine::Pair{0.9 * std::sin(0.7 * i), -2.3 * std::cos(0.3 * i)}; };
    for (int i = 0; i < 37; ++i) {
      fed.feed(sample(i), 2.5);
      kept.keep(sample(i), 2.5);
    }
    fed.beginBlock();
    kept.beginBlock();
    for (int i = 37; i < 80; ++i) {
      const engine::Pair a = fed.gain(), b = kept.gain();
      ASSERT_EQ(a[0], b[0]) << i;
      ASSERT_EQ(a[1], b[1]) << i;
      fed.feed(sample(i), 2.5);
      kept.feed(sample(i), 2.5);
    }
  }
}

// A block runs in the effect's own float mode (subnormals as zero, in and
// out; round to nearest), whatever mode the host's thread is in: a program
// with the filter, the clock and the reverb decaying into silence gives the
// same bits under every host mode, and the host's mode is back after each
// block.
TEST(EngineDenormals, EveryHostFloatModeHearsTheSameBitsAndGetsItsModeBack) {
  const unsigned hostModes[] = {0x1F80,                   // the default: subnormals kept, nearest
                                0x9FC0,                   // a host flushing subnormals itself
                                0x1F80 | 0x6000,          // rounding toward zero
                                0x1F80 & ~0x0200u};       // the divide-by-zero trap unmasked
  std::vector<Stereo> heard;
  for (const unsigned mode : hostModes) {
    SCOPED_TRACE(mode);
    Rig rig(44100, 30);
    engine::WorkingValues& v = rig.values();
    v.fbGain[0] = v.fbGain[1] = 0.7;
    v.fltOn = 1;
    v.fltMode = 1;
    v.vcoOn = 1;
    v.vcoModDepth = 0.3;
    v.rvbOn = 1;
    Signal in = impulse(3 * 44100);
    in[1] = 1e-40;  // a subnormal input sample too
    const unsigned before = _mm_getcsr();
    _mm_setcsr(mode);
    const Stereo out = rig.run(in, in, 441);
    const unsigned after = _mm_getcsr();
    _mm_setcsr(before);
    EXPECT_EQ(after, mode);
    heard.push_back(out);
  }
  for (size_t m = 1; m < heard.size(); ++m)
    for (long i = 0; i < 3 * 44100; ++i) {
      ASSERT_EQ(heard[m].left[i], heard[0].left[i]) << "mode " << m << " at " << i;
      ASSERT_EQ(heard[m].right[i], heard[0].right[i]) << "mode " << m << " at " << i;
    }
}
