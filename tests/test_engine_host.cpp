// The audio a host hears from the built plug-in, with parameters set as a
// host automates them: where echoes land, how repeats circulate, the levels
// that mix, drive, gates, mutes and ducking give, layouts, rates, precisions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "params/ParameterTable.h"
#include "state/ChunkLayout.h"
#include "tests/support/Tavrel.h"

namespace {

using namespace params;
using Signal = std::vector<float>;
using Settings = std::vector<std::pair<int, float>>;

constexpr float step(int a, int n) { return (a + 0.5f) / n; }  // the value that picks step a of n
constexpr long kLookahead = 44;                                // the gates' 1 ms at 44.1 kHz
constexpr long k96th = 918;                                    // 1/96 note at 120 BPM: 20.83 ms
const Settings k96thNotes = {{DlyDenL, step(12, 13)}, {DlyDenR, step(12, 13)}};

Signal level(long n, float x) { return Signal(static_cast<std::size_t>(n), x); }
Signal impulse(long n) {
  Signal s = level(n, 0.0f);
  s[0] = 1.0f;
  return s;
}
Signal tone(long n, float amplitude, double hz) {
  Signal s(static_cast<std::size_t>(n));
  for (long i = 0; i < n; ++i) s[i] = amplitude * static_cast<float>(std::sin(6.283185307179586 * hz * i / 44100.0));
  return s;
}
double peak(const Signal& s, long from, long to) {
  double p = 0.0;
  for (long i = from; i < to; ++i) p = std::max(p, static_cast<double>(std::fabs(s[i])));
  return p;
}

// The plug-in in a host, program 0 made a plain echo: fixed clock, wet only,
// each side's wet and feedback on its own side.
class Session {
 public:
  explicit Session(const Settings& settings = {}, double rate = 44100.0, int inputs = 4, int outputs = 2,
                   double tempo = 120.0, int32_t timeFlags = host::HostScript{}.timeFlags) {
    host::HostScript script;
    script.connectedInputs = inputs;
    script.connectedOutputs = outputs;
    script.tempo = tempo;
    script.timeFlags = timeFlags;
    script.recordCalls = false;
    plugin_ = testing_support::loadTavrel(script);
    plugin_->setSampleRate(static_cast<float>(rate));
    plugin_->setBlockSize(512);
    plugin_->setParameter(VcoOn, 0.0f);
    plugin_->setParameter(Mix, 1.0f);
    for (const auto& [index, value] : settings) plugin_->setParameter(index, value);
    restart();
  }
  // Suspend places the heads; a change meanwhile would fade the wet out and
  // in again over 200 ms: let that pass.
  void restart() {
    plugin_->suspend();
    plugin_->resume();
    run({level(9000, 0.0f)});
  }
  host::PluginInstance& plugin() { return *plugin_; }
  std::vector<Signal> run(const std::vector<Signal>& inputs) {
    std::vector<Signal> out;
    EXPECT_TRUE(plugin_->process(inputs, out));
    return out;
  }

