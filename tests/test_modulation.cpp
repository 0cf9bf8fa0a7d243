// Modulation sources measured as signals: LFO rates and phases, the stereo
// offset, wave polarity, the random wave's targets and the envelope follower.
#include <gtest/gtest.h>

#include <cmath>
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
      m.tick(v, 0.0, 0.0, 0.0, modL, modR);
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
    m.tick(v, 0.0, 0, 0, l, r);
    EXPECT_NEAR(l, -std::sin(c.phase), 0.01) << "sine output at ppq " << c.ppq;
  }
  // 1/2 at the same position: a period of two quarter notes.
  v.lfoDenIndex = 1;
  m.beginBlock(v, true, 0.5);
  EXPECT_NEAR(m.phase(), kPi / 2, 1e-9);
  // No position from the host: the LFO stands at phase 0 for the block.
  m.beginBlock(v, false, 0.5);
  for (int i = 0; i < 100; ++i) m.tick(v, 0.0, 0, 0, l, r);
  EXPECT_EQ(m.phase(), 0.0);
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
    m.tick(v, 1.0, 0.0, 0.0, l, r);
    EXPECT_DOUBLE_EQ(l, -1.0) << "silence maps to -1";
    const double level = 0.05;
    int reached = -1;
    for (int i = 1; i < 44100; ++i) {
      m.tick(v, 1.0, level, 0.0, l, r);
      const double env = (l + 1.0) / 2.0;
      if (reached < 0 && env >= level * c.sens * (1 - std::exp(-1.0))) reached = i;
    }
    EXPECT_NEAR(reached / 44.1, c.tauMs, c.tauMs * 0.02) << "63% rise time";
    EXPECT_NEAR((l + 1.0) / 2.0, level * c.sens, level * c.sens * 0.005) << "settles on level times sensitivity";
    EXPECT_DOUBLE_EQ(r, -1.0) << "the right follower heard nothing";
  }
}

}  // namespace
