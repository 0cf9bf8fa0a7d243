// The view toolkit through a headless frame: control arithmetic, what each
// control reports, modal views, bitmaps, dirty-only redraw, text entry.
#include <cairo.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "platform/TickCount.h"
#include "support/Tavrel.h"
#include "support/ToolkitRig.h"
#include "toolkit/CAnimKnob.h"
#include "toolkit/CDrawContext.h"
#include "toolkit/CHorizontalSwitch.h"
#include "toolkit/CKickButton.h"
#include "toolkit/CMovieBitmap.h"
#include "toolkit/COnOffButton.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CRockerSwitch.h"
#include "toolkit/CSplashScreen.h"
#include "toolkit/CTextEdit.h"
#include "toolkit/CVerticalSwitch.h"
#include "editor/programbar/CPresetSystemEditor.h"

using namespace toolkit;
using toolkit_rig::greyOf;
using toolkit_rig::greyPixel;
using toolkit_rig::Recorder;
using toolkit_rig::Rig;

namespace {

struct Move {
  double dx, dy;  // from the press point
  CButtonState buttons;
};

TEST(ToolkitKnob, LinearDragZoomRebaseAndWheel) {
  struct Case {
    const char* what;
    float start;
    CButtonState pressButtons;
    std::vector<Move> moves;
    float expected;
  };
  const Case cases[] = {
      {"100 px up is half the range", 0.2f, kLButton, {{0, -100, kLButton}}, 0.7f},
      {"right counts like up, left like down", 0.5f, kLButton, {{50, 0, kLButton}, {50, 20, kLButton}}, 0.65f},
      {"beyond the range stops at the end", 0.5f, kLButton, {{0, -300, kLButton}}, 1.0f},
      {"below the range stops at 0", 0.5f, kLButton, {{-90, 60, kLButton}}, 0.0f},
      {"Shift: zoom 5 makes it 1000 px", 0.5f, kLButton | kShift, {{0, -100, kLButton | kShift}}, 0.6f},
      // 100 px plain (+0.5), then Shift pressed at that point: the next
      // 100 px count a tenth as much, with no jump at the change.
      {"Shift pressed mid-drag rebases", 0.0f, kLButton,
       {{0, -100, kLButton}, {0, -100, kLButton | kShift}, {0, -200, kLButton | kShift}}, 0.6f},
      {"Shift released mid-drag rebases", 0.0f, kLButton | kShift,
       {{0, -100, kLButton | kShift}, {0, -100, kLButton}, {0, -140, kLButton}}, 0.3f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig rig;
    Recorder rec;
    auto* knob = rig.add(new CKnob(CRect(10, 10, 46, 46), &rec, 7, nullptr));
    knob->setZoomFactor(5);
    knob->setValue(c.start);
    const double x0 = 20, y0 = 150;  // drags may leave the view
    rig.window->mouseDown(x0, y0 - 130, c.pressButtons);
    for (const Move& m : c.moves) rig.window->mouseMove(x0 + m.dx, y0 - 130 + m.dy, m.buttons);
    rig.window->mouseUp(x0, y0, 0);
    EXPECT_NEAR(knob->getValue(), c.expected, 1e-5);
    EXPECT_EQ(rec.kinds().front(), 'b');
    EXPECT_EQ(rec.kinds().back(), 'e');
    EXPECT_EQ(rec.count('b'), 1);
    EXPECT_EQ(rec.count('e'), 1);
  }

  // The wheel: one increment per notch, bracketed, clamped.
  Rig rig;
  Recorder rec;
  auto* knob = rig.add(new CKnob(CRect(10, 10, 46, 46), &rec, 7, nullptr));
  knob->setWheelInc(1.0f / 32);
  knob->setValue(0.5f);
  rig.window->wheel(20, 20, 2);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.5625f);
  rig.window->wheel(20, 20, -1);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.53125f);
  EXPECT_EQ(rec.kinds(), "bvebve");
  rig.window->wheel(20, 20, 100);
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
  rec.events.clear();
  rig.window->wheel(20, 20, 1);  // at the end: no change, nothing reported
  EXPECT_EQ(rec.kinds(), "");
}

