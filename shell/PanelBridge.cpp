#include "shell/PanelBridge.h"

namespace shell {

namespace {

// The host passes the modifier keys as a float. One that no int can hold
// (garbage, infinity, NaN) stands for no modifier: converting it would be
// undefined.
int32_t modifierBits(float modifier) {
  return modifier >= -2147483648.0f && modifier < 2147483648.0f ? static_cast<int32_t>(modifier) : 0;
}

toolkit::VstKeyCode keyCode(vst::VstInt32 key, intptr_t virt, float modifier) {
  return {key, static_cast<int32_t>(virt), modifierBits(modifier)};
}

}  // namespace

// The host may keep the rectangle until it asks again.
bool PanelBridge::getRect(vst::ERect** rect) {
  editor::PanelRect* r = nullptr;
  if (!rect || !panel_->getRect(&r) || !r) return false;
  rect_ = {r->top, r->left, r->bottom, r->right};
  *rect = &rect_;
  return true;
}

bool PanelBridge::open(void* parent) { return panel_->open(parent); }

bool PanelBridge::onKeyDown(vst::VstInt32 key, intptr_t virt, float modifier) {
  return panel_->onKeyDown(keyCode(key, virt, modifier));
}

bool PanelBridge::onKeyUp(vst::VstInt32 key, intptr_t virt, float modifier) {
  return panel_->onKeyUp(keyCode(key, virt, modifier));
}

}  // namespace shell
