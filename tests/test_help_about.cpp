// The help and about overlays on a headless frame: the help page under the
// mouse, the cross-fade driven by injected tick counts, opening and closing
// through the frame's modal view, and screenshots with the real pictures.
#include <gtest/gtest.h>

#include <cairo.h>

#include "editor/CAbout.h"
#include "editor/CHelp.h"
#include "editor/CHelpView.h"
#include "editor/CSplashScreenMyView.h"
#include "editor/PanelLayout.h"
#include "editor/PanelPictures.h"
#include "support/ToolkitRig.h"
#include "toolkit/CDrawContext.h"

using namespace toolkit;
using toolkit_rig::greyOf;
using toolkit_rig::greyPixel;
using toolkit_rig::makeStrip;
using toolkit_rig::pixel;
using toolkit_rig::Rig;

namespace {

const CRect kHelpButton(921, 158, 932, 167);
const CRect kLeftPlate(2, 2, 21, 153);
const CRect kRightPlate(921, 2, 940, 153);

// Eight help pages, page k a flat grey well apart from its neighbours.
uint8_t pageGrey(int page) { return static_cast<uint8_t>(20 + 30 * page); }
CBitmap* makePages(double scale = 1.0) {
  const int w = static_cast<int>(942 * scale), h = static_cast<int>(155 * scale);
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, 8 * h);
  cairo_t* cr = cairo_create(s);
  for (int k = 0; k < 8; ++k) {
    cairo_set_source_rgb(cr, pageGrey(k) / 255.0, pageGrey(k) / 255.0, pageGrey(k) / 255.0);
    cairo_rectangle(cr, 0, k * h, w, h);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  return new CBitmap(s, scale);
}

struct HelpRig : Rig {
  CHelp* help;
  explicit HelpRig(double scale = 1.0) : Rig(942, 171, scale) {
    CBitmap* pages = makePages(scale);
    CBitmap* button = makeStrip(11, 9, 3, scale);
    help = add(new CHelp(kHelpButton, nullptr, 97, pages, button));
    pages->forget();
    button->forget();
  }
  CHelpView* open() {
    window->click(925 * window->getScale(), 162 * window->getScale());
    return help->getHelpView();
  }
  void moveTo(double x, double y) { window->mouseMove(x * window->getScale(), y * window->getScale()); }
};

int greyAt(const Rig& rig, int x, int y) { return static_cast<int>(rig.at(x, y) & 0xff); }

// The page map at its borders, through the mouse. At a display scale of 1.5
// the pointer lands between panel pixels: it counts as the pixel it is in.
TEST(HelpOverlay, PageUnderTheMouseAtRegionBorders) {
  const struct {
    double x, y;
    int page;
  } cases[] = {{22, 50, 7},  {23, 50, 2},  {283, 120, 2}, {284, 77, 1},  {284, 78, 3},  {567, 77, 1},
               {568, 78, 3}, {569, 77, 4}, {621, 77, 4},  {622, 77, 5},  {668, 78, 4},  {669, 78, 5},
               {820, 78, 5}, {821, 10, 6}, {920, 154, 6}, {921, 154, 7}, {400, 50, 1}};
  for (double scale : {1.0, 1.5}) {
    SCOPED_TRACE(scale);
    HelpRig rig(scale);
    CHelpView* view = rig.open();
    ASSERT_NE(view, nullptr);
    for (const auto& c : cases) {
      SCOPED_TRACE(c.x);
      SCOPED_TRACE(c.y);
      // The middle of the device pixels that make up panel pixel (x, y).
      rig.window->mouseMove((c.x + 0.5) * scale, (c.y + 0.5) * scale);
      EXPECT_EQ(view->getCurrentPage(), c.page);
    }
  }
}

TEST(HelpOverlay, CrossFadeFollowsTheTickCount) {
  HelpRig rig;
  CHelpView* view = rig.open();
  ASSERT_NE(view, nullptr);
  rig.frame->idle();
  EXPECT_EQ(greyAt(rig, 400, 50), pageGrey(0));
  rig.help->idleStep(1000);

  rig.moveTo(400, 50);  // mixer: page 1 fades in over page 0
  EXPECT_EQ(view->getCurrentPage(), 1);
  EXPECT_EQ(view->getPreviousPage(), 0);
  EXPECT_EQ(view->getRemainingFade(), 500u);
  rig.help->idleStep(1200);
  EXPECT_EQ(view->getRemainingFade(), 300u);
  rig.frame->idle();
  EXPECT_NEAR(greyAt(rig, 400, 50), pageGrey(0) + 0.4 * (pageGrey(1) - pageGrey(0)), 1.0);
  EXPECT_EQ(greyAt(rig, 400, 160), 0x5a);  // the strip below stays the panel's

  rig.moveTo(400, 100);  // modulation: page 3 over page 1, a whole fade again
  EXPECT_EQ(view->getCurrentPage(), 3);
  EXPECT_EQ(view->getPreviousPage(), 1);
  EXPECT_EQ(view->getRemainingFade(), 500u);
  rig.help->idleStep(1300);
  rig.moveTo(400, 50);  // back before the fade ends: page 1 anew over page 3
  EXPECT_EQ(view->getCurrentPage(), 1);
  EXPECT_EQ(view->getPreviousPage(), 3);
  EXPECT_EQ(view->getRemainingFade(), 500u);
  rig.help->idleStep(1700);
  rig.frame->idle();
  EXPECT_NEAR(greyAt(rig, 400, 50), pageGrey(3) + 0.8 * (pageGrey(1) - pageGrey(3)), 1.0);
  // A step longer than what is left ends the fade, and the last picture
  // shows page 1 alone.
  rig.help->idleStep(1900);
  EXPECT_EQ(view->getRemainingFade(), 0u);
  EXPECT_EQ(view->getPreviousPage(), 1);
  rig.frame->idle();
  EXPECT_EQ(greyAt(rig, 400, 50), pageGrey(1));

  // The tick count wraps.
  rig.help->idleStep(0xFFFFFF00u);
  rig.moveTo(700, 50);
  rig.help->idleStep(0x64u);
  EXPECT_EQ(view->getCurrentPage(), 5);
  EXPECT_EQ(view->getRemainingFade(), 500u - 0x164u);

  // Leaving the overlay (into the program bar strip) fades to the invitation.
  rig.moveTo(700, 160);
  EXPECT_EQ(view->getCurrentPage(), 0);
  EXPECT_EQ(view->getPreviousPage(), 5);
  EXPECT_EQ(view->getRemainingFade(), 500u);
}

TEST(HelpOverlay, OpensAndClosesThroughTheModalView) {
  HelpRig rig;
  // The button: normal, under the mouse, help shown.
  rig.frame->idle();
  EXPECT_EQ(rig.at(925, 162), greyPixel(greyOf(0)));
  rig.moveTo(925, 162);
  rig.frame->idle();
  EXPECT_EQ(rig.at(925, 162), greyPixel(greyOf(1)));

  rig.window->click(925, 162, kRButton);
  EXPECT_EQ(rig.frame->getModalView(), nullptr);
  CHelpView* view = rig.open();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(rig.frame->getModalView(), view);
  EXPECT_EQ(view->getViewSize(), CRect(0, 0, 942, 155));
  EXPECT_FLOAT_EQ(rig.help->getValue(), 1.0f);
  rig.frame->idle();
  EXPECT_EQ(rig.at(925, 162), greyPixel(greyOf(2)));

  rig.moveTo(700, 50);
  rig.window->click(700, 50, kRButton);  // only a left click closes
  EXPECT_EQ(rig.frame->getModalView(), view);
  rig.window->click(700, 50);
  EXPECT_EQ(rig.frame->getModalView(), nullptr);
  EXPECT_EQ(rig.help->getHelpView(), nullptr);
  EXPECT_FLOAT_EQ(rig.help->getValue(), 0.0f);
  rig.help->idleStep(50);  // nothing to fade
  rig.frame->idle();
  EXPECT_EQ(rig.at(925, 162), greyPixel(greyOf(0)));
  EXPECT_EQ(greyAt(rig, 700, 50), 0x5a);

  // A new overlay starts at the invitation.
  view = rig.open();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->getCurrentPage(), 0);
  EXPECT_EQ(view->getRemainingFade(), 0u);
  // Taken away by the frame without the button's knowledge: the idle step
  // no longer reaches it.
  rig.frame->setModalView(nullptr);
  rig.frame->idle();
  EXPECT_EQ(rig.help->getHelpView(), nullptr);
  rig.help->idleStep(100);
  // And the frame closing with an overlay open takes both down.
  ASSERT_NE(rig.open(), nullptr);
}