// The knob modes a host may ask for: the pointer's angle sets the value
// over 300 degrees from 7 to 5 o'clock, directly or relative to the press.
TEST(ToolkitKnob, CircularModesFollowTheAngle) {
  struct Modes : VSTGUIEditorInterface {
    int32_t mode = kCircularMode;
    int32_t getKnobMode() const override { return mode; }
  } editor;
  Rig rig(200, 100, 1.0, &editor);
  auto* knob = rig.add(new CKnob(CRect(0, 0, 40, 40), nullptr, 1, nullptr));
  const struct {
    double x, y;
    float value;
  } points[] = {{20, 2, 0.5f}, {2, 20, 0.2f}, {38, 20, 0.8f}, {25, 38, 1.0f}, {15, 38, 0.0f}};
  for (const auto& p : points) {
    rig.window->click(p.x, p.y);
    EXPECT_NEAR(knob->getValue(), p.value, 1e-5) << p.x << ", " << p.y;
  }
  // A drag never jumps across the gap below the knob.
  rig.window->mouseDown(38, 20, kLButton);
  rig.window->mouseMove(25, 38, kLButton);
  rig.window->mouseMove(15, 38, kLButton);
  rig.window->mouseUp(15, 38, kLButton);
  EXPECT_EQ(knob->getValue(), 1.0f);

  editor.mode = kRelativCircularMode;
  knob->setValue(0.4f);
  rig.window->mouseDown(2, 20, kLButton);
  EXPECT_EQ(knob->getValue(), 0.4f);  // a press alone changes nothing
  rig.window->mouseMove(20, 2, kLButton);
  rig.window->mouseUp(20, 2, kLButton);
  EXPECT_NEAR(knob->getValue(), 0.7f, 1e-5);
}

// The reset gesture is a left click with Control as the only modifier.
TEST(ToolkitControl, ResetGestureNeedsLeftAndControlOnly) {
  const struct {
    CButtonState buttons;
    bool resets;
  } cases[] = {
      {kLButton | kControl, true},           {kLButton, false},
      {kLButton | kControl | kShift, false}, {kLButton | kControl | kAlt, false},
      {kRButton | kControl, false},          {kLButton | kRButton | kControl, false},
      {kLButton | kControl | kDoubleClick, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.buttons);
    Rig rig;
    Recorder rec;
    auto* knob = rig.add(new CKnob(CRect(10, 10, 46, 46), &rec, 3, nullptr));
    auto* sw = rig.add(new CHorizontalSwitch(CRect(60, 10, 90, 19), &rec, 4, 3, 9, 3, nullptr));
    knob->setDefaultValue(0.25f);
    knob->setValue(0.9f);
    sw->setDefaultValue(0.5f);
    sw->setValue(0.0f);
    rig.window->click(20, 20, c.buttons);
    rig.window->click(62, 12, c.buttons);  // over the switch's first position
    EXPECT_EQ(knob->getValue() == 0.25f, c.resets);
    EXPECT_EQ(sw->getValue() == 0.5f, c.resets);
    if (c.resets) {
      EXPECT_EQ(rec.kinds(), "bvebve");
    }
  }
}

// Position p of N: value p / (N - 1), and stepIndex(value, N) = p, which
// is also the picture shown; a stored step centre shows its own step.
TEST(ToolkitSwitch, PositionsValuesAndPictures) {
  for (int n : {2, 3, 5}) {
    for (bool vertical : {false, true}) {
      SCOPED_TRACE(std::to_string(n) + (vertical ? " vertical" : " horizontal"));
      Rig rig;
      Recorder rec;
      CBitmap* strip = toolkit_rig::makeStrip(vertical ? 10 : n * 10, vertical ? n * 10 : 9, n);
      const double frameHeight = vertical ? n * 10 : 9;
      CControl* sw;
      if (vertical)
        sw = rig.add(new CVerticalSwitch(CRect(20, 10, 30, 10 + n * 10), &rec, 1, n, frameHeight, n, strip));
      else
        sw = rig.add(new CHorizontalSwitch(CRect(20, 10, 20 + n * 10, 19), &rec, 1, n, frameHeight, n, strip));
      strip->forget();
      for (int p = n - 1; p >= 0; --p) {
        // The last pixel of position p.
        const double x = vertical ? 25 : 20 + p * 10 + 9.5, y = vertical ? 10 + p * 10 + 9.5 : 14;
        rig.window->click(x, y);
        EXPECT_FLOAT_EQ(sw->getValue(), static_cast<float>(p) / static_cast<float>(n - 1));
        EXPECT_EQ(stepIndex(sw->getValue(), n), p);
        rig.frame->idle();
        EXPECT_EQ(rig.at(21, 11), greyPixel(greyOf(p)));
        sw->setValue((p + 0.5f) / static_cast<float>(n));
        rig.frame->idle();
        EXPECT_EQ(rig.at(21, 11), greyPixel(greyOf(p)));
      }
      EXPECT_EQ(rec.count('b'), n);
      EXPECT_EQ(rec.count('e'), n);
    }
  }
}

