// The spring and plate measured from the outside: read distances by the
// arrival of an impulse, line lengths against the line size at every rate,
// the amount blend, decay time and brightness against damping, and type
// changes between samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "engine/Reverb.h"

namespace {

using engine::Reverb;

Reverb makeReverb(int type, double sr, double damping) {
  Reverb r;
  r.allocate(sr);
  r.configure(type, sr);
  r.setDamping(damping);
  r.clear();
  return r;
}

struct Response {
  std::vector<double> left, right;
};

Response impulseResponse(Reverb& r, int frames, double amount = 1.0) {
  Response out;
  for (int i = 0; i < frames; ++i) {
    double l, rr;
    r.process(i == 0 ? 1.0 : 0.0, 0.0, amount, l, rr);
    out.left.push_back(l);
    out.right.push_back(rr);
  }
  return out;
}

// Reverberation time from the backward-integrated energy, fitted between
// -5 and -35 dB and extended to 60 dB.
double decaySeconds(const Response& r, double sr) {
  std::vector<double> energy(r.left.size());
  double acc = 0;
  for (size_t i = r.left.size(); i-- > 0;) {
    acc += r.left[i] * r.left[i] + r.right[i] * r.right[i];
    energy[i] = acc;
  }
  long at5 = -1, at35 = -1;
  for (size_t i = 0; i < energy.size(); ++i) {
    const double db = 10 * std::log10(energy[i] / energy[0]);
    if (at5 < 0 && db <= -5) at5 = static_cast<long>(i);
    if (db <= -35) {
      at35 = static_cast<long>(i);
      break;
    }
  }
  return at35 < 0 ? -1.0 : 2.0 * (at35 - at5) / sr;
}

// Mean-square slope over mean-square value of a stretch: grows with the
// square of the signal's typical frequency, so a darker tail scores lower.
double brightness(const std::vector<double>& y, size_t from, size_t to) {
  double slope = 0, level = 0;
  for (size_t i = from + 1; i < to; ++i) {
    slope += (y[i] - y[i - 1]) * (y[i] - y[i - 1]);
    level += y[i] * y[i];
  }
  return slope / level;
}

TEST(Reverb, SpringAndPlateLineLengthsAt44100) {
  const int spring[16] = {2384, 2384, 2874, 2874, 3466, 3466, 75, 75, 63, 63, 57, 57, 380, 374, 310, 315};
  const int plate[12] = {10708, 8959, 11089, 8433, 10310, 9840, 2107, 790, 1540, 595};
  Reverb r = makeReverb(engine::kSpring, 44100, 0.0);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(r.length(i), spring[i]) << "spring line " << i;
  r.configure(engine::kPlate, 44100);
  for (int i = 6; i < 16; ++i) EXPECT_EQ(r.length(i), plate[i - 6]) << "plate line " << i;
}

TEST(Reverb, SpringEchoArrivesAfterItsLongestDiffusedLineAtEachRate) {
  // An impulse enters lines A0, A2, A4 and first reaches the output when A0
  // gives it back: one A0 length later (s*C rounded up, s = sr/303187.5).
  struct Case {
    double sr;
    int arrival;
  };
  const Case cases[] = {{44100, 2384}, {88200, 4767}, {48000, 2594}, {192000, 10376}};
  for (const Case& c : cases) {
    Reverb r = makeReverb(engine::kSpring, c.sr, 0.3);
    ASSERT_EQ(r.length(0), static_cast<int>(std::ceil(c.sr / 303187.5 * 16383.5)));
    const Response resp = impulseResponse(r, c.arrival + 10);
    int first = -1;
    for (int i = 0; i < static_cast<int>(resp.left.size()); ++i)
      if (resp.left[i] != 0.0 || resp.right[i] != 0.0) {
        first = i;
        break;
      }
    EXPECT_EQ(first, c.arrival) << c.sr << " Hz";
  }
}

TEST(Reverb, EveryLineFitsItsBufferAtEverySupportedRate) {
  struct Case {
    double sr;
    int mask;
  };
  const Case cases[] = {{4096, 0x7FFF},   {22050, 0x7FFF},  {44100, 0x7FFF},  {49999, 0x7FFF},
                        {50000, 0xFFFF},  {88200, 0xFFFF},  {96000, 0xFFFF},  {99999, 0xFFFF},
                        {100000, 0x1FFFF}, {176400, 0x1FFFF}, {192000, 0x1FFFF}, {200000, 0x1FFFF}};
  for (const Case& c : cases) {
    for (int type : {engine::kSpring, engine::kPlate}) {
      Reverb r = makeReverb(type, c.sr, 0.0);
      EXPECT_EQ(r.mask(), c.mask) << c.sr;
      for (int i = 0; i < Reverb::kLines; ++i) {
        EXPECT_GE(r.length(i), 1) << c.sr << " line " << i;
        EXPECT_LE(r.length(i), c.mask) << c.sr << " line " << i;
      }
    }
  }
  // The longest, plate B2, at 200 kHz: about 50300 samples against 131072.
  Reverb r = makeReverb(engine::kPlate, 200000, 0.0);
  EXPECT_NEAR(r.length(8), 50300, 100);
}

TEST(Reverb, AmountZeroPassesTheInputUnchangedAndOneLeavesNoDry) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> noise(-1, 1);
  for (int type : {engine::kSpring, engine::kPlate}) {
    Reverb r = makeReverb(type, 44100, 0.2);
    for (int i = 0; i < 20000; ++i) {
      const double iL = noise(rng), iR = noise(rng);
      double l, rr;
      r.process(iL, iR, 0.0, l, rr);
      ASSERT_EQ(l, iL);
      ASSERT_EQ(rr, iR);
    }
  }
  // Amount 1: the spring's first sound is its echo, not the dry impulse.
  Reverb r = makeReverb(engine::kSpring, 44100, 0.2);
  const Response resp = impulseResponse(r, 2384);
  for (double y : resp.left) ASSERT_EQ(y, 0.0);
  // Without lines the reverb stands aside.
  Reverb none;
  double l, rr;
  none.process(0.25, -0.5, 1.0, l, rr);
  EXPECT_EQ(l, 0.25);
  EXPECT_EQ(rr, -0.5);
}

