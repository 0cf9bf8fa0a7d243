#include "params/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace params {

namespace {

void copyText(const std::string& s, char* text, int32_t maxLen) {
  if (!text) return;
  if (maxLen <= 0) {
    *text = 0;
    return;
  }
  const size_t n = std::min(s.size(), static_cast<size_t>(maxLen) - 1);
  std::memcpy(text, s.data(), n);
  text[n] = 0;
}

}  // namespace

void floatText(float value, char* text, int32_t maxLen) {
  // Eight characters in all (sign, integer digits, point, fraction digits);
  // the fraction is cut, not rounded.
  double v = value;
  const bool negative = v < 0.0;
  if (negative) v = -v;
  if (std::isnan(v) || (!negative && v > 99999999.0) || (negative && v > 9999999.0)) {
    copyText("Huge!", text, maxLen);
    return;
  }
  double integral = std::floor(v);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(std::fmod(integral, 10.0))));
    integral = std::floor(integral / 10.0);
  } while (integral >= 1.0);
  std::string out = negative ? "-" : "";
  out += digits;
  out += '.';
  const int fractionDigits = 8 - static_cast<int>(out.size());
  if (fractionDigits > 0) {
    const double scaled = std::floor((v - std::floor(v)) * std::pow(10.0, fractionDigits));
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*lld", fractionDigits, static_cast<long long>(scaled));
    out += buffer;
  }
  copyText(out, text, maxLen);
}

void decibelText(float gain, char* text, int32_t maxLen) {
  if (gain <= 0.0f)
    copyText("-oo", text, maxLen);
  else
    // The logarithm in double precision: std::log10 of a float would be the
    // single-precision overload, whose last-place error shows once the
    // fraction is cut (4.0 would read "12.04120" instead of "12.04119").
    floatText(static_cast<float>(20.0 * std::log10(static_cast<double>(gain))), text, maxLen);
}

void intText(int32_t value, char* text, int32_t maxLen) {
  if (value >= 100000000) {
    copyText("Huge!", text, maxLen);
    return;
  }
  copyText(std::to_string(value), text, maxLen);
}

}  // namespace params
