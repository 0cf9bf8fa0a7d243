// A value the user types for a parameter, read in the unit its value text
// shows ("-6 dB", "250 ms", "1.2 kHz", "30 %", "3/16"), and turned into the
// normalised value(s) to write. Any editor or host UI may use it; nothing is
// written here.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "params/DelayTimeModel.h"

namespace params {

// The normalised value of a typed text for a continuous parameter, held to
// the parameter's range; nothing for a text that names no value in its unit
// (garbage, another unit) or for a parameter that takes no typed value
// (switches, note lists, the delay times: see typedDelayTime). The number is
// read in the unit of the parameter's label; "s" and "k"/"kHz" scale it, a
// silent gain may be typed as "-inf"; a bare cutoff of at most 16 counts as
// kHz, as the panel's display shows it. The two-sided splits (mix, pans,
// modulation source) take the right-hand share in percent.
std::optional<float> typedValue(int index, std::string_view text);

// What a typed delay time writes, in this order.
struct TypedWrites {
  std::array<ParameterValue, 2> values{};
  int count = 0;
  const ParameterValue* begin() const { return values.data(); }
  const ParameterValue* end() const { return values.data() + count; }
};

// One side's typed delay time. In time mode milliseconds (or seconds with
// "s"), held to 0..5000: the side's range becomes the smallest that holds
// the time, then the time within it. In note mode a note value of the lists
// ("3/16"): its numerator and denominator. Nothing for anything else.
std::optional<TypedWrites> typedDelayTime(int side, bool noteMode, std::string_view text);

// One side's typed pre-delay, a note value of its lists ("1/8", "0/1" for
// none): its numerator and denominator.
std::optional<TypedWrites> typedPreDelay(int side, std::string_view text);

}  // namespace params
