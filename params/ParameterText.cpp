#include "params/ParameterText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "params/DisplayRounding.h"
#include "params/NumberText.h"
#include "params/ParameterApplication.h"
#include "params/ParameterTable.h"

namespace params {

void parameterName(int32_t index, char* text) {
  if (isHostParameter(index))
    std::strcpy(text, kParameterTable[index].name);
  else if (isAssignmentSlot(index))
    std::sprintf(text, "CC# %s", kParameterTable[index - kNumParams].name);
}

void parameterLabel(int32_t index, char* text) {
  const char* label = "";
  switch (index) {
    case Input: case Output: case FbGainL: case FbGainR: case Drive: case DlyGateL: case DlyGateR:
      label = "dB";
      break;
    case Mix: case FbPanL: case FbPanR: case ModSrc: case CutfMod: case VcoMod: case RvbDamp:
    case RvbAmt: case ModSens: case DlyPanL: case DlyPanR: case Ducking:
      label = "%";
      break;
    case LFORate: case Cutoff: label = "Hz"; break;
    case LROffset: label = "deg"; break;
    case VcoMan: label = "x"; break;
    case EnvSpeed: case RangeL: case RangeR: case DlyTimeL: case DlyTimeR: label = "ms"; break;
    default: break;
  }
  std::strcpy(text, label);
}

namespace {

// Value texts are delivered whole, although the published plug-in interface
// sizes them for 8 characters: several are longer ("L:100<>0:R",
// "2000.000000", "L:-180<>180+:R" with 14 characters is the longest for
// values in 0..1), and the hosts we meet give far larger buffers. Cutting
// them to 8 would make the pans and delay times unreadable. What does bound
// the write is kTextCapacity: only a host sending values far outside 0..1
// can produce more, and such a text is cut rather than run on.
constexpr size_t kTextCapacity = 16;  // characters including the terminator

// The length the text helpers are given; their longest text ("-9999999.")
// fits well inside it.
constexpr int32_t kHelperLength = 12;

void deliver(const char* s, char* text) {
  const size_t n = std::min(std::strlen(s), kTextCapacity - 1);
  std::memcpy(text, s, n);
  text[n] = 0;
}

void formatFloat(double value, char* s) { floatText(static_cast<float>(value), s, kHelperLength); }
void formatDecibels(double gain, char* s) { decibelText(static_cast<float>(gain), s, kHelperLength); }
void formatInt(double value, char* s) { intText(saturatingInt(value), s, kHelperLength); }

// "<left>:<100 - c><><c>:<right>" for the two shares of a split.
void formatSplit(char left, char right, double v, char* s, size_t size) {
  const int c = percentSplit(v);
  std::snprintf(s, size, "%c:%d<>%d:%c", left, 100 - c, c, right);
}

// A bipolar depth in percent: never "-0".
void formatDepth(double depth, char* s, size_t size) {
  const int32_t m = roundedMagnitude(depth);
  std::snprintf(s, size, depth >= 0.0 || m == 0 ? "%d" : "-%d", m);
}

// How far each LFO channel is shifted, in degrees of a quarter turn: the
// left side runs behind and the right ahead when the offset is positive.
void formatOffset(double radians, char* s, size_t size) {
  const float o = static_cast<float>(radians);
  const int32_t d = saturatingInt(std::floor(static_cast<float>(std::fabs(o) / 1.5707963705062866 * 180.0 + 0.5)));
  if (d == 0)
    std::snprintf(s, size, "L:0<>0:R");
  else if (o > 0.0f)
    std::snprintf(s, size, "L:-%d<>%d+:R", d, d);
  else
    std::snprintf(s, size, "L:+%d<>%d-:R", d, d);
}

const char* onOff(bool on) { return on ? "on" : "off"; }

}  // namespace

void parameterDisplay(const ParameterApplication& app, int32_t index, char* text) {
  if (!text || !isHostParameter(index)) return;
  const engine::WorkingValues& w = app.values();
  const int L = engine::kLeft, R = engine::kRight;
  const double v = app.normalised(index);
  char s[64] = "";
  auto put = [&s](const char* fixed) { std::snprintf(s, sizeof s, "%s", fixed); };
  auto putInt = [&s](double x) { std::snprintf(s, sizeof s, "%d", saturatingInt(x)); };

  switch (index) {
    case Input: formatDecibels(w.inputGain, s); break;
    case Output: formatDecibels(w.outputGain, s); break;
    case Mix: formatSplit('D', 'W', v, s, sizeof s); break;
    case FbGainL: formatDecibels(w.fbGain[L], s); break;
    case FbGainR: formatDecibels(w.fbGain[R], s); break;
    case FbPanL: case FbPanR: case DlyPanL: case DlyPanR: formatSplit('L', 'R', v, s, sizeof s); break;
    case FbInvL: put(onOff(w.fbSign[L] < 0.0)); break;
    case FbInvR: put(onOff(w.fbSign[R] < 0.0)); break;
    case LFOWave: {
      static constexpr const char* kWaves[] = {"sin", "sqr", "tri", "saw", "rnd"};
      put(kWaves[std::clamp(w.lfoWave.get(), 0, 4)]);
      break;
    }
    // The rate that plays: a synchronised LFO shows its tempo rate.
    case LFORate: formatFloat(w.lfoRate, s); break;
    case LROffset: formatOffset(w.lrOffset, s, sizeof s); break;
    case ModSrc: formatSplit('L', 'E', v, s, sizeof s); break;
    case CutfMod: formatDepth(w.cutfModDepth, s, sizeof s); break;
    case VcoMod: formatDepth(w.vcoModDepth, s, sizeof s); break;
    // The resonance modulation shows its depth like the other two depths.
    case ResoMod: formatDepth(w.resoModDepth, s, sizeof s); break;
    case FltType: {
      static constexpr const char* kTypes[] = {"LPF", "BPF", "HPF"};
      put(kTypes[std::clamp(w.fltType.get(), 0, 2)]);
      break;
    }
    case Cutoff: formatInt(std::trunc(w.cutoffHz.get()), s); break;
    case Reso: formatFloat(10.0 * v, s); break;
    case VcoMan: formatFloat(std::pow(2.0, w.vcoMan.get()), s); break;
    case DlyInvL: put(onOff(w.dlySign[L] < 0.0)); break;
    case DlyInvR: put(onOff(w.dlySign[R] < 0.0)); break;
    case Drive: formatDecibels(w.driveGain, s); break;
    case EnvSpeed: formatInt(std::floor(w.envSpeedMs.get() + 0.5), s); break;
    case FltMode: {
      static constexpr const char* kModes[] = {"in", "fb", "fx"};
      put(kModes[std::clamp(w.fltMode.get(), 0, 2)]);
      break;
    }
    case DlyModeL: put(w.syncOn[L] == 1 ? "note" : "time"); break;
    case DlyModeR: put(w.syncOn[R] == 1 ? "note" : "time"); break;
    case DlyNumL: putInt(app.delayNumerator(L)); break;
    case DlyNumR: putInt(app.delayNumerator(R)); break;
    case DlyDenL: putInt(app.delayDenominator(L)); break;
    case DlyDenR: putInt(app.delayDenominator(R)); break;
    case RangeL: putInt(w.rangeMs[L]); break;
    case RangeR: putInt(w.rangeMs[R]); break;
    case LfoMode: put(w.lfoMode == 0 ? "freq" : "note"); break;
    case LfoNum: putInt(app.lfoNumerator()); break;
    case LfoDen: putInt(app.lfoDenominator()); break;
    // The time that plays, in time and note mode alike.
    case DlyTimeL: std::snprintf(s, sizeof s, "%f", w.delayTimeMs[L].get()); break;
    case DlyTimeR: std::snprintf(s, sizeof s, "%f", w.delayTimeMs[R].get()); break;
    case RvbMode: put(w.rvbMode == 1 ? "out" : "fx"); break;
    case RvbType: put(w.rvbType == 1 ? "plate" : "spring"); break;
    case RvbDamp: case RvbAmt: formatFloat(100.0 * v, s); break;
    case Bypass: put(onOff(w.bypass == 1)); break;
    case FltOn: put(onOff(w.fltOn == 1)); break;
    case DriveSwitch: case CutfModSwitch: put("n/a"); break;
    case VcoOn: put(onOff(w.vcoOn == 1)); break;
    case RvbOn: put(onOff(w.rvbOn == 1)); break;
    case ModSens: putInt(roundedMagnitude(v)); break;
    case DlyGateL: formatDecibels(w.gateThreshold[L], s); break;
    case DlyGateR: formatDecibels(w.gateThreshold[R], s); break;
    case Ducking: formatFloat(24.0 * v - 24.0, s); break;
    case PreNumL: putInt(app.preNumerator(L)); break;
    case PreNumR: putInt(app.preNumerator(R)); break;
    case PreDenL: putInt(app.preDenominator(L)); break;
    case PreDenR: putInt(app.preDenominator(R)); break;
    case MuteInL: put(w.muteGain[L] == 0.0 ? "muted" : "off"); break;
    case MuteInR: put(w.muteGain[R] == 0.0 ? "muted" : "off"); break;
    default: return;
  }
  deliver(s, text);
}

ParameterSteps parameterSteps(int32_t index) {
  using S = ParameterSteps;
  switch (index) {
    case FbInvL: case FbInvR: case DlyInvL: case DlyInvR: case DlyModeL: case DlyModeR: case LfoMode:
    case RvbMode: case RvbType: case Bypass: case FltOn: case DriveSwitch: case CutfModSwitch: case VcoOn:
    case RvbOn: case MuteInL: case MuteInR:
      return {S::kSwitch};
    case LFOWave: case DlyNumL: case DlyNumR: case LfoNum: return {S::kInteger, 5};
    case FltType: case FltMode: case RangeL: case RangeR: return {S::kInteger, 3};
    case PreNumL: case PreNumR: return {S::kInteger, 6};
    // The denominator lists hold 13 entries; 14 is what hosts have always
    // been told, and without the integer flag they do not use it.
    case DlyDenL: case DlyDenR: case LfoDen: case PreDenL: case PreDenR: return {S::kInteger, 14};
    case EnvSpeed:  // one step is 1 ms of the 900 ms span
      return {S::kFloat, 0, static_cast<float>(1.0 / 900.0), static_cast<float>(10.0 / 900.0)};
    case DlyTimeL: case DlyTimeR: return {S::kFloat, 0, 0.0001f, 0.1f};
    default: return {};
  }
}

}  // namespace params
