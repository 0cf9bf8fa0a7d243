// The programs a new instance starts with.
#pragma once

#include <array>

#include "params/ParameterTable.h"
#include "state/ProgramRecord.h"

namespace state {

struct FactoryPreset {
  const char* name;
  std::array<float, params::kNumParams> values;
};

const std::array<FactoryPreset, kNumPrograms>& factoryPresets();

}  // namespace state
