#include "presets/CPresetSystemEditor.h"

#include <unistd.h>

#include <climits>

#include "presets/CPresetSystemEffect.h"

namespace presets {

CPresetSystemEditor::CPresetSystemEditor(CPresetSystemEffect* effect) : AEffGUIEditor(effect), presetEffect_(effect) {
  char cwd[PATH_MAX];
  if (getcwd(cwd, sizeof cwd)) {
    currentFolder_ = cwd;
    if (currentFolder_.empty() || currentFolder_.back() != '/') currentFolder_ += '/';
  }
  foundLocations_[0] = currentFolder_;
}

// The file locations this instance changed are kept for the next instance.
CPresetSystemEditor::~CPresetSystemEditor() { saveFileLocations(); }

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
