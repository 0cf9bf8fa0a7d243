// The panel as a musician plays it, through a headless window with real
// mouse events: what each control writes (and what LINK adds), the side
// selector, the kick-button steps, the hot areas, the four-digit display,
// the meters, and the panel following the host.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "editor/Editor.h"
#include "params/ParameterTable.h"
#include "params/Steps.h"
#include "support/Tavrel.h"
#include "toolkit/CFrame.h"
#include "toolkit/HeadlessWindow.h"

namespace {

using namespace params;
using namespace toolkit;

uint32_t fakeNow = 0;
uint32_t fakeClock() { return fakeNow; }

// The plug-in in a recording host, its panel open in a headless window.
struct Panel {
  testing_support::RecordingHost host;
  std::unique_ptr<ZEL> zel = host.makeZel();
  Editor& editor = *zel->zelEditor();
  HeadlessWindow* window = nullptr;

  Panel() {
    editor.setClock(fakeClock);
    EXPECT_TRUE(editor.open(nullptr));
    window = static_cast<HeadlessWindow*>(editor.getFrame()->getPlatformWindow());
    editor.idle();
    host.calls.clear();
  }
  ~Panel() {
    if (zel) editor.close();
  }

  CPoint centre(int tag) {
    const CRect& r = editor.panelView(tag)->getViewSize();
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void click(int tag, CButtonState buttons = kLButton, double dx = 0) {
    CPoint p = centre(tag);
    p.x += dx;
    window->mouseMove(p.x, p.y);
    window->click(p.x, p.y, buttons);
    editor.idle();
  }
  // Drags a knob from its centre by dy pixels (up is positive).
  void drag(int tag, double dy) {
    const CPoint p = centre(tag);
    window->mouseMove(p.x, p.y);
    window->mouseDown(p.x, p.y, kLButton);
    window->mouseMove(p.x, p.y - dy, kLButton);
    window->mouseUp(p.x, p.y - dy, kLButton);
    editor.idle();
  }
  void hover(double x, double y) {
    window->mouseMove(x, y);
    editor.idle();
    editor.idle();
  }
  // Sets a control as the user would leave it and lets it report.
  void turn(int tag, float value) {
    editor.panelView(tag)->setValue(value);
    editor.valueChanged(editor.panelView(tag));
  }
  float view(int tag) { return editor.panelView(tag)->getValue(); }
  float param(int index) { return zel->getParameter(index); }

  // The display as it reads: digits, points and slashes.
  std::string display() {
    auto frameOf = [this](int tag, int frames) { return static_cast<int>(std::lround(view(tag) * (frames - 1))); };
    std::string text;
    for (int d = 0; d < 4; ++d) {
      const int f = frameOf(64 + d, d == 0 ? 13 : 11);
      text += f == 0 ? ' ' : (f <= 10 ? static_cast<char>('0' + f - 1) : (f == 11 ? '-' : '+'));
      if (d < 3 && view(68 + d) > 0.5f) text += '.';
      if (d < 3 && view(71 + d) > 0.5f) text += '/';
    }
    return text;
  }
};

constexpr float step(int a, int n) { return (a + 0.5f) / n; }

// ------------------------------------------------------------ what is written

TEST(PanelEditor, LinkedSideKnobsWriteBothSidesAsTheirRuleSays) {
  const struct {
    int tag;
    double drag;  // pixels up from the default 0.5 (FBCK GAIN starts at 0)
    int left, right;
    float wantLeft, wantRight;
  } cases[] = {{83, -60, FbPanL, FbPanR, 0.2f, 0.8f}, {84, 140, FbGainL, FbGainR, 0.7f, 0.7f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    Panel panel;
    panel.zel->setParameter(c.left, c.tag == 84 ? 0.0f : 0.5f);
    panel.editor.setLinked(false);
    panel.editor.idle();
    panel.click(62);  // LINK on
    ASSERT_TRUE(panel.editor.isLinked());
    panel.host.calls.clear();
    panel.drag(c.tag, c.drag);
    EXPECT_NEAR(panel.param(c.left), c.wantLeft, 1e-5);
    EXPECT_NEAR(panel.param(c.right), c.wantRight, 1e-5);
    // Every write inside a bracket of its own index, both sides.
    int open[2] = {0, 0};
    for (const auto& call : panel.host.calls) {
      const int which = call.index == c.left ? 0 : (call.index == c.right ? 1 : -1);
      ASSERT_NE(which, -1) << "opcode " << call.opcode << " index " << call.index;
      if (call.opcode == vst::audioMasterBeginEdit) ++open[which];
      if (call.opcode == vst::audioMasterEndEdit) --open[which];
      if (call.opcode == vst::audioMasterAutomate) {
        EXPECT_EQ(open[which], 1);
      }
    }
    EXPECT_EQ(open[0], 0);
    EXPECT_EQ(open[1], 0);
  }
}

// Hosts record automation only inside a begin/end bracket of the same index:
// every write the panel makes, linked or not, sits in one.
TEST(PanelEditor, EveryWriteSitsInABracketOfItsOwnIndex) {
  const struct {
    const char* name;
    int tag;
    CButtonState buttons;
    double dx;  // from the centre: the first position of a switch
  } cases[] = {{"PHS INV", 93, kLButton, 0},      {"MUTE IN", 96, kLButton, 0},       {"MODE switch", 88, kLButton, 0},
               {"RANGE switch", 89, kLButton, -10}, {"PRE TIME NUM", 74, kLButton, 0}, {"MAIN TIME DEN", 77, kLButton, 0},
               {"BYPASS", 41, kLButton, 0},        {"SHAPE", 9, kLButton, 0},         {"LFO MODE", 32, kLButton, 10},
               {"LINK with Control", 62, kLButton | kControl, 0}};
  for (bool linked : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (linked ? ", linked" : ""));
      Panel panel;
      panel.editor.setLinked(linked);
      panel.zel->setParameter(DlyModeL, 0.0f);  // time mode, so the range switch writes
      panel.editor.idle();
      panel.host.calls.clear();
      panel.click(c.tag, c.buttons, c.dx);
      std::map<int, int> open;
      int automated = 0;
      for (const auto& call : panel.host.calls) {
        if (call.opcode == vst::audioMasterBeginEdit) ++open[call.index];
        if (call.opcode == vst::audioMasterEndEdit) --open[call.index];
        if (call.opcode == vst::audioMasterAutomate) {
          ++automated;
          EXPECT_GT(open[call.index], 0) << "write of " << call.index << " outside a bracket";
          EXPECT_TRUE(call.opt >= 0.0f && call.opt <= 1.0f);
        }
      }
      EXPECT_GT(automated, 0);
      for (const auto& [index, depth] : open) EXPECT_EQ(depth, 0) << "bracket of " << index << " left open";
    }
  }
}

TEST(PanelEditor, ControlClickOnLinkCopiesTheSelectedSide) {
  Panel panel;
  panel.zel->setParameter(FbPanL, 0.3f);
  panel.zel->setParameter(FbGainL, 0.6f);
  panel.zel->setParameter(PreNumL, step(3, 6));
  panel.editor.setLinked(false);
  panel.editor.idle();
  panel.click(62);  // on
  panel.click(62, kLButton | kControl);
  EXPECT_TRUE(panel.editor.isLinked());  // the picture went off, the link stays on
  EXPECT_EQ(panel.view(62), 0.25f);
  EXPECT_NEAR(panel.param(FbPanR), 0.7f, 1e-6);
  EXPECT_EQ(panel.param(FbGainR), 0.6f);
  EXPECT_EQ(panel.param(PreNumR), step(3, 6));
}

// ------------------------------------------------------ gestures cut short

intptr_t dispatch(ZEL& zel, int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr) {
  return zel.getAeffect()->dispatcher(zel.getAeffect(), opcode, index, value, ptr, 0.0f);
}

// A bank image, as a host keeps it in a project, whose current program has
// its two sides alike (so loading it turns LINK on) or not.
std::vector<uint8_t> bankThatLinks(bool linked) {
  auto zel = testing_support::makeZel();
  for (int p = 0; p < state::kNumPrograms; ++p) {
    zel->selectProgram(p);
    if (zel->zelEditor()->isLinked() != linked) continue;
    void* data = nullptr;
    const auto size = dispatch(*zel, vst::effGetChunk, 0, 0, &data);
    const auto* bytes = static_cast<const uint8_t*>(data);
    return {bytes, bytes + size};
  }
  return {};
}

// A host in touch or latch automation holds a parameter from its begin-edit
// to its end-edit. Whatever cuts a drag short (the host closing the window
// or the whole instance, or a bank the host loads switching LINK), each index
// the host saw begun is ended once, and every write lies inside a bracket of
// its own index.
TEST(PanelEditor, EveryEditTheHostSawBegunIsEndedWhateverCutsTheDragShort) {
  enum Cut { kWindowClosed, kEffectClosed, kBankLoaded };  // the bank switches LINK the other way
  const struct {
    const char* name;
    int tag;
    bool linked;  // at the drag's start
    Cut cut;
  } cases[] = {
      {"window closed during a linked FBCK PAN drag", 83, true, kWindowClosed},
      {"window closed during a CUTOFF drag", 15, false, kWindowClosed},
      {"instance closed during a linked FBCK GAIN drag", 84, true, kEffectClosed},
      {"LINK off from the host during a linked FBCK GAIN drag", 84, true, kBankLoaded},
      {"LINK on from the host during an FBCK GAIN drag", 84, false, kBankLoaded},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Panel panel;
    panel.editor.setLinked(c.linked);
    panel.editor.idle();
    panel.host.calls.clear();
    const CPoint p = panel.centre(c.tag);
    panel.window->mouseMove(p.x, p.y);
    panel.window->mouseDown(p.x, p.y, kLButton);
    panel.window->mouseMove(p.x, p.y - 20, kLButton);
    if (c.cut == kBankLoaded) {
      std::vector<uint8_t> bank = bankThatLinks(!c.linked);
      ASSERT_FALSE(bank.empty());
      dispatch(*panel.zel, vst::effSetChunk, 0, static_cast<intptr_t>(bank.size()), bank.data());
      ASSERT_EQ(panel.editor.isLinked(), !c.linked);
      panel.window->mouseMove(p.x, p.y - 40, kLButton);
      panel.window->mouseUp(p.x, p.y - 40, kLButton);
    }
    if (c.cut == kEffectClosed)
      dispatch(*panel.zel.release(), vst::effClose);  // the effect deletes itself
    else
      dispatch(*panel.zel, vst::effEditClose);
    std::map<int, int> open;
    int begun = 0;
    for (const auto& call : panel.host.calls) {
      if (call.opcode == vst::audioMasterBeginEdit) {
        ++begun;
        EXPECT_EQ(++open[call.index], 1) << "index " << call.index << " begun twice";
      } else if (call.opcode == vst::audioMasterEndEdit) {
        EXPECT_EQ(--open[call.index], 0) << "index " << call.index << " ended without a begin";
      } else if (call.opcode == vst::audioMasterAutomate) {
        EXPECT_EQ(open[call.index], 1) << "write of " << call.index << " outside a bracket";
      }
    }
    EXPECT_GT(begun, 0);
    for (const auto& [index, depth] : open) EXPECT_EQ(depth, 0) << "bracket of " << index << " left open";
  }
}

// A name typed into the program bar is kept when the host closes the window
// before Enter, as a click elsewhere keeps it; Escape still cancels.
TEST(PanelEditor, ANameTypedBeforeTheHostClosesTheWindowIsKeptUnlessEscaped) {
  for (bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "Escape, then close" : "typed, then close");
    Panel panel;
    char before[64] = {}, after[64] = {};
    dispatch(*panel.zel, vst::effGetProgramName, 0, 0, before);
    const CRect& r = panel.editor.barControl(presets::kTagProgramName)->getViewSize();
    panel.window->click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    for (int i = 0; i < 30; ++i) panel.window->key(0, VKEY_BACK);
    panel.window->type("Typed, never entered");
    if (escape) panel.window->key(0, VKEY_ESCAPE);
    dispatch(*panel.zel, vst::effEditClose);
    dispatch(*panel.zel, vst::effGetProgramName, 0, 0, after);
    EXPECT_STREQ(after, escape ? before : "Typed, never entered");
  }
}

