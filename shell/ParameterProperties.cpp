#include "shell/ParameterProperties.h"

#include "params/ParameterText.h"

namespace shell {

bool fillParameterProperties(int32_t index, vst::VstParameterProperties& p) {
  const params::ParameterSteps steps = params::parameterSteps(index);
  switch (steps.kind) {
    case params::ParameterSteps::kSwitch:
      // Of the flags the host put in the record only the switch and integer
      // hints stay, all of which the 0..1 integers below satisfy.
      p.flags &= vst::kVstParameterIsSwitch | vst::kVstParameterUsesIntegerMinMax | vst::kVstParameterUsesIntStep;
      p.minInteger = 0;
      p.maxInteger = 1;
      p.stepInteger = 1;
      p.largeStepInteger = 1;
      return true;
    case params::ParameterSteps::kInteger:
      p.flags = 0;
      p.minInteger = 1;
      p.maxInteger = steps.maxInteger;
      p.stepInteger = 1;
      return true;
    case params::ParameterSteps::kFloat:
      p.flags = vst::kVstParameterUsesFloatStep;
      p.stepFloat = p.smallStepFloat = steps.stepFloat;
      p.largeStepFloat = steps.largeStepFloat;
      return true;
    case params::ParameterSteps::kNone:
      break;
  }
  return false;
}

}  // namespace shell
