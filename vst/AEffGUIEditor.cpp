#include "vst/AEffGUIEditor.h"

#include "toolkit/CFrame.h"
#include "vst/AudioEffectX.h"

namespace vst {

namespace {

// The host passes the modifier keys as a float. One that no int can hold
// (garbage, infinity, NaN) stands for no modifier: converting it would be
// undefined.
int32_t modifierBits(float modifier) {
  return modifier >= -2147483648.0f && modifier < 2147483648.0f ? static_cast<int32_t>(modifier) : 0;
}

}  // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {}

AEffGUIEditor::~AEffGUIEditor() { AEffGUIEditor::close(); }

bool AEffGUIEditor::getRect(ERect** r) {
  if (!r) return false;
  *r = &rect;
  return true;
}

bool AEffGUIEditor::open(void* ptr) {
  systemWindow = ptr;
  return true;
}

void AEffGUIEditor::close() {
  if (frame) {
    toolkit::CFrame* f = frame;
    frame = nullptr;
    f->close();
    f->forget();
  }
  systemWindow = nullptr;
}

void AEffGUIEditor::idle() {
  if (frame) frame->idle();
}

bool AEffGUIEditor::onKeyDown(VstInt32 key, intptr_t virt, float modifier) {
  if (!frame) return false;
  toolkit::VstKeyCode code{key, static_cast<int32_t>(virt), modifierBits(modifier)};
  return frame->onKeyDown(code) == 1;
}

bool AEffGUIEditor::onKeyUp(VstInt32 key, intptr_t virt, float modifier) {
  if (!frame) return false;
  toolkit::VstKeyCode code{key, static_cast<int32_t>(virt), modifierBits(modifier)};
  return frame->onKeyUp(code) == 1;
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
  knobMode = mode;
  return true;
}

bool AEffGUIEditor::isHostParameter(int32_t index) {
  return effect && index >= 0 && index < effect->getAeffect()->numParams;
}

void AEffGUIEditor::beginEdit(int32_t index) {
  if (isHostParameter(index)) static_cast<AudioEffectX*>(effect)->beginEdit(index);
}

void AEffGUIEditor::endEdit(int32_t index) {
  if (isHostParameter(index)) static_cast<AudioEffectX*>(effect)->endEdit(index);
}

}  // namespace vst
