// Turns normalised parameter values into the engine's working values, with
// the tempo-synchronised times; each delay side's mode, range, time and note
// value are its DelayTimeModel's. Called from any thread; every value it
// writes is a relaxed atomic the audio thread reads at its next use.
#pragma once

#include <array>

#include "engine/Relaxed.h"
#include "engine/WorkingValues.h"
#include "params/DelayTimeModel.h"
#include "params/ParameterTable.h"

namespace params {

// Bits of the mask of updateSyncedTimes.
enum SyncMask : int { kSyncLeft = 1, kSyncRight = 2, kSyncLfo = 4, kSyncAll = 7 };

class ParameterApplication {
 public:
  explicit ParameterApplication(engine::WorkingValues& values);

  struct Applied {
    bool syncedTimesRecomputed = false;  // the effect then tells the editor the tempo
    SettledValues settled;               // a delay side's values the write settled besides its own
  };
  // Working values for one parameter 0..59 (except the write-only switches
  // 43 and 44, which the effect handles).
  Applied apply(int index, float value);

  // The stored normalised value, as the host reads it back.
  double normalised(int index) const { return normalised_[index].get(); }

  DelayTimeModel& delayTime(int side) { return delayTimes_[static_cast<size_t>(side)]; }
  const DelayTimeModel& delayTime(int side) const { return delayTimes_[static_cast<size_t>(side)]; }

  // Delay times and LFO rate from the note values and the tempo; acts only
  // on sides in note mode and on the LFO when it is synchronised.
  void updateSyncedTimes(int mask);

  // Tempo from the host (or the editor's manual tempo), BPM within 30..400.
  void setTempo(double bpm);
  void setManualTempo(double t);
  double tempo() const { return values_.tempo.get(); }
  double manualTempo() const { return values_.manualTempo.get(); }

  // Whether the current note fractions run outside what the engine plays:
  // 1 / 2 left / right delay above 5000 ms, 4 the LFO outside 0.01..15 Hz,
  // 8 / 16 left / right pre-delay fraction above 1.
  bool syncRangeExceeded(int selector) const;

  // The sample rate the rate-dependent coefficients are computed for.
  void setSampleRate(double hz) { sampleRate_ = hz; }
  double sampleRate() const { return sampleRate_.get(); }

  engine::WorkingValues& values() { return values_; }
  const engine::WorkingValues& values() const { return values_; }

  // Current note fractions, for texts and the readout.
  double delayNumerator(int side) const { return delayTime(side).numerator(); }
  double delayDenominator(int side) const { return delayTime(side).denominator(); }
  double preNumerator(int side) const;
  double preDenominator(int side) const;
  double lfoNumerator() const;
  double lfoDenominator() const;

 private:
  void applyEnvSpeed(float value);
  void applyFreeLfoRate();  // rate and increment from the stored LFORate

  engine::WorkingValues& values_;
  NormalisedValues normalised_{};
  std::array<DelayTimeModel, 2> delayTimes_{DelayTimeModel(values_, normalised_, engine::kLeft),
                                            DelayTimeModel(values_, normalised_, engine::kRight)};
  engine::Relaxed<double> sampleRate_{44100.0};
  // LFORate was written while the LFO ran synchronised, after its last tempo rate.
  engine::Relaxed<bool> freeLfoRatePending_{false};
};

}  // namespace params
