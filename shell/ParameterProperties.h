// The host's parameter-properties record, filled from how each parameter
// steps.
#pragma once

#include <cstdint>

#include "vst/aeffect.h"

namespace shell {

// Fills the stepping hints of the parameter at `index` into the record the
// host handed over; false (and the record untouched) for a parameter
// without hints.
bool fillParameterProperties(int32_t index, vst::VstParameterProperties& properties);

}  // namespace shell