TEST(Reverb, DecayShortensAndDarkensAsDampingRises) {
  const double sr = 44100;
  for (int type : {engine::kSpring, engine::kPlate}) {
    double previousDecay = 1e9, previousBrightness = 1e9;
    for (double damping : {0.0, 0.5, 1.0}) {
      Reverb r = makeReverb(type, sr, damping);
      const Response resp = impulseResponse(r, static_cast<int>(sr * 6));
      const double t60 = decaySeconds(resp, sr);
      const double bright = brightness(resp.left, static_cast<size_t>(sr * 0.3), static_cast<size_t>(sr * 0.6));
      RecordProperty((std::string(type ? "plate" : "spring") + "_t60_damp_" + std::to_string(damping)).c_str(),
                     std::to_string(t60));
      EXPECT_GT(t60, 0.3) << type << " " << damping;
      EXPECT_LT(t60, 0.9 * previousDecay) << "type " << type << " damping " << damping;
      // The spring's tail darkens markedly. The plate's hardly does: its
      // output taps carry the input diffusers' undamped ringing.
      if (type == engine::kSpring) {
        EXPECT_LT(bright, 0.7 * previousBrightness) << "damping " << damping;
      }
      previousDecay = t60;
      previousBrightness = bright;
    }
  }
}

TEST(Reverb, TypeChangeBetweenSamplesKeepsDecayMatchedAndOutputBounded) {
  Reverb r = makeReverb(engine::kSpring, 44100, 0.3);
  std::mt19937 rng(9);
  std::uniform_real_distribution<double> noise(-1, 1);
  double peak = 0;
  for (int block = 0; block < 200; ++block) {
    const int type = block % 2 ? engine::kPlate : engine::kSpring;
    r.configure(type, 44100);
    // The decay always belongs to the configured type.
    const Reverb::Decay expected = Reverb::decayFor(type, 0.3);
    ASSERT_EQ(r.decay().g3, expected.g3);
    ASSERT_EQ(r.decay().kd, expected.kd);
    for (int i = 0; i < 441; ++i) {
      double l, rr;
      r.process(noise(rng), noise(rng), 1.0, l, rr);
      ASSERT_TRUE(std::isfinite(l) && std::isfinite(rr));
      peak = std::max({peak, std::fabs(l), std::fabs(rr)});
    }
  }
  EXPECT_LT(peak, 2.0);
  // Back to the spring, the read distances are the spring's again.
  r.configure(engine::kSpring, 44100);
  EXPECT_EQ(r.length(0), 2384);
  EXPECT_EQ(r.length(15), 315);
}

}  // namespace

// ---- Through the plug-in interface ----

#include <atomic>
#include <thread>

#include "support/Tavrel.h"

