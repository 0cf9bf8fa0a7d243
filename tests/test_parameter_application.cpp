// Every parameter write takes one path: working values, editor, program
// store. These cases check the working values the engine will read and the
// interlocks between delay modes, ranges, times and the tempo.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "editor/Editor.h"
#include "engine/Reverb.h"
#include "params/Steps.h"
#include "support/Tavrel.h"

using namespace params;
using testing_support::makeZel;

namespace {

const engine::WorkingValues& working(const ZEL& zel) { return zel.parameters().values(); }

TEST(Steps, QuantiseAndCentre) {
  struct Case {
    float x;
    int n, step;
  };
  const Case cases[] = {{0.0f, 3, 0}, {0.3333f, 3, 0}, {0.3334f, 3, 1}, {1.0f, 3, 2}, {1.0f, 13, 12},
                        {0.4999f, 2, 0}, {0.5f, 2, 1},   {1.7f, 5, 4},   {-0.1f, 5, 0}, {-7.0f, 5, 0},
                        {NAN, 13, 0},   {0.5f, 129, 64}, {1.0f, 129, 128}};
  for (const Case& c : cases) EXPECT_EQ(steps(c.x, c.n), c.step) << c.x << " of " << c.n;
  EXPECT_FLOAT_EQ(stepValue(1, 13), 0.115384616f);
  EXPECT_FLOAT_EQ(stepValue(999, 129), 7.748062f);
}

TEST(WorkingValues, ContinuousMappings) {
  auto zel = makeZel();
  struct Case {
    int index;
    float v;
    double (*read)(const engine::WorkingValues&);
    double expected;
  };
  const Case cases[] = {
      {Input, 0.5f, [](auto& w) { return w.inputGain.get(); }, 1.0},
      {Input, 1.0f, [](auto& w) { return w.inputGain.get(); }, 4.0},
      {Output, 0.0f, [](auto& w) { return w.outputGain.get(); }, 0.0},
      {LFORate, 0.5f, [](auto& w) { return w.lfoRate.get(); }, 3.0},
      {Cutoff, 0.0f, [](auto& w) { return w.cutoffHz.get(); }, 50.0},
      {Cutoff, 1.0f, [](auto& w) { return w.cutoffHz.get(); }, 16000.0},
      {Reso, 0.0f, [](auto& w) { return w.reso.get(); }, double(0.05f)},
      {Drive, 1.0f, [](auto& w) { return w.driveGain.get(); }, 16.0},
      {ModSens, 0.5f, [](auto& w) { return w.modSens.get(); }, 4.0},
      {DlyGateL, 0.5f, [](auto& w) { return w.gateThreshold[0].get(); }, 0.25},
      {Ducking, 0.0f, [](auto& w) { return w.duckThreshold.get(); }, std::pow(10.0, -1.5)},
      {Ducking, 1.0f, [](auto& w) { return w.duckThreshold.get(); }, 1.0},
      {LROffset, 0.75f, [](auto& w) { return w.lrOffset.get(); }, M_PI / 4},
      {VcoMan, 0.0f, [](auto& w) { return w.vcoMan.get(); }, -1.0},
      {CutfMod, 1.0f, [](auto& w) { return w.cutfModDepth.get(); }, 1.0},
      {EnvSpeed, 0.0f, [](auto& w) { return w.envSpeedMs.get(); }, 100.0},
      {EnvSpeed, 1.0f, [](auto& w) { return w.envSpeedMs.get(); }, 1000.0},
      {MuteInL, 0.5f, [](auto& w) { return w.muteGain[0].get(); }, 1.0},
      {MuteInL, 0.5000001f, [](auto& w) { return w.muteGain[0].get(); }, 0.0},
      {FbInvR, 0.75f, [](auto& w) { return w.fbSign[1].get(); }, -1.0},
      {DlyInvL, 0.25f, [](auto& w) { return w.dlySign[0].get(); }, 1.0},
  };
  for (const Case& c : cases) {
    if (c.index == LFORate) zel->setParameter(LfoMode, 0.0f);  // free rate
    zel->setParameter(c.index, c.v);
    EXPECT_NEAR(c.read(working(*zel)), c.expected, 1e-9) << kParameterTable[c.index].name << " at " << c.v;
  }
  zel->setParameter(LFORate, 0.0f);
  EXPECT_DOUBLE_EQ(working(*zel).lfoRate.get(), 0.01);  // never 0 Hz
}

TEST(WorkingValues, NonFiniteValuesFromAHostAreIgnored) {
  auto plugin = testing_support::loadTavrel();
  plugin->setParameter(FbGainL, 0.3f);
  for (float bad : {NAN, INFINITY, -INFINITY}) {
    plugin->setParameter(FbGainL, bad);
    plugin->setParameter(60 + Mix, bad);
    EXPECT_FLOAT_EQ(plugin->getParameter(FbGainL), 0.3f);
    EXPECT_FLOAT_EQ(plugin->getParameter(60 + Mix), 7.748062f);
  }
  // The effect still makes sound afterwards.
  plugin->setParameter(Mix, 0.0f);
  std::vector<std::vector<float>> in{std::vector<float>(256, 0.5f), std::vector<float>(256, 0.5f)}, out;
  plugin->resume();
  plugin->process(in, out);
  EXPECT_TRUE(std::isfinite(out[0][255]));
  EXPECT_GT(out[0][255], 0.1f);
}

TEST(WorkingValues, CutoffNeverAboveHalfTheSampleRate) {
  auto zel = makeZel();
  zel->setSampleRate(22050.0f);
  zel->resume();
  zel->setParameter(Cutoff, 1.0f);
  EXPECT_DOUBLE_EQ(working(*zel).cutoffHz.get(), 11025.0);
}

TEST(WorkingValues, ReverbDecayPerTypeAndDamping) {
  struct Case {
    int type;
    double damp, g1, g2, g3, kd;
  };
  const double g0 = std::pow(0.5, 0.01), g1 = 0.5, s = std::sqrt(0.56);
  const Case cases[] = {
      {0, 0.0, s * g0, 0.7 * s * g0, 0.3 * s * g0, 0.72},
      {0, 1.0, s * g1, 0.7 * s * g1, 0.3 * s * g1, 0.2},
      {1, 0.0, g0, g0, std::pow(g0, 0.25), 0.8},
      {1, 1.0, g1, g1, std::pow(g1, 0.25), 0.4},
  };
  for (const Case& c : cases) {
    const auto d = engine::Reverb::decayFor(c.type, c.damp);
    EXPECT_NEAR(d.g1, c.g1, 1e-12);
    EXPECT_NEAR(d.g2, c.g2, 1e-12);
    EXPECT_NEAR(d.g3, c.g3, 1e-12);
    EXPECT_NEAR(d.kd, c.kd, 1e-12);
  }
}

TEST(DelayTimes, NoteValuesAgainstTheTempo) {
  auto zel = makeZel();
  struct Case {
    int num, den;  // step indices into the numerator and denominator lists
    double ms;
  };
  const Case cases[] = {{0, 3, 500.0}, {1, 5, 750.0}, {0, 12, 250.0 / 12.0}, {4, 0, 5000.0}, {4, 12, 9 * 2000.0 / 96}};
  for (const Case& c : cases) {
    zel->setParameter(DlyNumL, stepValue(c.num, 5));
    zel->setParameter(DlyDenL, c.den == 12 ? 1.0f : stepValue(c.den, 13));
    EXPECT_NEAR(working(*zel).delayTimeMs[0].get(), c.ms, 1e-9);
  }
}

TEST(DelayTimes, NoteToTimeKeepsTheTimeInTheSmallestRange) {
  auto zel = makeZel();
  // 3/8 at 120 BPM is 750 ms: range 1000 ms.
  zel->setParameter(DlyNumL, stepValue(1, 5));
  zel->setParameter(DlyDenL, stepValue(5, 13));
  zel->setParameter(DlyModeL, 0.0f);
  EXPECT_FLOAT_EQ(zel->getParameter(RangeL), 0.5f);
  EXPECT_FLOAT_EQ(zel->getParameter(DlyTimeL), 0.75f);
  EXPECT_DOUBLE_EQ(working(*zel).delayTimeMs[0].get(), 750.0);
  // Exactly 1000 ms (1/2) stays in the 1000 ms range.
  zel->setParameter(DlyModeR, 1.0f);
  zel->setParameter(DlyDenR, stepValue(1, 13));
  zel->setParameter(DlyModeR, 0.0f);
  EXPECT_FLOAT_EQ(zel->getParameter(RangeR), 0.5f);
  EXPECT_FLOAT_EQ(zel->getParameter(DlyTimeR), 1.0f);
}

TEST(DelayTimes, RangeChangesKeepOrClipTheTime) {
  auto zel = makeZel();
  zel->setParameter(DlyModeL, 0.0f);  // 500 ms -> range 1000 ms, time 0.5
  zel->setParameter(RangeL, stepValue(2, 3));
  EXPECT_DOUBLE_EQ(working(*zel).delayTimeMs[0].get(), 500.0);
  EXPECT_FLOAT_EQ(zel->getParameter(DlyTimeL), 0.1f);
  zel->setParameter(DlyTimeL, 0.4f);  // 2000 ms
  EXPECT_DOUBLE_EQ(working(*zel).delayTimeMs[0].get(), 2000.0);
  zel->setParameter(RangeL, 0.0f);  // 100 ms range clips
  EXPECT_FLOAT_EQ(zel->getParameter(DlyTimeL), 1.0f);
  EXPECT_DOUBLE_EQ(working(*zel).delayTimeMs[0].get(), 100.0);
  EXPECT_TRUE(working(*zel).delayTimeChanged[0].get());
}

TEST(DelayTimes, TimeWritesInNoteModeReachOnlyEditorAndStore) {
  auto zel = makeZel();
  const double before = working(*zel).delayTimeMs[1].get();
  zel->setParameter(DlyTimeR, 0.9f);
  EXPECT_FLOAT_EQ(zel->getParameter(DlyTimeR), 0.4f);
  EXPECT_DOUBLE_EQ(working(*zel).delayTimeMs[1].get(), before);
  EXPECT_FLOAT_EQ(zel->programs()[0].values[DlyTimeR], 0.9f);
}

TEST(Switches, DriveAndCutoffModulationSwitches) {
  auto zel = makeZel();
  zel->setParameter(Drive, 0.8f);
  zel->setParameter(DriveSwitch, 0.7f);
  EXPECT_FLOAT_EQ(zel->getParameter(Drive), 0.8f);
  zel->setParameter(DriveSwitch, 0.3f);
  EXPECT_FLOAT_EQ(zel->getParameter(Drive), 0.0f);
  EXPECT_DOUBLE_EQ(working(*zel).driveGain.get(), 1.0);
  EXPECT_EQ(zel->getParameter(DriveSwitch), 1.0f);
  zel->setParameter(CutfMod, 0.9f);
  zel->setParameter(CutfModSwitch, 0.0f);
  EXPECT_FLOAT_EQ(zel->getParameter(CutfMod), 0.5f);
}

TEST(Switches, AProgramWithDriveOffKeepsItsStoredDrive) {
  auto zel = makeZel();
  zel->programs()[5].values[Drive] = 0.8f;
  zel->programs()[5].values[DriveSwitch] = 0.0f;
  zel->selectProgram(5);
  EXPECT_DOUBLE_EQ(working(*zel).driveGain.get(), 1.0);
  EXPECT_FLOAT_EQ(zel->getParameter(Drive), 0.0f);
  EXPECT_FLOAT_EQ(zel->programs()[5].values[Drive], 0.8f);
}

TEST(Tempo, ManualTempoAndSyncedLfo) {
  auto zel = makeZel();
  EXPECT_DOUBLE_EQ(zel->getManualTempo(), 90.0 / 370.0);
  EXPECT_DOUBLE_EQ(working(*zel).lfoRate.get(), 1.0 * 120.0 / 240.0);  // program 0: 1/1 at 120 BPM
  zel->setParameter(LfoDen, stepValue(3, 13));                       // 1/4: 2 Hz
  EXPECT_DOUBLE_EQ(working(*zel).lfoRate.get(), 2.0);
  zel->setManualTempo(1.0);  // 400 BPM
  EXPECT_DOUBLE_EQ(working(*zel).tempo.get(), 400.0);
  EXPECT_DOUBLE_EQ(working(*zel).delayTimeMs[0].get(), 150.0);
  zel->setParameter(LfoDen, 1.0f);  // 1/96 at 400 BPM would be 160 Hz
  EXPECT_DOUBLE_EQ(working(*zel).lfoRate.get(), 15.0);
  EXPECT_TRUE(zel->syncRangeExceeded(4));
}

// A rate written while the LFO runs synchronised leaves the tempo rate alone
// but is the rate the LFO takes when it runs free next; a switch to free
// after no such write keeps the rate that plays.
TEST(Tempo, FreeLfoRateAfterSynchronisedRunning) {
  const double metaFlangerRate = std::pow(16.0, double(0.064843f)) - 1.0;  // program 34 runs free
  struct Case {
    const char* what;
    std::vector<std::pair<int, float>> writes;  // -1: select the program given as value
    double rate;
  };
  const Case cases[] = {
      {"free program after a synchronised one", {{-1, 34}}, metaFlangerRate},
      {"free program, synchronised, free again", {{-1, 34}, {-1, 60}, {-1, 34}}, metaFlangerRate},
      {"rate written while synchronised, then free", {{LFORate, 0.25f}, {LfoMode, 0.0f}}, 1.0},
      {"rate held while synchronised", {{LFORate, 0.25f}}, 0.5},
      {"switch to free without a rate write", {{LfoMode, 0.0f}}, 0.5},
      {"tempo rate after the rate write, then free", {{LFORate, 0.25f}, {LfoDen, stepValue(3, 13)}, {LfoMode, 0.0f}}, 2.0},
  };
  for (const Case& c : cases) {
    auto zel = makeZel();  // program 0: 1/1 at 120 BPM, 0.5 Hz
    for (const auto& [index, value] : c.writes) {
      if (index < 0)
        zel->selectProgram(static_cast<int>(value));
      else
        zel->setParameter(index, value);
    }
    EXPECT_NEAR(working(*zel).lfoRate.get(), c.rate, 1e-12) << c.what;
  }
}

TEST(Tempo, HostTempoPerBlockAndAtResume) {
  testing_support::RecordingHost hostLog;
  auto zel = hostLog.makeZel();
  hostLog.tempo = 100.0;
  zel->resume();
  EXPECT_DOUBLE_EQ(working(*zel).tempo.get(), 100.0);
  EXPECT_DOUBLE_EQ(working(*zel).delayTimeMs[0].get(), 600.0);
  float silence[4][16] = {};
  float out[2][16];
  float* in[4] = {silence[0], silence[1], silence[2], silence[3]};
  float* outs[2] = {out[0], out[1]};
  hostLog.tempo = 150.0;
  zel->processReplacing(in, outs, 16);
  EXPECT_DOUBLE_EQ(working(*zel).tempo.get(), 150.0);
  EXPECT_TRUE(zel->hostTimeActive());
  hostLog.tempo = 500.0;  // outside 30..400: ignored while playing
  zel->processReplacing(in, outs, 16);
  EXPECT_DOUBLE_EQ(working(*zel).tempo.get(), 150.0);
  hostLog.tempo = 500.0;  // at resume it is clamped instead
  zel->resume();
  EXPECT_DOUBLE_EQ(working(*zel).tempo.get(), 400.0);
  hostLog.tempo = 0.0;  // no time information: the manual tempo stays
  zel->setManualTempo(0.5);
  zel->processReplacing(in, outs, 16);
  EXPECT_FALSE(zel->hostTimeActive());
  EXPECT_DOUBLE_EQ(working(*zel).tempo.get(), 215.0);
}

TEST(SyncRange, SelectorsAnswerForTheCurrentFractions) {
  auto zel = makeZel();
  zel->setParameter(PreNumR, 1.0f);            // 9
  zel->setParameter(PreDenR, stepValue(1, 13));  // 2
  EXPECT_FALSE(zel->syncRangeExceeded(8));
  EXPECT_TRUE(zel->syncRangeExceeded(16));
  zel->setParameter(DlyNumL, 1.0f);  // 9/1 at 120 BPM: 18 s
  zel->setParameter(DlyDenL, 0.0f);
  EXPECT_TRUE(zel->syncRangeExceeded(1));
  EXPECT_FALSE(zel->syncRangeExceeded(2));
  EXPECT_DOUBLE_EQ(working(*zel).delayTimeMs[0].get(), 5000.0);
  EXPECT_FALSE(zel->syncRangeExceeded(3));
}

TEST(Link, SymmetricProgramsSwitchLinkOn) {
  auto zel = makeZel();
  EXPECT_TRUE(zel->zelEditor()->isLinked());  // program 0 mirrors its sides
  zel->programs()[7].values[FbGainL] = 0.5f;
  zel->selectProgram(7);
  EXPECT_FALSE(zel->zelEditor()->isLinked());
  zel->selectProgram(24);
  EXPECT_TRUE(zel->zelEditor()->isLinked());
}

TEST(Link, CopyChannelSettingsBracketsEachChangedWrite) {
  testing_support::RecordingHost hostLog;
  auto zel = hostLog.makeZel();
  hostLog.calls.clear();
  zel->copyChannelSettings(false);
  EXPECT_TRUE(hostLog.calls.empty());  // sides equal: no host calls

  zel->setParameter(DlyDenL, stepValue(5, 13));
  zel->setParameter(DlyNumL, stepValue(1, 5));
  hostLog.calls.clear();
  zel->copyChannelSettings(false);  // left to right
  ASSERT_EQ(hostLog.calls.size(), 6u);
  const int expected[][2] = {{vst::audioMasterBeginEdit, DlyNumR}, {vst::audioMasterAutomate, DlyNumR},
                             {vst::audioMasterEndEdit, DlyNumR},   {vst::audioMasterBeginEdit, DlyDenR},
                             {vst::audioMasterAutomate, DlyDenR},  {vst::audioMasterEndEdit, DlyDenR}};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(hostLog.calls[i].opcode, expected[i][0]);
    EXPECT_EQ(hostLog.calls[i].index, expected[i][1]);
  }
  EXPECT_FLOAT_EQ(zel->getParameter(DlyDenR), stepValue(5, 13));
  EXPECT_DOUBLE_EQ(working(*zel).delayTimeMs[1].get(), 750.0);
}

