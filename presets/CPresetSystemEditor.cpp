#include "presets/CPresetSystemEditor.h"

#include <unistd.h>

#include <climits>

#include "presets/CPresetSystemEffect.h"

namespace presets {

CPresetSystemEditor::CPresetSystemEditor(CPresetSystemEffect* effect) : AEffEditor(effect), presetEffect_(effect) {
  char cwd[PATH_MAX];
  if (getcwd(cwd, sizeof cwd)) {
    currentFolder_ = cwd;
    if (currentFolder_.empty() || currentFolder_.back() != '/') currentFolder_ += '/';
  }
}

CPresetSystemEditor::~CPresetSystemEditor() = default;

// Without a window there are no controls to update.
void CPresetSystemEditor::setParameter(int32_t /*index*/, float /*value*/) {}
void CPresetSystemEditor::releaseLearnButton() {}
void CPresetSystemEditor::releaseForgetButton() {}
void CPresetSystemEditor::showProgramName(const char* /*name*/) {}

// Per-user defaults arrive with the settings store.
void CPresetSystemEditor::loadStartupSettings() {}

}  // namespace presets
