// The program bar below the panel: name field, program menu and rocker, the
// load and save buttons with their file dialogs, the default and memo
// buttons, the controller display and the learn and forget buttons.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "editor/programbar/CPSKickButton.h"
#include "editor/programbar/CPSOnOffButton.h"
#include "editor/programbar/CPSRockerSwitch.h"
#include "editor/programbar/CSaveLoadButton.h"
#include "editor/programbar/PresetBarLayout.h"
#include "params/ParameterTable.h"
#include "params/Steps.h"
#include "platform/TickCount.h"
#include "editor/programbar/CPresetSystemEditor.h"
#include "state/ControllerNames.h"
#include "state/ProgramRecord.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFont.h"
#include "toolkit/CFrame.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CTextEdit.h"
#include "toolkit/PlatformWindow.h"

namespace presets {

using namespace toolkit;
using state::UserImage;

namespace {

constexpr uint32_t kBarMessageMs = 3000;

struct FileKindText {
  const char* label;
  const char* extension;
  const char* loadTitle;
  const char* reversedTitle;
  const char* saveTitle;
};

constexpr FileKindText kPresetText{"ZEL Preset", "zel", "Load preset", "Load preset (endian-reversed)", "Save preset"};
constexpr FileKindText kBankText{"ZEL Bank", "zbk", "Load bank", "Load bank (endian-reversed)", "Save bank"};
constexpr FileKindText kMidiText{"ZEL MIDI Settings", "zmd", "Load MIDI settings",
                                 "Load MIDI settings (endian-reversed)", "Save midi settings as"};

CRect rectOf(const bar::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

// A program name of at most 24 bytes, never cut inside a character.
std::string programNameFrom(const std::string& text) {
  std::size_t n = std::min<std::size_t>(text.size(), state::kNameSize);
  while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return text.substr(0, n);
}

// Program `index`'s name as the host holds it.
std::string nameOf(editor::EditorHost& host, int index) {
  char name[state::kNameSize + 1] = {};
  host.copyProgramName(index, name);
  return name;
}

}  // namespace

// ------------------------------------------------------------------ window

bool CPresetSystemEditor::open(void* /*parent*/) {
  editor::EditorHost* effect = host();
  if (!frame || !effect) return false;
  CBitmap* panel = frame->getBackground();
  const int current = effect->getCurrentProgramIndex();

  // Each strip is decoded once and shared by the buttons that show it.
  std::map<int, CBitmap*> strips;
  for (const bar::Bitmap& b : bar::bitmaps()) strips[b.id] = new CBitmap(b.id, frame->getScale());

  for (const bar::Control& c : bar::controls()) {
    const CRect r = rectOf(c.rect);
    CBitmap* strip = c.bitmap == 128 ? nullptr : strips[c.bitmap];
    const double imageHeight = strip ? static_cast<double>(static_cast<int>(strip->getHeight()) / c.frames) : 0.0;
    CControl* control = nullptr;
    switch (c.controlClass) {
      case bar::ControlClass::TextEdit: {
        // The field shows the panel behind it and the current program's name.
        auto* field = new CTextEdit(r, this, c.tag, nameOf(*effect, current).c_str(), panel);
        field->setBackOffset(r.topLeft());
        field->setFont(kNormalFontVerySmall);
        field->setHoriAlign(kCenterText);
        const auto ink = bar::kTextColour;
        const auto paper = bar::kNameFieldBackground;
        field->setFontColor({ink.r, ink.g, ink.b, 255});
        field->setFrameColor({ink.r, ink.g, ink.b, 255});
        field->setBackColor({paper.r, paper.g, paper.b, 255});
        nameField_ = field;
        control = field;
        break;
      }
      case bar::ControlClass::OptionMenu: {
        auto* menu = new COptionMenu(r, this, c.tag, panel, kNoTextStyle | kCheckStyle);
        menu->setBackOffset(r.topLeft());
        menu->setNbItemsPerColumn(bar::kMenuEntriesPerColumn);
        for (int p = 0; p < state::kNumPrograms; ++p) menu->addEntry(nameOf(*effect, p).c_str());
        menu->setCurrent(current);
        programMenu_ = menu;
        control = menu;
        break;
      }
      case bar::ControlClass::ParameterDisplay: {
        auto* display = new CParamDisplay(r, panel, 0);
        display->setTag(c.tag);
        display->setBackOffset(r.topLeft());
        display->setFont(kNormalFontVerySmall);
        const auto ink = bar::kTextColour;
        display->setFontColor({ink.r, ink.g, ink.b, 255});
        display->setFrameColor({ink.r, ink.g, ink.b, 255});
        display->setStringConvert([this](float value, char* text) {
          if (barMessage_.empty())
            state::controllerValueToText(value, text);
          else
            std::snprintf(text, 256, "%s", barMessage_.c_str());  // the display's text holds 256 bytes
        });
        display->setValue(params::stepValue(state::kControllerNothing, state::kControllerNameCount));
        controllerDisplay_ = display;
        control = display;
        break;
      }
      case bar::ControlClass::RockerSwitch:
        control = new CPSRockerSwitch(r, this, c.tag, imageHeight, strip);
        break;
      case bar::ControlClass::SaveLoadButton:
        control = new CSaveLoadButton(r, this, c.tag, imageHeight, strip);
        break;
      case bar::ControlClass::KickButton:
        control = new CPSKickButton(r, this, c.tag, imageHeight, strip, c.doubleClickOnly);
        break;
      case bar::ControlClass::OnOffButton: {
        auto* button = new CPSOnOffButton(r, this, c.tag, imageHeight, strip);
        (c.tag == kTagMidiLearn ? learnButton_ : forgetButton_) = button;
        control = button;
        break;
      }
    }
    frame->addView(control);
    barControls_.push_back(control);
  }
  for (auto& [id, strip] : strips) strip->forget();  // the buttons hold their own references

  // Both modes start off, and both buttons show it.
  effect->stopMidiLearn();
  effect->stopMidiForget();
  releaseModeButtons();
  return true;
}

void CPresetSystemEditor::close() {
  fileSelector_.cancel();
  pending_.active = false;
  barMessage_.clear();
  // The frame owns the controls; forget the references before it goes.
  barControls_.clear();
  nameField_ = nullptr;
  programMenu_ = nullptr;
  controllerDisplay_ = nullptr;
  learnButton_ = forgetButton_ = nullptr;
}

CControl* CPresetSystemEditor::barControl(int32_t tag) const {
  for (CControl* c : barControls_)
    if (c->getTag() == tag) return c;
  return nullptr;
}

// The bar follows the host's idle, as the panel does: hosts call it every 20
// to 50 ms while the window is open. (A timer of the frame's own would run
// only from inside that same idle, so it could never come sooner.)
void CPresetSystemEditor::idle() {
  FrameEditor::idle();
  refreshBar();
}

void CPresetSystemEditor::refreshBar() {
  if (programChanged_.exchange(false) && host()) {
    refreshProgramMenu();
    if (nameField_) nameField_->setText(nameOf(*host(), host()->getCurrentProgramIndex()).c_str());
  }
  releaseModeButtons();
  finishFileCommand();
  updateControllerDisplay();
}

// The controller of the parameter under the mouse: its name, "not assigned",
// or nothing where no parameter's control lies.
void CPresetSystemEditor::updateControllerDisplay() {
  if (!frame || !controllerDisplay_ || !host()) return;
  if (!barMessage_.empty()) {
    if (platform::tickCount() - barMessageSince_ < kBarMessageMs) return;
    barMessage_.clear();
    controllerDisplay_->invalid();
  }
  CPoint where;
  if (!frame->getCurrentMouseLocation(where)) return;
  int shown = state::kControllerNothing;
  if (auto* control = dynamic_cast<CControl*>(frame->getViewAt(where))) {
    const int32_t tag = control->getTag();
    if (params::isHostParameter(tag)) {
      const int cc = host()->getControllerForParameter(tag);
      shown = cc == editor::EditorHost::kNoController ? state::kControllerNotAssigned : cc;
    }
  }
  controllerDisplay_->setValue(params::stepValue(shown, state::kControllerNameCount));
}

void CPresetSystemEditor::releaseLearnButton() { learnReleased_ = true; }
void CPresetSystemEditor::releaseForgetButton() { forgetReleased_ = true; }

void CPresetSystemEditor::releaseModeButtons() {
  if (learnReleased_.exchange(false) && learnButton_) learnButton_->setValue(0.0f);
  if (forgetReleased_.exchange(false) && forgetButton_) forgetButton_->setValue(0.0f);
}

void CPresetSystemEditor::showProgramName(const char* name) {
  if (!name) return;
  if (nameField_) nameField_->setText(name);
  if (programMenu_ && host()) programMenu_->setEntry(host()->getCurrentProgramIndex(), name);
}

void CPresetSystemEditor::refreshProgramMenu() {
  editor::EditorHost* effect = host();
  if (!programMenu_ || !effect) return;
  for (int p = 0; p < state::kNumPrograms; ++p) programMenu_->setEntry(p, nameOf(*effect, p).c_str());
  programMenu_->setCurrent(effect->getCurrentProgramIndex());
}

// ----------------------------------------------------------------- controls

void CPresetSystemEditor::valueChanged(CControl* control) {
  editor::EditorHost* effect = host();
  if (!control || !effect) return;
  const float value = control->getValue();
  switch (control->getTag()) {
    case kTagProgramName:
      if (nameField_) applyProgramName(programNameFrom(nameField_->getText()).c_str());
      break;
    case kTagProgramRocker: stepProgram(value); break;
    case kTagLoadBank: askForFile(kTagLoadBank, FileKind::Bank, false, value == 0.5f); break;
    case kTagSaveBank: askForFile(kTagSaveBank, FileKind::Bank, true, false); break;
    case kTagLoadPreset: askForFile(kTagLoadPreset, FileKind::Preset, false, value == 0.5f); break;
    case kTagSavePreset: askForFile(kTagSavePreset, FileKind::Preset, true, false); break;
    case kTagLoadMidi: askForFile(kTagLoadMidi, FileKind::Midi, false, value == 0.5f); break;
    case kTagSaveMidi: askForFile(kTagSaveMidi, FileKind::Midi, true, false); break;
    case kTagMidiLearn:
      effect->stopMidiForget();
      if (value != 0.0f) effect->startMidiLearn();
      else effect->stopMidiLearn();
      releaseModeButtons();
      break;
    case kTagMidiForget:
      effect->stopMidiLearn();
      if (value != 0.0f) effect->startMidiForget();
      else effect->stopMidiForget();
      releaseModeButtons();
      break;
    case kTagDefaultMidi:
      if (value != 0.0f) effect->storeUserImage(UserImage::DefaultMidi);
      break;
    case kTagProgramMenu:
      if (programMenu_) {
        const int index = static_cast<int>(value + 0.5f);
        const char* title = programMenu_->getEntry(index);
        chooseProgram(index, title ? title : "");
      }
      break;
    case kTagDefaultBank:
      if (value < 0.75f) effect->removeUserImage(UserImage::DefaultBank);
      else effect->storeUserImage(UserImage::DefaultBank);
      break;
    case kTagDefaultPreset:
      if (value < 0.75f) effect->removeUserImage(UserImage::DefaultPreset);
      else effect->storeUserImage(UserImage::DefaultPreset);
      break;
    case kTagStoreMemoA: effect->storeUserImage(UserImage::MemoA); break;
    case kTagStoreMemoB: effect->storeUserImage(UserImage::MemoB); break;
    case kTagRecallMemoA: effect->recallUserImage(UserImage::MemoA); break;
    case kTagRecallMemoB: effect->recallUserImage(UserImage::MemoB); break;
    default: break;  // the derived editor's own controls, and the controller display
  }
}

void CPresetSystemEditor::stepProgram(float direction) {
  editor::EditorHost* effect = host();
  if (direction == 0.0f) return;
  int c = effect->getCurrentProgramIndex();
  c = direction > 0.0f ? std::min(c + 1, state::kNumPrograms - 1) : std::max(c - 1, 0);
  chooseProgram(c, nameOf(*effect, c).c_str());
}

// Makes program `index` current under `name` and shows it in the bar.
void CPresetSystemEditor::chooseProgram(int index, const char* name) {
  editor::EditorHost* effect = host();
  if (index < 0 || index >= state::kNumPrograms) return;
  const std::string title = name;  // the menu's title may change below
  if (programMenu_) programMenu_->setCurrent(index);
  if (nameField_) nameField_->setText(title.c_str());
  effect->selectProgram(index);
  effect->renameCurrentProgram(title.c_str());
}

// ------------------------------------------------------------- file dialogs

// The dialog runs beside the host's window; idle finishes the command once
// the user has chosen. Without a window there is no dialog.
void CPresetSystemEditor::askForFile(int32_t button, FileKind kind, bool save, bool reversed) {
  if (!frame || !host()) return;
  const FileKindText& text = kind == FileKind::Bank ? kBankText : (kind == FileKind::Midi ? kMidiText : kPresetText);
  const std::string lastName = host()->lastFileName(kind);
  platform::FileRequest request;
  request.mode = save ? platform::FileRequest::Mode::Save : platform::FileRequest::Mode::Open;
  request.title = save ? text.saveTitle : (reversed ? text.reversedTitle : text.loadTitle);
  request.initialFolder = host()->currentFolder();
  request.filterLabel = text.label;
  request.filterExtension = text.extension;
  if (save) {
    request.defaultName = lastName;
    request.defaultExtension = text.extension;
  }
  if (const toolkit::PlatformWindow* window = frame->getPlatformWindow()) request.ownerWindow = window->topLevelHandle();
  showDialogPending(false);  // a dialog still open ends for the new one
  pending_ = {kind, save, reversed, fileSelector_.start(request), button};
  if (pending_.active) showDialogPending(true);
  else if (fileSelector_.state() == platform::FileSelector::State::Unavailable) showBarMessage("no zenity/kdialog");
}

// The button that opened the dialog stays down while the dialog is open.
void CPresetSystemEditor::showDialogPending(bool pending) {
  if (auto* button = dynamic_cast<CSaveLoadButton*>(barControl(pending_.button))) button->setPending(pending);
}

void CPresetSystemEditor::showBarMessage(const char* text) {
  barMessage_ = text;
  barMessageSince_ = platform::tickCount();
  if (controllerDisplay_) controllerDisplay_->invalid();
}

void CPresetSystemEditor::finishFileCommand() {
  if (!pending_.active) return;
  const platform::FileSelector::State state = fileSelector_.poll();
  if (state == platform::FileSelector::State::Running) return;
  pending_.active = false;
  showDialogPending(false);
  if (state != platform::FileSelector::State::Chosen) return;  // cancelled, failed or no dialog
  const std::string& path = fileSelector_.path();
  if (host()) pending_.save ? host()->saveFile(pending_.kind, path) : host()->loadFile(pending_.kind, path, pending_.reversed);
  if (frame) frame->invalid();
}

}  // namespace presets