// A mode or range write settles the side's time; the program store takes the
// time as it stands, also where it had kept a time the note mode refused, and
// only then is the host asked to read its parameters again.
TEST(DelayTimes, TheStoreTakesTheTimeAModeOrRangeWriteLeaves) {
  const struct {
    const char* what;
    std::vector<std::pair<int, float>> writes;
    float stored;
    bool hostRereads;
  } cases[] = {
      {"time refused in note mode", {{DlyTimeR, 0.9f}}, 0.9f, false},
      {"then the range re-sent", {{DlyTimeR, 0.9f}, {RangeR, stepValue(2, 3)}}, 0.4f, true},
      {"then note mode re-sent", {{DlyTimeR, 0.9f}, {DlyModeR, 1.0f}}, 0.4f, true},
      {"range re-sent, store in step", {{RangeR, stepValue(2, 3)}}, 0.4f, false},
  };
  for (const auto& c : cases) {
    testing_support::RecordingHost hostLog;
    auto zel = hostLog.makeZel();
    hostLog.calls.clear();
    for (const auto& [index, value] : c.writes) zel->setParameter(index, value);
    EXPECT_FLOAT_EQ(zel->programs()[0].values[DlyTimeR], c.stored) << c.what;
    EXPECT_EQ(hostLog.count(vst::audioMasterUpdateDisplay) > 0, c.hostRereads) << c.what;
  }
}

