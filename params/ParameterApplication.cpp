#include "params/ParameterApplication.h"

#include <algorithm>
#include <cmath>

#include "engine/Coefficients.h"
#include "params/Steps.h"
#include "params/Tempo.h"

namespace params {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kMinLfoHz = 0.01;
constexpr double kMaxLfoHz = 15.0;

double sign(float v) { return steps(v, 2) == 1 ? -1.0 : 1.0; }
int onOff(float v) { return steps(v, 2); }

}  // namespace

ParameterApplication::ParameterApplication(engine::WorkingValues& values) : values_(values) {
  values_.tempo = 120.0;
  values_.manualTempo = manualOfTempo(120.0);
}

ParameterApplication::Applied ParameterApplication::apply(int index, float value) {
  Applied applied;
  if (!isHostParameter(index) || index == DriveSwitch || index == CutfModSwitch) return applied;
  for (DelayTimeModel& side : delayTimes_) {
    if (!side.owns(index)) continue;
    DelayTimeModel::Written written = side.write(index, value);
    applied.syncedTimesRecomputed = written.syncedTimeRecomputed;
    applied.settled = written.settled;
    return applied;
  }
  const double v = value;
  const int L = engine::kLeft, R = engine::kRight;
  auto& w = values_;
  normalised_[index] = v;

  switch (index) {
    case Input: w.inputGain = 4.0 * v * v; break;
    case Output: w.outputGain = 4.0 * v * v; break;
    case Mix: w.mix = v; break;
    case FbGainL: w.fbGain[L] = v; break;
    case FbGainR: w.fbGain[R] = v; break;
    case FbPanL: w.fbPan[L] = v; break;
    case FbPanR: w.fbPan[R] = v; break;
    case FbInvL: w.fbSign[L] = sign(value); break;
    case FbInvR: w.fbSign[R] = sign(value); break;
    case LFOWave: w.lfoWave = steps(value, 5); break;
    case LFORate:
      // A synchronised LFO keeps its tempo rate; the rate written meanwhile
      // is the one it takes when it runs free again.
      if (w.lfoMode.get() == 0)
        applyFreeLfoRate();
      else
        freeLfoRatePending_ = true;
      break;
    case LROffset: w.lrOffset = (v - 0.5) * kPi; break;
    case ModSrc: w.modSrc = v; break;
    case CutfMod: w.cutfModDepth = (v - 0.5) * 2.0; break;
    case FltType: w.fltType = steps(value, 3); break;
    case Cutoff:
      w.cutoffHz = std::min({64.0 * std::pow(2.0, 8.0 * v) - 14.0, 16000.0, sampleRate() / 2.0});
      break;
    case Reso: w.reso = static_cast<double>(std::max(value, 0.05f)); break;
    case VcoMan: w.vcoMan = (v - 0.5) * 2.0; break;
    case VcoMod: w.vcoModDepth = (v - 0.5) * 2.0; break;
    case DlyInvL: w.dlySign[L] = sign(value); break;
    case DlyInvR: w.dlySign[R] = sign(value); break;
    case Drive:
      w.driveGain = std::pow(2.0, 4.0 * v);
      w.driveNormalised = v;
      break;
    case EnvSpeed: applyEnvSpeed(value); break;
    case FltMode: w.fltMode = steps(value, 3); break;
    case LfoMode:
      w.lfoMode = steps(value, 3);
      if (w.lfoMode.get() != 0) {
        updateSyncedTimes(kSyncLfo);
        applied.syncedTimesRecomputed = true;
        return applied;
      }
      // Running free: a rate written since the last tempo rate takes over
      // (as when a program or a host restores LFORate before LfoMode);
      // without one the rate that plays stays.
      if (freeLfoRatePending_.get()) applyFreeLfoRate();
      break;
    case LfoNum:
      w.lfoNumIndex = steps(value, 5);
      updateSyncedTimes(kSyncLfo);
      applied.syncedTimesRecomputed = true;
      break;
    case LfoDen:
      w.lfoDenIndex = steps(value, 13);
      updateSyncedTimes(kSyncLfo);
      applied.syncedTimesRecomputed = true;
      break;
    case RvbMode: w.rvbMode = onOff(value); break;
    // The reverb derives its decay gains from the type and the damping.
    case RvbType: w.rvbType = onOff(value); break;
    case RvbDamp: w.rvbDamp = v; break;
    case RvbAmt: w.rvbAmount = v; break;
    case Bypass: w.bypass = onOff(value); break;
    case FltOn: w.fltOn = onOff(value); break;
    case VcoOn: w.vcoOn = onOff(value); break;
    case RvbOn: w.rvbOn = onOff(value); break;
    case ModSens: w.modSens = std::pow(2.0, 4.0 * v); break;
    case DlyPanL: w.dlyPan[L] = v; break;
    case DlyPanR: w.dlyPan[R] = v; break;
    case DlyGateL: w.gateThreshold[L] = v * v; break;
    case DlyGateR: w.gateThreshold[R] = v * v; break;
    case Ducking: w.duckThreshold = std::pow(10.0, 1.5 * v - 1.5); break;
    case ResoMod: w.resoModDepth = (v - 0.5) * 2.0; break;
    case PreNumL: w.preNumIndex[L] = steps(value, 6); w.delayTimeChanged[L] = true; break;
    case PreNumR: w.preNumIndex[R] = steps(value, 6); w.delayTimeChanged[R] = true; break;
    case PreDenL: w.preDenIndex[L] = steps(value, 13); w.delayTimeChanged[L] = true; break;
    case PreDenR: w.preDenIndex[R] = steps(value, 13); w.delayTimeChanged[R] = true; break;
    // The mutes compare the raw value: exactly 0.5 does not mute.
    case MuteInL: w.muteGain[L] = value > 0.5f ? 0.0 : 1.0; break;
    case MuteInR: w.muteGain[R] = value > 0.5f ? 0.0 : 1.0; break;
    default: break;
  }
  return applied;
}

