// The 60 parameters of the effect: index, short and long name, kind and
// step count.
// Every other part of the program names parameters through this table.
#pragma once

#include <array>
#include <cstdint>

namespace params {

constexpr int kNumParams = 60;
// Indices kNumParams .. 2 kNumParams - 1 address the MIDI controller
// assignment of parameter index - kNumParams.
constexpr int kNumAssignable = 2 * kNumParams;

enum Index : int {
  Input = 0, Output, Mix, FbGainL, FbGainR, FbPanL, FbPanR, FbInvL, FbInvR, LFOWave,
  LFORate, LROffset, ModSrc, CutfMod, FltType, Cutoff, Reso, VcoMan, VcoMod, DlyInvL,
  DlyInvR, Drive, EnvSpeed, FltMode, DlyModeL, DlyModeR, DlyNumL, DlyNumR, DlyDenL, DlyDenR,
  RangeL, RangeR, LfoMode, LfoNum, LfoDen, DlyTimeL, DlyTimeR, RvbMode, RvbType, RvbDamp,
  RvbAmt, Bypass, FltOn, DriveSwitch, CutfModSwitch, VcoOn, RvbOn, ModSens, DlyPanL, DlyPanR,
  DlyGateL, DlyGateR, Ducking, ResoMod, PreNumL, PreNumR, PreDenL, PreDenR, MuteInL, MuteInR,
};

enum class Kind : uint8_t {
  Continuous,      // linear in v
  Exponential,     // continuous with an exponential curve
  Bipolar,         // centred on 0.5
  Stepped,         // n steps
  Switch,          // two steps: off below 0.5, on from 0.5
  Threshold,       // on only above 0.5 (the input mutes)
  WriteOnly,       // switches that act on another parameter and keep no value
};

struct ParameterInfo {
  const char* name;      // short name shown to hosts (the LV2 port symbol)
  const char* longName;  // the name in words: the LV2 port name, the panel's tooltips
  Kind kind;
  int steps;         // 0 for continuous kinds
};

extern const std::array<ParameterInfo, kNumParams> kParameterTable;

inline bool isHostParameter(int32_t index) { return index >= 0 && index < kNumParams; }
inline bool isAssignmentSlot(int32_t index) { return index >= kNumParams && index < kNumAssignable; }

// A normalised value held to 0..1, the only values a setting can take. Hosts,
// chunks, files and controllers may bring anything: a gain of 1e6 or 1e30
// would otherwise overflow the feedback loop. A value that is not a number
// becomes 0: a program stored with it would never load back as it was saved
// (the parameter write ignores it) and would write it on into every file.
inline float heldNormalised(float v) { return !(v >= 0.0f) ? 0.0f : (v > 1.0f ? 1.0f : v); }

// The fixed lists the stepped parameters select from.
inline constexpr std::array<double, 5> kDelayNumerators{1, 3, 5, 7, 9};
inline constexpr std::array<double, 5> kLfoNumerators{1, 2, 3, 4, 8};
inline constexpr std::array<double, 6> kPreDelayNumerators{0, 1, 3, 5, 7, 9};
inline constexpr std::array<double, 13> kDenominators{1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64, 96};
inline constexpr std::array<double, 3> kRangesMs{100, 1000, 5000};

}  // namespace params
