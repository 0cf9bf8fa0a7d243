// The audio a host hears from the built plug-in: echoes, pans, feedback,
// gating, ducking, mix and bypass, set through parameters exactly as a host
// automates them, in both precisions and at the rates hosts use.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

#include "params/ParameterTable.h"
#include "tests/support/Tavrel.h"

namespace {

using namespace params;
using Signal = std::vector<float>;
using Settings = std::initializer_list<std::pair<int, float>>;

// Step centre of step a of n: the value a host sends to pick that step.
constexpr float step(int a, int n) { return (a + 0.5f) / n; }

Signal silence(long n) { return Signal(static_cast<std::size_t>(n), 0.0f); }
Signal impulse(long n, long at = 0) {
  Signal s = silence(n);
  s[static_cast<std::size_t>(at)] = 1.0f;
  return s;
}
Signal constant(long n, float level) { return Signal(static_cast<std::size_t>(n), level); }
long firstAbove(const Signal& s, double floor, long from = 0) {
  for (long i = from; i < static_cast<long>(s.size()); ++i)
    if (std::fabs(s[i]) > floor) return i;
  return -1;
}
double peak(const Signal& s, long from = 0, long to = -1) {
  if (to < 0) to = static_cast<long>(s.size());
  double p = 0.0;
  for (long i = from; i < to; ++i) p = std::max(p, static_cast<double>(std::fabs(s[i])));
  return p;
}

// The plug-in in a host at a given rate, with program 0 made into a plain
// echo: fixed clock, wet only. Each side's wet is panned to its own side and
// each feedback stays on its own line.
class Session {
 public:
  explicit Session(double rate = 44100.0, int inputs = 4, int outputs = 2) {
    host::HostScript script;
    script.connectedInputs = inputs;
    script.connectedOutputs = outputs;
    script.recordCalls = false;
    plugin_ = testing_support::loadTavrel(script);
    plugin_->setSampleRate(static_cast<float>(rate));
    plugin_->setBlockSize(512);
    set({{VcoOn, 0.0f}, {Mix, 1.0f}});
  }

  host::PluginInstance& plugin() { return *plugin_; }

  // Writes parameters, then lets the host suspend and resume the effect, so
  // the heads stand at the new times and no glide is under way. Resuming
  // re-times the synchronised delays, which fades the wet out and back in
  // over 200 ms; silence covers that.
  void set(Settings settings) {
    for (const auto& [index, value] : settings) plugin_->setParameter(index, value);
    plugin_->suspend();
    plugin_->resume();
    std::vector<Signal> out;
    plugin_->process({silence(kSettle)}, out);
  }
  static constexpr long kSettle = 9000;

  std::vector<Signal> run(const std::vector<Signal>& inputs) {
    std::vector<Signal> out;
    EXPECT_TRUE(plugin_->process(inputs, out));
    return out;
  }
  std::vector<Signal> run(const Signal& mono) { return run({mono, mono}); }

