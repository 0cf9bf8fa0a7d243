// The number texts every value text is built from: eight characters at most
// (sign, digits, point, fraction), the fraction cut rather than rounded, and
// "Huge!" for a number that eight characters cannot hold. The plug-in
// interface's text helpers are these same functions.
#pragma once

#include <cstdint>

namespace params {

// Each writes at most maxLen - 1 characters and a terminator into `text`
// (just the terminator when maxLen is 0 or less; nothing when text is null).
void floatText(float value, char* text, int32_t maxLen);
// The gain in decibels, "-oo" for a gain of 0 or less.
void decibelText(float gain, char* text, int32_t maxLen);
void intText(int32_t value, char* text, int32_t maxLen);

}  // namespace params
