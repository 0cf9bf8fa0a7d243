// What the panel tells a musician beyond its pictures: the tooltips (their
// texts, their timing on the editor's clock, their place, the press that
// removes them and the setting that turns them off), the outlines in the
// colour of the side being edited, the finer wheel with Shift, the wheel
// over the arrow buttons, and the help key.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "editor/CHelp.h"
#include "editor/CHelpView.h"
#include "editor/Editor.h"
#include "editor/SideMarks.h"
#include "editor/TooltipText.h"
#include "editor/programbar/CPresetSystemEditor.h"
#include "params/ParameterTable.h"
#include "params/Steps.h"
#include "platform/SettingsStore.h"
#include "support/Tavrel.h"
#include "support/ToolkitRig.h"
#include "toolkit/CFrame.h"
#include "toolkit/CTooltip.h"
#include "toolkit/HeadlessWindow.h"

namespace {

using namespace params;
using namespace toolkit;
namespace panel = editor::panel;

uint32_t now = 0;
uint32_t clock() { return now; }

// The plug-in in a recording host, its panel open in a headless window on
// the test's clock.
struct Panel {
  testing_support::RecordingHost host;
  std::unique_ptr<ZEL> zel = host.makeZel();
  Editor& editor = *zel->zelEditor();
  HeadlessWindow* window = nullptr;

  Panel() {
    editor.setClock(clock);
    EXPECT_TRUE(editor.open(nullptr));
    window = static_cast<HeadlessWindow*>(editor.getFrame()->getPlatformWindow());
    editor.idle();
    host.calls.clear();
  }
  ~Panel() { editor.close(); }