TEST(ToolkitButtons, KickOnOffAndRockerValues) {
  Rig rig;
  Recorder rec;
  auto* kick = rig.add(new CKickButton(CRect(0, 0, 20, 20), &rec, 1, 20, nullptr));
  auto* onOff = rig.add(new COnOffButton(CRect(30, 0, 50, 20), &rec, 2, nullptr));
  auto* rocker = rig.add(new CRockerSwitch(CRect(60, 0, 90, 13), &rec, 3, 13, nullptr));

  // Kick: 1 while pressed, reported once on the press, 0 after.
  rig.window->mouseDown(10, 10, kLButton);
  EXPECT_EQ(kick->getValue(), 1.0f);
  EXPECT_EQ(rec.kinds(), "bv");
  rig.window->mouseMove(100, 50, kLButton);  // dragged off: shows released
  EXPECT_EQ(kick->getValue(), 0.0f);
  rig.window->mouseMove(10, 10, kLButton);
  EXPECT_EQ(kick->getValue(), 1.0f);
  rig.window->mouseUp(10, 10, kLButton);
  EXPECT_EQ(kick->getValue(), 0.0f);
  EXPECT_EQ(rec.kinds(), "bve");
  rig.window->click(10, 10, kRButton);  // only the left button presses it
  EXPECT_EQ(rec.kinds(), "bve");

  // On/off: each left click toggles and reports; a value from outside
  // counts as on from the middle up.
  rec.events.clear();
  rig.window->click(40, 10);
  EXPECT_EQ(onOff->getValue(), 1.0f);
  rig.window->click(40, 10);
  EXPECT_EQ(onOff->getValue(), 0.0f);
  onOff->setValue(0.75f);
  rig.window->click(40, 10);
  EXPECT_EQ(onOff->getValue(), 0.0f);
  EXPECT_EQ(rec.kinds(), "bvebvebve");

  // Rocker: -1 on the left half, +1 on the right, back to 0 on release.
  rec.events.clear();
  rig.window->mouseDown(74, 5, kLButton);
  EXPECT_EQ(rocker->getValue(), -1.0f);
  rig.window->mouseUp(74, 5, kLButton);
  EXPECT_EQ(rocker->getValue(), 0.0f);
  rig.window->mouseDown(75, 5, kLButton);
  EXPECT_EQ(rocker->getValue(), 1.0f);
  rig.window->mouseUp(75, 5, kLButton);
  ASSERT_EQ(rec.kinds(), "bvvebvve");
  EXPECT_EQ(rec.events[1].value, -1.0f);
  EXPECT_EQ(rec.events[5].value, 1.0f);
  EXPECT_EQ(rec.events[6].value, 0.0f);
}

// The display digits set k / (frames - 1) and must see picture k; values in
// between go to the nearest picture.
TEST(ToolkitMovieBitmap, NearestFrame) {
  for (int frames : {2, 11, 13, 21, 101}) {
    SCOPED_TRACE(frames);
    CMovieBitmap movie(CRect(0, 0, 10, 10), nullptr, 0, frames, 10, nullptr);
    for (int k = 0; k < frames; ++k) {
      movie.setValue(static_cast<float>(k) / static_cast<float>(frames - 1));
      EXPECT_EQ(movie.frameIndex(), k);
    }
    const float step = 1.0f / static_cast<float>(frames - 1);
    movie.setValue(step * 0.49f);
    EXPECT_EQ(movie.frameIndex(), 0);
    movie.setValue(step * 0.51f);
    EXPECT_EQ(movie.frameIndex(), 1);
  }
  // And the picture drawn is that frame.
  Rig rig;
  CBitmap* strip = toolkit_rig::makeStrip(7, 45, 21);
  auto* meter = rig.add(new CMovieBitmap(CRect(43, 23, 50, 68), nullptr, 80, 21, 45, strip));
  strip->forget();
  meter->setValue(0.5f);
  rig.frame->idle();
  EXPECT_EQ(rig.at(45, 40), greyPixel(greyOf(10)));
}

