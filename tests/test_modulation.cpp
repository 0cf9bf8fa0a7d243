// Modulation sources measured as signals: LFO rates and phases, the stereo
// offset, wave polarity, the random wave's targets and the envelope follower.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/Coefficients.h"
#include "engine/Modulation.h"

namespace {

using engine::Modulation;
using engine::Tables;
using engine::WorkingValues;

constexpr double kPi = 3.141592653589793;
enum Wave { kSine = 0, kSquare, kTriangle, kSaw, kRandom };

struct LfoTrace {
  std::vector<double> lfoL, lfoR;
};

// Runs the LFO alone (ModSrc 0) for `frames` samples in blocks of 512.
LfoTrace runLfo(Modulation& m, WorkingValues& v, int frames, double ppqStart = 0.0, double tempo = 120.0,
           double sr = 44100.0) {
  LfoTrace r;
  double modL = 0, modR = 0;
  for (int start = 0; start < frames; start += 512) {
    m.beginBlock(v, true, ppqStart + start * tempo / 60.0 / sr);
    for (int i = start; i < std::min(frames, start + 512); ++i) {
      m.tick(0.0, 0.0, 0.0, modL, modR);
      r.lfoL.push_back(modL);
      r.lfoR.push_back(modR);
    }
  }
  return r;
}

// Mean frequency from rising zero crossings, interpolated between samples.
double measuredHz(const std::vector<double>& x, double sr) {
  std::vector<double> crossings;
  for (size_t i = 1; i < x.size(); ++i)
    if (x[i - 1] < 0.0 && x[i] >= 0.0) crossings.push_back(i - 1 + (-x[i - 1]) / (x[i] - x[i - 1]));
  if (crossings.size() < 2) return 0.0;
  return sr * (crossings.size() - 1) / (crossings.back() - crossings.front());
}

TEST(ModulationSources, LfoRunsAtItsIncrementInEveryRateMode) {
  // Rates as the parameter code hands them over: 1/4 at 120 BPM is 2 Hz,
  // 1/96 at 400 BPM would be 160 Hz and is limited to 15 Hz.
  struct Case {
    int mode;
    double rateHz;
    double sr;
    int wave;
  };
  const Case cases[] = {{0, 3.0, 44100, kSine},  {1, 2.0, 44100, kSine},     {1, 15.0, 48000, kTriangle},
                        {0, 0.5, 96000, kSaw},   {2, 2.0, 44100, kTriangle}, {1, 2.0, 44100, kSquare}};
  Tables tables;
  for (const Case& c : cases) {
    Modulation m(tables);
    m.setSampleRate(c.sr);
    m.clear();
    WorkingValues v;
    v.lfoMode = c.mode;
    v.lfoWave = c.wave;
    v.lfoNumIndex = 0;  // 1
    v.lfoDenIndex = 3;  // 4: a quarter note, 2 Hz at 120 BPM in song-position mode
    v.lfoIncrement = engine::lfoIncrement(c.rateHz, c.sr);
    const double seconds = 3.2 / c.rateHz + 0.1;  // at least three rising crossings
    const LfoTrace r = runLfo(m, v, static_cast<int>(c.sr * seconds), 0.0, 120.0, c.sr);
    EXPECT_NEAR(measuredHz(r.lfoL, c.sr), c.rateHz, c.rateHz * 0.01) << "mode " << c.mode << " wave " << c.wave;
  }
}

TEST(ModulationSources, SongPositionLockFollowsATransportJumpAtTheNextBlock) {
  Tables tables;
  Modulation m(tables);
  m.clear();
  WorkingValues v;
  v.lfoMode = 2;
  v.lfoWave = kSine;
  v.lfoNumIndex = 0;  // 1/4: one cycle per quarter note
  v.lfoDenIndex = 3;
  v.lfoIncrement = engine::lfoIncrement(2.0, 44100);
  double l = 0, r = 0;
  struct Case {
    double ppq;
    double phase;  // expected phase at the block start
  };
  // Positions in quarter notes, jumping back and forth as a looping transport does.
  const Case cases[] = {{0.0, 0.0}, {0.25, kPi / 2}, {7.75, -kPi / 2}, {2.5, kPi}, {-0.25, -kPi / 2}, {1.0, 0.0}};
  for (const Case& c : cases) {
    m.beginBlock(v, true, c.ppq);
    EXPECT_NEAR(m.phase(), c.phase, 1e-9) << "ppq " << c.ppq;
    m.tick(0.0, 0, 0, l, r);
    EXPECT_NEAR(l, -std::sin(c.phase), 0.01) << "sine output at ppq " << c.ppq;
  }
  // 1/2 at the same position: a period of two quarter notes.
  v.lfoDenIndex = 1;
  m.beginBlock(v, true, 0.5);
  EXPECT_NEAR(m.phase(), kPi / 2, 1e-9);
  // No position from the host (a stopped transport): the LFO runs on at its
  // rate from where it stands.
  m.beginBlock(v, false, 0.5);
  for (int i = 0; i < 100; ++i) m.tick(0.0, 0, 0, l, r);
  EXPECT_NEAR(m.phase(), kPi / 2 + 100 * v.lfoIncrement.get(), 1e-9);
}

TEST(ModulationSources, StereoOffsetMovesTheChannelsApartUpToHalfACycle) {
  Tables tables;
  for (int wave = kSine; wave <= kRandom; ++wave) {
    for (double offsetNorm : {0.5, 1.0, 0.0}) {
      Modulation m(tables);
      m.clear();
      WorkingValues v;
      v.lfoMode = 0;
      v.lfoWave = wave;
      v.lrOffset = (offsetNorm - 0.5) * kPi;
      v.lfoIncrement = engine::lfoIncrement(5.0, 44100);
      const LfoTrace r = runLfo(m, v, 44100);
      const int halfCycle = 44100 / 10;
      if (offsetNorm == 0.5) {
        for (size_t i = 0; i < r.lfoL.size(); ++i)
          ASSERT_EQ(r.lfoL[i], r.lfoR[i]) << "wave " << wave << " sample " << i;
        continue;
      }
      if (wave == kRandom) {
        // Separate targets: the channels differ somewhere.
        double maxDiff = 0;
        for (size_t i = 0; i < r.lfoL.size(); ++i) maxDiff = std::max(maxDiff, std::fabs(r.lfoL[i] - r.lfoR[i]));
        EXPECT_GT(maxDiff, 0.01);
        continue;
      }
      // Half a cycle apart: the right channel now is the left one half a
      // cycle later (compare after the smoothed waves have settled).
      // The square's edges may fall a fraction of a sample apart: allow one sample.
      for (int i = 2000; i < 30000; i += 37) {
        double best = 1e9;
        for (int d = -1; d <= 1; ++d) best = std::min(best, std::fabs(r.lfoR[i] - r.lfoL[i + halfCycle + d]));
        ASSERT_LT(best, 0.02) << "wave " << wave << " offset " << offsetNorm << " sample " << i;
      }
      // And which one leads: at offset 1 the left channel is a quarter cycle
      // behind the common phase.
      if (wave == kSine) {
        const double quarterLead = offsetNorm == 1.0 ? 1.0 : -1.0;
        // Left = -sin(phi - q*pi/2) = q*cos(phi); sample 0 has phi = 0.
        EXPECT_NEAR(r.lfoL[0], quarterLead, 0.01);
      }
    }
  }
}

TEST(ModulationSources, SineAndTriangleHaveOppositePolarity) {
  Tables tables;
  std::vector<double> waves[2];
  const int kinds[2] = {kSine, kTriangle};
  for (int k = 0; k < 2; ++k) {
    Modulation m(tables);
    m.clear();
    WorkingValues v;
    v.lfoMode = 0;
    v.lfoWave = kinds[k];
    v.lfoIncrement = engine::lfoIncrement(4.0, 44100);
    waves[k] = runLfo(m, v, 11025).lfoL;  // one cycle
  }
  double corr = 0;
  for (size_t i = 0; i < waves[0].size(); ++i) corr += waves[0][i] * waves[1][i];
  corr /= waves[0].size();
  EXPECT_LT(corr, -0.4);  // sine times an opposite triangle averages -4/pi^2 ≈ -0.405 per unit
  // A quarter cycle in: sine at its minimum, triangle at its maximum.
  EXPECT_NEAR(waves[0][2756], -1.0, 0.01);
  EXPECT_NEAR(waves[1][2756], 1.0, 0.01);
}

TEST(ModulationSources, RandomWaveTakesOneNewTargetPerCycleWithinRange) {
  Tables tables;
  Modulation m(tables);
  m.clear();
  WorkingValues v;
  v.lfoMode = 0;
  v.lfoWave = kRandom;
  v.lfoIncrement = engine::lfoIncrement(10.0, 44100);
  const LfoTrace r = runLfo(m, v, 44100 * 2);
  // The output settles onto a held value between crossings: count the
  // plateaus as changes of the settled value 1/4 cycle after each crossing.
  std::vector<double> held;
  for (int i = 4410 / 2; i < static_cast<int>(r.lfoL.size()); i += 4410) held.push_back(r.lfoL[i]);
  int changes = 0;
  double lo = 1, hi = -1;
  for (size_t i = 0; i < held.size(); ++i) {
    lo = std::min(lo, held[i]);
    hi = std::max(hi, held[i]);
    if (i > 0 && held[i] != held[i - 1]) ++changes;
  }
  EXPECT_EQ(changes, static_cast<int>(held.size()) - 1);  // a fresh value every cycle
  EXPECT_GE(lo, -1.0);
  EXPECT_LE(hi, 1.0);
  EXPECT_GT(hi - lo, 0.5);  // they spread over the range
}

TEST(ModulationSources, LfoSmoothingIsA1000HzPoleUntilAnotherRateThenA500HzPole) {
  Tables tables;
  Modulation m(tables);
  auto pole = [](double hz, double sr) { return 1.0 - std::exp(-2 * kPi * hz / sr); };
  EXPECT_NEAR(m.smoothingCoefficient(), pole(1000, 44100), 1e-12);
  m.setSampleRate(44100);
  EXPECT_NEAR(m.smoothingCoefficient(), pole(1000, 44100), 1e-12);
  m.setSampleRate(48000);
  EXPECT_NEAR(m.smoothingCoefficient(), pole(500, 48000), 1e-12);
  m.setSampleRate(44100);
  EXPECT_NEAR(m.smoothingCoefficient(), pole(500, 44100), 1e-12);
}

TEST(ModulationSources, EnvelopeFollowsTheInputWithItsCornerAndSensitivity) {
  // EnvSpeed 0: a 10 Hz one-pole (time constant 15.9 ms); 1: 1 Hz (159 ms).
  struct Case {
    double envMs;
    double sens;
    double tauMs;
  };
  const Case cases[] = {{100.0, 1.0, 15.915}, {1000.0, 1.0, 159.15}, {100.0, 16.0, 15.915}};
  Tables tables;
  for (const Case& c : cases) {
    Modulation m(tables);
    m.clear();
    WorkingValues v;
    v.modSens = c.sens;
    v.envCoef = engine::envelopeCoefficient(c.envMs, 44100);
    m.beginBlock(v, true, 0);
    double l = 0, r = 0;
    m.tick(1.0, 0.0, 0.0, l, r);
    EXPECT_DOUBLE_EQ(l, -1.0) << "silence maps to -1";
    const double level = 0.05;
    int reached = -1;
    for (int i = 1; i < 44100; ++i) {
      m.tick(1.0, level, 0.0, l, r);
      const double env = (l + 1.0) / 2.0;
      if (reached < 0 && env >= level * c.sens * (1 - std::exp(-1.0))) reached = i;
    }
    EXPECT_NEAR(reached / 44.1, c.tauMs, c.tauMs * 0.02) << "63% rise time";
    EXPECT_NEAR((l + 1.0) / 2.0, level * c.sens, level * c.sens * 0.005) << "settles on level times sensitivity";
    EXPECT_DOUBLE_EQ(r, -1.0) << "the right follower heard nothing";
  }
}

}  // namespace

