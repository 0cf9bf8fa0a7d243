// The panel as a VST 2.4 host sees an editor: the host's window requests
// (rectangle, open, close, idle, keys, knob mode) passed to the panel, which
// knows no plug-in format.
#pragma once

#include <memory>

#include "editor/Editor.h"
#include "vst/AEffEditor.h"

namespace shell {

class PanelBridge : public vst::AEffEditor {
 public:
  explicit PanelBridge(std::unique_ptr<Editor> panel) : panel_(std::move(panel)) {}

  bool getRect(vst::ERect** rect) override;
  bool open(void* parent) override;
  void close() override { panel_->close(); }
  bool isOpen() override { return panel_->isOpen(); }
  void idle() override { panel_->idle(); }
  bool onKeyDown(vst::VstInt32 key, intptr_t virt, float modifier) override;
  bool onKeyUp(vst::VstInt32 key, intptr_t virt, float modifier) override;
  bool setKnobMode(vst::VstInt32 mode) override { return panel_->setKnobMode(mode); }

  Editor& panel() { return *panel_; }

 private:
  std::unique_ptr<Editor> panel_;
  vst::ERect rect_{0, 0, 0, 0};
};

}  // namespace shell
