#include "params/DelayTimeModel.h"

#include <algorithm>

#include "params/Steps.h"

namespace params {

namespace {
constexpr double kMaxSyncedDelayMs = 5000.0;
}  // namespace

DelayTimeModel::DelayTimeModel(engine::WorkingValues& values, NormalisedValues& normalised, int side)
    : values_(values),
      normalised_(normalised),
      side_(side),
      mode_(side == engine::kLeft ? DlyModeL : DlyModeR),
      num_(side == engine::kLeft ? DlyNumL : DlyNumR),
      den_(side == engine::kLeft ? DlyDenL : DlyDenR),
      range_(side == engine::kLeft ? RangeL : RangeR),
      time_(side == engine::kLeft ? DlyTimeL : DlyTimeR) {
  normalised_[range_] = stepValue(2, 3);
  normalised_[time_] = 0.4;
  values_.rangeIndex[side_] = 2;
  values_.rangeMs[side_] = kRangesMs[2];
  values_.delayTimeMs[side_] = 2000.0;
}

bool DelayTimeModel::owns(int index) const {
  return index == mode_ || index == num_ || index == den_ || index == range_ || index == time_;
}

DelayTimeModel::Written DelayTimeModel::write(int index, float value) {
  Written written;
  if (index == time_) {
    writeTime(value);
    return written;
  }
  normalised_[index] = value;
  auto& w = values_;
  if (index == mode_) {
    writeMode(value);
    written.syncedTimeRecomputed = w.syncOn[side_].get() == 1;
  } else if (index == range_) {
    writeRange(value);
    written.syncedTimeRecomputed = true;
  } else {
    if (index == num_)
      w.dlyNumIndex[side_] = steps(value, 5);
    else
      w.dlyDenIndex[side_] = steps(value, 13);
    updateSyncedTime();
    written.syncedTimeRecomputed = true;
  }
  written.settled = settledBy(index);
  return written;
}

// The program store keeps the range and time a mode or range write leaves,
// or a saved project reloads a different time; they are reported even when
// they did not move, as the store may hold a time the note mode refused.
SettledValues DelayTimeModel::settledBy(int index) const {
  SettledValues settled;
  for (int derived : {range_, time_})
    if ((index == mode_ || index == range_) && derived != index)
      settled.add(derived, static_cast<float>(normalised_[derived].get()));
  return settled;
}

void DelayTimeModel::writeMode(float value) {
  auto& w = values_;
  const int before = w.syncOn[side_];
  w.syncOn[side_] = steps(value, 2);
  if (w.syncOn[side_].get() == 1) {
    updateSyncedTime();
    return;
  }
  // Time mode re-sent: range and time stay as they are, so the host's next
  // unchanged time value still means the same time.
  if (before == 0) return;
  // Into time mode: keep the time that plays and pick the smallest range
  // that holds it, so nothing is heard.
  const double t = w.delayTimeMs[side_].get();
  const int k = smallestRangeHolding(t);
  w.rangeIndex[side_] = k;
  w.rangeMs[side_] = kRangesMs[k];
  normalised_[range_] = stepValue(k, 3);
  normalised_[time_] = t / kRangesMs[k];
}

// The time keeps its milliseconds where the new range holds them, and is cut
// to the range's end where it does not.
void DelayTimeModel::writeRange(float value) {
  auto& w = values_;
  const double oldRange = w.rangeMs[side_].get();
  const int k = steps(value, 3);
  const double newRange = kRangesMs[k];
  w.rangeIndex[side_] = k;
  w.rangeMs[side_] = newRange;
  const double time = std::min(normalised_[time_].get() * oldRange / newRange, 1.0);
  normalised_[time_] = time;
  w.delayTimeMs[side_] = time * newRange;
  w.delayTimeChanged[side_] = true;
  updateSyncedTime();
}

// In note mode the tempo decides the time: the write is ignored.
void DelayTimeModel::writeTime(float value) {
  auto& w = values_;
  if (w.syncOn[side_].get() == 1) return;
  normalised_[time_] = value;
  // The product is taken in single precision: 0.4 of 5000 ms is 2000 ms exactly.
  w.delayTimeMs[side_] = static_cast<double>(value * static_cast<float>(w.rangeMs[side_].get()));
  w.delayTimeChanged[side_] = true;
}

void DelayTimeModel::updateSyncedTime() {
  auto& w = values_;
  if (w.syncOn[side_].get() != 1) return;
  const double ms = numerator() * 240000.0 / (denominator() * w.tempo.get());
  w.delayTimeMs[side_] = std::min(ms, kMaxSyncedDelayMs);
  w.delayTimeChanged[side_] = true;
}

bool DelayTimeModel::noteTimeTooLong() const {
  return 240000.0 * numerator() / (denominator() * values_.tempo.get()) > kMaxSyncedDelayMs;
}

double DelayTimeModel::numerator() const { return kDelayNumerators[values_.dlyNumIndex[side_].get()]; }
double DelayTimeModel::denominator() const { return kDenominators[values_.dlyDenIndex[side_].get()]; }

ParameterValue DelayTimeModel::arrowClick(bool numeratorArrow, float stepSize) const {
  if (timeMode()) {
    const auto time = static_cast<float>(normalised_[time_].get());
    return {time_, numeratorArrow ? std::max(time - stepSize / 1000.0f, 0.0f)
                                  : std::min(time + stepSize / 1000.0f, 1.0f)};
  }
  const int index = numeratorArrow ? num_ : den_;
  return {index, stepped(static_cast<float>(normalised_[index].get()), numeratorArrow ? 5 : 13, stepSize)};
}

}  // namespace params
