// The number the editor's four-digit display shows for a parameter: the
// value in the unit of its panel marking, rounded to four significant digits
// with the position of the decimal point, or two shares side by side, or a
// note fraction.
#include <cmath>

#include "params/DisplayRounding.h"
#include "params/ParameterApplication.h"
#include "params/ParameterText.h"

namespace params {

namespace {

// Gains below this (-98 dB) show as the floor value -100 dB.
constexpr double kSilentGain = 1.2589254117941673e-5;  // 10^-4.9
constexpr double kSilentDecibels = -100.0;

// The panel's index of the tempo display, next to the 60 parameters.
constexpr int32_t kTempoReadout = 61;

// What a row of the readout table produces before it becomes digits.
struct Reading {
  double value = 0.0;
  bool whole = false;  // shown as a whole number without a point
};

Reading decibels(double gain) {
  if (!(gain >= kSilentGain)) return {kSilentDecibels, true};
  return {20.0 * std::log10(gain)};
}

// Four digits with the point after 1, 2 or 3 of them (code 1..3), or a whole
// number (code 0). A value that rounds up into the next decade, such as
// 9.9996, moves on to the next position rather than showing five digits.
void setDigits(ParameterReadout& r, const Reading& reading) {
  if (r.splitMode != 0) {
    r.digits = saturatingInt(std::floor(reading.value + 0.5));
    r.decimalCode = 0;
    return;
  }
  const float e = static_cast<float>(std::fabs(reading.value));
  int32_t digits = saturatingInt(std::floor(e + 0.5f));
  int32_t code = 0;
  if (!reading.whole) {
    static constexpr struct {
      float below, scale;
      int32_t code;
    } kPositions[] = {{10.0f, 1000.0f, 1}, {100.0f, 100.0f, 2}, {1000.0f, 10.0f, 3}};
    for (const auto& position : kPositions) {
      if (!(e < position.below)) continue;
      const int32_t scaled = saturatingInt(std::floor(position.scale * e + 0.5f));
      if (scaled >= 10000) continue;
      digits = scaled;
      code = position.code;
      break;
    }
  }
  r.digits = reading.value < 0.0 ? -digits : digits;
  r.decimalCode = code;
}

// Two shares side by side: 5050 for 50/50, the mode telling the editor
// which share is absent (1: the left, 3: the right).
Reading split(ParameterReadout& r, double v) {
  const int c = percentSplit(v);
  r.splitMode = c == 100 ? 1 : (c == 0 ? 3 : 2);
  r.isSigned = 0;
  return {c > 0 ? c + (100.0 - c) * 100.0 : 1000.0};
}

void fraction(ParameterReadout& r, double numerator, double denominator) {
  r.numerator = saturatingInt(numerator);
  r.denominator = saturatingInt(denominator);
}

}  // namespace

void parameterReadout(const ParameterApplication& app, int32_t index, ParameterReadout& r) {
  const engine::WorkingValues& w = app.values();
  const int L = engine::kLeft, R = engine::kRight;
  const double v = isHostParameter(index) ? app.normalised(index) : 0.0;
  r.numerator = -1;

  // A plain value: the split mode goes back to 0.
  auto plain = [&r](Reading reading, bool isSigned) {
    r.splitMode = 0;
    r.isSigned = isSigned ? 1 : 0;
    return reading;
  };

  Reading reading;
  switch (index) {
    case Input: reading = plain(decibels(w.inputGain), true); break;
    case Output: reading = plain(decibels(w.outputGain), true); break;
    case FbGainL: reading = plain(decibels(w.fbGain[L]), true); break;
    case FbGainR: reading = plain(decibels(w.fbGain[R]), true); break;
    case DlyGateL: reading = plain(decibels(w.gateThreshold[L]), true); break;
    case DlyGateR: reading = plain(decibels(w.gateThreshold[R]), true); break;
    case Drive: reading = plain({20.0 * std::log10(w.driveGain.get())}, true); break;
    case Mix: case FbPanL: case FbPanR: case ModSrc: case DlyPanL: case DlyPanR: reading = split(r, v); break;
    case LFORate: reading = plain({w.lfoRate}, false); break;
    case LROffset: reading = plain({w.lrOffset * 180.0 / static_cast<double>(1.5707964f)}, true); break;
    case CutfMod: reading = plain({w.cutfModDepth * 100.0}, true); break;
    case VcoMod: reading = plain({w.vcoModDepth * 100.0}, true); break;
    case ResoMod: reading = plain({w.resoModDepth * 100.0}, true); break;
    case Cutoff: reading = plain({w.cutoffHz / 1000.0}, false); break;  // kHz
    case Reso: case RvbDamp: case Ducking: reading = plain({24.0 * v - 24.0}, true); break;
    case VcoMan: reading = plain({std::pow(2.0, w.vcoMan.get())}, false); break;
    case EnvSpeed: reading = plain({w.envSpeedMs}, false); break;
    case DlyTimeL: reading = plain({w.delayTimeMs[L]}, false); break;
    case DlyTimeR: reading = plain({w.delayTimeMs[R]}, false); break;
    case RvbAmt: reading = plain({100.0 * v}, false); break;
    case ModSens:  // the sign flag stays as the editor set it
      r.splitMode = 0;
      reading = {10.0 * v};
      break;
    case kTempoReadout: reading = plain({app.tempo()}, false); break;
    // Note fractions: the editor draws numerator over denominator.
    case DlyNumL: case DlyDenL: fraction(r, app.delayNumerator(L), app.delayDenominator(L)); break;
    case DlyNumR: case DlyDenR: fraction(r, app.delayNumerator(R), app.delayDenominator(R)); break;
    case LfoNum: case LfoDen: fraction(r, app.lfoNumerator(), app.lfoDenominator()); break;
    case PreNumL: case PreDenL: fraction(r, app.preNumerator(L), app.preDenominator(L)); break;
    case PreNumR: case PreDenR: fraction(r, app.preNumerator(R), app.preDenominator(R)); break;
    default: break;  // 0, with the split mode and sign as the editor set them
  }
  setDigits(r, reading);
}

}  // namespace params
