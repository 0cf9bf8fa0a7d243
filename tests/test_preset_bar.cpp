// The program bar below the panel, played with the mouse and the keyboard
// through a headless window: stepping and choosing programs, naming them,
// defaults and memos, the file dialogs (a scripted dialog stands in for
// zenity) and the learn, forget and controller display.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "editor/Editor.h"
#include "editor/programbar/CPSRockerSwitch.h"
#include "editor/programbar/CSaveLoadButton.h"
#include "platform/SettingsStore.h"
#include "state/ControllerNames.h"
#include "state/FactoryPresets.h"
#include "support/Tavrel.h"
#include "toolkit/CFrame.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CParamDisplay.h"
#include "toolkit/CTextEdit.h"
#include "toolkit/HeadlessWindow.h"

namespace {

using namespace presets;
using namespace state;
using namespace toolkit;

std::string nameOf(const ProgramRecord& p) { return std::string(p.name, strnlen(p.name, kNameSize)); }

// The plug-in with its editor open in a headless window.
struct Bar {
  std::unique_ptr<ZEL> zel = testing_support::makeZel();
  Editor& editor = *zel->zelEditor();
  HeadlessWindow* window = nullptr;

  Bar() {
    EXPECT_TRUE(editor.open(nullptr));
    window = static_cast<HeadlessWindow*>(editor.getFrame()->getPlatformWindow());
    editor.idle();
  }
  ~Bar() { editor.close(); }

  CControl* control(int tag) { return editor.barControl(tag); }
  CPoint centreOf(int tag, double dx = 0) {
    const CRect& r = control(tag)->getViewSize();
    return {(r.left + r.right) / 2 + dx, (r.top + r.bottom) / 2};
  }
  void click(int tag, CButtonState buttons = kLButton, double dx = 0) {
    const CPoint p = centreOf(tag, dx);
    window->mouseMove(p.x, p.y);
    window->click(p.x, p.y, buttons);
    editor.idle();
  }
  int program() { return zel->getCurrentProgramIndex(); }
  std::string nameField() { return static_cast<CTextEdit*>(control(kTagProgramName))->getText(); }
  COptionMenu& menu() { return *static_cast<COptionMenu*>(control(kTagProgramMenu)); }
  std::string display() { return static_cast<CParamDisplay*>(control(kTagControllerDisplay))->getDisplayText(); }
};

TEST(PresetBar, TheRockerStepsOncePerPressAndStopsAtTheEnds) {
  const struct {
    int from;
    double side;  // pixels from the rocker's centre
    int to;
  } cases[] = {{0, -8, 0}, {0, 8, 1}, {10, -8, 9}, {60, 8, 60}, {60, -8, 59}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    Bar bar;
    bar.zel->selectProgram(c.from);
    const CPoint p = bar.centreOf(kTagProgramRocker, c.side);
    bar.window->mouseDown(p.x, p.y, kLButton);
    bar.editor.idle();
    EXPECT_EQ(bar.control(kTagProgramRocker)->getValue(), c.side < 0 ? -1.0f : 1.0f);  // pressed image while held
    bar.window->mouseMove(p.x + 1, p.y, kLButton);
    bar.window->mouseUp(p.x + 1, p.y, kLButton);
    bar.editor.idle();
    EXPECT_EQ(bar.control(kTagProgramRocker)->getValue(), 0.0f);
    EXPECT_EQ(bar.program(), c.to);
    EXPECT_EQ(bar.nameField(), factoryPresets()[c.to].name);
    EXPECT_EQ(bar.menu().getCurrent(), c.to);
  }
}

TEST(PresetBar, AChosenMenuEntryBecomesTheCurrentProgram) {
  Bar bar;
  bar.menu().setValue(24.0f);
  bar.editor.valueChanged(&bar.menu());
  EXPECT_EQ(bar.program(), 24);
  EXPECT_EQ(bar.nameField(), "Ping Pong");
  for (int i = 0; i < params::kNumParams; ++i) {
    if (i == params::DriveSwitch || i == params::CutfModSwitch || i == params::DlyTimeL || i == params::DlyTimeR) continue;
    EXPECT_EQ(bar.zel->getParameter(i), factoryPresets()[24].values[i]) << i;
  }
}

TEST(PresetBar, ATypedNameRenamesTheProgramToItsFirst24Bytes) {
  Bar bar;
  bar.zel->selectProgram(5);
  bar.click(kTagProgramName);
  EXPECT_TRUE(bar.window->hasKeyboardFocus());
  for (int i = 0; i < 40; ++i) bar.window->key(0, VKEY_BACK);
  bar.window->type("Thirty characters of a new name");
  bar.window->key(0, VKEY_RETURN);
  bar.editor.idle();
  EXPECT_FALSE(bar.window->hasKeyboardFocus());
  EXPECT_EQ(nameOf(bar.zel->programs()[5]), "Thirty characters of a n");
  EXPECT_STREQ(bar.menu().getEntry(5), "Thirty characters of a n");
}

// The default buttons act on a double-click: store, or delete with Control
// (the MIDI default is stored either way). A single click does nothing.
TEST(PresetBar, DefaultButtonsStoreOnADoubleClickAndDeleteWithControl) {
  const struct {
    int tag;
    const char* value;
    bool deletes;
  } cases[] = {{kTagDefaultPreset, "DefaultPreset", true}, {kTagDefaultBank, "DefaultBank", true},
               {kTagDefaultMidi, "DefaultMidi", false}};
  const platform::SettingsStore store = platform::SettingsStore::forUser();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    store.remove(c.value);
    Bar bar;
    uint8_t byte;
    bar.click(c.tag);
    EXPECT_FALSE(store.read(c.value, &byte, 1)) << "single click";
    bar.click(c.tag, kLButton | kDoubleClick);
    EXPECT_TRUE(store.read(c.value, &byte, 1)) << "double-click";
    bar.click(c.tag, kLButton | kDoubleClick | kControl);
    EXPECT_EQ(store.read(c.value, &byte, 1).has_value(), !c.deletes) << "Control + double-click";
    store.remove(c.value);
  }
}