// A view that becomes modal on a click and closes itself on the next.
struct SelfClosingModal : CView {
  int* downs;
  SelfClosingModal(const CRect& r, int* d) : CView(r), downs(d) {}
  CMouseEventResult onMouseDown(const CPoint&, const CButtonState&) override {
    ++*downs;
    getFrame()->setModalView(nullptr);  // releases this view: it must live to the end of the event
    getFrame()->invalid();
    return kMouseEventHandled;
  }
};

TEST(ToolkitFrame, ModalViewTakesTheMouseAndMayRemoveItself) {
  Rig rig;
  Recorder rec;
  auto* button = rig.add(new COnOffButton(CRect(0, 0, 20, 20), &rec, 1, nullptr));
  int downs = 0;
  auto* modal = new SelfClosingModal(CRect(100, 0, 200, 100), &downs);
  ASSERT_TRUE(rig.frame->setModalView(modal));
  auto* second = new SelfClosingModal(CRect(0, 0, 10, 10), &downs);
  EXPECT_FALSE(rig.frame->setModalView(second));  // one at a time
  second->forget();
  EXPECT_EQ(rig.frame->getModalView(), modal);

  rig.window->click(10, 10);  // over the button, but the modal view takes it
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(button->getValue(), 0.0f);
  EXPECT_EQ(rig.frame->getModalView(), nullptr);
  rig.window->click(10, 10);
  EXPECT_EQ(button->getValue(), 1.0f);
  EXPECT_EQ(downs, 1);

  // The stock splash screen: a click shows its picture modally, a click on
  // that closes it and the value returns to 0.
  CBitmap* picture = toolkit_rig::makeFilled(200, 100, 200, 10, 10);
  auto* splash = rig.add(new CSplashScreen(CRect(150, 80, 160, 90), &rec, 9, picture, CRect(0, 0, 200, 60)));
  picture->forget();
  rig.window->click(155, 85);
  EXPECT_EQ(splash->getValue(), 1.0f);
  ASSERT_NE(rig.frame->getModalView(), nullptr);
  rig.frame->idle();
  EXPECT_EQ(rig.at(50, 30), 0xc80a0au);
  rig.window->click(50, 30);
  EXPECT_EQ(splash->getValue(), 0.0f);
  EXPECT_EQ(rig.frame->getModalView(), nullptr);
  rig.frame->idle();
  EXPECT_EQ(rig.at(50, 30), 0x00005au);  // the background again
  EXPECT_EQ(button->getValue(), 1.0f);
}

// Hover: entered and exited as the pointer crosses views; the topmost view
// under a point is the last added.
TEST(ToolkitFrame, TopmostViewAndHover) {
  struct Hover : CView {
    std::string* log;
    char name;
    Hover(const CRect& r, std::string* l, char n) : CView(r), log(l), name(n) {}
    CMouseEventResult onMouseEntered(const CPoint&, const CButtonState&) override {
      *log += '+';
      *log += name;
      return kMouseEventHandled;
    }
    CMouseEventResult onMouseExited(const CPoint&, const CButtonState&) override {
      *log += '-';
      *log += name;
      return kMouseEventHandled;
    }
  };
  Rig rig;
  std::string log;
  auto* a = rig.add(new Hover(CRect(0, 0, 50, 50), &log, 'a'));
  auto* b = rig.add(new Hover(CRect(40, 40, 90, 90), &log, 'b'));
  EXPECT_EQ(rig.frame->getViewAt(CPoint(45, 45)), b);
  EXPECT_EQ(rig.frame->getViewAt(CPoint(10, 10)), a);
  EXPECT_EQ(rig.frame->getViewAt(CPoint(150, 10)), nullptr);
  rig.window->mouseMove(10, 10);
  rig.window->mouseMove(45, 45);
  rig.window->mouseMove(150, 10);
  rig.window->mouseMove(60, 60);
  rig.window->mouseLeave();
  EXPECT_EQ(log, "+a-a+b-b+b-b");
  CPoint where;
  EXPECT_FALSE(rig.frame->getCurrentMouseLocation(where));
  rig.window->mouseMove(12, 34);
  ASSERT_TRUE(rig.frame->getCurrentMouseLocation(where));
  EXPECT_EQ(where, CPoint(12, 34));
}

