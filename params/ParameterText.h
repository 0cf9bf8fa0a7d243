// What a host and the editor show for each parameter: names, unit labels,
// value texts, stepping hints and the four-digit readout.
#pragma once

#include <cstdint>


namespace params {

class ParameterApplication;

// The editor's four-digit display of one parameter (0..59) or of the tempo
// (61). The note fractions and the parameters without a number leave the
// split mode and the sign flag as the caller filled them, and ModSens leaves
// the sign flag.
struct ParameterReadout {
  int32_t digits = 0;       // signed, up to four digits
  int32_t decimalCode = 0;  // digits in front of the decimal point, 0 for none
  int8_t isSigned = 0;      // the value has a sign to show
  int32_t splitMode = 0;    // two shares side by side: 1 right only, 2 both, 3 left only
  int32_t numerator = -1;   // -1 unless the parameter is a note fraction
  int32_t denominator = 0;
};

// How a host may step a parameter's value: as a switch (0 or 1), in whole
// steps 1..maxInteger, or in fractions of the 0..1 range; kNone for a
// continuous parameter without stepping hints.
struct ParameterSteps {
  enum Kind { kNone, kSwitch, kInteger, kFloat };
  Kind kind = kNone;
  int32_t maxInteger = 0;       // kInteger
  float stepFloat = 0.0f;       // kFloat: the small and the normal step
  float largeStepFloat = 0.0f;  // kFloat
};

// Each writes a zero-terminated text into the caller's buffer, or nothing at
// all where the parameter has no such text.
void parameterName(int32_t index, char* text);
void parameterLabel(int32_t index, char* text);
void parameterDisplay(const ParameterApplication& app, int32_t index, char* text);
ParameterSteps parameterSteps(int32_t index);
void parameterReadout(const ParameterApplication& app, int32_t index, ParameterReadout& readout);

}  // namespace params
