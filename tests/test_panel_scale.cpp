// The panel at 150 % and 200 % for high-resolution screens: which scale the
// hints choose, gestures meaning the same at every scale, the size menu
// resizing the host's window, and the rectangle a host sizes its window by.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "editor/Editor.h"
#include "editor/PanelScale.h"
#include "params/ParameterTable.h"
#include "platform/SettingsStore.h"
#include "support/Tavrel.h"
#include "support/ToolkitXvfb.h"
#include "toolkit/CFrame.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/HeadlessWindow.h"

// Last: Xlib's macros clash with names in the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

using namespace toolkit;

TEST(PanelScale, TheFirstHintThatSaysSomethingWins) {
  const struct {
    const char* name;
    editor::ScaleHints hints;
    double scale;
  } cases[] = {
      {"no hint at all", {}, 1.0},
      {"the user's choice over everything", {"1.5", 2.0, "2", 192}, 1.5},
      {"a stored text that is no choice counts as none", {"3", 0.0, "", 144}, 1.5},
      {"the host's content scale, rounded", {"", 1.74, "1", 96}, 1.5},
      {"GDK_SCALE", {"", 0.0, "2", 96}, 2.0},
      {"Xft.dpi 192", {"", 0.0, "", 192}, 2.0},
      {"Xft.dpi 144", {"", 0.0, "", 144}, 1.5},
      {"Xft.dpi 120 is nearer 1 than 1.5", {"", 0.0, "", 120}, 1.0},
  };
  for (const auto& c : cases) EXPECT_EQ(editor::choosePanelScale(c.hints), c.scale) << c.name;
}

// A host that grants or refuses the window sizes the editor asks for.
struct SizingHost {
  static inline bool grants = true;
  static inline int width = 0, height = 0;
  static intptr_t callback(vst::AEffect*, int32_t opcode, int32_t index, intptr_t value, void*, float) {
    if (opcode == vst::audioMasterVersion) return 2400;
    if (opcode == vst::audioMasterSizeWindow) {
      width = index;
      height = static_cast<int>(value);
      return grants ? 1 : 0;
    }
    return 0;
  }
};

// The editor opened headless with the user's stored choice.
struct ScaledPanel {
  std::unique_ptr<ZEL> zel;
  Editor* editor = nullptr;
  explicit ScaledPanel(const char* stored) {
    platform::SettingsStore::forUser().writeText("UiScale", stored);
    zel = std::make_unique<ZEL>(SizingHost::callback);
    editor = zel->zelEditor();
    EXPECT_TRUE(editor->open(nullptr));
    editor->idle();
  }
  ~ScaledPanel() {
    editor->close();
    platform::SettingsStore::forUser().remove("UiScale");
  }
  HeadlessWindow& window() { return *static_cast<HeadlessWindow*>(editor->getFrame()->getPlatformWindow()); }
  std::pair<int, int> rect() {
    editor::PanelRect* r = nullptr;
    editor->getRect(&r);
    return {r->right - r->left, r->bottom - r->top};
  }
};

// Gestures are made in window pixels: at 2x a drag of 100 of them turns a
// knob as 50 do at 1x, and a click lands on the control drawn there.
TEST(PanelScale, GesturesMeanTheSameAtEveryScale) {
  for (const char* stored : {"1", "1.5", "2"}) {
    SCOPED_TRACE(stored);
    ScaledPanel panel(stored);
    const double s = std::stod(stored);
    EXPECT_EQ(panel.editor->getFrame()->getScale(), s);
    EXPECT_EQ(panel.rect(), std::make_pair(static_cast<int>(std::ceil(942 * s)), static_cast<int>(std::ceil(171 * s))));
    // CUTOFF (centre 695, 46) dragged down by 50 layout pixels: 0.25 less.
    const float before = panel.zel->getParameter(params::Cutoff);
    panel.window().mouseMove(695 * s, 46 * s);
    panel.window().mouseDown(695 * s, 46 * s, kLButton);
    panel.window().mouseMove(695 * s, 96 * s, kLButton);
    panel.window().mouseUp(695 * s, 96 * s, kLButton);
    EXPECT_NEAR(panel.zel->getParameter(params::Cutoff), before - 0.25f, 1e-5);
    // The rocker's right half (342..372 x 156..169) steps to the next program.
    panel.window().click(365 * s, 162 * s);
    panel.editor->idle();
    EXPECT_EQ(panel.zel->getCurrentProgramIndex(), 1);
    EXPECT_TRUE(panel.editor->getFrame()->writePng((std::string("panel_") + stored + "x.png").c_str()));
  }
}