namespace {

std::unique_ptr<host::PluginInstance> reverbPlugin() {
  auto plugin = testing_support::loadTavrel();
  plugin->script().recordCalls = false;
  plugin->resume();
  const std::pair<int, float> settings[] = {{params::RvbOn, 1.0f},    {params::RvbAmt, 1.0f},  {params::Mix, 1.0f},
                                            {params::FbGainL, 0.5f},  {params::FbGainR, 0.5f}, {params::RvbDamp, 0.3f},
                                            {params::RvbType, 0.0f}};
  for (auto [index, value] : settings) plugin->setParameter(index, value);
  return plugin;
}

TEST(ReverbInThePlugin, TypeSwitchedFromAnotherThreadWhileAudioRunsLeavesNoTornState) {
  auto plugin = reverbPlugin();
  std::atomic<bool> done{false};
  std::thread switcher([&] {
    // As the editor would: type flips and damping moves while blocks run.
    for (int i = 0; !done.load(); ++i) {
      plugin->setParameter(params::RvbType, (i & 1) ? 1.0f : 0.0f);
      plugin->setParameter(params::RvbDamp, static_cast<float>((i % 7) / 6.0));
      std::this_thread::yield();
    }
  });
  const int frames = 256;
  std::vector<std::vector<float>> in(4, std::vector<float>(frames)), out(2, std::vector<float>(frames));
  float* inputs[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  float* outputs[2] = {out[0].data(), out[1].data()};
  std::mt19937 rng(21);
  std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
  float peak = 0;
  bool finite = true;
  for (int block = 0; block < 600; ++block) {
    for (int i = 0; i < frames; ++i) in[0][i] = in[1][i] = noise(rng);
    plugin->processBlock(inputs, outputs, frames);
    for (int c = 0; c < 2; ++c)
      for (float y : out[c]) {
        finite = finite && std::isfinite(y);
        peak = std::max(peak, std::fabs(y));
      }
  }
  done = true;
  switcher.join();
  EXPECT_TRUE(finite);
  EXPECT_LT(peak, 4.0f);

  // Settled on the spring again, the instance sounds exactly like a fresh one.
  auto fresh = reverbPlugin();
  std::vector<float> click(30000, 0.0f);
  click[0] = 1.0f;
  std::vector<std::vector<float>> heard, expected;
  for (auto* p : {plugin.get(), fresh.get()}) {
    p->setParameter(params::RvbType, 0.0f);
    p->setParameter(params::RvbDamp, 0.3f);
    p->suspend();
    p->resume();
  }
  ASSERT_TRUE(plugin->process({click, click}, heard));
  ASSERT_TRUE(fresh->process({click, click}, expected));
  EXPECT_EQ(heard, expected);
}

}  // namespace

namespace {

TEST(Reverb, DampingOutsideItsRangeOrNotANumberKeepsTheTailBounded) {
  struct Case {
    double damping;
    double t60Like;  // the in-range damping it must sound like
  };
  const Case cases[] = {{-5.0, 0.0}, {7.0, 1.0}, {std::nan(""), 0.4}};
  for (int type : {engine::kSpring, engine::kPlate}) {
    for (const Case& c : cases) {
      Reverb r = makeReverb(type, 44100, 0.4);  // last good value
      r.setDamping(c.damping);
      Reverb reference = makeReverb(type, 44100, c.t60Like);
      const Response got = impulseResponse(r, 44100), want = impulseResponse(reference, 44100);
      EXPECT_EQ(got.left, want.left) << "type " << type << " damping " << c.damping;
    }
  }
}

}  // namespace

TEST(Reverb, RunsOfSamplesGiveTheBitsOfSampleBySample) {
  // A run stops wherever a line position wraps; 100000 samples pass every
  // wrap of the 32768-sample lines several times, in runs of odd lengths.
  std::mt19937 rng(13);
  std::uniform_real_distribution<double> noise(-1, 1);
  std::vector<engine::Pair> in(100000);
  for (engine::Pair& x : in) x = engine::Pair{noise(rng), noise(rng)};
  for (int type : {engine::kSpring, engine::kPlate}) {
    Reverb single = makeReverb(type, 44100, 0.1);
    Reverb runs = makeReverb(type, 44100, 0.1);
    std::vector<engine::Pair> out(in.size());
    for (std::size_t i = 0; i < in.size();) {
      const int n = std::min<int>(1 + static_cast<int>(i % 997), static_cast<int>(in.size() - i));
      runs.process(&in[i], &out[i], n, 0.7);
      i += static_cast<std::size_t>(n);
    }
    for (std::size_t i = 0; i < in.size(); ++i) {
      double l, r;
      single.process(in[i][0], in[i][1], 0.7, l, r);
      ASSERT_EQ(l, out[i][0]) << "type " << type << " sample " << i;
      ASSERT_EQ(r, out[i][1]) << "type " << type << " sample " << i;
    }
  }
}