// ---- Through the plug-in interface ----
// The LFO is heard through the filter: a 3 kHz tone through a 1 kHz low-pass
// whose cut-off the LFO sweeps three octaves either way, so the level of the
// output follows the LFO.

#include "support/Tavrel.h"

namespace {

constexpr int kWindow = 220;  // 5 ms at 44.1 kHz

std::unique_ptr<host::PluginInstance> lfoThroughFilter(int wave, float lfoMode, double tempo, bool playing) {
  host::HostScript script;
  script.tempo = tempo;
  script.playing = playing;
  script.recordCalls = false;
  auto plugin = testing_support::loadTavrel(script);
  plugin->resume();
  const std::pair<int, float> settings[] = {
      {params::VcoOn, 0.0f},  {params::DlyModeL, 0.0f},   {params::DlyModeR, 0.0f},      {params::RangeL, 0.0f},
      {params::RangeR, 0.0f}, {params::DlyTimeL, 0.1f},   {params::DlyTimeR, 0.1f},      {params::Mix, 1.0f},
      {params::FltOn, 1.0f},  {params::FltMode, 0.0f},    {params::FltType, 0.0f},       {params::Cutoff, 0.5f},
      {params::ModSrc, 0.0f}, {params::CutfMod, 1.0f},    {params::LFOWave, (wave + 0.5f) / 5}, {params::LfoMode, lfoMode}};
  for (auto [index, value] : settings) plugin->setParameter(index, value);
  plugin->suspend();  // heads placed for the new time, no fade pending
  plugin->resume();
  return plugin;
}

// Level of each 5 ms window of the left output.
std::vector<double> windowLevels(const std::vector<float>& y) {
  std::vector<double> levels;
  for (size_t at = 0; at + kWindow <= y.size(); at += kWindow) {
    double e = 0;
    for (size_t i = at; i < at + kWindow; ++i) e += double(y[i]) * y[i];
    levels.push_back(std::sqrt(e / kWindow));
  }
  return levels;
}

std::vector<float> tone(long n) {
  std::vector<float> s(n);
  for (long i = 0; i < n; ++i) s[i] = static_cast<float>(0.3 * std::sin(2 * kPi * 3000.0 * i / 44100.0));
  return s;
}

TEST(LfoInThePlugin, RateInEachModeAsHeardThroughTheFilterSweep) {
  struct Case {
    const char* what;
    float mode;
    std::vector<std::pair<int, float>> settings;
    double tempo;
    double expectedHz;
  };
  const Case cases[] = {
      {"free, LFORate 0.5", 0.0f, {{params::LFORate, 0.5f}}, 120, 3.0},
      {"1/4 at 120 BPM", 0.5f, {{params::LfoNum, 0.1f}, {params::LfoDen, 3.5f / 13}}, 120, 2.0},
      {"3/8 at 90 BPM", 0.5f, {{params::LfoNum, 0.5f}, {params::LfoDen, 5.5f / 13}}, 90, 1.0},
      {"1/96 at 400 BPM, limited", 0.5f, {{params::LfoNum, 0.1f}, {params::LfoDen, 1.0f}}, 400, 15.0},
      {"1/4 at 120 BPM, song position", 1.0f, {{params::LfoNum, 0.1f}, {params::LfoDen, 3.5f / 13}}, 120, 2.0},
  };
  for (const Case& c : cases) {
    auto plugin = lfoThroughFilter(0, c.mode, c.tempo, true);
    for (auto [index, value] : c.settings) plugin->setParameter(index, value);
    std::vector<std::vector<float>> out;
    ASSERT_TRUE(plugin->process({tone(44100 * 4)}, out));
    std::vector<double> levels = windowLevels(out[0]);
    levels.erase(levels.begin(), levels.begin() + 20);  // the first repeat arrives after 10 ms
    double mean = 0;
    for (double l : levels) mean += l;
    mean /= levels.size();
    for (double& l : levels) l -= mean;
    EXPECT_NEAR(measuredHz(levels, 44100.0 / kWindow), c.expectedHz, c.expectedHz * 0.03) << c.what;
  }
}

TEST(LfoInThePlugin, SongPositionLockFollowsATransportJumpAtTheNextBlock) {
  // Square wave, 1/4 at 120 BPM: the cut-off is high for the first half of
  // every beat and low for the second. Half-way through the first half the
  // transport jumps to three quarters of a beat: the level must drop at that
  // block, not a quarter beat later.
  auto plugin = lfoThroughFilter(kSquare, 1.0f, 120, true);
  plugin->setParameter(params::LfoNum, 0.1f);
  plugin->setParameter(params::LfoDen, 3.5f / 13);
  const int block = plugin->script().blockSize;
  const long jumpBlock = 10;  // 5120 samples into a 22050-sample beat
  std::vector<float> input = tone(block * 30L), heard;
  for (long b = 0; b < 30; ++b) {
    if (b == jumpBlock) plugin->script().ppqPos = 0.75;
    std::vector<std::vector<float>> out;
    ASSERT_TRUE(plugin->process({std::vector<float>(input.begin() + b * block, input.begin() + (b + 1) * block)}, out));
    heard.insert(heard.end(), out[0].begin(), out[0].end());
  }
  const std::vector<double> levels = windowLevels(heard);
  const long delayWindows = 2;  // 10 ms through the line
  const long jumpWindow = jumpBlock * block / kWindow + delayWindows;
  // Without the jump the level would stay up until 11025 + 441 samples (window 52).
  const double high = levels[jumpWindow - 1], low = levels[jumpWindow + 3];
  EXPECT_GT(high, 20 * low) << "the level drops within 20 ms of the jump";
  EXPECT_GT(levels[jumpWindow - 15], 20 * low) << "before the jump: the first half of the beat";
}

}  // namespace

