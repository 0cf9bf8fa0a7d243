#include "params/ParameterText.h"

#include <cstdio>
#include <cstring>

#include "params/ParameterApplication.h"
#include "params/ParameterTable.h"

namespace params {

void parameterName(int32_t index, char* text) {
  if (isHostParameter(index))
    std::strcpy(text, kParameterTable[index].name);
  else if (isAssignmentSlot(index))
    std::sprintf(text, "CC# %s", kParameterTable[index - kNumParams].name);
}

void parameterLabel(int32_t index, char* text) {
  const char* label = "";
  switch (index) {
    case Input: case Output: case FbGainL: case FbGainR: case Drive: case DlyGateL: case DlyGateR:
      label = "dB";
      break;
    case Mix: case FbPanL: case FbPanR: case ModSrc: case CutfMod: case VcoMod: case RvbDamp:
    case RvbAmt: case ModSens: case DlyPanL: case DlyPanR: case Ducking:
      label = "%";
      break;
    case LFORate: case Cutoff: label = "Hz"; break;
    case LROffset: label = "deg"; break;
    case VcoMan: label = "x"; break;
    case EnvSpeed: case RangeL: case RangeR: case DlyTimeL: case DlyTimeR: label = "ms"; break;
    default: break;
  }
  std::strcpy(text, label);
}

// Placeholder until the value texts are written.
void parameterDisplay(const ParameterApplication&, int32_t, char*) {}
bool parameterProperties(int32_t, vst::VstParameterProperties*) { return false; }
void parameterReadout(const ParameterApplication&, int32_t, ParameterReadout&) {}

}  // namespace params