TEST(ToolkitBitmap, ReferenceCountingAndRegionWithOpacity) {
  CBitmap* strip = toolkit_rig::makeStrip(10, 10, 3);
  {
    Rig rig;
    rig.add(new CMovieBitmap(CRect(0, 0, 10, 10), nullptr, 0, 3, 10, strip));
    rig.add(new CAnimKnob(CRect(20, 0, 30, 10), nullptr, 0, 3, 10, strip));
    EXPECT_EQ(strip->getNbReference(), 3);
    CView* copy = rig.frame->getView(1)->newCopy();
    EXPECT_STREQ(copy->getClassName(), "CAnimKnob");
    EXPECT_TRUE(copy->isTypeOf("CKnob"));
    EXPECT_TRUE(copy->isTypeOf("CControl"));
    EXPECT_FALSE(copy->isTypeOf("CMovieBitmap"));
    EXPECT_EQ(strip->getNbReference(), 4);
    copy->forget();
    EXPECT_EQ(strip->getNbReference(), 3);
  }
  EXPECT_EQ(strip->getNbReference(), 1);  // the frame's close released the views' references

  // Frame 2 of the strip over a background of 0x00005a at half opacity; the
  // picture reaches only 10 px of the 20 px wide rectangle.
  cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 40, 20);
  {
    CDrawContext context(target, 1.0);
    context.setFillColor(CColor{0, 0, 90, 255});
    context.fillRect(CRect(0, 0, 40, 20));
    strip->draw(&context, CRect(5, 5, 25, 15), CPoint(0, 20), 0.5f);
  }
  const uint8_t g = greyOf(2);
  const uint32_t mixed = toolkit_rig::pixel(target, 8, 8);
  EXPECT_NEAR(static_cast<int>(mixed >> 16), g / 2, 1);
  EXPECT_NEAR(static_cast<int>(mixed & 0xff), (g + 90) / 2, 1);
  EXPECT_EQ(toolkit_rig::pixel(target, 4, 8), 0x00005au);   // left of the rectangle
  EXPECT_EQ(toolkit_rig::pixel(target, 16, 8), 0x00005au);  // beyond the picture's width
  cairo_surface_destroy(target);
  strip->forget();
}

// After a full paint, only views whose value changed are redrawn, and only
// their rectangles reach the window; with nothing changed nothing is drawn.
TEST(ToolkitFrame, RedrawsOnlyDirtyViews) {
  Rig rig;
  CBitmap* strip = toolkit_rig::makeStrip(10, 10, 11);
  auto* a = rig.add(new CMovieBitmap(CRect(10, 10, 20, 20), nullptr, 0, 11, 10, strip));
  auto* b = rig.add(new CMovieBitmap(CRect(50, 10, 60, 20), nullptr, 0, 11, 10, strip));
  strip->forget();
  rig.frame->idle();
  ASSERT_EQ(rig.window->lastPresented().size(), 1u);
  EXPECT_EQ(rig.window->lastPresented()[0], CRect(0, 0, 200, 100));
  const int presents = rig.window->presentCount();
  rig.frame->idle();
  EXPECT_EQ(rig.window->presentCount(), presents);
  EXPECT_TRUE(rig.frame->redrawDirty().empty());

  b->setValue(0.3f);
  a->setValue(0.0f);  // unchanged: stays clean
  rig.frame->idle();
  ASSERT_EQ(rig.window->lastPresented().size(), 1u);
  EXPECT_EQ(rig.window->lastPresented()[0], CRect(50, 10, 60, 20));
  EXPECT_EQ(rig.at(55, 15), greyPixel(greyOf(3)));
  EXPECT_EQ(rig.at(15, 15), greyPixel(greyOf(0)));
}