// A right-click where no control answers offers the sizes; a choice is kept
// for every instance, and the host is asked for the new window size.
TEST(PanelScale, TheSizeMenuResizesTheWindowWhereTheHostAgrees) {
  for (bool grants : {true, false}) {
    SCOPED_TRACE(grants ? "host grants" : "host refuses");
    SizingHost::grants = grants;
    SizingHost::width = SizingHost::height = 0;
    ScaledPanel panel("1");
    panel.window().click(5, 160, kRButton);  // the preset strip's empty left end
    auto* menu = dynamic_cast<COptionMenu*>(panel.editor->getFrame()->getModalView() ? panel.editor->panelView(95)
                                                                                     : nullptr);
    ASSERT_NE(menu, nullptr) << "no size menu opened";
    menu->choose(1);  // "Size: 150 %"
    // Past the bar's 50 ms tick: its timer calls the editor's idle from inside
    // the frame's, where the window must not be rebuilt under the frame's feet.
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    panel.editor->idle();
    std::string stored;
    EXPECT_TRUE(platform::SettingsStore::forUser().readText("UiScale", stored, 8));
    EXPECT_EQ(stored, "1.5");
    EXPECT_EQ(SizingHost::width, 1413);
    EXPECT_EQ(SizingHost::height, 257);
    EXPECT_EQ(panel.editor->getFrame()->getScale(), grants ? 1.5 : 1.0);
    EXPECT_EQ(panel.rect(), grants ? std::make_pair(1413, 257) : std::make_pair(942, 171));
    // A host that refused gets the new size at the next opening.
    panel.editor->close();
    EXPECT_EQ(panel.rect(), std::make_pair(1413, 257));
  }
}

// The open size menu ticks the size the panel is shown at, whichever it is.
TEST(PanelScale, TheSizeMenuTicksTheSizeInUse) {
  const std::pair<const char*, int> cases[] = {{"1", 0}, {"1.5", 1}, {"2", 2}};
  for (const auto& [stored, entry] : cases) {
    SCOPED_TRACE(stored);
    ScaledPanel panel(stored);
    const double s = std::stod(stored);
    panel.window().click(5 * s, 160 * s, kRButton);
    ASSERT_NE(panel.editor->getFrame()->getModalView(), nullptr) << "no size menu opened";
    EXPECT_EQ(static_cast<COptionMenu*>(panel.editor->panelView(95))->getCurrent(), entry);
  }
}

// What a host reads before opening: the X server's resolution, or the
// content scale the host itself handed over.
TEST(PanelScale, TheRectangleBeforeOpeningFollowsTheServerAndTheHost) {
  toolkit_rig::Xvfb server;
  if (!server.running()) GTEST_SKIP() << server.error() << ": no X server";
  Display* display = XOpenDisplay(server.name().c_str());
  ASSERT_NE(display, nullptr);
  const char resources[] = "Xft.dpi:\t192\n";
  XChangeProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(resources), sizeof resources - 1);
  XSync(display, False);

  auto plugin = testing_support::loadTavrel();
  vst::ERect* r = nullptr;
  plugin->dispatch(vst::effEditGetRect, 0, 0, &r);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->right - r->left, 1884);
  EXPECT_EQ(r->bottom - r->top, 342);
  // The host's content scale comes before the server's resolution.
  EXPECT_EQ(plugin->dispatch(vst::effVendorSpecific, vst::fourCharCode('P', 'r', 'e', 'S'),
                             vst::fourCharCode('A', 'e', 'C', 's'), nullptr, 1.5f),
            1);
  plugin->dispatch(vst::effEditGetRect, 0, 0, &r);
  EXPECT_EQ(r->right - r->left, 1413);
  XCloseDisplay(display);
}

}  // namespace
