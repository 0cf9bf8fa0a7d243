// The editor half of the preset system: the file images of presets, banks
// and MIDI settings, the file commands and the per-user defaults. The object
// lives as long as the effect, with or without a window, and reaches it only
// through the editor's host interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <atomic>
#include <string>
#include <vector>

#include "editor/EditorHost.h"
#include "platform/FileSelector.h"
#include "state/FileLocations.h"
#include "state/ImageFormat.h"
#include "state/ProgramRecord.h"
#include "state/UserImages.h"
#include "toolkit/CControl.h"
#include "vst/AEffGUIEditor.h"

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

class CPresetSystemEditor : public vst::AEffGUIEditor, public toolkit::CControlListener {
 public:
  explicit CPresetSystemEditor(editor::EditorHost* host);
  ~CPresetSystemEditor() override;

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

  // Notification of every parameter change from the effect (index 0..119).
  void setParameter(int32_t index, float value) override;

  virtual void releaseLearnButton();
  virtual void releaseForgetButton();
  virtual void showProgramName(const char* name);
  virtual void loadStartupSettings();

  // The file images. A loader takes a buffer of its kind's full image size
  // (269, 16109 or 245 bytes) and ignores an image it does not recognise;
  // `reversed` is the user's request to take the numbers in the other byte
  // order. The store operations fill a buffer of that size.
  virtual void loadBankData(const uint8_t* buffer, bool reversed);
  virtual void storeBankData(uint8_t* buffer);
  virtual void loadPresetData(const uint8_t* buffer, bool reversed);
  virtual void storePresetData(uint8_t* buffer);
  virtual void loadMidiData(const uint8_t* buffer, bool reversed);
  virtual void storeMidiData(uint8_t* buffer);

  // The file commands, by path. A path's folder becomes the current folder
  // and its file name the kind's last name; a bare file name is looked up in
  // the current folder and changes neither. Loading returns whether a file
  // was read (an unrecognised image is read and ignored; an image cut short
  // of its length is refused whole and changes nothing); saving returns
  // whether the file now holds the new image. The working directory is never
  // changed, files are opened read-only for loading, and a save replaces the
  // old file only once the new one is complete.
  bool loadPresetFile(const std::string& path, bool reversed);
  bool savePresetFile(const std::string& path);
  bool loadBankFile(const std::string& path, bool reversed);
  bool saveBankFile(const std::string& path);
  bool loadMidiFile(const std::string& path, bool reversed);
  bool saveMidiFile(const std::string& path);

  // Shows the name and renames the current program to it.
  void applyProgramName(const char* name);

  // The user's defaults, memos and last file locations, kept between sessions
  // in the per-user settings store and shared by all instances. Loading reads
  // the value into a zeroed image and hands it to the loader whether or not
  // it was there: the loader ignores a zero image (and a bank load still
  // selects program 0). A stored image cut short is refused whole. Only the
  // file locations this instance changed are written back, never as empty.
  void storeDefaultBank();
  void storeDefaultPreset();
  void storeDefaultMidi();
  void storeMemoA();
  void storeMemoB();
  void deleteDefaultBank();
  void deleteDefaultPreset();
  void loadDefaultBank();
  void loadDefaultPreset();
  void loadDefaultMidi();
  void recallMemoA();
  void recallMemoB();
  void saveFileLocations();
  void loadFileLocations();

  // The folder and each last file name hold at most this many bytes; a
  // longer chosen path is refused whole rather than cut into a wrong one.
  static constexpr std::size_t kMaxFolder = state::FileLocations::kMaxFolder;
  static constexpr std::size_t kMaxFileName = state::FileLocations::kMaxFileName;

  // The file dialog the bar's load and save buttons open (tests point it at
  // a scripted dialog).
  platform::FileSelector& fileSelector() { return fileSelector_; }

  // The bar's controls while the window is open, else null.
  toolkit::CControl* barControl(int32_t tag) const;

  // A program was applied (by the host, a chunk, a file, from any thread):
  // the name field and the menu show the current program from the next idle.
  void programChanged() { programChanged_ = true; }

  const std::string& currentFolder() const { return locations_.folder(); }
  const std::string& lastBankName() const { return locations_.lastName(state::FileLocations::Bank); }
  const std::string& lastPresetName() const { return locations_.lastName(state::FileLocations::Preset); }
  const std::string& lastMidiName() const { return locations_.lastName(state::FileLocations::Midi); }

 protected:
  editor::EditorHost* host() const { return host_; }

  // The loaders' work. With `acceptOlder` the older 48-parameter images
  // are taken too (their programs converted); without, only the current ID.
  void applyPresetImage(const uint8_t* buffer, bool reversed, bool acceptOlder);
  void applyBankImage(const uint8_t* buffer, bool reversed, bool acceptOlder);
  void applyMidiImage(const uint8_t* buffer, bool reversed, bool acceptOlder);

  // The program menu's entries and current entry from the program store.
  void refreshProgramMenu();
  // What the bar shows at each idle: the current program after a change
  // from elsewhere, the released learn and forget buttons, a file dialog's
  // answer, the controller of the parameter under the mouse.
  void refreshBar();

  editor::EditorHost* host_;
  state::FileLocations locations_;

 private:
  using Loader = void (CPresetSystemEditor::*)(const uint8_t*, bool);
  using Storer = void (CPresetSystemEditor::*)(uint8_t*);
  void storeImage(state::UserImage which, int size, Storer store);
  void loadImage(state::UserImage which, uint8_t type, Loader load);

  // The bar (PresetBar.cpp).
  enum class FileKind { Preset, Bank, Midi };
  // `button`: the load or save button that asked, shown down while its dialog is open.
  void askForFile(int32_t button, FileKind kind, bool save, bool reversed);
  void finishFileCommand();
  void stepProgram(float direction);
  void chooseProgram(int index, const char* name);
  void updateControllerDisplay();
  void releaseModeButtons();
  void showDialogPending(bool pending);
  void showBarMessage(const char* text);

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
  bool loadFile(const std::string& path, state::FileLocations::Kind kind, uint8_t type, Loader load, bool reversed);
  bool saveFile(const std::string& path, state::FileLocations::Kind kind, int size, Storer store);
};

}  // namespace presets
