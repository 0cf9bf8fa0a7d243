// The panel's host in the LV2 UI. The UI reaches the DSP only through the
// host's ports and the atom messages of lv2/Uris.h, so it keeps a mirror
// of the parameters (a parameter application over working values of its
// own) fed by the host's port events: the panel's readouts and the delay
// sides' rules answer from it. Edits go to the host's ports, bracketed by
// ui:touch where the host offers it; programs, names, MIDI learn, tempo,
// files, defaults and memos go to the DSP as patch:Set messages, and what
// the DSP tells back on its notify port answers the panel's questions.
// Everything runs on the host's GUI thread.
#pragma once

#include <lv2/ui/ui.h>

#include <array>
#include <string>
#include <vector>

#include "editor/EditorHost.h"
#include "engine/WorkingValues.h"
#include "lv2/ui/UiMessages.h"
#include "params/ParameterApplication.h"
#include "params/ParameterTable.h"

class Editor;

namespace toolkit {
class X11Container;
}

namespace lv2ui {

struct HostFeatures {
  LV2UI_Write_Function write = nullptr;
  LV2UI_Controller controller = nullptr;
  const LV2UI_Touch* touch = nullptr;    // null: no edit brackets
  const LV2UI_Resize* resize = nullptr;  // null: the window sizes itself
  // The window the host was handed, resized with the panel.
  toolkit::X11Container* container = nullptr;
};

class UiHost : public editor::EditorHost {
 public:
  UiHost(LV2_URID_Map* map, const HostFeatures& features);

  // The panel that hears what the host and the DSP change.
  void attach(Editor* panel) { panel_ = panel; }
  void setContainer(toolkit::X11Container* container) { host_.container = container; }
  // Asks the DSP for everything it tells the UI.
  void requestState();
  // The host's port_event.
  void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);

  // ---- editor::EditorHost
  float getParameter(int index) override;
  void setParameter(int index, float value) override;
  void beginParameterEdit(int index) override { touch(index, true); }
  void performParameterEdit(int index, float value) override;
  void endParameterEdit(int index) override { touch(index, false); }
  void getParameterReadout(int index, params::ParameterReadout& readout) const override;
  void getParameterText(int index, char* display, char* label) override;
  const params::DelayTimeModel& delayTime(bool right) const override { return mirror_.delayTime(right ? 1 : 0); }
  void copyChannelSettings(bool rightToLeft) override;
  bool syncRangeExceeded(int selector) const override;
  double getManualTempo() const override { return mirror_.manualTempo(); }
  void setManualTempo(double position) override;
  bool hostTimeActive() const override { return hostTime_; }
  void readInputPeaks(float& left, float& right) override;
  bool resizeEditorWindow(int width, int height) override;
  void copyProgramName(int index, char* name) override;
  int getCurrentProgramIndex() override { return currentProgram_; }
  void selectProgram(int index) override;
  void renameCurrentProgram(const char* name) override;
  bool loadFile(FileKind kind, const std::string& path, bool reversed) override;
  bool saveFile(FileKind kind, const std::string& path) override;
  std::string currentFolder() override { return folder_; }
  std::string lastFileName(FileKind kind) override;
  void storeUserImage(state::UserImage which) override;
  void recallUserImage(state::UserImage which) override;
  void removeUserImage(state::UserImage which) override;
  void startMidiLearn() override { send(writer_.setBool(Key::MidiLearn, true)); }
  void stopMidiLearn() override { send(writer_.setBool(Key::MidiLearn, false)); }
  void startMidiForget() override { send(writer_.setBool(Key::MidiForget, true)); }
  void stopMidiForget() override { send(writer_.setBool(Key::MidiForget, false)); }
  int getControllerForParameter(int param) override;

 private:
  void touch(int index, bool grabbed);
  // The value into the mirror, the panel told of it and of what it settled.
  void applyToMirror(int index, float value);
  void writePort(int index, float value);
  void send(const LV2_Atom* message);
  void receive(const LV2_Atom* atom);
  void receiveParameterValues(const LV2_Atom* value);
  void tempoFromDsp(double bpm);

  MessageWriter writer_;
  HostFeatures host_;
  Editor* panel_ = nullptr;

  engine::WorkingValues values_;
  params::ParameterApplication mirror_{values_};
  // What each parameter port holds as far as the UI knows: the host's last
  // port event or the UI's last write. The DSP's settled values are
  // compared with these, not with the mirror, which settles them itself.
  std::array<float, params::kNumParams> ports_{};
  std::array<bool, params::kNumParams> portKnown_{};

  std::vector<std::string> programNames_;
  int currentProgram_ = 0;
  bool hostTime_ = false;
  int rangeExceeded_ = -1;  // -1 until the DSP says: the mirror answers
  std::array<int, params::kNumParams> controllers_{};
  bool learning_ = false, forgetting_ = false;
  std::string folder_;
  std::array<std::string, 4> lastNames_;  // by FileLocations::Kind
  float peaks_[2] = {0.0f, 0.0f};
};

}  // namespace lv2ui
