// The editor half of the program bar: the bar below the panel with its
// name field, program menu and rocker, the file, default and memo buttons
// and MIDI learn and forget. Every command goes to the plug-in through the
// editor's host interface; the bar holds nothing of the plug-in itself.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/EditorHost.h"
#include "editor/FrameEditor.h"
#include "platform/FileSelector.h"
#include "toolkit/CControl.h"

namespace toolkit {
class COptionMenu;
class CParamDisplay;
class CTextEdit;
}  // namespace toolkit

namespace presets {

class CPSKickButton;
class CPSOnOffButton;
class CPSRockerSwitch;
class CSaveLoadButton;

// Tags of the program bar's controls.
enum BarTag : int32_t {
  kTagProgramName = 98,
  kTagProgramRocker = 99,
  kTagLoadBank = 100,
  kTagSaveBank = 101,
  kTagLoadPreset = 102,
  kTagSavePreset = 103,
  kTagControllerDisplay = 104,
  kTagMidiLearn = 105,
  kTagLoadMidi = 106,
  kTagSaveMidi = 107,
  kTagDefaultMidi = 108,
  kTagMidiForget = 109,
  kTagProgramMenu = 110,
  kTagDefaultBank = 111,
  kTagDefaultPreset = 112,
  kTagStoreMemoA = 113,
  kTagStoreMemoB = 114,
  kTagRecallMemoA = 115,
  kTagRecallMemoB = 116,
};

class CPresetSystemEditor : public editor::FrameEditor, public toolkit::CControlListener {
 public:
  explicit CPresetSystemEditor(editor::EditorHost* host) : host_(host) {}

  // The program bar. A derived editor creates the frame and its own views,
  // then calls open; it calls close before it releases the frame, and passes
  // every control change to valueChanged (tags below 98 are ignored here).
  bool open(void* parent) override;
  void close() override;
  // The frame's idle, then refreshBar. A derived editor with views of its
  // own calls refreshBar from its idle instead.
  void idle() override;
  void valueChanged(toolkit::CControl* control) override;
  // A control's edit brackets: passed to the host for a host parameter's tag.
  void beginEdit(int32_t index) override;
  void endEdit(int32_t index) override;

  // Notification of every parameter change from the plug-in (index 0..119).
  void setParameter(int32_t index, float value) override;

  // From the plug-in, any thread: learn or forget ended by itself; a name to
  // show; a program was applied; many names changed.
  virtual void releaseLearnButton();
  virtual void releaseForgetButton();
  virtual void showProgramName(const char* name);
  // The name field and the menu show the current program from the next idle.
  void programChanged() { programChanged_ = true; }
  // The program menu's entries and current entry from the host's programs.
  void refreshProgramMenu();

  // A short message the controller display shows for a few seconds
  // instead of a controller name.
  void showBarMessage(const char* text);

  // Shows the name and renames the current program to it.
  void applyProgramName(const char* name);

  // The file dialog the bar's load and save buttons open (tests point it at
  // a scripted dialog).
  platform::FileSelector& fileSelector() { return fileSelector_; }

  // The bar's controls while the window is open, else null.
  toolkit::CControl* barControl(int32_t tag) const;

 protected:
  editor::EditorHost* host() const { return host_; }

  // What the bar shows at each idle: the current program after a change
  // from elsewhere, the released learn and forget buttons, a file dialog's
  // answer, the controller of the parameter under the mouse.
  void refreshBar();

  editor::EditorHost* host_;

 private:
  using FileKind = editor::EditorHost::FileKind;
  // `button`: the load or save button that asked, shown down while its dialog is open.
  void askForFile(int32_t button, FileKind kind, bool save, bool reversed);
  void finishFileCommand();
  void stepProgram(float direction);
  void chooseProgram(int index, const char* name);
  void updateControllerDisplay();
  void releaseModeButtons();
  void showDialogPending(bool pending);

  toolkit::CTextEdit* nameField_ = nullptr;
  toolkit::COptionMenu* programMenu_ = nullptr;
  toolkit::CParamDisplay* controllerDisplay_ = nullptr;
  CPSOnOffButton* learnButton_ = nullptr;
  CPSOnOffButton* forgetButton_ = nullptr;
  std::vector<toolkit::CControl*> barControls_;
  // Set from any thread (a controller learnt on the audio thread ends the
  // learn mode); the buttons show it at the next idle.
  std::atomic<bool> learnReleased_{false};
  std::atomic<bool> forgetReleased_{false};
  std::atomic<bool> programChanged_{false};

  platform::FileSelector fileSelector_;
  struct PendingFile {
    FileKind kind = FileKind::Preset;
    bool save = false;
    bool reversed = false;
    bool active = false;
    int32_t button = 0;  // the load or save button that opened the dialog
  } pending_;
  // A short message the controller display shows instead of a controller
  // name for a few seconds from when it was given (tick count).
  std::string barMessage_;
  uint32_t barMessageSince_ = 0;
};

}  // namespace presets
