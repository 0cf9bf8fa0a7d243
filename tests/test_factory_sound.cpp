// The factory bank as a new user meets it: every program, selected the way a
// host selects it, played a bar of drums and an impulse. Nothing may blow up,
// every program either dies away or is one of the few built to sustain
// itself, and every designed program sounds unlike the plain default.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "host/StateImages.h"
#include "params/ParameterTable.h"
#include "params/Steps.h"
#include "state/FactoryPresets.h"
#include "tests/support/DrumBar.h"
#include "tests/support/Tavrel.h"

namespace {

using namespace params;
using Signal = std::vector<float>;
using Stereo = std::vector<Signal>;

constexpr double kRate = 44100.0;
constexpr int kFixed[] = {0, 24, 34, 60};  // programs whose values are given, not designed here
// The programs whose feedback is meant to sustain itself: they must stay
// bounded, and they must still be sounding when the others have died away.
const std::set<std::string> kSelfSustaining = {"Wormhole", "Delirium Tremens"};

constexpr float kMinus60dB = 0.001f;
constexpr double kDecayBound = 20.0;  // seconds for an impulse to fall below -60 dBFS for good

bool isFixed(int program) {
  for (int p : kFixed)
    if (p == program) return true;
  return false;
}

// How long a program's loop may stay silent between two repeats: its longest
// delay plus pre-delay at 120 BPM, doubled for a clock slowed to half speed.
// A loop quiet for longer than this has died.
double quietProof(const std::array<float, kNumParams>& v) {
  double longest = 0.0;
  for (int side = 0; side < 2; ++side) {
    double ms;
    if (v[DlyModeL + side] >= 0.5f) {
      ms = 2000.0 * kDelayNumerators[steps(v[DlyNumL + side], 5)] / kDenominators[steps(v[DlyDenL + side], 13)];
    } else {
      ms = v[DlyTimeL + side] * kRangesMs[steps(v[RangeL + side], 3)];
    }
    ms = std::min(ms, 5000.0);
    const double pre = kPreDelayNumerators[steps(v[PreNumL + side], 6)] / kDenominators[steps(v[PreDenL + side], 13)];
    longest = std::max(longest, ms * (1.0 + std::min(pre, 1.0)));
  }
  return 2.0 * longest / 1000.0 + 0.5;
}

using testing_support::drumBar;

// What a listener would compare: the level of each 50 ms frame and the share
// of the energy in each octave band, both in dB.
struct Portrait {
  std::vector<double> frames, octaves;
};

Portrait portraitOf(const Stereo& out) {
  Portrait p;
  const size_t n = out[0].size(), frame = static_cast<size_t>(0.05 * kRate);
  for (size_t f = 0; f + frame <= n; f += frame) {
    double e = 0.0;
    for (size_t i = f; i < f + frame; ++i) e += out[0][i] * out[0][i] + out[1][i] * out[1][i];
    p.frames.push_back(std::max(-80.0, 10.0 * std::log10(e / (2.0 * frame) + 1e-20)));
  }
  // Octave bands from 31 Hz up by a bank of one-pole band splits: the energy
  // below each edge, differenced.
  const double edges[] = {31.25, 62.5, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
  std::vector<double> below;
  double total = 0.0;
  for (double hz : edges) {
    const double k = 1.0 - std::exp(-2.0 * M_PI * hz / kRate);
    double lp = 0.0, lp2 = 0.0, e = 0.0;
    total = 0.0;
    for (size_t i = 0; i < n; ++i) {
      const double x = 0.5 * (out[0][i] + out[1][i]);
      lp += (x - lp) * k;
      lp2 += (lp - lp2) * k;
      e += lp2 * lp2;
      total += x * x;
    }
    below.push_back(e);
  }
  for (size_t b = 1; b < below.size(); ++b)
    p.octaves.push_back(10.0 * std::log10(std::max(below[b] - below[b - 1], 0.0) / (total + 1e-30) + 1e-9));
  return p;
}

double meanDistance(const std::vector<double>& a, const std::vector<double>& b) {
  double d = 0.0;
  for (size_t i = 0; i < a.size(); ++i) d += std::fabs(a[i] - b[i]);
  return d / static_cast<double>(a.size());
}

struct Hearing {
  bool finite = true;
  double peak = 0.0;
  double quietAfter = 0.0;  // seconds: the impulse's last sample above -60 dBFS
  double lastSecondPeak = 0.0;
  Portrait portrait;
};

void listen(const Stereo& out, Hearing& h, long offset) {
  for (int c = 0; c < 2; ++c)
    for (size_t i = 0; i < out[c].size(); ++i) {
      const float x = out[c][i];
      if (!std::isfinite(x)) h.finite = false;
      h.peak = std::max(h.peak, static_cast<double>(std::fabs(x)));
      if (offset >= 0 && std::fabs(x) > kMinus60dB)
        h.quietAfter = std::max(h.quietAfter, static_cast<double>(offset + static_cast<long>(i)) / kRate);
    }
}

// Selects a program as a host does (through the chunk), clears the lines and
// plays the phrase, then an impulse until the output has stayed below
// -60 dBFS longer than any repeat period, or the bound has passed.
Hearing hear(host::PluginInstance& plugin, int program, const Stereo& phrase, bool sustains) {
  std::vector<uint8_t> chunk = plugin.getChunk();
  host::tavrel::setCurrentProgram(chunk, program);
  Hearing h;
  if (plugin.setChunk(chunk) != 0) h.finite = false;  // refused: counts as a failure below
  Stereo out;
  plugin.suspend();
  plugin.resume();
  plugin.process(phrase, out);
  listen(out, h, -1);
  h.portrait = portraitOf(out);

  plugin.suspend();
  plugin.resume();
  const long block = static_cast<long>(kRate);
  Stereo impulse(2, Signal(static_cast<size_t>(block), 0.0f));
  impulse[0][0] = impulse[1][0] = 1.0f;
  const Stereo silence(2, Signal(static_cast<size_t>(block), 0.0f));
  const double proof = quietProof(state::factoryPresets()[program].values);
  const double limit = sustains ? 10.0 : kDecayBound + proof;
  for (long at = 0; at < static_cast<long>(limit * kRate); at += block) {
    plugin.process(at == 0 ? impulse : silence, out);
    listen(out, h, at);
    h.lastSecondPeak = 0.0;
    for (const Signal& c : out)
      for (float x : c) h.lastSecondPeak = std::max(h.lastSecondPeak, static_cast<double>(std::fabs(x)));
    if (!sustains && static_cast<double>(at + block) / kRate > h.quietAfter + proof) break;
  }
  return h;
}

// The stored values: inside 0..1 and six significant digits at most; in the
// designed programs, stepped parameters on a step centre (or an end) and both
// enabling switches set wherever drive or cut-off modulation is used.
TEST(FactorySound, ValuesAreWellFormed) {
  const auto& bank = state::factoryPresets();
  for (int p = 0; p < state::kNumPrograms; ++p) {
    const auto& v = bank[p].values;
    for (int i = 0; i < kNumParams; ++i) {
      SCOPED_TRACE(std::string(bank[p].name) + ", " + kParameterTable[i].name + " #" + std::to_string(i));
      ASSERT_GE(v[i], 0.0f);
      ASSERT_LE(v[i], 1.0f);
      char text[32];
      std::snprintf(text, sizeof text, "%.6g", static_cast<double>(v[i]));
      EXPECT_EQ(std::stof(text), v[i]) << "more than six significant digits";
      const int n = kParameterTable[i].steps;
      // The given programs keep their given values, a few switches at 0.5 among them.
      if (n == 0 || v[i] == 0.0f || v[i] == 1.0f || isFixed(p)) continue;
      // A six-digit decimal can only come near a centre like 1/6 or 3.5/13.
      const int a = steps(v[i], n);
      EXPECT_NEAR(v[i], stepValue(a, n), 1e-6) << "off the centre of step " << a << " of " << n;
    }
    if (isFixed(p)) continue;
    SCOPED_TRACE(bank[p].name);
    if (v[Drive] > 0.0f) {
      EXPECT_EQ(v[DriveSwitch], 1.0f) << "drive would be switched off";
    }
    if (v[CutfMod] != 0.5f) {
      EXPECT_EQ(v[CutfModSwitch], 1.0f) << "cut-off modulation would be switched off";
    }
  }
}

// The whole bank played through the plug-in.
TEST(FactorySound, EveryProgramPlaysCleanlyDecaysOrSustainsAndSoundsItsOwn) {
  const auto& bank = state::factoryPresets();
  const Stereo phrase = [] {
    Stereo s = drumBar(2.0);
    for (Signal& c : s) c.resize(static_cast<size_t>(4.0 * kRate), 0.0f);  // two seconds to echo
    return s;
  }();
  // Two instances in two threads share the bank, as two inserts in a host.
  std::vector<Hearing> heard(state::kNumPrograms);
  auto worker = [&](int first) {
    host::HostScript script;
    script.connectedInputs = 2;  // no key: the ducking programs duck under their own input
    script.recordCalls = false;
    std::string error;
    auto plugin = host::PluginInstance::load(TAVREL_PLUGIN_PATH, script, &error);
    if (!plugin) return;
    plugin->setSampleRate(static_cast<float>(kRate));
    plugin->setBlockSize(512);
    for (int p = first; p < state::kNumPrograms; p += 2)
      heard[p] = hear(*plugin, p, phrase, kSelfSustaining.count(bank[p].name) > 0);
  };
  std::thread other(worker, 1);
  worker(0);
  other.join();

  const Hearing& plain = heard[0];
  ASSERT_FALSE(plain.portrait.frames.empty()) << "the plug-in did not load";
  // Thresholds about half of the closest designed program's distance.
  constexpr double kEnvelopeApart = 3.0, kSpectrumApart = 1.0;
  for (int p = 0; p < state::kNumPrograms; ++p) {
    const std::string name = bank[p].name;
    SCOPED_TRACE("program " + std::to_string(p) + " " + name);
    const bool sustains = kSelfSustaining.count(name) > 0;
    const Hearing& h = heard[p];
    ASSERT_EQ(h.portrait.frames.size(), plain.portrait.frames.size());
    EXPECT_TRUE(h.finite);
    EXPECT_LT(h.peak, 2.0) << "above +6 dBFS";
    if (sustains) {
      EXPECT_GT(h.lastSecondPeak, kMinus60dB) << "meant to sustain itself, but died away";
    } else {
      EXPECT_LT(h.quietAfter, kDecayBound) << "still above -60 dBFS";
    }
    if (isFixed(p)) continue;
    const double envelope = meanDistance(h.portrait.frames, plain.portrait.frames);
    const double spectrum = meanDistance(h.portrait.octaves, plain.portrait.octaves);
    EXPECT_TRUE(envelope > kEnvelopeApart || spectrum > kSpectrumApart)
        << "sounds like the default: envelope " << envelope << " dB, spectrum " << spectrum << " dB apart";
  }
}

}  // namespace
