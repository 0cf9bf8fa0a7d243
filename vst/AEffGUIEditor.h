// The plug-in editor base for editors built from the view toolkit: answers
// the host's rectangle query, keeps the parent window between open and close,
// drives the frame from the host's idle, passes host-forwarded keys to the
// frame, and forwards controls' edits to the effect for host parameters.
#pragma once

#include <cstdint>

#include "toolkit/VSTGUIEditorInterface.h"
#include "vst/AEffEditor.h"

namespace toolkit {
class CFrame;
}

namespace vst {

class AEffGUIEditor : public AEffEditor, public toolkit::VSTGUIEditorInterface {
 public:
  explicit AEffGUIEditor(AudioEffect* effect);
  ~AEffGUIEditor() override;

  bool getRect(ERect** rect) override;
  // Remembers the parent; a derived editor then creates its frame in it.
  bool open(void* ptr) override;
  // Closes and releases the frame if the derived editor has not.
  void close() override;
  bool isOpen() override { return frame != nullptr; }
  void idle() override;
  bool onKeyDown(VstInt32 key, intptr_t virt, float modifier) override;
  bool onKeyUp(VstInt32 key, intptr_t virt, float modifier) override;
  bool setKnobMode(VstInt32 mode) override;

  // The effect's notification of a parameter change (index, normalised value).
  virtual void setParameter(int32_t /*index*/, float /*value*/) {}

  // A control's edit: passed to the effect (and so to the host) only for a
  // tag that is one of the effect's parameters.
  void beginEdit(int32_t index) override;
  void endEdit(int32_t index) override;
  int32_t getKnobMode() const override { return knobMode; }
  toolkit::CFrame* getFrame() const override { return frame; }

 protected:
  bool isHostParameter(int32_t index);

  ERect rect{0, 0, 0, 0};
  toolkit::CFrame* frame = nullptr;
  int32_t knobMode = toolkit::kLinearMode;
};

}  // namespace vst
