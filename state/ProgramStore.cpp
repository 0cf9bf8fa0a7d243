#include "state/ProgramStore.h"

#include <cstring>

#include "params/ParameterTable.h"
#include "state/FactoryPresets.h"

namespace state {

ProgramStore::ProgramStore() : programs_(std::make_unique<ProgramRecord[]>(kNumPrograms)) { loadFactoryPrograms(); }

void ProgramStore::storeValue(int index, float value) {
  if (params::isHostParameter(index)) currentProgram().values[index] = value;
}

void ProgramStore::loadFactoryPrograms() {
  const auto& factory = factoryPresets();
  for (int p = 0; p < kNumPrograms; ++p) {
    programs_[p].setName(factory[p].name);
    for (int i = 0; i < params::kNumParams; ++i) programs_[p].values[i] = factory[p].values[i];
  }
}

void ProgramStore::copyName(int index, char* text) const {
  std::memcpy(text, programs_[index].name, kNameSize);
  text[kNameSize] = 0;
}

}  // namespace state