// Timers run from idle; a callback that runs the frame's idle again or
// removes its own timer is safe.
TEST(ToolkitFrame, TimersRunFromIdle) {
  Rig rig;
  int ticks = 0, once = 0;
  int onceId = 0;
  rig.frame->addTimer(20, [&] {
    ++ticks;
    rig.frame->idle();
  });
  onceId = rig.frame->addTimer(20, [&] {
    ++once;
    rig.frame->removeTimer(onceId);
  });
  rig.frame->idle();
  EXPECT_EQ(ticks, 0);  // not yet due
  const uint32_t start = platform::tickCount();
  while (platform::tickCount() - start < 70) {
    rig.frame->idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_GE(ticks, 2);
  EXPECT_LE(ticks, 4);
  EXPECT_EQ(once, 1);
}

TEST(ToolkitFrame, ScaledFrameDividesTheMouseAndMultipliesTheDrawing) {
  Rig rig(100, 50, 2.0);
  Recorder rec;
  CBitmap* strip = toolkit_rig::makeStrip(10, 10, 2, 2.0);
  auto* button = rig.add(new COnOffButton(CRect(20, 10, 30, 20), &rec, 1, strip));
  strip->forget();
  rig.window->click(41, 21);  // device pixels: (20.5, 10.5) in layout units
  EXPECT_EQ(button->getValue(), 1.0f);
  rig.frame->idle();
  EXPECT_EQ(cairo_image_surface_get_width(rig.frame->getOffscreen()), 200);
  // On: the lower half of the 2x picture fills device pixels 40..59.
  EXPECT_EQ(rig.at(40, 20), greyPixel(greyOf(1)));
  EXPECT_EQ(rig.at(59, 39), greyPixel(greyOf(1)));
  EXPECT_EQ(rig.at(60, 40), 0x00005au);
}

TEST(ToolkitTextEdit, TypingCommitsCancelsAndHandsBackTheKeyboard) {
  Rig rig;
  Recorder rec;
  auto* edit = rig.add(new CTextEdit(CRect(10, 10, 110, 23), &rec, 98, "Init"));
  edit->setFont(kNormalFontVerySmall);
  edit->setBackColor(CColor{189, 207, 218, 255});
  edit->setFontColor(CColor{36, 36, 32, 255});
  edit->setFrameColor(CColor{36, 36, 32, 255});
  auto* other = rig.add(new COnOffButton(CRect(150, 10, 170, 30), nullptr, 5, nullptr));
  rig.window->click(50, 15);
  EXPECT_TRUE(edit->isEditing());
  EXPECT_TRUE(rig.window->hasKeyboardFocus());
  rig.window->key(0, VKEY_BACK);
  rig.window->type("tial A");
  rig.window->key(0, VKEY_HOME);
  rig.window->key(0, VKEY_DELETE);
  rig.window->type("Z");
  rig.window->key(0xe9);  // é arrives as its code point
  rig.frame->idle();
  rig.frame->writePng(toolkit_rig::outputPath("toolkit_text_edit.png").c_str());
  rig.window->key(0, VKEY_RETURN);
  EXPECT_EQ(edit->getText(), "Z\xc3\xa9nitial A");
  EXPECT_FALSE(edit->isEditing());
  EXPECT_FALSE(rig.window->hasKeyboardFocus());
  EXPECT_EQ(rec.kinds(), "bve");

  // Escape restores the text and reports nothing.
  rec.events.clear();
  rig.window->click(50, 15);
  rig.window->type("xyz");
  rig.window->key(0, VKEY_ESCAPE);
  EXPECT_EQ(edit->getText(), "Z\xc3\xa9nitial A");
  EXPECT_EQ(rec.kinds(), "");

  // A click elsewhere commits; the click still reaches the other view.
  rig.window->click(50, 15);
  rig.window->key(0, VKEY_BACK);
  rig.window->key(0, VKEY_BACK);
  rig.window->click(160, 20);
  EXPECT_EQ(edit->getText(), "Z\xc3\xa9nitial");
  EXPECT_EQ(rec.kinds(), "bve");
  EXPECT_EQ(other->getValue(), 1.0f);
  EXPECT_FALSE(rig.window->hasKeyboardFocus());

  // Backspace takes a whole character; the length stays within bounds.
  rig.window->click(50, 15);
  rig.window->key(0, VKEY_END);
  for (int i = 0; i < 8; ++i) rig.window->key(0, VKEY_BACK);
  EXPECT_EQ(edit->getText(), "");
  for (int i = 0; i < 300; ++i) rig.window->key('a');
  EXPECT_EQ(edit->getText().size(), CTextEdit::kMaxLength);
}

TEST(ToolkitOptionMenu, PopupInColumnsChoosesAndCancels) {
  Rig rig(942, 171);
  Recorder rec;
  auto* menu = rig.add(new COptionMenu(CRect(322, 157, 335, 169), &rec, 110, nullptr, kNoTextStyle));
  menu->setFont(kNormalFontVerySmall);
  for (int i = 0; i < 61; ++i) menu->addEntry(("Program " + std::to_string(i)).c_str());
  menu->setCurrent(5);
  EXPECT_EQ(menu->getMax(), 60.0f);

  rig.window->click(330, 160);
  ASSERT_TRUE(menu->isPopupOpen());
  CView* popup = rig.frame->getModalView();
  const CRect r = popup->getViewSize();
  EXPECT_LE(r.bottom, 171);
  EXPECT_GE(r.top, 0);
  rig.frame->idle();
  rig.frame->writePng(toolkit_rig::outputPath("toolkit_option_menu.png").c_str());

  // Entry 16 + 4 = 20: second column, fifth row.
  const double columnWidth = (r.width() - 4) / 4, rowHeight = (r.height() - 4) / 16;
  rig.window->click(r.left + 2 + columnWidth * 1.5, r.top + 2 + rowHeight * 4.5);
  EXPECT_FALSE(menu->isPopupOpen());
  EXPECT_EQ(menu->getCurrent(), 20);
  EXPECT_EQ(rec.kinds(), "bve");
  EXPECT_EQ(rec.lastValue(), 20.0f);

  // A click outside the list closes it unchanged.
  rig.window->click(330, 160);
  ASSERT_TRUE(menu->isPopupOpen());
  rig.window->click(5, 5);
  EXPECT_FALSE(menu->isPopupOpen());
  EXPECT_EQ(menu->getCurrent(), 20);
  EXPECT_EQ(rec.count('v'), 1);
}

// Edits reach the host only for the effect's own parameters.
TEST(ToolkitEditor, BeginAndEndEditReachTheHostForParametersOnly) {
  testing_support::RecordingHost host;
  auto zel = host.makeZel();
  presets::CPresetSystemEditor editor(zel.get());
  for (int32_t tag : {0, 15, 59, 60, 83, 98, -1}) {
    editor.beginEdit(tag);
    editor.endEdit(tag);
  }
  std::vector<int32_t> begun, ended;
  for (const auto& c : host.calls) {
    if (c.opcode == vst::audioMasterBeginEdit) begun.push_back(c.index);
    if (c.opcode == vst::audioMasterEndEdit) ended.push_back(c.index);
  }
  EXPECT_EQ(begun, (std::vector<int32_t>{0, 15, 59}));
  EXPECT_EQ(ended, (std::vector<int32_t>{0, 15, 59}));
}

// Cairo stops drawing for good after one string that is not UTF-8; program
// names from older files come in 8-bit encodings. Such bytes read as Latin-1
// and the context draws on.
TEST(ToolkitText, TextThatIsNotUtf8ReadsAsLatin1AndDrawingGoesOn) {
  const struct {
    const char* raw;
    const char* shown;
  } cases[] = {{"Caf\xE9", "Caf\xC3\xA9"},
               {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},  // valid UTF-8 stays as it is
               {"cut \xC3", "cut \xC3\x83"},                // a sequence cut short
               {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"}};  // an encoded surrogate
  for (const auto& c : cases) EXPECT_EQ(toolkit::CDrawContext::displayable(c.raw), c.shown) << c.raw;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 100, 20);
  {
    toolkit::CDrawContext context(surface, 1.0);
    context.drawString("Caf\xE9 \xFF", toolkit::CRect(0, 0, 100, 20), toolkit::kLeftText, true);
    EXPECT_EQ(cairo_status(context.getCairo()), CAIRO_STATUS_SUCCESS);
  }
  cairo_surface_destroy(surface);
}

}  // namespace
