#include "params/TypedValue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "params/ParameterTable.h"
#include "params/ParameterText.h"
#include "params/Steps.h"

namespace params {

namespace {

constexpr double kLog10Of2 = 0.30102999566398120;
constexpr double kMaxCutoffHz = 16000.0;
constexpr double kLongestTimeMs = 5000.0;

// The number a parameter's value text shows for the normalised value v, a
// rising function of v; nothing for a parameter typed otherwise or not at all.
std::optional<double> shownNumber(int index, double v) {
  const auto decibels = [](double gain) { return 20.0 * std::log10(gain); };
  switch (index) {
    case Input: case Output: return decibels(4.0 * v * v);
    case FbGainL: case FbGainR: return decibels(v);
    case DlyGateL: case DlyGateR: return decibels(v * v);
    case Drive: return 80.0 * kLog10Of2 * v;  // 20 log10 of 2^(4v)
    // The right-hand share shows floor(101 v): a share c is the middle of
    // its step, (c + 0.5) / 101.
    case Mix: case FbPanL: case FbPanR: case DlyPanL: case DlyPanR: case ModSrc: return 101.0 * v - 0.5;
    case LFORate: return std::max(std::pow(16.0, v) - 1.0, 0.01);
    case LROffset: return (v - 0.5) * 360.0;
    case CutfMod: case VcoMod: case ResoMod: return (v - 0.5) * 200.0;
    case Cutoff: return std::min(64.0 * std::pow(2.0, 8.0 * v) - 14.0, kMaxCutoffHz);
    case Reso: return 10.0 * v;
    case VcoMan: return std::pow(2.0, 2.0 * v - 1.0);
    case EnvSpeed: return 900.0 * v + 100.0;
    case RvbDamp: case RvbAmt: case ModSens: return 100.0 * v;
    case Ducking: return 24.0 * v - 24.0;
    default: return std::nullopt;
  }
}

// The v in 0..1 whose shown number is `target`, by halving the interval;
// held to the range's ends beyond them.
double normalisedFor(int index, double target) {
  if (!(target > *shownNumber(index, 0.0))) return 0.0;
  if (!(target < *shownNumber(index, 1.0))) return 1.0;
  double lo = 0.0, hi = 1.0;
  for (int i = 0; i < 64; ++i) {
    const double mid = 0.5 * (lo + hi);
    (*shownNumber(index, mid) < target ? lo : hi) = mid;
  }
  return 0.5 * (lo + hi);
}

std::string_view trimmed(std::string_view s) {
  const auto space = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && space(s.front())) s.remove_prefix(1);
  while (!s.empty() && space(s.back())) s.remove_suffix(1);
  return s;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// A typed number and the unit after it (lower case, without spaces). A
// decimal comma counts as a point, the typographic minus as a minus, and
// "-inf", "-oo" or "-∞" as minus infinity (a silent gain).
struct Typed {
  double number;
  std::string unit;
};

std::optional<Typed> readNumber(std::string_view text) {
  std::string_view s = trimmed(text);
  bool negative = false;
  if (startsWith(s, "-")) {
    negative = true;
    s.remove_prefix(1);
  } else if (startsWith(s, "\xe2\x88\x92")) {  // U+2212 minus sign
    negative = true;
    s.remove_prefix(3);
  } else if (startsWith(s, "+")) {
    s.remove_prefix(1);
  }
  for (std::string_view infinity : {"inf", "oo", "\xe2\x88\x9e"}) {
    if (negative && startsWith(lower(s), infinity))
      return Typed{-HUGE_VAL, lower(trimmed(s.substr(infinity.size())))};
  }
  if (startsWith(s, "-") || startsWith(s, "+")) return std::nullopt;
  std::string digits(s);
  std::replace(digits.begin(), digits.end(), ',', '.');
  double number = 0.0;
  const char* first = digits.data();
  const auto [end, error] = std::from_chars(first, first + digits.size(), number, std::chars_format::fixed);
  if (error != std::errc() || end == first || !std::isfinite(number)) return std::nullopt;
  std::string unit = lower(trimmed(std::string_view(end, static_cast<size_t>(first + digits.size() - end))));
  return Typed{negative ? -number : number, unit};
}

// The number in the unit of `label`, scaled where the typed unit is its
// thousandfold ("s" for "ms", "k" or "khz" for "Hz"); nothing for another unit.
std::optional<double> inUnitOf(const char* label, const Typed& typed) {
  const std::string unit = lower(label);
  if (typed.unit.empty() || typed.unit == unit) return typed.number;
  if (unit == "ms" && typed.unit == "s") return typed.number * 1000.0;
  if (unit == "hz" && (typed.unit == "k" || typed.unit == "khz")) return typed.number * 1000.0;
  if (unit == "deg" && typed.unit == "\xc2\xb0") return typed.number;
  return std::nullopt;
}

int sideIndex(int side, int left, int right) { return side == 0 ? left : right; }

template <size_t N>
int indexOf(const std::array<double, N>& list, int value) {
  for (size_t i = 0; i < N; ++i)
    if (list[i] == value) return static_cast<int>(i);
  return -1;
}

std::optional<int> readWhole(std::string_view s) {
  s = trimmed(s);
  int value = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (error != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
  return value;
}

// A note value "n/d" whose numerator is one of `numerators` and whose
// denominator is one of the lists': the two steps to write.
template <size_t N>
std::optional<TypedWrites> typedNote(const std::array<double, N>& numerators, int numIndex, int denIndex,
                                     std::string_view text) {
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::optional<int> num = readWhole(text.substr(0, slash));
  const std::optional<int> den = readWhole(text.substr(slash + 1));
  const int n = num ? indexOf(numerators, *num) : -1;
  const int d = den ? indexOf(kDenominators, *den) : -1;
  if (n < 0 || d < 0) return std::nullopt;
  TypedWrites writes;
  writes.values[0] = {numIndex, stepValue(n, static_cast<int>(N))};
  writes.values[1] = {denIndex, stepValue(d, static_cast<int>(kDenominators.size()))};
  writes.count = 2;
  return writes;
}

}  // namespace

std::optional<float> typedValue(int index, std::string_view text) {
  if (!shownNumber(index, 0.0)) return std::nullopt;
  const std::optional<Typed> typed = readNumber(text);
  if (!typed) return std::nullopt;
  char label[16] = "";
  parameterLabel(index, label);
  std::optional<double> number = inUnitOf(label, *typed);
  if (!number) return std::nullopt;
  // The panel's display shows the cutoff in kHz; a bare number no higher
  // than the top of its range in kHz cannot mean Hz (the lowest cutoff is 50).
  if (index == Cutoff && typed->unit.empty() && *number <= kMaxCutoffHz / 1000.0) *number *= 1000.0;
  const bool silence = std::isinf(*number);
  if (silence && std::string_view(label) != "dB") return std::nullopt;
  // The float nearest the exact value may show a hair less than was typed,
  // which a text that cuts its fraction (the cutoff's whole Hz) would show
  // one lower: the next float up then.
  float v = static_cast<float>(normalisedFor(index, *number));
  if (v < 1.0f && *shownNumber(index, v) < *number) v = std::nextafter(v, 2.0f);
  return v;
}

std::optional<TypedWrites> typedDelayTime(int side, bool noteMode, std::string_view text) {
  TypedWrites writes;
  if (noteMode)
    return typedNote(kDelayNumerators, sideIndex(side, DlyNumL, DlyNumR), sideIndex(side, DlyDenL, DlyDenR), text);
  const std::optional<Typed> typed = readNumber(text);
  if (!typed) return std::nullopt;
  const std::optional<double> number = inUnitOf("ms", *typed);
  if (!number || std::isinf(*number)) return std::nullopt;
  const double ms = std::clamp(*number, 0.0, kLongestTimeMs);
  const int range = DelayTimeModel::smallestRangeHolding(ms);
  writes.values[0] = {sideIndex(side, RangeL, RangeR), stepValue(range, 3)};
  writes.values[1] = {sideIndex(side, DlyTimeL, DlyTimeR), static_cast<float>(ms / kRangesMs[range])};
  writes.count = 2;
  return writes;
}

std::optional<TypedWrites> typedPreDelay(int side, std::string_view text) {
  return typedNote(kPreDelayNumerators, sideIndex(side, PreNumL, PreNumR), sideIndex(side, PreDenL, PreDenR), text);
}

}  // namespace params
