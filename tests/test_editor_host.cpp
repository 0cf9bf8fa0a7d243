// The panel and the program bar need nothing of the plug-in but the editor's
// host interface: an editor made on a host that is no effect (one that
// records the edits and learn requests it is handed and passes everything
// on to an effect behind it) works the same as the effect's own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/Editor.h"
#include "editor/EditorHost.h"
#include "support/Tavrel.h"
#include "toolkit/CFrame.h"
#include "toolkit/HeadlessWindow.h"

namespace {

using namespace toolkit;

struct RelayHost final : editor::EditorHost {
  explicit RelayHost(ZEL& effect) : zel(effect) {}
  ZEL& zel;
  std::vector<std::string> asked;
  void note(const char* what, int index = -1) {
    const std::string entry = index < 0 ? what : std::string(what) + " " + std::to_string(index);
    if (asked.empty() || asked.back() != entry) asked.push_back(entry);  // a drag's writes count once
  }

  float getParameter(int index) override { return zel.getParameter(index); }
  void setParameter(int index, float value) override { zel.setParameter(index, value); }
  void beginParameterEdit(int index) override {
    note("begin", index);
    zel.beginParameterEdit(index);
  }
  void performParameterEdit(int index, float value) override {
    note("write", index);
    zel.performParameterEdit(index, value);
  }
  void endParameterEdit(int index) override {
    note("end", index);
    zel.endParameterEdit(index);
  }
  void getParameterReadout(int index, params::ParameterReadout& r) const override { zel.getParameterReadout(index, r); }
  void getParameterText(int index, char* display, char* label) override { zel.getParameterText(index, display, label); }
  const params::DelayTimeModel& delayTime(bool right) const override { return zel.delayTime(right); }
  void copyChannelSettings(bool rightToLeft) override { zel.copyChannelSettings(rightToLeft); }
  bool syncRangeExceeded(int selector) const override { return zel.syncRangeExceeded(selector); }
  double getManualTempo() const override { return zel.getManualTempo(); }
  void setManualTempo(double position) override {
    note("tempo");
    zel.setManualTempo(position);
  }
  bool hostTimeActive() const override { return zel.hostTimeActive(); }
  void readInputPeaks(float& left, float& right) override { zel.readInputPeaks(left, right); }
  bool resizeEditorWindow(int, int) override { return false; }
  void copyProgramName(int index, char* name) override { zel.copyProgramName(index, name); }
  int getCurrentProgramIndex() override { return zel.getCurrentProgramIndex(); }
  void selectProgram(int index) override {
    note("program", index);
    zel.selectProgram(index);
  }
  void renameCurrentProgram(const char* name) override { zel.renameCurrentProgram(name); }
  bool loadFile(FileKind kind, const std::string& path, bool reversed) override {
    return zel.loadFile(kind, path, reversed);
  }
  bool saveFile(FileKind kind, const std::string& path) override { return zel.saveFile(kind, path); }
  std::string currentFolder() override { return zel.currentFolder(); }
  std::string lastFileName(FileKind kind) override { return zel.lastFileName(kind); }
  void storeUserImage(state::UserImage which) override { zel.storeUserImage(which); }
  void recallUserImage(state::UserImage which) override { zel.recallUserImage(which); }
  void removeUserImage(state::UserImage which) override { zel.removeUserImage(which); }
  void startMidiLearn() override {
    note("learn");
    zel.startMidiLearn();
  }
  void stopMidiLearn() override { zel.stopMidiLearn(); }
  void startMidiForget() override {
    note("forget");
    zel.startMidiForget();
  }
  void stopMidiForget() override { zel.stopMidiForget(); }
  int getControllerForParameter(int param) override { return zel.getControllerForParameter(param); }
};

// Each row: a click on the panel or the bar, and what the host is asked.
TEST(EditorHost, ThePanelAndTheBarWorkOnAHostThatIsNoEffect) {
  const struct {
    const char* name;
    int tag;
    CButtonState buttons;
    std::vector<std::string> asked;
  } cases[] = {
      {"BYPASS (41), a host parameter bracketed by the toolkit", 41, kLButton, {"begin 41", "write 41", "end 41"}},
      {"FB INV with LINK on, both sides (FbInvL 7, FbInvR 8) bracketed", 93, kLButton,
       {"begin 7", "begin 8", "write 7", "write 8", "end 8", "end 7"}},
      {"the display area, the manual tempo", 61, kLButton, {"tempo"}},
      {"the program rocker's upper half", 99, kLButton, {"program 1"}},
      {"MIDI learn", 105, kLButton, {"learn"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto zel = testing_support::makeZel();
    RelayHost host(*zel);
    Editor editor(&host);
    ASSERT_TRUE(editor.open(nullptr));
    editor.setLinked(true);
    editor.idle();
    host.asked.clear();
    CControl* control = editor.panelView(c.tag) ? editor.panelView(c.tag) : editor.barControl(c.tag);
    ASSERT_NE(control, nullptr);
    const CRect& r = control->getViewSize();
    const double x = (r.left + r.right) / 2, y = c.tag == 99 ? r.top + 2 : (r.top + r.bottom) / 2;
    auto* window = static_cast<HeadlessWindow*>(editor.getFrame()->getPlatformWindow());
    window->mouseMove(x, y);
    window->click(x, y, c.buttons);
    editor.idle();
    EXPECT_EQ(host.asked, c.asked);
    editor.close();
  }
}

}  // namespace