void ParameterApplication::applyEnvSpeed(float value) {
  auto& w = values_;
  const double v = value;
  const double sr = sampleRate();
  w.envSpeed = v;
  w.envSpeedMs = 900.0 * v + 100.0;
  w.envCoef = engine::envelopeCoefficient(w.envSpeedMs.get(), sr);
  w.duckAttack = engine::duckAttackCoefficient(sr);
  w.duckRelease = engine::duckReleaseCoefficient(v, sr);
  w.gateRelease = engine::gateReleaseCoefficient(v, sr);
}

void ParameterApplication::applyFreeLfoRate() {
  auto& w = values_;
  const double rate = std::max(std::pow(16.0, normalised_[LFORate].get()) - 1.0, kMinLfoHz);
  w.lfoRate = rate;
  w.lfoIncrement = engine::lfoIncrement(rate, sampleRate());
  freeLfoRatePending_ = false;
}

void ParameterApplication::updateSyncedTimes(int mask) {
  auto& w = values_;
  const double bpm = w.tempo.get();
  if (mask & kSyncLeft) delayTimes_[engine::kLeft].updateSyncedTime();
  if (mask & kSyncRight) delayTimes_[engine::kRight].updateSyncedTime();
  if ((mask & kSyncLfo) && w.lfoMode.get() != 0) {
    const double rate = std::clamp(lfoDenominator() * bpm / (lfoNumerator() * 240.0), kMinLfoHz, kMaxLfoHz);
    w.lfoRate = rate;
    w.lfoIncrement = engine::lfoIncrement(rate, sampleRate());
    freeLfoRatePending_ = false;
  }
}

void ParameterApplication::setTempo(double bpm) {
  values_.tempo = std::clamp(bpm, kSlowestTempo, kFastestTempo);
  values_.manualTempo = manualOfTempo(values_.tempo.get());
}

void ParameterApplication::setManualTempo(double t) {
  values_.manualTempo = t;
  values_.tempo = tempoOfManual(t);
}

bool ParameterApplication::syncRangeExceeded(int selector) const {
  const double bpm = values_.tempo.get();
  switch (selector) {
    case 1: return delayTimes_[engine::kLeft].noteTimeTooLong();
    case 2: return delayTimes_[engine::kRight].noteTimeTooLong();
    case 4: {
      const double rate = lfoDenominator() * bpm / (240.0 * lfoNumerator());
      return rate > kMaxLfoHz || rate < kMinLfoHz;
    }
    case 8:
    case 16: {
      const int side = selector == 8 ? 0 : 1;
      return preNumerator(side) / preDenominator(side) > 1.0;
    }
    default:
      return false;
  }
}

double ParameterApplication::preNumerator(int side) const { return kPreDelayNumerators[values_.preNumIndex[side].get()]; }
double ParameterApplication::preDenominator(int side) const { return kDenominators[values_.preDenIndex[side].get()]; }
double ParameterApplication::lfoNumerator() const { return kLfoNumerators[values_.lfoNumIndex.get()]; }
double ParameterApplication::lfoDenominator() const { return kDenominators[values_.lfoDenIndex.get()]; }

}  // namespace params
