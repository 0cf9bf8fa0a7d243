// What views need of the editor that owns their frame.
#pragma once

#include <cstdint>

namespace toolkit {

class CFrame;

enum CKnobMode { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

class VSTGUIEditorInterface {
 public:
  virtual ~VSTGUIEditorInterface() = default;
  // A control opens and closes an edit of the value with this tag.
  virtual void beginEdit(int32_t /*index*/) {}
  virtual void endEdit(int32_t /*index*/) {}
  virtual int32_t getKnobMode() const { return kLinearMode; }
  virtual CFrame* getFrame() const { return nullptr; }
};

}  // namespace toolkit