namespace {

TEST(ModulationSources, NonFiniteWorkingValuesNeverPoisonTheStates) {
  // A host may write NaN or infinity as a parameter value; the followers and
  // the LFO must come back as soon as the values are sane again.
  const double nan = std::nan(""), inf = HUGE_VAL;
  struct Case {
    const char* what;
    void (*spoil)(WorkingValues&, double);
    double bad;
  };
  const Case cases[] = {
      {"offset NaN", [](WorkingValues& v, double x) { v.lrOffset = x; }, nan},
      {"offset huge", [](WorkingValues& v, double x) { v.lrOffset = x; }, 1e6},
      {"sensitivity inf", [](WorkingValues& v, double x) { v.modSens = x; }, inf},
      {"envelope coefficient NaN", [](WorkingValues& v, double x) { v.envCoef = x; }, nan},
      {"increment NaN", [](WorkingValues& v, double x) { v.lfoIncrement = x; }, nan},
  };
  Tables tables;
  for (const Case& c : cases) {
    for (int wave = kSine; wave <= kRandom; ++wave) {
      Modulation m(tables);
      m.clear();
      WorkingValues v;
      v.lfoMode = 0;
      v.lfoWave = wave;
      v.lfoIncrement = engine::lfoIncrement(5.0, 44100);
      v.envCoef = engine::envelopeCoefficient(100, 44100);
      const WorkingValues good = v;
      c.spoil(v, c.bad);
      double l = 0, r = 0;
      m.beginBlock(v, true, 0);
      for (int i = 0; i < 1000; ++i) {
        m.tick(0.5, 0.3, 0.3, l, r);
        ASSERT_TRUE(std::isfinite(l) && std::isfinite(r)) << c.what << ", wave " << wave;
        ASSERT_LE(std::fabs(l), 4.0) << c.what << ", wave " << wave;
      }
      m.beginBlock(good, true, 0);
      for (int i = 0; i < 1000; ++i) m.tick(0.5, 0.3, 0.3, l, r);
      EXPECT_TRUE(std::isfinite(l) && std::isfinite(r)) << c.what;
      EXPECT_TRUE(std::isfinite(m.phase())) << c.what;
    }
  }
}

}  // namespace