 private:
  std::unique_ptr<host::PluginInstance> plugin_;
};

struct EchoCase {
  const char* name;
  Settings settings;
  double rate, tempo;
  long at;  // first sample of the echo
};

TEST(HostEcho, ImpulseLandsWhereTheTimeSettingPutsIt) {
  const EchoCase cases[] = {
      {"program 0: a quarter note at 120 BPM", {}, 44100, 120, 22050 + kLookahead},
      {"a quarter note at 90 BPM", {}, 44100, 90, 29400 + kLookahead},
      {"3/8", {{DlyNumL, step(1, 5)}, {DlyDenL, step(5, 13)}}, 44100, 120, 33075 + kLookahead},
      {"time mode: 250 ms", {{DlyModeL, 0}, {RangeL, step(1, 3)}, {DlyTimeL, 0.25f}}, 44100, 120, 11025 + kLookahead},
      {"pre-delay 1/1 doubles the first echo", {{PreNumL, step(1, 6)}, {PreDenL, step(0, 13)}}, 44100, 120, 44100 + kLookahead},
      {"96 kHz", {}, 96000, 120, 48000 + 96},
      {"192 kHz", {}, 192000, 120, 96000 + 192},
      {"0 Hz runs as 44100", {}, 0, 120, 22050 + kLookahead},
      {"1 MHz runs as 44100", {}, 1e6, 120, 22050 + kLookahead},
  };
  for (const EchoCase& c : cases) {
    SCOPED_TRACE(c.name);
    Session s(c.settings, c.rate, 4, 2, c.tempo);
    const auto out = s.run({impulse(c.at + 100)});
    EXPECT_LT(peak(out[0], 0, c.at), 1e-6);
    EXPECT_EQ(out[0][c.at], 1.0f);
  }
}

TEST(HostEcho, ProgramZeroAsShippedEchoesOnTheVariableClockAtSpeedOne) {
  Session s({{VcoOn, 1.0f}});
  const auto out = s.run({impulse(23000)});
  long at = 0;
  for (long i = 1; i < 23000; ++i)
    if (std::fabs(out[0][i]) > std::fabs(out[0][at])) at = i;
  EXPECT_GE(at, 22050 + kLookahead + 3);  // the interpolation adds a few samples
  EXPECT_LE(at, 22050 + kLookahead + 5);
}

// The first three echoes of a left impulse (1/96 notes, feedback 0.5). The
// loop takes the previous sample's tap, so repeats come one sample after
// each whole delay time.
struct RepeatCase {
  const char* name;
  Settings settings;
  float left[3], right[3];
};

TEST(HostFeedback, RepeatsCirculateAsPansAndInversionsSay) {
  const Settings base = {{DlyDenL, step(12, 13)}, {DlyDenR, step(12, 13)}, {FbGainL, 0.5f}, {FbGainR, 0.5f}};
  const RepeatCase cases[] = {
      {"independent loops", {}, {1, 0.5f, 0.25f}, {0, 0, 0}},
      {"ping-pong", {{FbPanL, 1}, {FbPanR, 0}}, {1, 0, 0.25f}, {0, 0.5f, 0}},
      {"all feedback to the right line", {{FbPanL, 1}, {FbPanR, 1}}, {1, 0, 0}, {0, 0.5f, 0.25f}},
      {"feedback inverted: every second repeat flips", {{FbInvL, 0.75f}}, {1, -0.5f, 0.25f}, {0, 0, 0}},
      {"wet inverted: every repeat flips", {{DlyInvL, 0.75f}}, {-1, -0.5f, -0.25f}, {0, 0, 0}},
      {"left input muted", {{MuteInL, 1}}, {0, 0, 0}, {0, 0, 0}},
  };
  for (const RepeatCase& c : cases) {
    SCOPED_TRACE(c.name);
    Settings settings = base;
    settings.insert(settings.end(), c.settings.begin(), c.settings.end());
    Session s(settings);
    const auto out = s.run({impulse(4 * k96th), level(4 * k96th, 0.0f)});
    for (int k = 0; k < 3; ++k) {
      const long at = (k + 1) * k96th + k + kLookahead;
      EXPECT_FLOAT_EQ(out[0][at], c.left[k]) << "echo " << k + 1;
      EXPECT_FLOAT_EQ(out[1][at], c.right[k]) << "echo " << k + 1;
    }
  }
}

// Steady levels: a constant on the main inputs (and the key inputs), read
// 300 ms later on output 1.
struct LevelCase {
  const char* name;
  Settings settings;
  int inputs;
  float main, key;
  float expected;
};

TEST(HostLevels, SteadyLevelsOfMixDriveGatesMutesAndDucking) {
  const float duckFloor = 0.0316228f;  // Ducking at 0: 10^-1.5
  const LevelCase cases[] = {
      {"mix 0: the dry input at output gain 0.25", {{Mix, 0}, {Output, 0.25f}}, 4, 0.5f, 0, 0.125f},
      {"mix 1: the wet echo", {}, 4, 0.5f, 0, 0.5f},
      {"mix 0.5 with the left input muted: the dry half", {{Mix, 0.5f}, {MuteInL, 1}}, 4, 0.5f, 0, 0.25f},
      {"drive off", {{DriveSwitch, 0}}, 4, 0.5f, 0, 0.5f},
      {"drive factor 2: driven level 1 gives 0.75", {{DriveSwitch, 1}, {Drive, 0.25f}}, 4, 0.5f, 0, 0.375f},
      {"drive factor 8: driven level 4 gives 0.25", {{DriveSwitch, 1}, {Drive, 0.75f}}, 4, 0.5f, 0, 0.125f},
      {"gate threshold 0.25 over a 0.1 echo: (0.1/0.25)^2", {{DlyGateL, 0.5f}}, 4, 0.1f, 0, 0.016f},
      {"gate threshold under the echo", {{DlyGateL, 0.2f}}, 4, 0.1f, 0, 0.1f},
      {"full-scale key on inputs 3/4 ducks to the threshold", {{Ducking, 0}}, 4, 0.5f, 1, 0.5f * duckFloor},
      {"loud main inputs do not duck while 3/4 are the key", {{Ducking, 0}}, 4, 1, 0, 1},
      {"with two inputs the main signal is the key", {{Ducking, 0}}, 2, 1, 0, duckFloor},
  };
  for (const LevelCase& c : cases) {
    SCOPED_TRACE(c.name);
    Settings settings = k96thNotes;
    settings.insert(settings.end(), c.settings.begin(), c.settings.end());
    Session s(settings, 44100, c.inputs);
    const long n = 13230;
    const auto out = s.run({level(n, c.main), level(n, c.main), level(n, c.key), level(n, c.key)});
    EXPECT_NEAR(out[0][n - 1], c.expected, c.expected * 1e-4);
  }
}

struct LayoutCase {
  const char* name;
  int inputs, outputs;
  Settings settings;
  float first, second;  // outputs 1 and 2 for an impulse on input 1
};

TEST(HostChannels, LayoutsFromConnectedPinsAndBypass) {
  const LayoutCase cases[] = {
      {"1 in, 2 out: both outputs carry the mono result", 1, 2, {{Mix, 0.5f}}, 0.5f, 0.5f},
      {"2 in, 1 out: input 1 on both sides, output 1 their sum", 2, 1, {{Mix, 0.5f}}, 1, 0},
      {"1 in, 1 out, bypass: the input added to itself", 1, 1, {{Bypass, 1}}, 2, 0},
      {"bypass passes the input untouched", 4, 2, {{Bypass, 1}, {Input, 1}, {Output, 0.1f}}, 1, 0},
      {"no pin answered connected: the main pair, each output its own side", 0, 0, {{Mix, 0.5f}}, 0.5f, 0},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    Session s(c.settings, 44100, c.inputs, c.outputs);
    const auto out = s.run({impulse(100)});
    EXPECT_FLOAT_EQ(out[0][0], c.first);
    EXPECT_FLOAT_EQ(out[1][0], c.second);
  }
}

TEST(HostEcho, TimeChangePassesThroughSilenceWithoutAClick) {
  Session s({{DlyModeL, 0}, {RangeL, step(1, 3)}, {DlyTimeL, 0.3f}});
  const Signal t = tone(44100, 0.5f, 220.0);
  s.run({Signal(t.begin(), t.begin() + 22050)});
  s.plugin().setParameter(DlyTimeL, 0.2f);
  const auto out = s.run({Signal(t.begin() + 22050, t.end())});
  EXPECT_LT(peak(out[0], 4400, 4420), 0.5 * 0.0012);  // -60 dB at 100 ms, then the heads move
  const double steepest = 0.5 * 6.283185307179586 * 220.0 / 44100.0;
  for (long i = 1; i < 22050; ++i) ASSERT_LE(std::fabs(out[0][i] - out[0][i - 1]), steepest * 1.02) << i;
  EXPECT_NEAR(peak(out[0], 9500, 12000), 0.5, 0.005);  // back at full level from the new time
}

TEST(HostLifecycle, SuspendAndResumeStartFromSilence) {
  Session s({{FbGainL, 0.9f}, {FbGainR, 0.9f}, {DlyDenL, step(12, 13)}, {RvbOn, 1}, {VcoOn, 1}});
  s.run({tone(20000, 0.8f, 330.0), tone(20000, 0.8f, 440.0)});
  s.plugin().suspend();
  s.plugin().resume();
  const auto out = s.run({level(5000, 0.0f)});
  EXPECT_LT(peak(out[0], 0, 5000) + peak(out[1], 0, 5000), 1e-9);
}

TEST(HostPrecision, FloatAndDoublePathsAgree) {
  const Settings busy = {{VcoOn, 1},     {Mix, 0.5f},   {FbGainL, 0.6f}, {FbGainR, 0.6f}, {FbPanL, 1},
                         {FbPanR, 0},    {DlyDenL, step(11, 13)}, {DlyDenR, step(10, 13)}, {RvbOn, 1}};
  Session single(busy), twin(busy);
  const Signal f = tone(20000, 0.5f, 440.0);
  const std::vector<double> d(f.begin(), f.end());
  const auto outF = single.run({f, f});
  std::vector<std::vector<double>> outD;
  ASSERT_TRUE(twin.plugin().processDouble({d, d}, outD));
  double worst = 0.0;
  for (int c = 0; c < 2; ++c)
    for (long i = 0; i < 20000; ++i) worst = std::max(worst, std::fabs(outF[c][i] - outD[c][i]));
  EXPECT_LT(worst, 1e-5);
  EXPECT_GT(peak(outF[0], 10000, 20000), 0.1);
}

// ------------------------------------------------------ what real hosts do

Signal firstEchoOf(Session& s, long at) { return s.run({impulse(at + 100)})[0]; }

// Where the first echo of an impulse lands, as a host hears it.
long firstEcho(Session& s) {
  const Signal out = firstEchoOf(s, 240000);
  for (long i = 1; i < static_cast<long>(out.size()); ++i)
    if (std::fabs(out[i]) > 0.5f) return i;
  return -1;
}

// The level of a steady tone's echo while the host does something between
// blocks that changes nothing the ear could hear.
struct HabitCase {
  const char* name;
  Settings settings;
  std::function<void(host::PluginInstance&, int block)> habit;
};

TEST(HostHabits, UnchangedWritesAndTempoJitterKeepTheEchoes) {
  const Settings time250 = {{DlyModeL, 0}, {RangeL, step(1, 3)}, {DlyTimeL, 0.25f}};
  const HabitCase cases[] = {
      {"the time re-sent every block", time250, [](host::PluginInstance& p, int) { p.setParameter(DlyTimeL, 0.25f); }},
      {"mode and range re-sent", time250,
       [](host::PluginInstance& p, int) {
         p.setParameter(DlyModeL, 0);
         p.setParameter(RangeL, step(1, 3));
       }},
      {"note value and pre-delay re-sent", {},
       [](host::PluginInstance& p, int) {
         p.setParameter(DlyNumL, step(0, 5));
         p.setParameter(DlyDenL, step(3, 13));
         p.setParameter(PreNumL, 0);
         p.setParameter(PreDenL, step(1, 13));
       }},
      // 1/4 at 120 BPM is 22050 samples exactly: the jitter crosses a whole sample.
      {"the tempo jitters by 1e-5 BPM", {},
       [](host::PluginInstance& p, int block) { p.script().tempo = block % 2 ? 120.00001 : 119.99999; }},
  };
  for (const HabitCase& c : cases) {
    SCOPED_TRACE(c.name);
    Session s(c.settings);
    const Signal t = tone(512 * 160, 0.5f, 220.0);
    Signal out;
    for (int block = 0; block < 160; ++block) {
      c.habit(s.plugin(), block);
      const auto o = s.run({Signal(t.begin() + 512 * block, t.begin() + 512 * (block + 1))});
      out.insert(out.end(), o[0].begin(), o[0].end());
    }
    EXPECT_NEAR(peak(out, 512 * 100, 512 * 160), 0.5, 0.005);
  }
}

// Hosts re-send automation every block, and every program applies the
// reverb type again: an unchanged type leaves the reverb's tail as it is.
TEST(HostHabits, AReverbTypeReSentUnchangedKeepsTheTail) {
  for (float type : {0.0f, 1.0f}) {
    SCOPED_TRACE(type ? "plate" : "spring");
    Settings reverb = k96thNotes;
    reverb.insert(reverb.end(), {{RvbOn, 1.0f}, {RvbAmt, 1.0f}, {RvbType, type}});
    Signal outs[2];
    for (int resend = 0; resend < 2; ++resend) {
      Session s(reverb);
      for (int block = 0; block < 40; ++block) {
        if (resend) s.plugin().setParameter(RvbType, type);
        const auto o = s.run({block == 0 ? impulse(512) : Signal(512, 0.0f)});
        outs[resend].insert(outs[resend].end(), o[0].begin(), o[0].end());
      }
    }
    EXPECT_GT(peak(outs[0], 512, 512 * 40), 1e-3) << "no reverb tail to keep";
    EXPECT_EQ(outs[0], outs[1]);
  }
}

// A host that reloads a project gets the echo it saved, on the same sample.
struct RoundTripCase {
  const char* name;
  Settings settings, change;
  long at;
};

TEST(HostState, DerivedTimesSurviveAChunkRoundTrip) {
  const Settings time2000 = {{DlyModeL, 0}, {RangeL, step(2, 3)}, {DlyTimeL, 0.4f}};
  const Settings time80 = {{DlyModeL, 0}, {RangeL, step(1, 3)}, {DlyTimeL, 0.08f}};
  const RoundTripCase cases[] = {
      {"a 1/2 note switched to time mode keeps its 1000 ms", {{DlyNumL, step(0, 5)}, {DlyDenL, step(1, 13)}},
       {{DlyModeL, 0}}, 44100 + kLookahead},
      {"2000 ms cut to the 100 ms range plays 100 ms", time2000, {{RangeL, step(0, 3)}}, 4410 + kLookahead},
      {"time mode re-sent keeps 80 ms of its 1000 ms range", time80, {{DlyModeL, 0}, {DlyTimeL, 0.08f}},
       3528 + kLookahead},
  };
  for (const RoundTripCase& c : cases) {
    SCOPED_TRACE(c.name);
    Session saved(c.settings);
    for (const auto& [index, value] : c.change) saved.plugin().setParameter(index, value);
    saved.restart();
    EXPECT_EQ(firstEcho(saved), c.at);
    Session reloaded;
    ASSERT_EQ(reloaded.plugin().setChunk(saved.plugin().getChunk()), 0);
    reloaded.restart();
    EXPECT_EQ(firstEcho(reloaded), c.at);
  }
  // The host hears of the derived values: it is asked to read its parameters again.
  testing_support::RecordingHost host;
  auto zel = host.makeZel();
  zel->setParameter(DlyModeL, 0.0f);
  EXPECT_GT(host.count(vst::audioMasterUpdateDisplay), 0);
}

TEST(HostState, DriveAndCutoffModulationSetByTheUserSurviveAReload) {
  for (const auto& [index, value] : Settings{{Drive, 0.8f}, {CutfMod, 0.9f}}) {
    auto saved = testing_support::loadTavrel();
    saved->setParameter(index, value);
    auto reloaded = testing_support::loadTavrel();
    ASSERT_EQ(reloaded->setChunk(saved->getChunk()), 0);
    EXPECT_EQ(reloaded->getParameter(index), value) << index;
  }
}

// Values from outside held to 0..1: Input 1e6 plays as Input 1, a feedback
// gain of 1e30 as gain 1, whether a host writes them or a chunk brings them.
TEST(HostState, ValuesBeyondTheRangeAreHeldToIt) {
  const Settings base = {{FbGainL, 0.5f}, {DlyDenL, step(12, 13)}};
  Session reference(base);
  reference.plugin().setParameter(Input, 1.0f);
  reference.plugin().setParameter(FbGainL, 1.0f);
  reference.restart();
  const double loudest = peak(reference.run({tone(44100, 0.5f, 220.0)})[0], 0, 44100);
  struct Case {
    const char* name;
    bool chunk;
  };
  for (const Case& c : {Case{"written by the host", false}, Case{"brought by a chunk", true}}) {
    SCOPED_TRACE(c.name);
    Session s(base);
    if (c.chunk) {
      std::vector<uint8_t> chunk = s.plugin().getChunk();
      int32_t current;
      std::memcpy(&current, &chunk[state::kChunkCurrentAt], 4);
      const float wild[] = {1e6f, 1e30f};
      const int at = state::kChunkRecordsAt + current * 264 + state::kNameSize;
      std::memcpy(&chunk[at + 4 * Input], &wild[0], 4);
      std::memcpy(&chunk[at + 4 * FbGainL], &wild[1], 4);
      ASSERT_EQ(s.plugin().setChunk(chunk), 0);
    } else {
      s.plugin().setParameter(Input, 1e6f);
      s.plugin().setParameter(FbGainL, 1e30f);
    }
    EXPECT_EQ(s.plugin().getParameter(Input), 1.0f);
    EXPECT_EQ(s.plugin().getParameter(FbGainL), 1.0f);
    s.restart();
    const double p = peak(s.run({tone(44100, 0.5f, 220.0)})[0], 0, 44100);
    EXPECT_TRUE(std::isfinite(p));
    EXPECT_LE(p, loudest * 1.0001);
  }
}

// A filter inside the loop lifts the loop gain above 1 around its cut-off;
// the loop must settle, not grow for as long as the host plays.
TEST(HostFeedback, AResonantFilterInTheLoopStaysBounded) {
  for (float type : {step(2, 3), step(0, 3)}) {
    SCOPED_TRACE(type);
    Session s({{FltOn, 1}, {FltMode, step(1, 3)}, {FltType, type}, {Cutoff, 0.5f}, {Reso, 1}, {FbGainL, 1},
               {FbGainR, 1}, {DlyDenL, step(12, 13)}, {DlyDenR, step(12, 13)}});
    s.run({tone(44100, 0.9f, 440.0), tone(44100, 0.9f, 660.0)});
    double loudest = 0.0;
    for (int second = 0; second < 60; ++second) {
      const auto out = s.run({level(44100, 0.0f)});
      loudest = std::max({loudest, peak(out[0], 0, 44100), peak(out[1], 0, 44100)});
    }
    EXPECT_LT(loudest, 4.0);  // +12 dBFS
  }
}

TEST(HostTime, ATempoTheHostDoesNotMarkValidIsIgnored) {
  // The host's record carries tempo 0 without its flag: the tempo stays 120 BPM.
  Session s({}, 44100, 4, 2, 0.0, vst::kVstPpqPosValid | vst::kVstTimeSigValid);
  EXPECT_EQ(firstEcho(s), 22050 + kLookahead);
}

TEST(HostTime, SongPositionLockWithTheTransportStoppedIgnoresTheBlockSize) {
  const Settings lfoOnCutoff = {{LfoMode, step(2, 3)}, {LfoDen, step(5, 13)}, {ModSrc, 0}, {FltOn, 1},
                                {Cutoff, 0.5f},        {CutfMod, 1},          {Mix, 0.5f}};
  std::vector<Signal> outputs;
  for (int block : {64, 512}) {
    Session s(lfoOnCutoff);
    s.plugin().setBlockSize(block);
    s.restart();
    outputs.push_back(s.run({tone(44100, 0.5f, 110.0)})[0]);
  }
  for (long i = 0; i < 44100; ++i) ASSERT_NEAR(outputs[0][i], outputs[1][i], 1e-6) << i;
}

TEST(HostReverb, ATypeSwitchLeavesNoOldSound) {
  for (bool switched : {false, true}) {
    SCOPED_TRACE(switched ? "spring, plate, spring" : "no switch");
    Session s({{RvbOn, 1}, {RvbMode, 1}, {Mix, 0}});
    s.run({tone(22050, 0.5f, 440.0), tone(22050, 0.5f, 550.0)});
    if (switched) {
      s.plugin().setParameter(RvbType, 1);
      s.plugin().setParameter(RvbType, 0);
    }
    const auto out = s.run({level(22050, 0.0f)});
    const double tail = peak(out[0], 0, 22050) + peak(out[1], 0, 22050);
    if (switched)
      EXPECT_LT(tail, 1e-6);
    else
      EXPECT_GT(tail, 0.01);
  }
}

TEST(HostPrecision, DecayingTailsReachTheHostAsZerosNotSubnormals) {
  // The variable clock's anti-alias filters ring down after a burst.
  Session s({{VcoOn, 1}, {Mix, 0.5f}});
  Signal burst = tone(3 * 44100, 0.9f, 60.0);
  for (long i = 0; i < 3 * 44100; ++i) burst[i] *= i < 4000 ? static_cast<float>(std::exp(-i / 600.0)) : 0.0f;
  const auto out = s.run({burst, burst});
  for (int c = 0; c < 2; ++c)
    for (long i = 0; i < 3 * 44100; ++i) ASSERT_NE(std::fpclassify(out[c][i]), FP_SUBNORMAL) << c << " " << i;
}

}  // namespace
