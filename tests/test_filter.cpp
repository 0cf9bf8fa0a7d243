// The state-variable filter measured with sine waves and impulses: magnitude
// response of the three outputs, the cut-off swept by modulation and held
// below sr/2.75, bounded self-oscillation and bounded response to loud input.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/Filter.h"
#include "engine/FloatMode.h"

namespace {

using engine::Filter;
using engine::Tables;

constexpr double kPi = 3.141592653589793;

const Tables& tables() {
  static const Tables t;
  return t;
}

Filter makeFilter(double sr, double cutoffHz, double reso, double resoModDepth = 0.0) {
  Filter f(tables());
  f.setSampleRate(sr);
  f.clear();
  f.updateModulation(0.0, 0.0, 0.0);
  f.computeCoefficients(cutoffHz, reso, resoModDepth);
  return f;
}

// Steady-state gain in dB of one filter output for a quiet sine (quiet so the
// saturation stays out of the way).
double gainDb(double sr, double cutoffHz, int type, double hz) {
  Filter f = makeFilter(sr, cutoffHz, 0.05);
  const double amp = 0.01;
  const int settle = static_cast<int>(sr * 0.1), measure = static_cast<int>(sr * 0.2);
  double sumIn = 0, sumOut = 0;
  for (int i = 0; i < settle + measure; ++i) {
    const double x = amp * std::sin(2 * kPi * hz * i / sr);
    const double y = f.process(0, x, type);
    if (i >= settle) {
      sumIn += x * x;
      sumOut += y * y;
    }
  }
  return 10 * std::log10(sumOut / sumIn);
}

// The analogue prototype with damping q (resonance 0.05 gives q ≈ 1.055):
// low-pass 1/D, band-pass x/D, high-pass x^2/D, D = sqrt((1-x^2)^2 + q^2 x^2).
double prototypeDb(int type, double x) {
  const double q = 2 * (1 - std::pow(204 / 4095.0, 0.25));
  const double d = std::sqrt((1 - x * x) * (1 - x * x) + q * q * x * x);
  const double num = type == 0 ? 1.0 : (type == 1 ? x : x * x);
  return 20 * std::log10(num / d);
}

// Frequency where the gain crosses -3 dB, searched by bisection between lo and hi.
double corner(double sr, double cutoffHz, int type, double lo, double hi) {
  const bool falling = type == 0;
  for (int i = 0; i < 30; ++i) {
    const double mid = std::sqrt(lo * hi);
    const bool above = gainDb(sr, cutoffHz, type, mid) > -3.0103;
    if (above == falling)
      lo = mid;
    else
      hi = mid;
  }
  return std::sqrt(lo * hi);
}

// Mean frequency of a signal from its rising zero crossings.
double ringHz(const std::vector<double>& y, double sr) {
  double first = -1, last = -1;
  int n = 0;
  for (size_t i = 1; i < y.size(); ++i) {
    if (y[i - 1] < 0 && y[i] >= 0) {
      const double t = i - 1 + -y[i - 1] / (y[i] - y[i - 1]);
      if (first < 0) first = t;
      last = t;
      ++n;
    }
  }
  return n > 1 ? sr * (n - 1) / (last - first) : 0.0;
}

TEST(StateVariableFilter, MagnitudeResponseOfTheThreeOutputsAroundTheCutoff) {
  struct Case {
    double sr, cutoff;
    int type;
    double ratio;  // test frequency / cut-off
  };
  std::vector<Case> cases;
  for (double sr : {44100.0, 96000.0})
    for (double cutoff : {300.0, 2000.0})
      for (int type = 0; type < 3; ++type)
        for (double ratio : {0.25, 0.5, 1.0, 2.0, 4.0}) cases.push_back({sr, cutoff, type, ratio});
  for (const Case& c : cases) {
    const double measured = gainDb(c.sr, c.cutoff, c.type, c.cutoff * c.ratio);
    // Well below the rate the digital filter follows its prototype closely;
    // towards a quarter of the rate the high-pass lifts slightly.
    const double tolerance = c.cutoff * c.ratio < c.sr / 20 ? 0.5 : 1.0;
    EXPECT_NEAR(measured, prototypeDb(c.type, c.ratio), tolerance)
        << "type " << c.type << " cut-off " << c.cutoff << " at " << c.ratio << "x, " << c.sr << " Hz";
  }
}

TEST(StateVariableFilter, MinusThreeDecibelPointsSitWhereTheDampingPutsThem) {
  // With q ≈ 1.055 the low-pass is -3 dB at 1.24 fc and the high-pass at fc/1.24.
  const double q = 2 * (1 - std::pow(204 / 4095.0, 0.25));
  const double y = ((2 - q * q) + std::sqrt((2 - q * q) * (2 - q * q) + 4)) / 2;
  const double ratio = std::sqrt(y);
  ASSERT_NEAR(ratio, 1.24, 0.01);
  for (double cutoff : {200.0, 1000.0, 3000.0}) {
    EXPECT_NEAR(corner(44100, cutoff, 0, cutoff / 4, cutoff * 4) / cutoff, ratio, 0.03) << "low-pass " << cutoff;
    EXPECT_NEAR(corner(44100, cutoff, 2, cutoff / 4, cutoff * 4) / cutoff, 1 / ratio, 0.03) << "high-pass " << cutoff;
  }
}

TEST(StateVariableFilter, ModulationSweepsTheCutoffThreeOctavesAndStopsAtSrOver2_75) {
  struct Case {
    double sr, cutoff, depth, modL, expectedHz;
  };
  const Case cases[] = {
      {44100, 16000, 1.0, 1.0, 44100 / 2.75},  // 16036.36 Hz, the highest at 44.1 kHz
      {44100, 1000, 1.0, 1.0, 8000},           // three octaves up
      {44100, 1000, 1.0, -1.0, 125},           // three octaves down
      {44100, 1000, -1.0, 1.0, 125},           // negative depth inverts
      {44100, 1000, 0.0, 1.0, 1000},           // depth 0 leaves the knob's value
      {44100, 1000, 0.5, 1.0, 1000 * std::pow(2.0, 1.5)},
      {44100, 1000, 1.0, 5.0, 8000},  // an overdriven modulation stays within the range
      {96000, 16000, 1.0, 1.0, 96000 / 2.75},
      {192000, 16000, 1.0, 1.0, 192000 / 2.75},
      {192000, 4000, 1.0, 1.0, 32000},
  };
  for (const Case& c : cases) {
    Filter f(tables());
    f.setSampleRate(c.sr);
    f.updateModulation(c.modL, 0.0, c.depth);
    f.computeCoefficients(c.cutoff, 1.0, 0.0);
    EXPECT_NEAR(f.effectiveCutoffHz(), c.expectedHz, c.expectedHz * 2e-3) << c.cutoff << " depth " << c.depth;
    // The filter self-oscillates (resonance 1) at its cut-off: the ring
    // frequency is the cut-off the modulation produced.
    std::vector<double> y;
    for (int i = 0; i < static_cast<int>(c.sr * 0.5); ++i) y.push_back(f.process(0, i == 0 ? 0.5 : 0.0, 0));
    std::vector<double> tail(y.begin() + y.size() / 2, y.end());
    EXPECT_NEAR(ringHz(tail, c.sr), c.expectedHz, c.expectedHz * 0.02) << c.cutoff << " depth " << c.depth;
  }
}

TEST(StateVariableFilter, AtFullResonanceAnImpulseRingsOnWithoutExponentialDecayAndStaysBounded) {
  struct Case {
    double sr, cutoff;
    int type;
  };
  const Case cases[] = {{44100, 100, 0}, {44100, 1000, 1}, {44100, 16000, 2}, {96000, 5000, 0}, {192000, 16000, 1}};
  for (const Case& c : cases) {
    Filter f = makeFilter(c.sr, c.cutoff, 1.0);
    ASSERT_EQ(f.dampingCoefficient(), 0.0);
    // Zero damping: only the cubic term takes energy out, so the ring fades
    // slowly (algebraically) instead of dying exponentially.
    double peak = 0, third = 0, fourth = 0;
    const int n = static_cast<int>(c.sr * 2);
    for (int i = 0; i < n; ++i) {
      const double y = f.process(1, i == 0 ? 1.0 : 0.0, c.type);
      ASSERT_TRUE(std::isfinite(y));
      peak = std::max(peak, std::fabs(y));
      if (i >= n / 2) (i >= n * 3 / 4 ? fourth : third) += y * y;
    }
    EXPECT_GT(std::sqrt(fourth / (n / 4)), 1e-3) << "still ringing after two seconds: " << c.cutoff;
    EXPECT_GT(std::sqrt(fourth / third), 0.8) << "no exponential decay: " << c.cutoff;
    EXPECT_LT(peak, 6.0) << "the saturation bounds it: " << c.cutoff;
    // Driven continuously at its cut-off it settles to a bounded level.
    Filter driven = makeFilter(c.sr, c.cutoff, 1.0);
    double drivenPeak = 0;
    for (int i = 0; i < n; ++i)
      drivenPeak = std::max(drivenPeak, std::fabs(driven.process(0, std::sin(2 * kPi * c.cutoff * i / c.sr), c.type)));
    EXPECT_LT(drivenPeak, 10.0) << c.cutoff;
  }
  // The resonance modulation can pull it out of oscillation: modR -0.95 at
  // depth 1 brings the resonance down to 0.05.
  Filter f(tables());
  f.setSampleRate(44100);
  f.updateModulation(0.0, -0.95, 0.0);
  f.computeCoefficients(1000, 1.0, 1.0);
  double late = 0;
  for (int i = 0; i < 44100; ++i) {
    const double y = f.process(0, i == 0 ? 1.0 : 0.0, 0);
    if (i > 22050) late = std::max(late, std::fabs(y));
  }
  EXPECT_LT(late, 1e-6);
}

TEST(StateVariableFilter, LoudInputStaysFiniteAndDiesAwayAtEveryCutoffAndResonance) {
  // A full-scale input at the highest input gain reaches 4, a hot feedback
  // loop more; the saturation must not run the states away.
  std::mt19937 rng(3);
  for (double amp : {4.0, 16.0, 100.0})
    for (double cutoff : {1000.0, 8000.0, 16000.0})
      for (double reso : {0.05, 0.5, 0.9, 1.0})
        for (int type = 0; type < 3; ++type) {
          Filter f = makeFilter(44100, cutoff, reso);
          std::uniform_real_distribution<double> noise(-amp, amp);
          double peak = 0, tail = 0;
          for (int i = 0; i < 44100; ++i) {
            const double y = f.process(0, i < 22050 ? noise(rng) : 0.0, type);
            ASSERT_TRUE(std::isfinite(y)) << amp << " " << cutoff << " " << reso << " " << type;
            peak = std::max(peak, std::fabs(y));
            if (i > 44000) tail = std::max(tail, std::fabs(y));
          }
          EXPECT_LT(peak, 20 * amp) << amp << " " << cutoff << " " << reso << " " << type;
          if (reso < 1.0) {
            EXPECT_LT(tail, 1e-3) << amp << " " << cutoff << " " << reso << " " << type;
          }
        }
}

TEST(StateVariableFilter, ADecayingImpulseNeverLeavesDenormalsInItsOutput) {
  // In the effect's float mode a band state decaying past the normal range
  // falls to zero; arithmetic on denormals is many times slower, so a tail
  // must never produce them.
  const engine::BlockFloatMode mode;
  for (double cutoff : {30.0, 1000.0, 15000.0})
    for (double reso : {0.05, 0.7})
      for (int type = 0; type < 3; ++type) {
        Filter f = makeFilter(44100, cutoff, reso);
        for (int i = 0; i < 10 * 44100; ++i) {
          const double y = f.process(0, i == 0 ? 1.0 : 0.0, type);
          ASSERT_NE(std::fpclassify(y), FP_SUBNORMAL) << cutoff << " " << reso << " " << type << " at " << i;
        }
      }
}

// The passes as the filter is defined, one after the other: low from band,
// high from low, band from high, with the saturation the smaller of the cube
// and the cap.
struct TextbookPasses {
  double low = 0, band = 0;
  double process(double x, int type, double f, double q, double satCap) {
    double sum = 0;
    for (int pass = 0; pass < 2; ++pass) {
      low += f * band;
      const double high = x - q * band - low;
      const double saturation = std::copysign(std::min(0.075 * std::pow(std::fabs(band), 3), satCap * std::fabs(band)), band);
      band += f * high - saturation;
      sum += type == 1 ? band : (type == 2 ? high : low);
    }
    return 0.5 * sum;
  }
};

TEST(StateVariableFilter, EachSampleIsTwoPassesOfTheTextbookRecursion) {
  // Quiet and loud enough to reach the cap, resonant and damped, every type:
  // the filter's arrangement of the arithmetic gives the textbook passes up
  // to rounding.
  struct Case {
    double amp, cutoff, reso;
  } cases[] = {{0.1, 200, 0.05}, {0.5, 2000, 0.6}, {4, 9000, 0.95}, {30, 15000, 1.0}, {30, 500, 0.3}};
  std::mt19937 rng(7);
  for (const Case& c : cases)
    for (int type = 0; type < 3; ++type) {
      Filter f = makeFilter(44100, c.cutoff, c.reso);
      TextbookPasses book;
      std::uniform_real_distribution<double> noise(-c.amp, c.amp);
      for (int i = 0; i < 4000; ++i) {
        const double x = noise(rng);
        const double y = f.process(0, x, type);
        const double expected = book.process(x, type, f.frequencyCoefficient(), f.dampingCoefficient(),
                                             f.coefficients().satCap);
        ASSERT_NEAR(y, expected, 1e-9 * (1 + std::fabs(expected))) << c.amp << " " << c.cutoff << " " << type << " at " << i;
      }
    }
}

TEST(StateVariableFilter, ChannelsKeepTheirOwnStates) {
  Filter f = makeFilter(44100, 500, 0.5);
  double left = 0, right = 0;
  for (int i = 0; i < 1000; ++i) {
    left = f.process(0, 1.0, 0);
    right = f.process(1, 0.0, 0);
  }
  EXPECT_NEAR(left, 1.0, 1e-3);  // a low-pass passes DC
  EXPECT_EQ(right, 0.0);
}

}  // namespace