// The copy gives the other side this side's time even where that side's note
// mode refuses the write, so the sides compare equal afterwards.
TEST(Link, CopyChannelSettingsCarriesATimeTheNoteModeRefuses) {
  auto zel = makeZel();
  zel->setParameter(DlyModeR, 0.0f);  // 500 ms: range 1000 ms, time 0.5
  zel->setParameter(DlyTimeR, 0.7f);
  zel->setParameter(DlyModeR, 1.0f);
  zel->copyChannelSettings(false);
  EXPECT_EQ(zel->getParameter(RangeR), zel->getParameter(RangeL));
  EXPECT_EQ(zel->getParameter(DlyTimeR), 0.4f);
  EXPECT_TRUE(zel->channelsSymmetric());
}

// What one side's writes settle besides themselves, as a format adapter
// hands them on: a mode write the range and time, a range write the time.
TEST(DelayTimes, AWriteNamesTheValuesItSettled) {
  engine::WorkingValues w;  // 1/4 at 120 BPM, note mode
  NormalisedValues normalised{};
  DelayTimeModel left(w, normalised, engine::kLeft);
  const struct {
    int index;
    float value;
    std::vector<std::pair<int, float>> settled;
    double ms;
  } writes[] = {
      {DlyDenL, stepValue(5, 13), {}, 250.0},
      {DlyModeL, 0.0f, {{RangeL, stepValue(1, 3)}, {DlyTimeL, 0.25f}}, 250.0},
      {RangeL, 0.0f, {{DlyTimeL, 1.0f}}, 100.0},
      {DlyTimeL, 0.5f, {}, 50.0},
      {DlyModeL, 1.0f, {{RangeL, 0.0f}, {DlyTimeL, 0.5f}}, 250.0},
  };
  for (const auto& c : writes) {
    std::vector<std::pair<int, float>> settled;
    for (const ParameterValue& v : left.write(c.index, c.value).settled) settled.emplace_back(v.index, v.value);
    EXPECT_EQ(settled, c.settled) << kParameterTable[c.index].name << " = " << c.value;
    EXPECT_DOUBLE_EQ(w.delayTimeMs[0].get(), c.ms) << kParameterTable[c.index].name << " = " << c.value;
  }
  EXPECT_FALSE(left.takesPanelWrite(RangeL));  // note mode: the tempo's
}

}  // namespace