// Pixels of `s` that differ from `expected` within `area`.
int mismatches(cairo_surface_t* s, cairo_surface_t* expected, const CRect& area, const CRect& except = {}) {
  int n = 0;
  for (int y = static_cast<int>(area.top); y < area.bottom; ++y)
    for (int x = static_cast<int>(area.left); x < area.right; ++x)
      if (!except.pointInside(CPoint(x, y)) && pixel(s, x, y) != pixel(expected, x, y)) ++n;
  return n;
}

int brightPixels(cairo_surface_t* s, const CRect& area) {
  int n = 0;
  for (int y = static_cast<int>(area.top); y < area.bottom; ++y)
    for (int x = static_cast<int>(area.left); x < area.right; ++x) {
      const uint32_t p = pixel(s, x, y);
      n += (p & 0xff) > 200 && ((p >> 8) & 0xff) > 200 && ((p >> 16) & 0xff) > 200;
    }
  return n;
}

// A bitmap's region drawn alone into a picture of the panel's size.
cairo_surface_t* drawn(CBitmap* bitmap, const CRect& dest, const CPoint& offset) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 942, 171);
  {
    CDrawContext context(s, 1.0);
    bitmap->draw(&context, dest, offset);
  }
  cairo_surface_flush(s);
  return s;
}

