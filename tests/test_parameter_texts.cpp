// What a host shows for each parameter (value text, label, stepping hints),
// read through the plug-in interface exactly as a host reads it, and the
// editor's four-digit readout, which hosts never see, on an in-process effect.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "params/Steps.h"
#include "support/Tavrel.h"

using namespace params;
using testing_support::loadTavrel;
using testing_support::makeZel;

namespace {

using Writes = std::vector<std::pair<int, float>>;

// Writes that put the effect into a known state before a case.
const Writes kFreeLfo{{LfoMode, 0.0f}};
const Writes kLeftTimeMode5000{{DlyModeL, 0.0f}, {RangeL, stepValue(2, 3)}};

// The three text helpers every number text goes through.
TEST(TextHelpers, EightCharactersCutNotRounded) {
  struct Case {
    char helper;  // 'f' float2string, 'd' dB2string, 'i' int2string
    double value;
    const char* text;
  };
  const Case cases[] = {
      {'f', 3.0, "3.000000"},       {'f', 15.0, "15.00000"},     {'f', -12.5, "-12.5000"},
      {'f', 0.0999999, "0.099999"}, {'f', 12345678.0, "12345678."}, {'f', 99999999.0, "Huge!"},  // 1e8 as a float
      {'f', -9999999.0, "-9999999."}, {'f', -10000000.0, "Huge!"}, {'f', NAN, "Huge!"},
      {'d', 0.0, "-oo"},            {'d', -1.0, "-oo"},          {'d', 1.0, "0.000000"},
      {'d', 0.5, "-6.02059"},       {'d', 16.0, "24.08239"},     {'i', 16000, "16000"},
      {'i', -14, "-14"},            {'i', 99999999, "99999999"}, {'i', 100000000, "Huge!"},
  };
  for (const Case& c : cases) {
    char text[32] = "";
    if (c.helper == 'f') vst::AudioEffect::float2string(static_cast<float>(c.value), text, 12);
    if (c.helper == 'd') vst::AudioEffect::dB2string(static_cast<float>(c.value), text, 12);
    if (c.helper == 'i') vst::AudioEffect::int2string(static_cast<int32_t>(c.value), text, 12);
    EXPECT_STREQ(text, c.text) << c.helper << " of " << c.value;
  }
}

struct DisplayCase {
  Writes before;
  int index;
  float v;
  const char* text;
};

TEST(ParameterDisplay, TextsAtTheDescribedValuesAndBoundaries) {
  auto plugin = loadTavrel();
  ASSERT_TRUE(plugin);
  const DisplayCase cases[] = {
      {{}, Input, 0.5f, "0.000000"}, {{}, Input, 0.0f, "-oo"},
      {{}, Input, 1.0f, "12.04119"},  // 4.0 = +12.0412 dB: the fraction is cut, not rounded
      {{}, Output, 0.25f, "-12.0411"},
      {{}, Mix, 0.5f, "D:50<>50:W"}, {{}, Mix, 0.0f, "D:100<>0:W"},
      {{}, Mix, 0.99f, "D:1<>99:W"}, {{}, Mix, 1.0f, "D:0<>100:W"},  // the wet share is capped at 100
      {{}, FbGainL, 0.0f, "-oo"}, {{}, FbGainR, 0.5f, "-6.02059"},
      {{}, FbPanL, 0.0f, "L:100<>0:R"}, {{}, FbPanR, 1.0f, "L:0<>100:R"}, {{}, DlyPanL, 0.3f, "L:70<>30:R"},
      {{}, FbInvL, 0.4999f, "off"}, {{}, FbInvL, 0.5f, "on"}, {{}, DlyInvR, 1.0f, "on"},
      {{}, LFOWave, 0.0f, "sin"}, {{}, LFOWave, 0.3f, "sqr"}, {{}, LFOWave, 0.5f, "tri"},
      {{}, LFOWave, 0.7f, "saw"}, {{}, LFOWave, 1.0f, "rnd"},
      {kFreeLfo, LFORate, 0.5f, "3.000000"}, {kFreeLfo, LFORate, 1.0f, "15.00000"},
      {kFreeLfo, LFORate, 0.0f, "0.009999"},  // 0.01 Hz, cut in single precision
      // A synchronised LFO shows the rate the tempo gives: 1/1 and 1/4 at 120 BPM.
      {{{LfoMode, 0.5f}, {LfoNum, 0.1f}, {LfoDen, 0.0f}}, LFORate, 0.5f, "0.500000"},
      {{{LfoMode, 1.0f}, {LfoDen, stepValue(3, 13)}}, LFORate, 0.9f, "2.000000"},
      {{}, LROffset, 0.5f, "L:0<>0:R"}, {{}, LROffset, 0.75f, "L:-90<>90+:R"},
      {{}, LROffset, 0.25f, "L:+90<>90-:R"}, {{}, LROffset, 1.0f, "L:-180<>180+:R"},
      {{}, ModSrc, 0.0f, "L:100<>0:E"},
      {{}, CutfMod, 0.5f, "0"}, {{}, CutfMod, 0.499f, "0"},  // never "-0"
      {{}, CutfMod, 0.49f, "-2"}, {{}, CutfMod, 0.0f, "-100"}, {{}, CutfMod, 1.0f, "100"},
      {{}, VcoMod, 0.25f, "-50"}, {{}, ResoMod, 0.0f, "-100"}, {{}, ResoMod, 0.755f, "51"},
      {{}, FltType, 0.0f, "LPF"}, {{}, FltType, 0.5f, "BPF"}, {{}, FltType, 1.0f, "HPF"},
      {{}, Cutoff, 1.0f, "16000"}, {{}, Cutoff, 0.0f, "50"}, {{}, Cutoff, 0.5f, "1010"},
      {{}, Reso, 1.0f, "10.00000"},
      {{}, VcoMan, 0.0f, "0.500000"}, {{}, VcoMan, 1.0f, "2.000000"},
      {{}, Drive, 0.0f, "0.000000"}, {{}, Drive, 1.0f, "24.08239"},
      {{}, EnvSpeed, 0.5f, "550"}, {{}, EnvSpeed, 1.0f, "1000"},
      {{}, FltMode, 0.0f, "in"}, {{}, FltMode, 0.5f, "fb"}, {{}, FltMode, 1.0f, "fx"},
      {{}, DlyModeL, 0.0f, "time"}, {{}, DlyModeR, 1.0f, "note"},
      {{}, DlyNumL, 0.1f, "1"}, {{}, DlyNumR, 1.0f, "9"},
      {{}, DlyDenL, stepValue(3, 13), "4"}, {{}, DlyDenR, 1.0f, "96"},
      {{}, RangeL, 0.0f, "100"}, {{}, RangeL, 0.5f, "1000"}, {{}, RangeR, 1.0f, "5000"},
      {{}, LfoMode, 0.0f, "freq"}, {{}, LfoMode, 0.5f, "note"}, {{}, LfoMode, 1.0f, "note"},
      {{}, LfoNum, 1.0f, "8"}, {{}, LfoDen, 1.0f, "96"},
      {kLeftTimeMode5000, DlyTimeL, 0.4f, "2000.000000"}, {kLeftTimeMode5000, DlyTimeL, 1.0f, "5000.000000"},
      {{}, RvbMode, 0.25f, "fx"}, {{}, RvbMode, 0.75f, "out"},
      {{}, RvbType, 0.0f, "spring"}, {{}, RvbType, 1.0f, "plate"},
      {{}, RvbDamp, 0.5f, "50.00000"}, {{}, RvbAmt, 1.0f, "100.0000"},
      {{}, Bypass, 0.75f, "on"}, {{}, FltOn, 0.25f, "off"}, {{}, VcoOn, 1.0f, "on"}, {{}, RvbOn, 0.0f, "off"},
      {{}, DriveSwitch, 0.7f, "n/a"}, {{}, CutfModSwitch, 0.0f, "n/a"},
      {{}, ModSens, 0.5f, "50"}, {{}, ModSens, 1.0f, "100"},
      {{}, DlyGateL, 0.0f, "-oo"}, {{}, DlyGateR, 0.5f, "-12.0411"},
      {{}, Ducking, 0.0f, "-24.0000"}, {{}, Ducking, 1.0f, "0.000000"},
      {{}, PreNumL, 0.2f, "1"}, {{}, PreNumR, 1.0f, "9"},
      {{}, PreDenL, stepValue(1, 13), "2"}, {{}, PreDenR, 1.0f, "96"},
      {{}, MuteInL, 0.5f, "off"}, {{}, MuteInL, 0.5000001f, "muted"},
  };
  for (const DisplayCase& c : cases) {
    for (auto [index, value] : c.before) plugin->setParameter(index, value);
    plugin->setParameter(c.index, c.v);
    EXPECT_EQ(plugin->parameterDisplay(c.index), c.text) << kParameterTable[c.index].name << " at " << c.v;
  }
}

// The texts follow the interlocks between delay modes, ranges and times.
TEST(ParameterDisplay, DelayTimeTextsFollowModesAndRanges) {
  auto plugin = loadTavrel();
  ASSERT_TRUE(plugin);
  struct Step {
    int index;
    float v;
    int shown;
    const char* text;
    float readBack;  // getParameter(shown)
  };
  const Step steps[] = {
      {DlyNumL, stepValue(1, 5), DlyTimeL, "1500.000000", 0.4f},  // note mode: 3/4 at 120 BPM
      {DlyDenL, stepValue(5, 13), DlyTimeL, "750.000000", 0.4f},  // 3/8 at 120 BPM
      {DlyModeL, 0.0f, RangeL, "1000", 0.5f},                     // into time mode
      {DlyModeL, 0.0f, DlyTimeL, "750.000000", 0.75f},
      {RangeL, stepValue(2, 3), DlyTimeL, "750.000000", 0.15f},
      {DlyTimeL, 0.4f, DlyTimeL, "2000.000000", 0.4f},
      {RangeL, 0.0f, DlyTimeL, "100.000000", 1.0f},  // 5000 -> 100 ms clips
      {DlyTimeR, 0.9f, DlyTimeR, "500.000000", 0.4f},  // ignored in note mode
      {Drive, 1.0f, Drive, "24.08239", 1.0f},
      {DriveSwitch, 0.7f, Drive, "24.08239", 1.0f},
      {DriveSwitch, 0.3f, Drive, "0.000000", 0.0f},
      {CutfMod, 0.9f, CutfMod, "80", 0.9f},
      {CutfModSwitch, 0.1f, CutfMod, "0", 0.5f},
  };
  for (const Step& s : steps) {
    plugin->setParameter(s.index, s.v);
    EXPECT_EQ(plugin->parameterDisplay(s.shown), s.text) << kParameterTable[s.index].name << " = " << s.v;
    EXPECT_FLOAT_EQ(plugin->getParameter(s.shown), s.readBack) << kParameterTable[s.index].name << " = " << s.v;
  }
}

TEST(ParameterDisplay, NothingIsWrittenOutsideTheParameters) {
  auto plugin = loadTavrel();
  ASSERT_TRUE(plugin);
  for (int index : {60, 103, 119, 120, 5000, -1}) {
    for (int opcode : {vst::effGetParamDisplay, vst::effGetParamName}) {
      if (opcode == vst::effGetParamName && index < 120 && index >= 0) continue;  // named CC slots
      char buffer[32] = "untouched";
      plugin->dispatch(opcode, index, 0, buffer);
      EXPECT_STREQ(buffer, "untouched") << "opcode " << opcode << ", index " << index;
    }
  }
  EXPECT_EQ(plugin->parameterName(103), "CC# n/a");
  EXPECT_EQ(plugin->parameterName(60 + DlyTimeL), "CC# DlyTimeL");
}

// A host may send any float; every text stays bounded (the host gives 256
// bytes, so a longer one would show) and the readout stays defined.
TEST(ParameterDisplay, WildValuesGiveBoundedTexts) {
  auto plugin = loadTavrel();
  ASSERT_TRUE(plugin);
  auto zel = makeZel();
  plugin->setParameter(DlyModeL, 0.0f);  // time mode: the wild time is taken
  zel->setParameter(DlyModeL, 0.0f);
  for (float wild : {1e30f, -1e30f, INFINITY, -INFINITY, NAN, 3.0f, -2.0f}) {
    for (int index = 0; index < kNumParams; ++index) {
      if (index == DlyModeL) continue;
      plugin->setParameter(index, wild);
      EXPECT_LE(plugin->parameterDisplay(index).size(), 15u) << kParameterTable[index].name << " at " << wild;
      zel->setParameter(index, wild);
      ParameterReadout r;
      zel->getParameterReadout(index, r);
    }
  }
  // A split from a value outside 0..1 still reads as two shares of 100.
  plugin->setParameter(Mix, 2.0f);
  EXPECT_EQ(plugin->parameterDisplay(Mix), "D:0<>100:W");
  plugin->setParameter(Mix, -1.0f);
  EXPECT_EQ(plugin->parameterDisplay(Mix), "D:100<>0:W");
}

TEST(ParameterLabels, UnitPerIndex) {
  auto plugin = loadTavrel();
  ASSERT_TRUE(plugin);
  const std::pair<const char*, std::vector<int>> table[] = {
      {"dB", {Input, Output, FbGainL, FbGainR, Drive, DlyGateL, DlyGateR}},
      {"%", {Mix, FbPanL, FbPanR, ModSrc, CutfMod, VcoMod, RvbDamp, RvbAmt, ModSens, DlyPanL, DlyPanR, Ducking}},
      {"Hz", {LFORate, Cutoff}},
      {"deg", {LROffset}},
      {"x", {VcoMan}},
      {"ms", {EnvSpeed, RangeL, RangeR, DlyTimeL, DlyTimeR}},
  };
  for (int index = 0; index < 125; ++index) {
    std::string expected;
    for (const auto& [label, indices] : table)
      for (int i : indices)
        if (i == index) expected = label;
    EXPECT_EQ(plugin->parameterLabel(index), expected) << "index " << index;
  }
}

TEST(ParameterProperties, SteppingHintsPerIndex) {
  auto plugin = loadTavrel();
  ASSERT_TRUE(plugin);
  struct Hint {
    std::vector<int> indices;
    int32_t flags, minInteger, maxInteger, stepInteger, largeStepInteger;
    float stepFloat, smallStepFloat, largeStepFloat;
  };
  constexpr int32_t kKeep = -7;  // a field the effect leaves as the host filled it
  constexpr float kKeepF = -7.0f;
  const Hint hints[] = {
      {{FbInvL, FbInvR, DlyInvL, DlyInvR, DlyModeL, DlyModeR, LfoMode, RvbMode, RvbType, Bypass, FltOn, DriveSwitch,
        CutfModSwitch, VcoOn, RvbOn, MuteInL, MuteInR},
       0xb, 0, 1, 1, 1, kKeepF, kKeepF, kKeepF},
      {{LFOWave, DlyNumL, DlyNumR, LfoNum}, 0, 1, 5, 1, kKeep, kKeepF, kKeepF, kKeepF},
      {{FltType, FltMode, RangeL, RangeR}, 0, 1, 3, 1, kKeep, kKeepF, kKeepF, kKeepF},
      {{PreNumL, PreNumR}, 0, 1, 6, 1, kKeep, kKeepF, kKeepF, kKeepF},
      {{DlyDenL, DlyDenR, LfoDen, PreDenL, PreDenR}, 0, 1, 14, 1, kKeep, kKeepF, kKeepF, kKeepF},
      {{EnvSpeed}, vst::kVstParameterUsesFloatStep, kKeep, kKeep, kKeep, kKeep, 0.0011111111f, 0.0011111111f,
       0.011111111f},
      {{DlyTimeL, DlyTimeR}, vst::kVstParameterUsesFloatStep, kKeep, kKeep, kKeep, kKeep, 0.0001f, 0.0001f, 0.1f},
  };
  for (int index = -1; index < 125; ++index) {
    vst::VstParameterProperties p;
    std::memset(&p, 0, sizeof p);
    p.flags = -1;  // every flag set: switches keep only bits 0, 1 and 3
    p.minInteger = p.maxInteger = p.stepInteger = p.largeStepInteger = kKeep;
    p.stepFloat = p.smallStepFloat = p.largeStepFloat = kKeepF;
    std::strcpy(p.label, "host's");
    vst::VstParameterProperties before = p;
    const bool answered = plugin->dispatch(vst::effGetParameterProperties, index, 0, &p) != 0;
    const Hint* hint = nullptr;
    for (const Hint& h : hints)
      for (int i : h.indices)
        if (i == index) hint = &h;
    if (!hint) {
      EXPECT_FALSE(answered) << "index " << index;
      EXPECT_EQ(std::memcmp(&p, &before, sizeof p), 0) << "index " << index << ": the record was touched";
      continue;
    }
    EXPECT_TRUE(answered) << "index " << index;
    EXPECT_EQ(p.flags, hint->flags) << "index " << index;
    EXPECT_EQ(p.minInteger, hint->minInteger) << "index " << index;
    EXPECT_EQ(p.maxInteger, hint->maxInteger) << "index " << index;
    EXPECT_EQ(p.stepInteger, hint->stepInteger) << "index " << index;
    EXPECT_EQ(p.largeStepInteger, hint->largeStepInteger) << "index " << index;
    EXPECT_FLOAT_EQ(p.stepFloat, hint->stepFloat) << "index " << index;
    EXPECT_FLOAT_EQ(p.smallStepFloat, hint->smallStepFloat) << "index " << index;
    EXPECT_FLOAT_EQ(p.largeStepFloat, hint->largeStepFloat) << "index " << index;
    EXPECT_STREQ(p.label, "host's") << "index " << index;
  }
}

// ------------------------------------------------------------------ readout

struct ReadoutCase {
  Writes before;
  int index;
  int32_t digits, decimalCode;
  int8_t isSigned;
  int32_t splitMode;
  int32_t numerator = -1, denominator = kKeep;
  static constexpr int32_t kKeep = -7;
};

constexpr int8_t kSignUnset = 5;  // what the editor left in the sign flag
constexpr int32_t kSplitUnset = 9;  // what the editor left in the split mode

TEST(ParameterReadout, DigitsPositionSignAndSplit) {
  auto zel = makeZel();
  const ReadoutCase cases[] = {
      {{{LfoMode, 0.0f}, {LFORate, 0.5f}}, LFORate, 3000, 1, 0, 0},  // 3 Hz
      {{{Cutoff, 1.0f}}, Cutoff, 1600, 2, 0, 0},  // 16.0 kHz
      {{{Cutoff, 0.0f}}, Cutoff, 50, 1, 0, 0},    // 0.050 kHz
      {{{Input, 0.0f}}, Input, -100, 0, 1, 0},    // the silent floor
      {{{Input, 0.5f}}, Input, 0, 1, 1, 0},
      {{{Input, 1.0f}}, Input, 1204, 2, 1, 0},
      {{{FbGainL, 0.5f}}, FbGainL, -6021, 1, 1, 0},
      {{{DlyGateL, 0.0035f}}, DlyGateL, -100, 0, 1, 0},   // below -98 dB
      {{{DlyGateR, 0.0036f}}, DlyGateR, -9775, 2, 1, 0},  // just above: -97.75 dB
      {{{Drive, 1.0f}}, Drive, 2408, 2, 1, 0},
      {{{Mix, 0.5f}}, Mix, 5050, 0, 0, 2}, {{{Mix, 1.0f}}, Mix, 100, 0, 0, 1}, {{{Mix, 0.0f}}, Mix, 1000, 0, 0, 3},
      {{{FbPanL, 0.3f}}, FbPanL, 7030, 0, 0, 2}, {{{ModSrc, 0.99f}}, ModSrc, 199, 0, 0, 2},
      {{{LROffset, 0.25f}}, LROffset, -9000, 2, 1, 0}, {{{LROffset, 1.0f}}, LROffset, 1800, 3, 1, 0},
      {{{CutfMod, 0.0f}}, CutfMod, -1000, 3, 1, 0}, {{{ResoMod, 0.75f}}, ResoMod, 5000, 2, 1, 0},
      {{{Reso, 0.0f}}, Reso, -2400, 2, 1, 0}, {{{Ducking, 0.5f}}, Ducking, -1200, 2, 1, 0},
      {{{VcoMan, 1.0f}}, VcoMan, 2000, 1, 0, 0}, {{{EnvSpeed, 0.5f}}, EnvSpeed, 5500, 3, 0, 0},
      {{}, DlyTimeR, 5000, 3, 0, 0},  // 1/4 at 120 BPM: 500.0 ms
      {{{DlyModeL, 0.0f}, {RangeL, 1.0f}, {DlyTimeL, 0.4f}}, DlyTimeL, 2000, 0, 0, 0},
      {{{RvbAmt, 0.5f}}, RvbAmt, 5000, 2, 0, 0},
      {{{ModSens, 0.5f}}, ModSens, 5000, 1, kSignUnset, 0},
      {{}, 61, 1200, 3, 0, 0},  // the tempo, 120.0 BPM
      // Fractions: value 0, the split mode and sign as the editor left them.
      {{{DlyNumL, stepValue(1, 5)}, {DlyDenL, stepValue(5, 13)}}, DlyDenL, 0, 0, kSignUnset, kSplitUnset, 3, 8},
      {{}, DlyNumL, 0, 0, kSignUnset, kSplitUnset, 3, 8},
      {{{DlyNumR, 1.0f}, {DlyDenR, 1.0f}}, DlyNumR, 0, 0, kSignUnset, kSplitUnset, 9, 96},
      {{{LfoNum, stepValue(3, 5)}, {LfoDen, stepValue(4, 13)}}, LfoDen, 0, 0, kSignUnset, kSplitUnset, 4, 6},
      {{{PreNumL, stepValue(2, 6)}, {PreDenL, stepValue(5, 13)}}, PreNumL, 0, 0, kSignUnset, kSplitUnset, 3, 8},
      {{{PreNumR, 1.0f}, {PreDenR, 0.0f}}, PreDenR, 0, 0, kSignUnset, kSplitUnset, 9, 1},
      // Everything else: 0, with split mode and sign left alone.
      {{}, FbInvL, 0, 0, kSignUnset, kSplitUnset}, {{}, DriveSwitch, 0, 0, kSignUnset, kSplitUnset},
      {{}, 60, 0, 0, kSignUnset, kSplitUnset}, {{}, -1, 0, 0, kSignUnset, kSplitUnset},
  };
  for (const ReadoutCase& c : cases) {
    for (auto [index, value] : c.before) zel->setParameter(index, value);
    ParameterReadout r;
    r.digits = r.decimalCode = 77;
    r.isSigned = kSignUnset;
    r.splitMode = kSplitUnset;
    r.numerator = r.denominator = ReadoutCase::kKeep;
    zel->getParameterReadout(c.index, r);
    EXPECT_EQ(r.digits, c.digits) << "index " << c.index;
    EXPECT_EQ(r.decimalCode, c.decimalCode) << "index " << c.index;
    EXPECT_EQ(r.isSigned, c.isSigned) << "index " << c.index;
    EXPECT_EQ(r.splitMode, c.splitMode) << "index " << c.index;
    EXPECT_EQ(r.numerator, c.numerator) << "index " << c.index;
    EXPECT_EQ(r.denominator, c.denominator) << "index " << c.index;
  }
}

// A value that rounds into the next decade takes the next point position
// instead of showing five digits: 99.996 BPM reads 100.0, not 100.00.
TEST(ParameterReadout, RoundingIntoTheNextDecadeMovesThePoint) {
  auto zel = makeZel();
  struct Case {
    double bpm;
    int32_t digits, decimalCode;
  };
  const Case cases[] = {{99.996, 1000, 3}, {99.994, 9999, 2}, {399.99, 4000, 3}};
  for (const Case& c : cases) {
    zel->setManualTempo((c.bpm - 30.0) / 370.0);
    ParameterReadout r;
    zel->getParameterReadout(61, r);
    EXPECT_EQ(r.digits, c.digits) << c.bpm << " BPM";
    EXPECT_EQ(r.decimalCode, c.decimalCode) << c.bpm << " BPM";
  }
}

}  // namespace