  CRect rectOf(int tag) { return editor.panelView(tag)->getViewSize(); }
  CPoint centre(int tag) {
    const CRect r = rectOf(tag);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  // The pointer rests on the view for `ms` milliseconds of idles.
  void rest(int tag, uint32_t ms) {
    const CPoint p = centre(tag);
    window->mouseMove(p.x, p.y);
    editor.idle();
    now += ms;
    editor.idle();
  }
  const CTooltip* label() { return editor.tooltips().label(); }
  std::string shown() { return label() && label()->isShown() ? label()->getText() : std::string(); }
  void select(int tag) {
    window->click(centre(tag).x, centre(tag).y);
    editor.idle();
  }
  void unlink() {
    if (editor.isLinked()) select(panel::kTagLink);
    ASSERT_FALSE(editor.isLinked());
  }
};

void setSideTime(ZEL& zel, bool right, bool noteMode) {
  zel.setParameter(right ? DlyModeR : DlyModeL, noteMode ? 0.75f : 0.25f);
  zel.setParameter(right ? RangeR : RangeL, stepValue(1, 3));  // 1 s
  zel.setParameter(right ? DlyTimeR : DlyTimeL, 0.375f);
  zel.setParameter(right ? DlyNumR : DlyNumL, stepValue(1, 5));   // 3
  zel.setParameter(right ? DlyDenR : DlyDenL, stepValue(7, 13));  // 16
}

// One table over the kinds of view: a plain knob, a side knob on each side
// and with LINK, a switch, a time area in time and in note mode, an arrow
// button of the pre-delay, and a button that acts only on a double-click.
TEST(PanelTooltips, TextsNameTheControlItsSideAndItsValueWithItsUnit) {
  Panel panel;
  ZEL& zel = *panel.zel;
  zel.setParameter(Input, 0.5f);
  zel.setParameter(FbGainL, 0.5f);
  zel.setParameter(FbGainR, 0.8f);
  zel.setParameter(FltType, stepValue(2, 3));
  setSideTime(zel, false, false);
  setSideTime(zel, true, true);
  zel.setParameter(PreNumL, stepValue(1, 6));  // 1
  zel.setParameter(PreDenL, stepValue(3, 13));  // 4
  const struct {
    int tag;
    editor::SideChoice sides;
    const char* text;
  } cases[] = {
      {Input, {}, "Input level: 0.0 dB"},
      {panel::kTagFbGain, {false, false}, "Feedback gain (left): -6.0 dB"},
      {panel::kTagFbGain, {true, false}, "Feedback gain (right): -1.9 dB"},
      {panel::kTagFbGain, {true, true}, "Feedback gain (both): -1.9 dB"},
      {FltType, {}, "Filter type: HPF"},
      {panel::kTagMainTimeArea, {false, false}, "Main time (left): 375 ms = 3/16"},
      {panel::kTagMainTimeArea, {true, false}, "Main time (right): 3/16 = 375 ms"},
      {panel::kTagMainDen, {true, true}, "Main time (both): 3/16 = 375 ms"},
      {panel::kTagPreNum, {false, false}, "Pre-delay (left): 1/4 of the delay = 93.8 ms"},
      {presets::kTagDefaultPreset, {}, "Default preset: double-click stores this program for new instances, Ctrl + double-click removes it"},
      {panel::kTagDigit1, {}, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(editor::tooltipText(zel, c.tag, c.sides), c.text) << "tag " << c.tag;
}


// The label comes after 600 ms of rest on the editor's clock, follows the
// value, never covers the control (below a knob at the top, above the help
// button at the bottom), goes on a press and stays away until the pointer
// moves on; back on another control.
TEST(PanelTooltips, HoverShowsThePressRemovesAndAnotherControlBringsItBack) {
  Panel panel;
  panel.rest(Cutoff, 599);
  EXPECT_EQ(panel.shown(), "");
  now += 1;
  panel.editor.idle();
  EXPECT_TRUE(panel.shown().starts_with("Filter cutoff: ")) << panel.shown();
  EXPECT_TRUE(panel.shown().ends_with(" Hz")) << panel.shown();
  const CRect knob = panel.rectOf(Cutoff);
  const CRect below = panel.label()->getViewSize();
  EXPECT_FALSE(below.rectOverlap(knob));
  EXPECT_GE(below.top, knob.bottom);

  panel.zel->setParameter(FltType, stepValue(1, 3));
  panel.rest(FltType, 600);
  EXPECT_EQ(panel.shown(), "Filter type: BPF");
  panel.zel->setParameter(FltType, stepValue(0, 3));
  panel.editor.setParameter(FltType, stepValue(0, 3));
  panel.editor.idle();
  EXPECT_EQ(panel.shown(), "Filter type: LPF");

  const CPoint p = panel.centre(FltType);
  panel.window->mouseDown(p.x, p.y, kLButton);
  panel.window->mouseUp(p.x, p.y, kLButton);
  panel.editor.idle();
  EXPECT_EQ(panel.shown(), "");
  now += 2000;
  panel.editor.idle();
  EXPECT_EQ(panel.shown(), "") << "back on the control just clicked";

  panel.rest(panel::kTagHelp, 600);
  EXPECT_TRUE(panel.shown().starts_with("Help")) << panel.shown();
  const CRect help = panel.rectOf(panel::kTagHelp);
  const CRect above = panel.label()->getViewSize();
  EXPECT_LE(above.bottom, help.top);
  EXPECT_GE(above.left, 0.0);
  EXPECT_LE(above.right, double(Editor::kWidth));

  panel.window->mouseLeave();
  panel.editor.idle();
  EXPECT_EQ(panel.shown(), "");
}

// `Tooltips` = "0" in the user's settings: nothing shows, however long the
// pointer rests.
TEST(PanelTooltips, TheUserSettingTurnsThemOff) {
  const platform::SettingsStore store = platform::SettingsStore::forUser();
  ASSERT_TRUE(store.writeText("Tooltips", "0"));
  {
    Panel panel;
    panel.rest(Cutoff, 5000);
    EXPECT_FALSE(panel.editor.tooltips().enabled());
    EXPECT_EQ(panel.shown(), "");
  }
  store.remove("Tooltips");
  Panel panel;
  panel.rest(Cutoff, 600);
  EXPECT_NE(panel.shown(), "");
}

// The corner marks beside a side knob and beside the side buttons, read from
// the panel's picture: blue for left, orange for right, and with LINK blue on
// the knob's left and orange on its right. Screenshots of the three.
TEST(PanelTooltips, SideOutlinesFollowLeftRightAndLink) {
  Panel panel;
  panel.unlink();
  const CRect knob = panel.rectOf(panel::kTagFbGain);
  const int y = static_cast<int>(knob.top) + 1;  // in the corners' upright arms
  const int leftEdge = static_cast<int>(knob.left) - 2, rightEdge = static_cast<int>(knob.right) + 1;
  auto colourAt = [&](int x) {
    panel.editor.idle();
    return toolkit_rig::pixel(panel.editor.getFrame()->getOffscreen(), x, y);
  };
  auto rgb = [](const CColor& c) { return uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue; };
  const uint32_t blue = rgb(editor::SideMarks::kLeftColour), orange = rgb(editor::SideMarks::kRightColour);
  const CRect leftButton = panel.rectOf(panel::kTagLeft), rightButton = panel.rectOf(panel::kTagRight);
  auto buttonMark = [&](const CRect& r) {
    return toolkit_rig::pixel(panel.editor.getFrame()->getOffscreen(), static_cast<int>(r.left) - 2,
                              static_cast<int>(r.top) + 1);
  };

  EXPECT_EQ(colourAt(leftEdge), blue);
  EXPECT_EQ(colourAt(rightEdge), blue);
  EXPECT_EQ(buttonMark(leftButton), blue);
  EXPECT_NE(buttonMark(rightButton), orange);
  panel.editor.getFrame()->writePng(toolkit_rig::outputPath("panel_side_left.png").c_str());

  panel.select(panel::kTagRight);
  EXPECT_EQ(colourAt(leftEdge), orange);
  EXPECT_EQ(colourAt(rightEdge), orange);
  EXPECT_EQ(buttonMark(rightButton), orange);
  EXPECT_NE(buttonMark(leftButton), blue);
  panel.editor.getFrame()->writePng(toolkit_rig::outputPath("panel_side_right.png").c_str());

  panel.select(panel::kTagLink);
  EXPECT_EQ(colourAt(leftEdge), blue);
  EXPECT_EQ(colourAt(rightEdge), orange);
  EXPECT_EQ(buttonMark(leftButton), blue);
  EXPECT_EQ(buttonMark(rightButton), orange);
  panel.editor.getFrame()->writePng(toolkit_rig::outputPath("panel_side_link.png").c_str());
}

// Shift with the wheel turns a knob a tenth of a plain notch. Each notch over
// an arrow button is one click: one bracketed write each.
TEST(PanelTooltips, ShiftWheelIsFinerAndTheWheelStepsArrowButtons) {
  Panel panel;
  panel.zel->setParameter(Input, 0.5f);
  panel.editor.setParameter(Input, 0.5f);
  panel.editor.idle();
  const CPoint knob = panel.centre(Input);
  panel.window->wheel(knob.x, knob.y, 1.0f);
  EXPECT_NEAR(panel.zel->getParameter(Input), 0.5f + panel::kKnobWheelIncrement, 1e-6);
  panel.window->wheel(knob.x, knob.y, -1.0f, kShift);
  EXPECT_NEAR(panel.zel->getParameter(Input), 0.5f + 0.9f * panel::kKnobWheelIncrement, 1e-6);

  panel.unlink();
  panel.zel->setParameter(PreNumL, stepValue(1, 6));
  panel.host.calls.clear();
  const CPoint arrow = panel.centre(panel::kTagPreNum);
  panel.window->wheel(arrow.x, arrow.y, 2.0f);
  EXPECT_EQ(steps(panel.zel->getParameter(PreNumL), 6), 3);
  std::string brackets;
  for (const auto& c : panel.host.calls)
    if (c.opcode == vst::audioMasterBeginEdit || c.opcode == vst::audioMasterEndEdit ||
        c.opcode == vst::audioMasterAutomate)
      brackets += c.opcode == vst::audioMasterBeginEdit ? 'b' : c.opcode == vst::audioMasterEndEdit ? 'e' : 'w';
  EXPECT_EQ(brackets, "bwebwe");
}

// The help key opens help at the page of the section under the pointer and
// turns the page when pressed again elsewhere; other keys are not taken.
TEST(PanelTooltips, TheHelpKeyOpensThePageUnderThePointer) {
  Panel panel;
  VstKeyCode f1;
  f1.virt = VKEY_F1;
  panel.window->mouseMove(695, 46);  // CUTOFF: the filter
  EXPECT_FALSE(panel.editor.onKeyDown(VstKeyCode{'a', 0, 0}));
  ASSERT_TRUE(panel.editor.onKeyDown(f1));
  auto* help = dynamic_cast<CHelpView*>(panel.editor.getFrame()->getModalView());
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->getCurrentPage(), panel::helpPageAt(695, 46));
  panel.window->mouseMove(850, 40);  // the reverb
  EXPECT_TRUE(panel.editor.onKeyDown(f1));
  EXPECT_EQ(help->getCurrentPage(), panel::helpPageAt(850, 40));
  EXPECT_NE(panel::helpPageAt(850, 40), panel::helpPageAt(695, 46));
}

}  // namespace
