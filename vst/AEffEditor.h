// Base of a plug-in editor: the host's window requests land here.
#pragma once

#include "vst/aeffect.h"

namespace vst {

class AudioEffect;

class AEffEditor {
 public:
  explicit AEffEditor(AudioEffect* owner = nullptr) : effect(owner) {}
  virtual ~AEffEditor() = default;

  AEffEditor(const AEffEditor&) = delete;
  AEffEditor& operator=(const AEffEditor&) = delete;

  virtual AudioEffect* getEffect() { return effect; }
  virtual bool getRect(ERect** rect) {
    if (rect) *rect = nullptr;
    return false;
  }
  virtual bool open(void* ptr) {
    systemWindow = ptr;
    return false;
  }
  virtual void close() { systemWindow = nullptr; }
  virtual bool isOpen() { return systemWindow != nullptr; }
  virtual void idle() {}
  virtual bool onKeyDown(VstInt32 /*key*/, intptr_t /*virt*/, float /*modifier*/) { return false; }
  virtual bool onKeyUp(VstInt32 /*key*/, intptr_t /*virt*/, float /*modifier*/) { return false; }
  virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }

 protected:
  AudioEffect* effect;
  void* systemWindow = nullptr;
};

}  // namespace vst
