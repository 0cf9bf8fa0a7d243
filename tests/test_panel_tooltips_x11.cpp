// The tooltip in a real host window (a private Xvfb), on the editor's clock:
// the pointer moved by the X server onto a side knob brings, after 600 ms of
// idles, a label naming the knob, its side and its value, drawn into the
// window the X server shows; a real button press takes it away.
#include <gtest/gtest.h>

#include <cairo.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "editor/Editor.h"
#include "support/Tavrel.h"
#include "support/ToolkitRig.h"
#include "support/ToolkitXvfb.h"
#include "toolkit/CFrame.h"
#include "toolkit/CTooltip.h"

// Last: Xlib's macros clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace {

uint32_t now = 0;
uint32_t clock() { return now; }

// The window's pixel at (x, y) as 0xRRGGBB, as the X server shows it.
uint32_t serverPixel(Display* display, Window w, int x, int y) {
  XSync(display, False);
  XImage* image = XGetImage(display, w, x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0;
  const uint32_t p = XGetPixel(image, 0, 0) & 0xffffff;
  XDestroyImage(image);
  return p;
}

TEST(X11PanelTooltips, HoverInTheRealWindowShowsTheLabelAndARealPressRemovesIt) {
  toolkit_rig::Xvfb server;
  if (!server.running()) GTEST_SKIP() << server.error() << ": no X server for the window tests";
  Display* display = XOpenDisplay(server.name().c_str());
  ASSERT_NE(display, nullptr);
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest extension";
  const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 942, 171, 0, 0, 0);
  XMapWindow(display, parent);
  XSync(display, False);

  testing_support::RecordingHost host;
  auto zel = host.makeZel();
  Editor& editor = *zel->zelEditor();
  editor.setClock(clock);
  ASSERT_TRUE(editor.open(reinterpret_cast<void*>(parent)));
  toolkit::CFrame& frame = *editor.getFrame();
  // Waits, idle by idle, until the window has seen what the server was told.
  auto idleUntil = [&](auto seen) {
    for (int i = 0; i < 200 && !seen(); ++i) {
      editor.idle();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return seen();
  };

  // FBCK GAIN, the left side selected.
  XTestFakeMotionEvent(display, DefaultScreen(display), 225, 47, CurrentTime);
  XSync(display, False);
  ASSERT_TRUE(idleUntil([&] {
    toolkit::CPoint p;
    return frame.getCurrentMouseLocation(p) && p == toolkit::CPoint(225, 47);
  }));
  editor.idle();  // the rest starts
  const toolkit::CTooltip* label = editor.tooltips().label();
  ASSERT_NE(label, nullptr);
  now += 599;
  editor.idle();
  EXPECT_FALSE(label->isShown());
  now += 1;
  editor.idle();
  ASSERT_TRUE(label->isShown());
  EXPECT_TRUE(label->getText().starts_with(editor.isLinked() ? "Feedback gain (both): " : "Feedback gain (left): "))
      << label->getText();
  EXPECT_TRUE(label->getText().ends_with(" dB")) << label->getText();

  // The label's top left corner: its amber edge, in the window on the server.
  Window root = 0, up = 0, *children = nullptr;
  unsigned int n = 0;
  ASSERT_TRUE(XQueryTree(display, parent, &root, &up, &children, &n));
  ASSERT_EQ(n, 1u);
  const Window panelWindow = children[0];
  XFree(children);
  const toolkit::CRect at = label->getViewSize();
  EXPECT_EQ(serverPixel(display, panelWindow, static_cast<int>(at.left), static_cast<int>(at.top)), 0xe8a23au);
  frame.writePng(toolkit_rig::outputPath("panel_tooltip.png").c_str());

  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XSync(display, False);
  EXPECT_TRUE(idleUntil([&] { return !label->isShown(); }));
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  XSync(display, False);
  editor.idle();
  EXPECT_NE(serverPixel(display, panelWindow, static_cast<int>(at.left), static_cast<int>(at.top)), 0xe8a23au);

  editor.close();
  XDestroyWindow(display, parent);
  XCloseDisplay(display);
}

}  // namespace
