// One delay side's time: its mode (milliseconds, or a note value against the
// tempo), its range, its time within the range and its note value, and the
// rules that tie them together. A write of one of them may settle others of
// the side; the model names those, so that whoever keeps a copy (the program
// store, the panel) follows what plays. Called from any thread; every value
// it writes is a relaxed atomic the audio thread reads at its next use.
#pragma once

#include <array>

#include "engine/Relaxed.h"
#include "engine/WorkingValues.h"
#include "params/ParameterTable.h"

namespace params {

using NormalisedValues = std::array<engine::Relaxed<double>, kNumParams>;

// A parameter's normalised value, as a write left it or a click asks for it.
struct ParameterValue {
  int index;
  float value;
};

// The values a write settled besides its own: at most the side's range and
// time. Fixed size, so a write on the audio thread (MIDI) never allocates.
class SettledValues {
 public:
  void add(int index, float value) { values_[static_cast<size_t>(count_++)] = {index, value}; }
  const ParameterValue* begin() const { return values_.data(); }
  const ParameterValue* end() const { return values_.data() + count_; }
  bool empty() const { return count_ == 0; }

 private:
  std::array<ParameterValue, 2> values_{};
  int count_ = 0;
};

class DelayTimeModel {
 public:
  // Until the first program arrives the side plays 2000 ms in its 5000 ms
  // range, which is what a host reads back for the time.
  DelayTimeModel(engine::WorkingValues& values, NormalisedValues& normalised, int side);

  // Whether index is one of this side's mode, note value, range or time.
  bool owns(int index) const;

  // The index of the smallest range (100, 1000, 5000 ms) that holds a time.
  static int smallestRangeHolding(double ms) { return ms > 1000.0 ? 2 : (ms > 100.0 ? 1 : 0); }

  struct Written {
    SettledValues settled;
    bool syncedTimeRecomputed = false;  // the effect then tells the panel the tempo
  };
  // A write of one of the side's own parameters: working values, stored
  // normalised values, and what else it settled.
  Written write(int index, float value);

  // The indices a write of index settles besides its own: a mode write the
  // side's range and time, a range write its time.
  SettledValues settledBy(int index) const;

  // Note mode: the time from the note value and the tempo, at most 5000 ms.
  void updateSyncedTime();
  // Whether the note value at the current tempo runs above 5000 ms (whatever
  // the mode: the answer is for the fraction).
  bool noteTimeTooLong() const;
  double numerator() const;
  double denominator() const;

  // In time mode the user sets range and time; in note mode the tempo does,
  // and a panel's move of either snaps back.
  bool timeMode() const { return values_.syncOn[side_].get() == 0; }
  bool takesPanelWrite(int index) const { return timeMode() || (index != range_ && index != time_); }
  // A click on the main-time arrows (the numerator's arrow is the one down):
  // in time mode the time moves by stepSize thousandths within 0..1, in note
  // mode the numerator or denominator takes one step.
  ParameterValue arrowClick(bool numeratorArrow, float stepSize) const;

  // Makes other's delay time this side's: each of its parameters whose
  // normalised value differs is handed to write (index, value), in the order
  // mode, numerator, denominator, range, time, and then holds this side's
  // value, also a time its own note mode refused.
  template <typename Write>
  void copyTo(DelayTimeModel& other, Write&& write) const {
    const int from[] = {mode_, num_, den_, range_, time_};
    const int to[] = {other.mode_, other.num_, other.den_, other.range_, other.time_};
    for (size_t i = 0; i < 5; ++i) {
      if (normalised_[to[i]].get() == normalised_[from[i]].get()) continue;
      write(to[i], static_cast<float>(normalised_[from[i]].get()));
      normalised_[to[i]] = normalised_[from[i]].get();
    }
  }

 private:
  void writeMode(float value);
  void writeRange(float value);
  void writeTime(float value);

  engine::WorkingValues& values_;
  NormalisedValues& normalised_;
  int side_;
  int mode_, num_, den_, range_, time_;  // the side's parameter indices
};

}  // namespace params
