// The panel's own controls through a headless frame and real mouse events:
// knob pictures, the vertical switch, arrow-button step sizes, two-state
// buttons with their copy modifier, and the drag areas' arithmetic.
#include <gtest/gtest.h>

#include <vector>

#include "editor/CInvisibleSlider.h"
#include "editor/ZELAnimKnob.h"
#include "editor/ZELKickButton.h"
#include "editor/ZELOnOffButton.h"
#include "editor/ZELSwitchVert.h"
#include "support/ToolkitRig.h"

using namespace toolkit;
using toolkit_rig::greyOf;
using toolkit_rig::greyPixel;
using toolkit_rig::makeStrip;
using toolkit_rig::Recorder;
using toolkit_rig::Rig;

namespace {

constexpr uint32_t kRigBackground = 0x00005a;

// Frame chosen by truncation, drawn from the source offset into the drawing
// rectangle (not the view's), the margin left to the panel behind.
TEST(PanelKnob, FrameByTruncationIntoTheDrawingRectangleAndFineDrag) {
  const struct {
    float value;
    int frame;
  } cases[] = {{0.0f, 0}, {0.5f, 50}, {0.999f, 99}, {1.0f, 100}, {0.29f, 29}, {0.0149f, 1}};
  Rig rig;
  CBitmap* strip = makeStrip(40, 36, 101);
  auto* knob = rig.add(new ZELAnimKnob(CRect(10, 10, 46, 46), nullptr, 5, 101, 36, strip, CPoint(2, 2),
                                       CRect(11, 11, 44, 44)));
  strip->forget();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    knob->setValue(c.value);
    rig.frame->idle();
    EXPECT_EQ(knob->frameIndex(), c.frame);
    EXPECT_EQ(rig.at(11, 11), greyPixel(greyOf(c.frame)));
    EXPECT_EQ(rig.at(43, 43), greyPixel(greyOf(c.frame)));
    EXPECT_EQ(rig.at(10, 10), kRigBackground);
    EXPECT_EQ(rig.at(44, 44), kRigBackground);
  }
  // The copy keeps its drawing rectangle and names its class.
  CView* copy = knob->newCopy();
  EXPECT_STREQ(copy->getClassName(), "ZELAnimKnob");
  EXPECT_TRUE(copy->isTypeOf("CKnob"));
  EXPECT_EQ(static_cast<ZELAnimKnob*>(copy)->getDrawRect(), CRect(11, 11, 44, 44));
  copy->forget();
  // Shift makes a full sweep 1000 pixels instead of 200.
  knob->setValue(0.5f);
  rig.window->mouseDown(20, 40, kLButton | kShift);
  rig.window->mouseMove(20, 0, kLButton | kShift);
  rig.window->mouseUp(20, 0, 0);
  EXPECT_NEAR(knob->getValue(), 0.54f, 1e-5);
}

TEST(PanelSwitchVert, ClickedRowPicksPositionAndPicture) {
  // The LFO waveform switch: five pictures of 56 rows, as tall as the switch.
  const struct {
    double y;
    float value;
  } cases[] = {{83, 0.0f}, {94, 0.0f}, {95, 0.2f}, {117, 0.6f}, {127, 0.6f}, {128, 0.8f}, {138, 0.8f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.y);
    Rig rig(400, 150);
    Recorder rec;
    CBitmap* strip = makeStrip(16, 56, 5);
    auto* sw = rig.add(new ZELSwitchVert(CRect(359, 83, 375, 139), &rec, 9, 5, 56, 5, strip, CPoint()));
    strip->forget();
    sw->setValue(0.5f);
    rig.frame->idle();
    rig.window->click(367, c.y);
    EXPECT_FLOAT_EQ(sw->getValue(), c.value);
    EXPECT_EQ(rec.kinds(), "bve");
    rig.frame->idle();
    EXPECT_EQ(rig.at(367, 110), greyPixel(greyOf(static_cast<int>(c.value * 5 + 0.5f))));
  }

  Rig rig(400, 150);
  Recorder rec;
  CBitmap* strip = makeStrip(16, 56, 5);
  auto* sw = rig.add(new ZELSwitchVert(CRect(359, 83, 375, 139), &rec, 9, 5, 56, 5, strip, CPoint()));
  strip->forget();
  // A value from outside shows the picture of its step.
  sw->setValue(0.99f);
  rig.frame->idle();
  EXPECT_EQ(rig.at(367, 100), greyPixel(greyOf(4)));
  // The position already drawn is not reported again; a right click is not
  // the switch's, nor is Control a reset here.
  rig.window->click(367, 138);
  rig.frame->idle();
  rig.window->click(367, 138);
  rig.window->click(367, 100, kRButton);
  EXPECT_EQ(rec.kinds(), "bvebe");
  rig.window->click(367, 83, kLButton | kControl);
  EXPECT_FLOAT_EQ(sw->getValue(), 0.0f);
}