// ---- Through the plug-in interface ----

#include "support/Tavrel.h"

namespace {

// Brightness of a stretch: mean-square slope over mean-square level, which
// grows with the square of the signal's typical frequency.
double slopeRatio(const std::vector<float>& y, long from, long to) {
  double slope = 0, level = 0;
  for (long i = from + 1; i < to; ++i) {
    slope += double(y[i] - y[i - 1]) * (y[i] - y[i - 1]);
    level += double(y[i]) * y[i];
  }
  return level > 0 ? slope / level : 0.0;
}

TEST(FilterInTheLoop, FeedbackModeDarkensEachRepeatWhileEffectModeKeepsThemAlike) {
  // A 10 ms noise burst into 100 ms repeats with feedback 0.9, a 1 kHz
  // low-pass behind the lines. Mode 1 ("fb") filters every trip round the
  // loop; mode 2 ("fx") only what is heard.
  struct Repeats {
    std::vector<double> brightness, energy;
  };
  auto render = [](float modeValue) {
    auto plugin = testing_support::loadTavrel();
    plugin->script().recordCalls = false;
    plugin->resume();
    const std::pair<int, float> settings[] = {
        {params::VcoOn, 0.0f},    {params::DlyModeL, 0.0f}, {params::DlyModeR, 0.0f}, {params::RangeL, 0.5f},
        {params::RangeR, 0.5f},   {params::DlyTimeL, 0.1f}, {params::DlyTimeR, 0.1f}, {params::FbGainL, 0.9f},
        {params::FbGainR, 0.9f},  {params::Mix, 1.0f},      {params::FltOn, 1.0f},    {params::FltType, 0.0f},
        {params::Cutoff, 0.498f}, {params::Reso, 0.0f},     {params::FltMode, modeValue}};
    for (auto [index, value] : settings) plugin->setParameter(index, value);
    plugin->suspend();
    plugin->resume();
    const long n = 44100;
    std::vector<float> in(n, 0.0f);
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
    for (long i = 0; i < 441; ++i) in[i] = noise(rng);
    std::vector<std::vector<float>> out;
    EXPECT_TRUE(plugin->process({in, in}, out));
    Repeats r;
    for (int k = 1; k <= 5; ++k) {
      const long start = k * 4410, end = start + 1500;
      r.brightness.push_back(slopeRatio(out[0], start, end));
      double e = 0;
      for (long i = start; i < end; ++i) e += double(out[0][i]) * out[0][i];
      r.energy.push_back(e);
    }
    return r;
  };
  const Repeats feedback = render(0.5f), effect = render(5.0f / 6.0f);
  for (int k = 1; k < 5; ++k) {
    EXPECT_LT(feedback.brightness[k], 0.97 * feedback.brightness[k - 1]) << "mode 1, repeat " << k + 1;
    EXPECT_NEAR(effect.brightness[k], effect.brightness[0], 0.05 * effect.brightness[0]) << "mode 2, repeat " << k + 1;
    // Mode 2's loop loses only the feedback gain, 0.81 in energy per trip.
    EXPECT_NEAR(effect.energy[k] / effect.energy[k - 1], 0.81, 0.03) << "mode 2, repeat " << k + 1;
  }
  // Each trip takes more of the top away; after four it is far darker.
  EXPECT_LT(feedback.brightness[4], 0.5 * feedback.brightness[0]);

}

}  // namespace

