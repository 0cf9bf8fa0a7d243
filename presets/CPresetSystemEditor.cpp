#include "presets/CPresetSystemEditor.h"

#include "params/ParameterTable.h"

namespace presets {

// The editor base is given no effect: everything goes through the host.
CPresetSystemEditor::CPresetSystemEditor(editor::EditorHost* host) : AEffGUIEditor(nullptr), host_(host) {}

// The file locations this instance changed are kept for the next instance.
CPresetSystemEditor::~CPresetSystemEditor() { saveFileLocations(); }

void CPresetSystemEditor::beginEdit(int32_t index) {
  if (host_ && params::isHostParameter(index)) host_->beginParameterEdit(index);
}

void CPresetSystemEditor::endEdit(int32_t index) {
  if (host_ && params::isHostParameter(index)) host_->endParameterEdit(index);
}

// The bar shows no parameter.
void CPresetSystemEditor::setParameter(int32_t /*index*/, float /*value*/) {}

// A new instance starts with the user's default bank, then the default
// preset over program 0 (so it wins over the bank's), the default MIDI
// assignments and the last file locations.
void CPresetSystemEditor::loadStartupSettings() {
  loadDefaultBank();
  loadDefaultPreset();
  loadDefaultMidi();
  loadFileLocations();
}

}  // namespace presets