// The step size is read by the editor while the click is reported.
struct StepReader : Recorder {
  std::vector<float> steps;
  void valueChanged(CControl* c) override {
    Recorder::valueChanged(c);
    steps.push_back(static_cast<ZELKickButton*>(c)->getStepSize());
  }
};

TEST(PanelKickButton, OneReportPerPressWithItsStepSize) {
  const struct {
    CButtonState buttons;
    float step;
  } cases[] = {{kLButton, 1}, {kLButton | kShift, 10}, {kLButton | kControl, 100},
               {kLButton | kShift | kControl, 100}, {kLButton | kAlt, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.buttons);
    Rig rig;
    StepReader rec;
    CBitmap* strip = makeStrip(19, 19, 2);
    auto* kick = rig.add(new ZELKickButton(CRect(90, 24, 109, 43), &rec, 74, 19, strip, CPoint()));
    strip->forget();
    rig.window->mouseDown(100, 30, c.buttons);
    // The edit is complete while the button is still held.
    EXPECT_EQ(rec.kinds(), "bve");
    EXPECT_EQ(rec.steps, std::vector<float>{c.step});
    EXPECT_FLOAT_EQ(rec.events[1].value, 1.0f);
    rig.frame->idle();
    EXPECT_EQ(rig.at(100, 30), greyPixel(greyOf(1)));  // pressed picture
    rig.window->mouseUp(100, 30, 0);
    EXPECT_FLOAT_EQ(kick->getValue(), 0.0f);
    EXPECT_EQ(rec.kinds(), "bve");
    rig.frame->idle();
    EXPECT_EQ(rig.at(100, 30), greyPixel(greyOf(0)));
  }
  Rig rig;
  StepReader rec;
  rig.add(new ZELKickButton(CRect(90, 24, 109, 43), &rec, 74, 19, nullptr, CPoint()));
  rig.window->click(100, 30, kRButton);
  EXPECT_EQ(rec.kinds(), "");
}

struct CopyReader : Recorder {
  std::vector<int> copies;
  void valueChanged(CControl* c) override {
    Recorder::valueChanged(c);
    copies.push_back(static_cast<ZELOnOffButton*>(c)->getCopyModifier());
  }
};

TEST(PanelOnOffButton, StepCentresCopyModifierAndHalves) {
  const struct {
    float start;
    CButtonState buttons;
    float after;
    int copy;  // -1: not reported
  } cases[] = {
      {1.0f, kLButton, 0.25f, 0},           {0.25f, kLButton, 0.75f, 0},
      {0.75f, kRButton, 0.25f, 1},          {0.25f, kLButton | kControl, 0.75f, 1},
      {0.5f, kLButton | kShift, 0.25f, 0},  {0.0f, kMButton, 0.0f, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start);
    SCOPED_TRACE(c.buttons);
    Rig rig;
    CopyReader rec;
    CBitmap* strip = makeStrip(24, 20, 2);
    auto* button = rig.add(new ZELOnOffButton(CRect(61, 70, 85, 90), &rec, 62, strip));
    strip->forget();
    button->setValue(c.start);
    rig.frame->idle();
    EXPECT_EQ(rig.at(70, 80), greyPixel(greyOf(c.start >= 0.5f ? 1 : 0)));
    rig.window->click(70, 80, c.buttons);
    EXPECT_FLOAT_EQ(button->getValue(), c.after);
    if (c.copy < 0) {
      EXPECT_EQ(rec.kinds(), "");
      continue;
    }
    EXPECT_EQ(rec.kinds(), "bve");
    EXPECT_EQ(rec.copies, std::vector<int>{c.copy});
    EXPECT_EQ(button->getCopyModifier(), 0);
    rig.frame->idle();
    EXPECT_EQ(rig.at(70, 80), greyPixel(greyOf(c.after >= 0.5f ? 1 : 0)));
  }
}