TEST(PresetBar, LearnAndForgetExcludeEachOther) {
  Bar bar;
  bar.click(kTagMidiForget);
  EXPECT_TRUE(bar.zel->isForgetting());
  bar.click(kTagMidiLearn);
  EXPECT_TRUE(bar.zel->isLearning());
  EXPECT_FALSE(bar.zel->isForgetting());
  EXPECT_EQ(bar.control(kTagMidiForget)->getValue(), 0.0f);
  EXPECT_EQ(bar.control(kTagMidiLearn)->getValue(), 1.0f);
  // A controller learnt (on the audio thread) ends learning; the button follows.
  bar.zel->setParameter(params::Cutoff, 0.3f);
  vst::VstMidiEvent cc{};
  cc.type = vst::kVstMidiType;
  cc.byteSize = sizeof cc;
  cc.midiData[0] = static_cast<char>(0xB0);
  cc.midiData[1] = 74;
  cc.midiData[2] = 64;
  vst::VstEvents events{1, 0, {reinterpret_cast<vst::VstEvent*>(&cc), nullptr}};
  std::thread([&] { bar.zel->processEvents(&events); }).join();
  bar.editor.idle();
  EXPECT_EQ(bar.zel->getControllerForParameter(params::Cutoff), 74);
  EXPECT_FALSE(bar.zel->isLearning());
  EXPECT_EQ(bar.control(kTagMidiLearn)->getValue(), 0.0f);
}

TEST(PresetBar, TheControllerDisplayNamesTheControllerUnderTheMouse) {
  Bar bar;
  // A control of the cut-off, where the panel's knob will be.
  auto* knob = new CControl(CRect(540, 60, 576, 96), nullptr, params::Cutoff);
  bar.editor.getFrame()->addView(knob);
  auto hover = [&](double x, double y) {
    bar.window->mouseMove(x, y);
    bar.editor.idle();
    bar.editor.idle();
    return bar.display();
  };
  EXPECT_EQ(hover(558, 78), "not assigned");
  bar.zel->assignController(params::Cutoff, 74);
  EXPECT_EQ(hover(559, 78), controllerName(74));
  EXPECT_EQ(hover(5, 60), "");
}

// ----------------------------------------------------------------- dialogs