namespace {

// The coefficients are kept while their inputs stand still; a new sample
// rate or a cleared filter must still bring fresh ones for the same inputs.
TEST(Filter, KeptCoefficientsFollowARateChangeAndAClear) {
  Filter f = makeFilter(44100, 3000, 0.5);
  const double at44k = f.frequencyCoefficient();
  f.setSampleRate(96000);
  f.computeCoefficients(3000, 0.5, 0.0);
  EXPECT_LT(f.frequencyCoefficient(), 0.5 * at44k);
  f.clear();
  EXPECT_EQ(f.frequencyCoefficient(), 0.0);
  f.computeCoefficients(3000, 0.5, 0.0);
  EXPECT_GT(f.frequencyCoefficient(), 0.0);
  // A sweep that moves is an input too.
  const double before = f.effectiveCutoffHz();
  f.updateModulation(1.0, 0.0, 1.0);
  f.computeCoefficients(3000, 0.5, 0.0);
  EXPECT_GT(f.effectiveCutoffHz(), 2.0 * before);
  // After a clear the same sweep position moves the cut-off again.
  f.clear();
  f.updateModulation(1.0, 0.0, 1.0);
  f.computeCoefficients(3000, 0.5, 0.0);
  EXPECT_GT(f.effectiveCutoffHz(), 2.0 * before);
}

}  // namespace