// With the real pictures: a help page fully faded in, and the about
// picture with its version text from both side plates. Screenshots of both
// are written next to the tests.
TEST(PanelOverlays, HelpPageAndAboutWithTheRealPictures) {
  editor::usePanelPictures();
  auto* window = new HeadlessWindow();
  auto* frame = new CFrame(CRect(0, 0, 942, 171), std::unique_ptr<PlatformWindow>(window), nullptr);
  CBitmap* panelPicture = new CBitmap(128);
  CBitmap* pages = new CBitmap(154);
  CBitmap* button = new CBitmap(155);
  CBitmap* about = new CBitmap(129);
  ASSERT_TRUE(panelPicture->isLoaded() && pages->isLoaded() && button->isLoaded() && about->isLoaded());
  frame->setBackground(panelPicture);
  auto* help = new CHelp(kHelpButton, nullptr, 97, pages, button);
  frame->addView(help);
  for (const CRect& r : {kLeftPlate, kRightPlate})
    frame->addView(new CAbout(r, nullptr, 82, about, CRect(0, 0, 942, 171), CPoint(),
                              CPoint(editor::panel::kVersionX, editor::panel::kVersionY)));

  window->click(925, 162);
  ASSERT_NE(help->getHelpView(), nullptr);
  help->idleStep(0);
  window->mouseMove(700, 50);  // the filter's page
  EXPECT_EQ(help->getHelpView()->getCurrentPage(), 5);
  help->idleStep(250);
  help->idleStep(600);
  frame->idle();
  EXPECT_TRUE(frame->writePng("panel_help_page.png"));
  cairo_surface_t* page = drawn(pages, CRect(0, 0, 942, 155), CPoint(0, 5 * 155));
  EXPECT_EQ(mismatches(frame->getOffscreen(), page, CRect(0, 0, 942, 155)), 0);
  cairo_surface_destroy(page);
  window->click(700, 50);

  // Either side plate opens the same picture, with white text on the room
  // left free for it; the text's edge smoothing may touch the pixel next to
  // its box. Only a left click opens or closes.
  const CRect box(740, 70, 840, 85);
  cairo_surface_t* plain = drawn(about, CRect(0, 0, 942, 171), CPoint());
  EXPECT_EQ(brightPixels(plain, box), 0);
  for (double x : {10.0, 930.0}) {
    SCOPED_TRACE(x);
    window->click(x, 80, kRButton);
    EXPECT_EQ(frame->getModalView(), nullptr);
    window->click(x, 80);
    ASSERT_NE(frame->getModalView(), nullptr);
    frame->idle();
    if (x < 100) {
      EXPECT_TRUE(frame->writePng("panel_about.png"));
    }
    EXPECT_EQ(mismatches(frame->getOffscreen(), plain, CRect(0, 0, 942, 171), CRect(739, 69, 841, 86)), 0);
    EXPECT_GT(brightPixels(frame->getOffscreen(), box), 20);
    window->click(400, 100, kRButton);
    EXPECT_NE(frame->getModalView(), nullptr);
    window->click(400, 100);
    EXPECT_EQ(frame->getModalView(), nullptr);
  }
  cairo_surface_destroy(plain);

  for (CBitmap* b : {panelPicture, pages, button, about}) b->forget();
  frame->forget();
}

}  // namespace