namespace {

// While no depth reads the modulation signals the engine only lets the
// sources coast. Coasting through a block and then forming the signals must
// leave every wave exactly where ticking would have, random draws and
// envelopes included, so a depth turned up afterwards hears the same.
TEST(ModulationSources, CoastingLeavesEveryWaveWhereTickingWould) {
  Tables tables;
  for (int wave : {kSine, kSquare, kTriangle, kSaw, kRandom}) {
    SCOPED_TRACE("wave " + std::to_string(wave));
    WorkingValues v;
    v.lfoWave = wave;
    v.lfoMode = 0;
    v.lfoIncrement = engine::lfoIncrement(7.3, 44100.0);
    v.lrOffset = 0.4;
    v.envCoef = engine::envelopeCoefficient(200.0, 44100.0);
    Modulation heard(tables), coasting(tables);
    double l = 0, r = 0;
    for (int block = 0; block < 40; ++block) {
      heard.beginBlock(v, false, 0.0);
      coasting.beginBlock(v, false, 0.0);
      for (int i = 0; i < 333; ++i) {
        const double level = 0.5 + 0.5 * std::sin(0.001 * (block * 333 + i));
        heard.tick(0.3, level, 1.0 - level, l, r);
        // Every third block is heard, the others coast.
        if (block % 3 == 0)
          coasting.tick(0.3, level, 1.0 - level, l, r);
        else
          coasting.coast(level, 1.0 - level);
      }
      if (block % 3 != 0) coasting.finishCoasting(0.3);
      ASSERT_EQ(coasting.phase(), heard.phase()) << "block " << block;
      ASSERT_EQ(coasting.modL(), heard.modL()) << "block " << block;
      ASSERT_EQ(coasting.modR(), heard.modR()) << "block " << block;
      ASSERT_EQ(coasting.lfoOutput(0), heard.lfoOutput(0));
      ASSERT_EQ(coasting.lfoOutput(1), heard.lfoOutput(1));
    }
  }
}

}  // namespace