namespace {

// A run's sweep taken at once must give, bit for bit, the coefficients and
// the state the sample-by-sample steps give: moving and standing signals,
// signals beyond the sweep's range, a cut-off pushed into the ceiling, a
// resonance modulation beyond both ends, odd runs, a fresh and a cleared
// filter, and knobs that moved since the last coefficients.
TEST(Filter, ARunsSweepGivesTheCoefficientsOfTheSampleBySampleSteps) {
  struct Case {
    const char* what;
    double cutoffHz, resonance, resoModDepth, cutoffModDepth;
    int n, holdEvery;  // signals stand for holdEvery samples at a time
    double amplitude;  // of the signals
  };
  const Case cases[] = {
      {"moving", 1200, 0.6, 0.0, 0.7, 64, 1, 1.0},
      {"standing stretches", 800, 0.3, 0.0, -0.5, 64, 9, 1.0},
      {"standing for the run", 800, 0.3, 0.0, 0.5, 64, 1000, 1.0},
      {"odd run", 3000, 0.9, 0.4, 1.0, 63, 3, 1.0},
      {"one sample", 3000, 0.9, 0.4, 1.0, 1, 1, 1.0},
      {"beyond the range", 5000, 0.5, 1.0, 1.0, 64, 2, 3.0},
      {"into the ceiling", 15000, 1.0, -1.0, 1.0, 64, 1, 1.0},
  };
  for (const Case& c : cases) {
    for (bool cleared : {false, true}) {
      Filter stepped(tables()), run(tables());
      for (Filter* f : {&stepped, &run}) {
        f->setSampleRate(44100);
        if (!cleared) {  // coefficients kept from other knobs and a sweep in force
          f->updateModulation(0.3, -0.2, c.cutoffModDepth);
          f->computeCoefficients(c.cutoffHz * 0.5, c.resonance, c.resoModDepth);
          f->updateModulation(0.25, -0.2, c.cutoffModDepth);
        }
      }
      std::vector<engine::Pair> mod;
      for (int j = 0; j < c.n; ++j) {
        const double t = j / c.holdEvery * c.holdEvery;
        mod.push_back(engine::Pair{c.amplitude * std::sin(0.2 * t), c.amplitude * std::cos(0.13 * t)});
      }
      std::vector<Filter::Coefficients> expected, got(c.n);
      for (int j = 0; j < c.n; ++j) {
        stepped.computeCoefficients(c.cutoffHz, c.resonance, c.resoModDepth);
        expected.push_back(stepped.coefficients());
        stepped.updateModulation(mod[j][0], mod[j][1], c.cutoffModDepth);
      }
      run.sweepRun(mod.data(), c.n, c.cutoffHz, c.resonance, c.resoModDepth, c.cutoffModDepth, got.data());
      for (int j = 0; j < c.n; ++j) {
        EXPECT_EQ(got[j].f, expected[j].f) << c.what << " " << cleared << " at " << j;
        EXPECT_EQ(got[j].q, expected[j].q) << c.what << " " << cleared << " at " << j;
        EXPECT_EQ(got[j].satCap, expected[j].satCap) << c.what << " " << cleared << " at " << j;
      }
      // The state left behind: the same coefficients in force and the same
      // sweep for the next sample.
      EXPECT_EQ(run.effectiveCutoffHz(), stepped.effectiveCutoffHz()) << c.what;
      EXPECT_EQ(run.cutoffFactor(), stepped.cutoffFactor()) << c.what;
      EXPECT_EQ(run.frequencyCoefficient(), stepped.frequencyCoefficient()) << c.what;
      for (Filter* f : {&stepped, &run}) f->computeCoefficients(c.cutoffHz, c.resonance, c.resoModDepth);
      EXPECT_EQ(run.dampingCoefficient(), stepped.dampingCoefficient()) << c.what;
      EXPECT_EQ(run.coefficients().satCap, stepped.coefficients().satCap) << c.what;
    }
  }
}

// The coefficients need no stability limit: at the highest cut-off (sr/2.75)
// and the least resonance the damping and the saturation's headroom still
// leave the two-pass recursion stable (f q + f^2/2 below 2, with room to spare).
TEST(Filter, TheDampingStaysWithinTheRecursionsStabilityBoundAtTheCeiling) {
  for (double sr : {44100.0, 96000.0, 192000.0}) {
    Filter f = makeFilter(sr, sr, 0.0);
    const double fMax = f.frequencyCoefficient(), qMax = f.dampingCoefficient();
    EXPECT_NEAR(f.effectiveCutoffHz(), sr / 2.75, 1e-9 * sr);
    EXPECT_LT(qMax, 2.0 / fMax - 0.5 * fMax) << sr;
    EXPECT_GT(f.coefficients().satCap, 0.1) << sr;
  }
}

}  // namespace