// A stand-in for zenity: writes its arguments to a log and answers with the
// path in the file "answer" (or cancels when there is none).
struct ScriptedDialog {
  std::string folder;
  ScriptedDialog() {
    char pattern[] = "/tmp/tavrel-dialog-XXXXXX";
    folder = ::mkdtemp(pattern);
    std::ofstream script(folder + "/zenity");
    script << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << folder << "/args'\n"
           << "[ -f '" << folder << "/answer' ] || exit 1\ncat '" << folder << "/answer'\n";
    script.close();
    ::chmod((folder + "/zenity").c_str(), 0755);
  }
  ~ScriptedDialog() { std::system(("rm -rf '" + folder + "'").c_str()); }
  void answer(const std::string& path) { std::ofstream(folder + "/answer") << path << "\n"; }
  std::string args() {
    std::ifstream in(folder + "/args");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // Idles the editor until the dialog has answered.
  static void wait(Bar& bar) {
    for (int i = 0; i < 300 && bar.editor.fileSelector().state() == platform::FileSelector::State::Running; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      bar.editor.idle();
    }
    bar.editor.idle();
  }
};

TEST(PresetBar, LoadButtonsAskForTheByteOrderWithTheRightButtonAlone) {
  ScriptedDialog dialog;
  const struct {
    CButtonState buttons;
    const char* title;
  } cases[] = {{kLButton, "--title=Load bank\n"},
               {kRButton, "--title=Load bank (endian-reversed)\n"},
               {kRButton | kShift, "--title=Load bank\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    Bar bar;
    bar.editor.fileSelector().setSearchPath(dialog.folder);
    bar.click(kTagLoadBank, c.buttons);
    ScriptedDialog::wait(bar);
    EXPECT_NE(dialog.args().find(c.title), std::string::npos) << dialog.args();
    EXPECT_NE(dialog.args().find("*.zbk"), std::string::npos);
  }
}

TEST(PresetBar, AFileSavedFromTheBarLoadsBackAndItsFolderIsWhereTheNextDialogOpens) {
  ScriptedDialog dialog;
  const std::string file = dialog.folder + "/mine.zel";
  {
    Bar bar;
    bar.editor.fileSelector().setSearchPath(dialog.folder);
    bar.zel->selectProgram(7);
    bar.zel->setParameter(params::Mix, 0.375f);
    dialog.answer(file);
    bar.click(kTagSavePreset);
    ScriptedDialog::wait(bar);
    EXPECT_NE(dialog.args().find("--title=Save preset\n"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, kPresetImageSize);
  }
  Bar next;
  next.editor.fileSelector().setSearchPath(dialog.folder);
  next.zel->selectProgram(2);
  next.click(kTagLoadPreset);
  ScriptedDialog::wait(next);
  EXPECT_NE(dialog.args().find("--filename=" + dialog.folder + "/"), std::string::npos) << dialog.args();
  EXPECT_EQ(next.program(), 2);
  EXPECT_EQ(next.zel->getParameter(params::Mix), 0.375f);
  EXPECT_EQ(next.nameField(), factoryPresets()[7].name);
}

// The button that opened a dialog stays down until the dialog answers; with
// no dialog program installed the controller display says so, also while
// the mouse moves on.
TEST(PresetBar, TheButtonStaysDownWhileItsDialogIsOpenAndAMissingDialogIsSaid) {
  ScriptedDialog dialog;
  const std::string release = dialog.folder + "/release";
  {
    std::ofstream script(dialog.folder + "/zenity");
    script << "#!/bin/sh\nwhile [ ! -f '" << release << "' ]; do sleep 0.01; done\nexit 1\n";
  }
  Bar bar;
  bar.editor.fileSelector().setSearchPath(dialog.folder);
  auto* load = static_cast<CSaveLoadButton*>(bar.control(kTagLoadMidi));
  bar.click(kTagLoadMidi);
  bar.editor.idle();
  EXPECT_TRUE(load->isPending());
  std::ofstream(release).close();
  ScriptedDialog::wait(bar);
  EXPECT_FALSE(load->isPending());
  EXPECT_EQ(bar.display(), "");

  bar.editor.fileSelector().setSearchPath(dialog.folder + "/nothing-here");
  bar.click(kTagSaveBank);
  EXPECT_FALSE(static_cast<CSaveLoadButton*>(bar.control(kTagSaveBank))->isPending());
  bar.window->mouseMove(5, 60);
  bar.editor.idle();
  EXPECT_EQ(bar.display(), "no zenity/kdialog");
}

// A program chosen elsewhere (a host restoring its project, a bank loaded)
// shows in the bar at the next idle.
TEST(PresetBar, AProgramChosenElsewhereShowsInTheBar) {
  Bar bar;
  bar.zel->selectProgram(24);
  bar.editor.idle();
  EXPECT_EQ(bar.nameField(), "Ping Pong");
  EXPECT_EQ(bar.menu().getCurrent(), 24);
  EXPECT_TRUE(bar.editor.getFrame()->writePng("preset_bar.png"));
}

}  // namespace
