// The panel in a real host window (a private Xvfb), as a DAW drives the built
// plug-in: a knob turned by dragging with the mouse reaches the host as
// begin-edit, automation and end-edit of its parameter, and many open/close
// cycles leave nothing behind.
#include <dirent.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "editor/Editor.h"
#include "params/ParameterTable.h"
#include "platform/SettingsStore.h"
#include "support/Tavrel.h"
#include "support/ToolkitXvfb.h"
#include "toolkit/CControl.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CFrame.h"

// Last: Xlib's macros clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

int openFileDescriptors() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}

class X11Panel : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<toolkit_rig::Xvfb>();
    if (!server_->running()) GTEST_SKIP() << server_->error() << ": no X server for the window tests";
    display_ = XOpenDisplay(server_->name().c_str());
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
    server_.reset();
  }
  Window makeParent() {
    const Window w = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 942, 171, 0, 0, 0);
    XMapWindow(display_, w);
    XSync(display_, False);
    return w;
  }
  void idle(host::PluginInstance& plugin, int times) {
    for (int i = 0; i < times; ++i) {
      plugin.dispatch(vst::effEditIdle);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  std::unique_ptr<toolkit_rig::Xvfb> server_;
  Display* display_ = nullptr;
};

TEST_F(X11Panel, AKnobDraggedWithTheMouseReachesTheHostInsideItsBracket) {
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest extension";
  auto plugin = testing_support::loadTavrel();
  const Window parent = makeParent();
  ASSERT_NE(plugin->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 0);
  const float before = plugin->getParameter(params::Cutoff);
  idle(*plugin, 5);
  plugin->clearCalls();

  // CUTOFF (fully open in the first program): 40 pixels down from its centre.
  XTestFakeMotionEvent(display_, DefaultScreen(display_), 695, 46, CurrentTime);
  XTestFakeButtonEvent(display_, 1, True, CurrentTime);
  XSync(display_, False);
  idle(*plugin, 5);
  for (int y = 48; y <= 86; y += 2) {
    XTestFakeMotionEvent(display_, DefaultScreen(display_), 695, y, CurrentTime);
    XSync(display_, False);
    idle(*plugin, 1);
  }
  XTestFakeButtonEvent(display_, 1, False, CurrentTime);
  XSync(display_, False);
  idle(*plugin, 10);

  EXPECT_NEAR(plugin->getParameter(params::Cutoff), before - 0.2f, 0.011f);
  int stage = 0, automated = 0;  // 0 before, 1 inside, 2 after the bracket
  for (const host::HostCall& call : plugin->calls()) {
    if (call.opcode == vst::audioMasterBeginEdit) {
      EXPECT_EQ(call.index, params::Cutoff);
      EXPECT_EQ(stage++, 0);
    } else if (call.opcode == vst::audioMasterEndEdit) {
      EXPECT_EQ(call.index, params::Cutoff);
      EXPECT_EQ(stage++, 1);
    } else if (call.opcode == vst::audioMasterAutomate) {
      EXPECT_EQ(call.index, params::Cutoff);
      EXPECT_EQ(stage, 1) << "automation outside the bracket";
      ++automated;
    }
  }
  EXPECT_EQ(stage, 2);
  EXPECT_GT(automated, 1);
  plugin->dispatch(vst::effEditClose);
}

// Twenty cycles, alternately in the same parent and in a fresh one: the
// process ends with the descriptors (X connections among them) it began with.
TEST_F(X11Panel, ManyOpenAndCloseCyclesLeaveNothingBehind) {
  auto plugin = testing_support::loadTavrel();
  const Window first = makeParent();
  ASSERT_NE(plugin->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(first)), 0);
  idle(*plugin, 2);
  plugin->dispatch(vst::effEditClose);
  const int descriptors = openFileDescriptors();
  for (int cycle = 0; cycle < 20; ++cycle) {
    const Window parent = cycle % 2 ? makeParent() : first;
    ASSERT_NE(plugin->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 0);
    idle(*plugin, 2);
    plugin->dispatch(vst::effEditClose);
    if (parent != first) XDestroyWindow(display_, parent);
  }
  EXPECT_EQ(openFileDescriptors(), descriptors);
}

// A host that grants every window size the editor asks for.
int grantedWidth = 0, grantedHeight = 0;
intptr_t grantingHost(vst::AEffect*, int32_t opcode, int32_t index, intptr_t value, void*, float) {
  if (opcode == vst::audioMasterVersion) return 2400;
  if (opcode != vst::audioMasterSizeWindow) return 0;
  grantedWidth = index;
  grantedHeight = static_cast<int>(value);
  return 1;
}

// The size menu, opened with a real right-click, makes the editor's window
// in the host's parent 200 % at once, and the host hears the size first.
TEST_F(X11Panel, TheSizeMenuResizesTheRealWindow) {
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest extension";
  auto zel = std::make_unique<ZEL>(grantingHost);
  Editor& editor = *zel->zelEditor();
  const Window parent = makeParent();
  ASSERT_TRUE(editor.open(reinterpret_cast<void*>(parent)));
  editor.idle();
  XTestFakeMotionEvent(display_, DefaultScreen(display_), 5, 160, CurrentTime);
  XTestFakeButtonEvent(display_, 3, True, CurrentTime);
  XTestFakeButtonEvent(display_, 3, False, CurrentTime);
  XSync(display_, False);
  for (int i = 0; i < 100 && !editor.getFrame()->getModalView(); ++i) {
    editor.idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  auto* menu = dynamic_cast<toolkit::COptionMenu*>(editor.panelView(95));
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(menu->isPopupOpen());
  menu->choose(2);  // "Size: 200 %"
  editor.idle();
  EXPECT_EQ(grantedWidth, 1884);
  EXPECT_EQ(grantedHeight, 342);
  XSync(display_, False);
  Window root = 0, up = 0, *children = nullptr;
  unsigned int n = 0;
  ASSERT_TRUE(XQueryTree(display_, parent, &root, &up, &children, &n));
  ASSERT_EQ(n, 1u);
  XWindowAttributes attributes{};
  XGetWindowAttributes(display_, children[0], &attributes);
  XFree(children);
  EXPECT_EQ(attributes.width, 1884);
  EXPECT_EQ(attributes.height, 342);
  editor.close();
  platform::SettingsStore::forUser().remove("UiScale");
}

}  // namespace