struct Step {
  double dx, dy;  // from the press point
  CButtonState buttons;
};

TEST(PanelInvisibleSlider, DragArithmeticWithShiftChanges) {
  const struct {
    const char* what;
    float start;
    CButtonState press;
    std::vector<Step> moves;
    float expected;
  } cases[] = {
      {"100 px up: 0.1", 0.5f, kLButton, {{0, -100, kLButton}}, 0.6f},
      {"200 px right count as 100 up", 0.5f, kLButton, {{200, 0, kLButton}}, 0.6f},
      {"down and left lower it", 0.5f, kLButton, {{-100, 50, kLButton}}, 0.4f},
      {"Shift from the start: 0.025 per 100 px", 0.5f, kLButton | kShift, {{0, -100, kLButton | kShift}}, 0.525f},
      {"Shift pressed mid-drag: no jump, then 0.02 per 100 px", 0.2f, kLButton,
       {{0, -100, kLButton}, {0, -100, kLButton | kShift}, {0, -200, kLButton | kShift}}, 0.32f},
      {"Shift released mid-drag: no jump, then 0.1 per 100 px", 0.2f, kLButton | kShift,
       {{0, -100, kLButton | kShift}, {0, -100, kLButton}, {0, -200, kLButton}}, 0.325f},
      {"beyond the top stays at 1", 0.5f, kLButton, {{0, -900, kLButton}}, 1.0f},
      {"beyond the bottom stays at 0", 0.5f, kLButton, {{0, 900, kLButton}}, 0.0f},
      {"a double-click press is no modifier change", 0.5f, kLButton | kShift | kDoubleClick,
       {{0, -100, kLButton | kShift}, {0, -200, kLButton | kShift}}, 0.55f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Rig rig;
    Recorder rec;
    auto* slider = rig.add(new CInvisibleSlider(CRect(112, 15, 125, 32), &rec, 90));
    slider->setValue(c.start);
    const double x0 = 118, y0 = 20;
    rig.window->mouseDown(x0, y0, c.press);
    for (const Step& m : c.moves) rig.window->mouseMove(x0 + m.dx, y0 + m.dy, m.buttons);
    EXPECT_TRUE(slider->isDragging());
    rig.window->mouseUp(x0, y0, 0);
    EXPECT_FALSE(slider->isDragging());
    EXPECT_NEAR(slider->getValue(), c.expected, 1e-5);
    EXPECT_NEAR(rec.lastValue(), c.expected, 1e-5);
    // The press reports the unchanged value once, each move once more.
    std::string reports(3 + c.moves.size(), 'v');
    reports.front() = 'b';
    reports.back() = 'e';
    EXPECT_EQ(rec.kinds(), reports);
  }
}

TEST(PanelInvisibleSlider, WheelStepsAndStrayDrags) {
  Rig rig;
  Recorder rec;
  auto* slider = rig.add(new CInvisibleSlider(CRect(112, 15, 125, 32), &rec, 90));
  slider->setValue(0.5f);
  rig.window->wheel(118, 20, 2);
  EXPECT_NEAR(slider->getValue(), 0.51f, 1e-6);
  rig.window->wheel(118, 20, -1, kShift);
  EXPECT_NEAR(slider->getValue(), 0.5097f, 1e-6);
  rig.window->wheel(118, 20, 500);
  EXPECT_FLOAT_EQ(slider->getValue(), 1.0f);
  EXPECT_EQ(rec.kinds(), "bvebvebve");

  // A press on the bare panel dragged over the area edits nothing: it has
  // no start point and no open edit.
  rec.events.clear();
  slider->setValue(0.5f);
  rig.window->mouseDown(150, 60, kLButton);
  rig.window->mouseMove(118, 20, kLButton);
  rig.window->mouseMove(118, 0, kLButton);
  rig.window->mouseUp(118, 0, 0);
  EXPECT_FLOAT_EQ(slider->getValue(), 0.5f);
  EXPECT_EQ(rec.kinds(), "");
}

}  // namespace