 private:
  std::unique_ptr<host::PluginInstance> plugin_;
};

constexpr long kLookahead = 44;  // the gates' 1 ms at 44.1 kHz

struct EchoCase {
  const char* name;
  double tempo;
  std::vector<std::pair<int, float>> settings;
  long expected;
};

TEST(HostEcho, ImpulseLandsWhereTheTimeSettingPutsIt) {
  const EchoCase cases[] = {
      {"program 0: a quarter note at 120 BPM", 120.0, {}, 22050 + kLookahead},
      {"a quarter note at 90 BPM", 90.0, {}, 29400 + kLookahead},
      {"3/8 at 120 BPM", 120.0, {{DlyNumL, step(1, 5)}, {DlyNumR, step(1, 5)}, {DlyDenL, step(5, 13)}, {DlyDenR, step(5, 13)}}, 33075 + kLookahead},
      {"time mode: 250 ms of the 1000 ms range", 120.0,
       {{DlyModeL, 0.0f}, {DlyModeR, 0.0f}, {RangeL, step(1, 3)}, {RangeR, step(1, 3)}, {DlyTimeL, 0.25f}, {DlyTimeR, 0.25f}},
       11025 + kLookahead},
      {"pre-delay 1/1 doubles the first echo", 120.0,
       {{PreNumL, step(1, 6)}, {PreNumR, step(1, 6)}, {PreDenL, step(0, 13)}, {PreDenR, step(0, 13)}}, 44100 + kLookahead},
  };
  for (const EchoCase& c : cases) {
    SCOPED_TRACE(c.name);
    Session s;
    s.plugin().script().tempo = c.tempo;
    for (const auto& [index, value] : c.settings) s.plugin().setParameter(index, value);
    s.set({});
    const auto out = s.run(impulse(c.expected + 1000));
    EXPECT_EQ(firstAbove(out[0], 1e-6), c.expected);
    EXPECT_EQ(out[0][c.expected], 1.0f);
    EXPECT_EQ(out[1][c.expected], 1.0f);
  }
}

TEST(HostEcho, ProgramZeroAsShippedEchoesOnTheVariableClock) {
  Session s;
  s.set({{VcoOn, 1.0f}, {Mix, 0.5f}});
  const auto out = s.run(impulse(23000));
  EXPECT_EQ(out[0][0], 0.5f);  // the dry half
  long at = 1;
  for (long i = 1; i < 23000; ++i)
    if (std::fabs(out[0][i]) > std::fabs(out[0][at])) at = i;
  // Speed 1: the fixed clock's place plus the interpolation's few samples.
  EXPECT_GE(at, 22050 + kLookahead + 3);
  EXPECT_LE(at, 22050 + kLookahead + 5);
}

TEST(HostEcho, PreDelayOneToOneRepeatsEveryDelayAfterTheFirstEcho) {
  Session s;
  s.set({{PreNumL, step(1, 6)}, {PreDenL, step(0, 13)}, {DlyDenL, step(12, 13)}, {FbGainL, 0.5f}});  // 1/96: 20.83 ms
  const long d = 918;  // 20.833 ms
  const auto out = s.run({impulse(4 * d), silence(4 * d)});
  EXPECT_EQ(firstAbove(out[0], 1e-6), 2 * d + kLookahead);
  EXPECT_FLOAT_EQ(out[0][2 * d + kLookahead], 1.0f);
  EXPECT_FLOAT_EQ(out[0][3 * d + 1 + kLookahead], 0.5f);
}

struct LoopCase {
  const char* name;
  float panL, panR;
  int side[3];  // where echo 1, 2, 3 of a left impulse come out
};

TEST(HostFeedback, IndependentLoopsAndPingPong) {
  const LoopCase cases[] = {{"independent", 0.0f, 1.0f, {0, 0, 0}}, {"ping-pong", 1.0f, 0.0f, {0, 1, 0}}};
  for (const LoopCase& c : cases) {
    SCOPED_TRACE(c.name);
    Session s;
    s.set({{DlyDenL, step(12, 13)}, {DlyDenR, step(12, 13)}, {FbGainL, 0.5f}, {FbGainR, 0.5f},
           {FbPanL, c.panL}, {FbPanR, c.panR}});
    const long d = 918;
    const auto out = s.run({impulse(4 * d), silence(4 * d)});
    for (int k = 0; k < 3; ++k) {
      const long at = (k + 1) * d + k + kLookahead;
      EXPECT_FLOAT_EQ(out[c.side[k]][at], std::pow(0.5f, k)) << "echo " << k + 1;
      EXPECT_EQ(out[1 - c.side[k]][at], 0.0f) << "echo " << k + 1;
    }
  }
}

TEST(HostFeedback, InversionsFlipPolarity) {
  Session s;
  s.set({{DlyDenL, step(12, 13)}, {FbGainL, 0.5f}, {FbInvL, 0.75f}, {DlyInvR, 0.75f}});
  const long d = 918;
  const auto out = s.run({impulse(4 * d), impulse(4 * d)});
  EXPECT_FLOAT_EQ(out[0][d + kLookahead], 1.0f);
  EXPECT_FLOAT_EQ(out[0][2 * d + 1 + kLookahead], -0.5f);
  EXPECT_FLOAT_EQ(out[0][3 * d + 2 + kLookahead], 0.25f);
  const auto right = s.run({silence(22200), impulse(22200)});
  EXPECT_FLOAT_EQ(right[1][22050 + kLookahead], -1.0f);  // the right wet is inverted
}

TEST(HostMix, MixZeroIsDryMixOneIsWetBypassIsTheInput) {
  const Signal in = constant(23000, 0.25f);
  {
    Session s;
    s.set({{Mix, 0.0f}, {Output, 0.25f}});  // output gain 4 v^2 = 0.25
    const auto out = s.run(in);
    EXPECT_FLOAT_EQ(out[0][100], 0.0625f);
    EXPECT_FLOAT_EQ(out[0][22900], 0.0625f);
  }
  {
    Session s;
    s.set({{Mix, 1.0f}});
    const auto out = s.run(in);
    EXPECT_EQ(out[0][100], 0.0f);
    EXPECT_FLOAT_EQ(out[0][22900], 0.25f);
  }
  {
    Session s;
    s.set({{Bypass, 1.0f}, {Input, 1.0f}, {FbGainL, 1.0f}});
    const Signal tone = [] {
      Signal t = silence(5000);
      for (long i = 0; i < 5000; ++i) t[i] = 0.5f * std::sin(0.05f * i);
      return t;
    }();
    const auto out = s.run({tone, tone});
    for (long i = 0; i < 5000; ++i) ASSERT_EQ(out[0][i], tone[i]) << i;
  }
}

TEST(HostMix, MuteStopsNewInputButNotTheDry) {
  Session s;
  s.set({{MuteInL, 1.0f}, {Mix, 0.5f}, {DlyDenL, step(12, 13)}, {DlyDenR, step(12, 13)}});
  const auto out = s.run({impulse(2000), impulse(2000)});
  EXPECT_FLOAT_EQ(out[0][0], 0.5f);
  EXPECT_EQ(out[0][918 + kLookahead], 0.0f);
  EXPECT_FLOAT_EQ(out[1][918 + kLookahead], 0.5f);
}

struct LevelCase {
  const char* name;
  std::vector<std::pair<int, float>> settings;
  float input, expected;
};

TEST(HostLevels, DriveAndGateShapeTheEcho) {
  const LevelCase cases[] = {
      {"drive off", {{DriveSwitch, 0.0f}}, 0.5f, 0.5f},
      {"drive factor 2: driven level 1 gives 0.75", {{DriveSwitch, 1.0f}, {Drive, 0.25f}}, 0.5f, 0.375f},
      {"drive factor 8: driven level 4 gives 0.25", {{DriveSwitch, 1.0f}, {Drive, 0.75f}}, 0.5f, 0.125f},
      {"gate threshold 0.25 above a 0.1 echo", {{DlyGateL, 0.5f}, {DlyGateR, 0.5f}}, 0.1f, 0.1f * 0.16f},
      {"gate threshold below the echo", {{DlyGateL, 0.2f}, {DlyGateR, 0.2f}}, 0.1f, 0.1f},
  };
  for (const LevelCase& c : cases) {
    SCOPED_TRACE(c.name);
    Session s;
    for (const auto& [index, value] : c.settings) s.plugin().setParameter(index, value);
    s.set({{DlyDenL, step(12, 13)}, {DlyDenR, step(12, 13)}});
    const auto out = s.run(constant(30000, c.input));
    EXPECT_NEAR(out[0][29999], c.expected, c.expected * 1e-4);
  }
}

TEST(HostDucking, KeyFromInputsThreeAndFourWithFourConnected) {
  Session s(44100.0, 4, 2);
  s.set({{Ducking, 0.0f}, {DlyDenL, step(12, 13)}, {DlyDenR, step(12, 13)}});
  const long n = 13230;  // 300 ms
  const auto keyed = s.run({constant(n, 0.5f), constant(n, 0.5f), constant(n, 1.0f), silence(n)});
  EXPECT_NEAR(keyed[0][n - 1], 0.5f * 0.0316228f, 1e-4);
  s.set({});
  const auto mainOnly = s.run({constant(n, 1.0f), constant(n, 1.0f)});
  EXPECT_FLOAT_EQ(mainOnly[0][n - 1], 1.0f);  // loud main inputs do not duck
}

TEST(HostDucking, KeyFromTheMainInputsWithTwoConnected) {
  Session s(44100.0, 2, 2);
  s.set({{Ducking, 0.0f}, {DlyDenL, step(12, 13)}, {DlyDenR, step(12, 13)}});
  const long n = 13230;
  const auto out = s.run({constant(n, 1.0f), constant(n, 1.0f), silence(n), silence(n)});
  EXPECT_NEAR(out[0][n - 1], 0.0316228f, 1e-4);
}

TEST(HostEcho, TimeChangePassesThroughSilenceWithoutAClick) {
  Session s;
  s.set({{DlyModeL, 0.0f}, {RangeL, step(1, 3)}, {DlyTimeL, 0.3f}});
  const long n = 44100;
  Signal tone = silence(n);
  for (long i = 0; i < n; ++i) tone[i] = 0.5f * std::sin(6.2831853f * 220.0f * i / 44100.0f);
  s.run({Signal(tone.begin(), tone.begin() + 22050), silence(22050)});
  s.plugin().setParameter(DlyTimeL, 0.2f);
  const auto out = s.run({Signal(tone.begin() + 22050, tone.end()), silence(22050)});
  EXPECT_LT(peak(out[0], 4400, 4420), 0.5 * 0.0012);  // -60 dB at 100 ms
  const double steepest = 0.5 * 6.2831853 * 220.0 / 44100.0;
  for (long i = 1; i < 22050; ++i) ASSERT_LE(std::fabs(out[0][i] - out[0][i - 1]), steepest * 1.02) << i;
  EXPECT_NEAR(peak(out[0], 9500, 12000), 0.5, 0.005);
}

TEST(HostLifecycle, SuspendAndResumeStartFromSilence) {
  Session s;
  s.set({{FbGainL, 0.9f}, {FbGainR, 0.9f}, {DlyDenL, step(12, 13)}, {DlyDenR, step(12, 13)}, {RvbOn, 1.0f}});
  Signal noise = silence(20000);
  unsigned seed = 7;
  for (float& x : noise) x = ((seed = seed * 1103515245u + 12345u) >> 16 & 0x7FFF) / 16384.0f - 1.0f;
  s.run(noise);
  s.plugin().suspend();
  s.plugin().resume();
  const auto out = s.run(silence(5000));
  EXPECT_LT(peak(out[0]), 1e-9);
  EXPECT_LT(peak(out[1]), 1e-9);
}

struct LayoutCase {
  const char* name;
  int inputs, outputs;
  bool bypass;
  float first;  // output 1 at the impulse
  float second;  // output 2 at the impulse
};

TEST(HostChannels, LayoutsFromConnectedPins) {
  const LayoutCase cases[] = {
      {"1 in, 2 out: both outputs carry the mono result", 1, 2, false, 0.5f, 0.5f},
      {"2 in, 1 out: output 1 is the sum of both sides", 2, 1, false, 1.0f, 0.0f},
      {"1 in, 1 out, bypass: the input added to itself", 1, 1, true, 2.0f, 0.0f},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    Session s(44100.0, c.inputs, c.outputs);
    s.set({{Mix, 0.5f}, {Bypass, c.bypass ? 1.0f : 0.0f}});
    const auto out = s.run({impulse(100), silence(100)});
    EXPECT_FLOAT_EQ(out[0][0], c.first);
    EXPECT_FLOAT_EQ(out[1][0], c.second);
  }
}

struct RateCase {
  double reported;
  long echo;  // a quarter note at 120 BPM plus the 1 ms look-ahead, in samples
};

TEST(HostRates, EchoesAtEveryRateAndBadRatesRunAs44100) {
  const RateCase cases[] = {{44100, 22050 + 44}, {96000, 48000 + 96}, {192000, 96000 + 192},
                            {0, 22050 + 44},     {1e6, 22050 + 44}};
  for (const RateCase& c : cases) {
    SCOPED_TRACE(c.reported);
    Session s(c.reported);
    const auto out = s.run(impulse(c.echo + 100));
    EXPECT_EQ(firstAbove(out[0], 1e-6), c.echo);
  }
}

TEST(HostPrecision, FloatAndDoublePathsAgree) {
  Session single, twin;
  for (Session* s : {&single, &twin})
    s->set({{VcoOn, 1.0f}, {Mix, 0.5f}, {FbGainL, 0.6f}, {FbGainR, 0.6f}, {FbPanL, 1.0f}, {FbPanR, 0.0f},
            {DlyDenL, step(11, 13)}, {DlyDenR, step(10, 13)}, {RvbOn, 1.0f}, {DlyGateL, 0.1f}});
  const long n = 20000;
  Signal f = silence(n);
  std::vector<double> d(static_cast<std::size_t>(n));
  for (long i = 0; i < n; ++i) d[i] = f[i] = 0.5f * std::sin(0.0627f * i);
  const auto outF = single.run({f, f});
  std::vector<std::vector<double>> outD;
  ASSERT_TRUE(twin.plugin().processDouble({d, d}, outD));
  double worst = 0.0;
  for (int c = 0; c < 2; ++c)
    for (long i = 0; i < n; ++i) worst = std::max(worst, std::fabs(outF[c][i] - outD[c][i]));
  EXPECT_LT(worst, 1e-5);
  EXPECT_GT(peak(outF[0], 10000), 0.1);
}

}  // namespace
