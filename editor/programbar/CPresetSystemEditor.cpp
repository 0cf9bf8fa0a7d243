#include "editor/programbar/CPresetSystemEditor.h"

#include "params/ParameterTable.h"

namespace presets {

void CPresetSystemEditor::beginEdit(int32_t index) {
  if (host_ && params::isHostParameter(index)) host_->beginParameterEdit(index);
}

void CPresetSystemEditor::endEdit(int32_t index) {
  if (host_ && params::isHostParameter(index)) host_->endParameterEdit(index);
}

// The bar shows no parameter.
void CPresetSystemEditor::setParameter(int32_t /*index*/, float /*value*/) {}

void CPresetSystemEditor::applyProgramName(const char* name) {
  showProgramName(name);
  if (host_) host_->renameCurrentProgram(name);
}

}  // namespace presets