// One click on an arrow: a step forward, or back with Shift or Control
// (in time mode the main-time arrows move 1, 10 or 100 thousandths).
TEST(PanelEditor, KickButtonsStepWrapAndMoveTimesAndRates) {
  const double hz14 = std::log(1.0 + 14.9995) / std::log(16.0), hzLow = std::log(1.0 + 0.0105) / std::log(16.0);
  const struct {
    const char* name;
    std::vector<std::pair<int, float>> settings;
    int tag;
    CButtonState buttons;
    int index;
    double want;
  } cases[] = {
      {"PRE TIME NUM at its last step wraps to the first", {{PreNumL, step(5, 6)}}, 74, kLButton, PreNumL, step(0, 6)},
      {"PRE TIME NUM back from the first wraps to the last", {{PreNumL, step(0, 6)}}, 74, kLButton | kShift, PreNumL,
       step(5, 6)},
      {"MAIN TIME DEN in beat mode", {{DlyDenL, step(3, 13)}}, 77, kLButton, DlyDenL, step(4, 13)},
      {"MAIN TIME DEN in time mode, Control: +0.1, held at 1", {{DlyModeL, 0}, {RangeL, step(1, 3)}, {DlyTimeL, 0.9995f}},
       77, kLButton | kControl, DlyTimeL, 1.0},
      {"MAIN TIME NUM in time mode, Shift: -0.01", {{DlyModeL, 0}, {RangeL, step(1, 3)}, {DlyTimeL, 0.5f}}, 76,
       kLButton | kShift, DlyTimeL, 0.49},
      {"free LFO up from 14.9995 Hz stops at 15 Hz", {{LfoMode, 0}, {LFORate, static_cast<float>(hz14)}}, 79, kLButton,
       LFORate, std::log(16.0) / std::log(16.0)},
      {"free LFO down from 0.0105 Hz stops at 0.01 Hz", {{LfoMode, 0}, {LFORate, static_cast<float>(hzLow)}}, 78,
       kLButton, LFORate, std::log(1.01) / std::log(16.0)},
      {"synchronised LFO: LFO DEN steps the note value", {{LfoMode, step(1, 3)}, {LfoDen, step(3, 13)}}, 79, kLButton,
       LfoDen, step(4, 13)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Panel panel;
    for (const auto& [index, value] : c.settings) panel.zel->setParameter(index, value);
    panel.click(c.tag, c.buttons);
    EXPECT_NEAR(panel.param(c.index), c.want, 2e-6);
  }
}

// A hot area writes its value squared (time in thousandths), and snaps back
// where the mode gives the value.
TEST(PanelEditor, HotAreasWriteSquaresAndSnapBackWhereTheModeDecides) {
  Panel panel;
  panel.zel->setParameter(DlyModeL, 0.0f);
  panel.turn(90, 0.5f);
  EXPECT_FLOAT_EQ(panel.param(DlyTimeL), 0.25f);
  panel.turn(90, 0.7f);
  EXPECT_FLOAT_EQ(panel.param(DlyTimeL), 0.49f);
  panel.zel->setParameter(DlyModeL, 1.0f);  // beat mode: the time is the tempo's
  panel.turn(90, 0.1f);
  EXPECT_FLOAT_EQ(panel.param(DlyTimeL), 0.49f);
  EXPECT_FLOAT_EQ(panel.view(90), std::sqrt(0.49f));
  panel.zel->setParameter(LfoMode, 0.0f);
  panel.turn(10, 0.5f);
  EXPECT_FLOAT_EQ(panel.param(LFORate), 0.25f);
}

// --------------------------------------------------------------- the sides

TEST(PanelEditor, TheSideSelectorRetargetsTheViewsAndSurvivesAReopen) {
  Panel panel;
  panel.zel->setParameter(FbPanL, 0.1f);
  panel.zel->setParameter(FbPanR, 0.9f);
  panel.editor.idle();
  EXPECT_EQ(panel.view(83), 0.1f);
  panel.click(92);  // RIGHT
  EXPECT_EQ(panel.view(83), 0.9f);
  EXPECT_EQ(panel.view(92), 0.0f);  // lit
  EXPECT_EQ(panel.view(91), 1.0f);
  // The host automates the side not shown: no view moves.
  panel.zel->setParameter(FbPanL, 0.4f);
  panel.editor.idle();
  EXPECT_EQ(panel.view(83), 0.9f);
  panel.editor.close();
  ASSERT_TRUE(panel.editor.open(nullptr));
  EXPECT_TRUE(panel.editor.selectedSide());
  EXPECT_EQ(panel.view(83), 0.9f);
  EXPECT_EQ(panel.view(92), 0.0f);
  panel.window = static_cast<HeadlessWindow*>(panel.editor.getFrame()->getPlatformWindow());
  panel.click(91);  // LEFT shows what the host wrote meanwhile
  EXPECT_EQ(panel.view(83), 0.4f);
}

TEST(PanelEditor, HostChangesReachTheViewsWithoutAnEcho) {
  Panel panel;
  panel.zel->setParameter(Cutoff, 0.3f);
  panel.zel->setParameter(Bypass, 1.0f);
  panel.zel->setParameter(LFORate, 0.36f);
  panel.editor.idle();
  EXPECT_EQ(panel.view(15), 0.3f);
  EXPECT_EQ(panel.view(41), 1.0f);
  EXPECT_FLOAT_EQ(panel.view(10), 0.6f);
  EXPECT_EQ(panel.host.count(vst::audioMasterAutomate), 0);
}

// --------------------------------------------------------------- the display

TEST(PanelEditor, TheDisplayReadsWhatTheMouseRestsOn) {
  const struct {
    const char* name;
    std::vector<std::pair<int, float>> settings;
    double x, y;
    const char* shows;
  } cases[] = {
      {"the tempo", {}, 5, 160, "120.0"},
      {"INPUT at -6 dB", {{Input, 0.35397f}}, 400, 46, "-6.00"},
      {"INPUT silent", {{Input, 0.0f}}, 400, 46, "-.010"},
      {"MIX 70 dry / 30 wet", {{Mix, 0.3f}}, 447, 46, "70/30"},
      {"MAIN TIME 3/16", {{DlyModeL, 1}, {DlyNumL, step(1, 5)}, {DlyDenL, step(7, 13)}}, 100, 60, "3 /16"},
      {"SENS after INPUT: no sign of its own", {{ModSens, 1.0f}, {Input, 0.35397f}}, 493, 111, "10.00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Panel panel;
    for (const auto& [index, value] : c.settings) panel.zel->setParameter(index, value);
    panel.hover(400, 46);  // a signed readout first
    panel.hover(c.x, c.y);
    std::string shown = panel.display();
    EXPECT_EQ(shown, std::string(c.shows)) << shown;
  }
}

// The blocks of PRE TIME, MAIN TIME and the LFO read as their controls do
// out to their last pixel, and the tempo one pixel beyond.
TEST(PanelEditor, EachTimeBlockReadsAsItsControlsToItsEdge) {
  const struct {
    const char* name;
    double x, y;          // a control of the block
    double edgeX, edgeY;  // the block's far corner
  } cases[] = {{"PRE TIME", 99, 33, 149, 47}, {"MAIN TIME", 118, 123, 149, 134}, {"LFO", 323, 123, 375, 140}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Panel panel;
    panel.zel->setParameter(LFORate, 0.36f);
    panel.hover(c.x, c.y);
    const std::string control = panel.display();
    EXPECT_NE(control, "120.0");
    panel.hover(c.edgeX, c.edgeY);
    EXPECT_EQ(panel.display(), control);
    panel.hover(c.edgeX + 1, c.edgeY + 1);
    EXPECT_EQ(panel.display(), "120.0");
  }
}

// One host idle, one picture: the knob the host turned and the display
// reading it go to the window together.
TEST(PanelEditor, OneIdleDrawsTheHostsChangeAndTheDisplayAtOnce) {
  Panel panel;
  panel.hover(400, 46);  // INPUT
  const int presents = panel.window->presentCount();
  panel.zel->setParameter(Input, 0.35397f);
  panel.editor.idle();
  EXPECT_EQ(panel.display(), "-6.00");
  EXPECT_EQ(panel.window->presentCount(), presents + 1);
}

TEST(PanelEditor, AnOutOfRangeNoteTimeBlinks) {
  Panel panel;
  panel.zel->setParameter(DlyModeL, 1.0f);
  panel.zel->setParameter(DlyNumL, step(4, 5));  // 9/1 at 120 BPM: 18 s
  panel.zel->setParameter(DlyDenL, step(0, 13));
  int blank = 0, shown = 0;
  for (int i = 0; i < 8; ++i) {
    fakeNow += 300;
    panel.hover(100, 60);
    (panel.display() == "    " ? blank : shown)++;
  }
  EXPECT_GT(blank, 0);
  EXPECT_GT(shown, 0);
}

TEST(PanelEditor, MetersJumpUpAndFallOverHalfASecond) {
  Panel panel;
  panel.zel->setBlockSize(64);
  panel.zel->resume();
  // The peaks lag the input by one block.
  std::vector<float> full(128, 1.0f), quiet(128, 0.05f);
  float* in[4] = {full.data(), quiet.data(), quiet.data(), quiet.data()};
  std::vector<float> outL(128), outR(128);
  float* out[2] = {outL.data(), outR.data()};
  panel.zel->processReplacing(in, out, 128);
  fakeNow += 20;
  panel.editor.idle();
  EXPECT_EQ(panel.view(80), 1.0f);  // 0 dB: full
  EXPECT_EQ(panel.view(81), 0.0f);  // -26 dB: the floor
  fakeNow += 250;
  panel.editor.idle();
  EXPECT_NEAR(panel.view(80), 0.5f, 1e-6);
  fakeNow += 250;
  panel.editor.idle();
  EXPECT_EQ(panel.view(80), 0.0f);
}

TEST(PanelEditor, ThePanelAsAMusicianSeesIt) {
  Panel panel;
  panel.zel->selectProgram(24);
  panel.hover(447, 46);
  EXPECT_TRUE(panel.editor.getFrame()->writePng("panel.png"));
}

}  // namespace
