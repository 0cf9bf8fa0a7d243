// The editor's window on a real X server (a private Xvfb): a child of the
// host's window at the panel's size, drawing what the headless back end
// draws, answering a click, and never raising an X error, also when the
// host destroys its window first or opens and closes many editors; the file
// dialog belongs to the host's top-level window.
#include <cairo.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "editor/Editor.h"
#include "support/Tavrel.h"
#include "support/ToolkitRig.h"
#include "support/ToolkitXvfb.h"
#include "toolkit/COnOffButton.h"
#include "toolkit/CTextEdit.h"
#include "toolkit/X11Window.h"

// Last: Xlib's macros (None, Bool, ...) clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using toolkit_rig::pixel;

int hostErrors = 0;
int countHostError(Display*, XErrorEvent*) {
  ++hostErrors;
  return 0;
}

// The host's side: its own connection, its own error handler, a top-level
// window at the origin of the screen for the editor to live in.
class X11Host : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<toolkit_rig::Xvfb>();
    if (!server_->running()) GTEST_SKIP() << server_->error() << ": no X server for the window tests";
    display_ = XOpenDisplay(server_->name().c_str());
    ASSERT_NE(display_, nullptr);
    hostErrors = 0;
    previousHandler_ = XSetErrorHandler(countHostError);
  }
  void TearDown() override {
    if (display_) {
      XSync(display_, False);
      XSetErrorHandler(previousHandler_);
      XCloseDisplay(display_);
    }
    server_.reset();
  }

  Window makeParent(int x = 0, int y = 0) {
    Window w = XCreateSimpleWindow(display_, DefaultRootWindow(display_), x, y, 942, 171, 0, 0, 0x808080);
    XMapWindow(display_, w);
    XSync(display_, False);
    return w;
  }
  std::vector<Window> children(Window parent) {
    Window root = 0, up = 0, *list = nullptr;
    unsigned int n = 0;
    std::vector<Window> out;
    if (XQueryTree(display_, parent, &root, &up, &list, &n)) {
      out.assign(list, list + n);
      if (list) XFree(list);
    }
    return out;
  }
  // The child's pixels as a picture, for comparison and for looking at.
  cairo_surface_t* grab(Window w, int width, int height) {
    XSync(display_, False);
    XImage* image = XGetImage(display_, w, 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image) return nullptr;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    auto* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        *reinterpret_cast<uint32_t*>(data + y * stride + x * 4) = XGetPixel(image, x, y) & 0xffffff;
    cairo_surface_mark_dirty(s);
    XDestroyImage(image);
    return s;
  }
  static int differingPixels(cairo_surface_t* a, cairo_surface_t* b) {
    int n = 0;
    for (int y = 0; y < cairo_image_surface_get_height(a); ++y)
      for (int x = 0; x < cairo_image_surface_get_width(a); ++x) n += pixel(a, x, y) != pixel(b, x, y);
    return n;
  }
  // One picture per test: tests that run side by side must not write one file.
  static std::string screenshotName() {
    return std::string("toolkit_x11_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
  }
  // Idles the editor until the window shows `expected` (the server handles
  // the editor's connection and ours in its own order).
  int settle(const std::function<void()>& idle, Window child, cairo_surface_t* expected) {
    int diff = -1;
    for (int i = 0; i < 50; ++i) {
      idle();
      cairo_surface_t* shown = grab(child, 942, 171);
      diff = differingPixels(shown, expected);
      if (diff == 0 || i == 49)
        cairo_surface_write_to_png(shown, toolkit_rig::outputPath(screenshotName().c_str()).c_str());
      cairo_surface_destroy(shown);
      if (diff == 0) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return diff;
  }

  std::unique_ptr<toolkit_rig::Xvfb> server_;
  Display* display_ = nullptr;
  XErrorHandler previousHandler_ = nullptr;
};

// Through the built plug-in's dispatcher, as a host drives it.
TEST_F(X11Host, ChildWindowOfThePanelSizeDrawsAsTheHeadlessFrame) {
  auto plugin = testing_support::loadTavrel();
  ASSERT_TRUE(plugin);
  vst::ERect* rect = nullptr;
  ASSERT_EQ(plugin->dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 942);
  EXPECT_EQ(rect->bottom - rect->top, 171);

  const Window parent = makeParent();
  ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
  // The child exists, at full size, as soon as open returns.
  const std::vector<Window> kids = children(parent);
  ASSERT_EQ(kids.size(), 1u);
  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(display_, kids[0], &attributes));
  EXPECT_EQ(attributes.width, 942);
  EXPECT_EQ(attributes.height, 171);
  EXPECT_EQ(attributes.map_state, IsViewable);

  // The same editor drawn headless in this process.
  auto zel = testing_support::makeZel();
  Editor& headless = *zel->zelEditor();
  ASSERT_TRUE(headless.open(nullptr));
  headless.idle();
  EXPECT_EQ(settle([&] { plugin->dispatch(vst::effEditIdle); }, kids[0], headless.getFrame()->getOffscreen()), 0);
  headless.close();

  plugin->dispatch(vst::effEditClose);
  XSync(display_, False);
  EXPECT_TRUE(children(parent).empty());
  EXPECT_EQ(hostErrors, 0);
}

// A click injected at the server reaches a control, and the window shows
// the same pixels as a headless frame given the same click.
TEST_F(X11Host, InjectedClickReachesTheControlAndBothBackEndsAgree) {
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest extension";
  toolkit_rig::Recorder rec;
  auto addButton = [&](Editor& e) {
    toolkit::CBitmap* strip = toolkit_rig::makeStrip(24, 20, 2);
    auto* b = new toolkit::COnOffButton(toolkit::CRect(340, 53, 364, 73), &rec, 41, strip);
    strip->forget();
    e.getFrame()->addView(b);
    return b;
  };
  const Window parent = makeParent();
  auto windowed = testing_support::makeZel();
  Editor& editor = *windowed->zelEditor();
  ASSERT_TRUE(editor.open(reinterpret_cast<void*>(parent)));
  toolkit::COnOffButton* button = addButton(editor);
  editor.idle();

  XTestFakeMotionEvent(display_, DefaultScreen(display_), 350, 60, CurrentTime);
  XTestFakeButtonEvent(display_, 1, True, CurrentTime);
  XTestFakeButtonEvent(display_, 1, False, CurrentTime);
  XSync(display_, False);
  for (int i = 0; i < 100 && button->getValue() == 0.0f; ++i) {
    editor.idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(button->getValue(), 1.0f);
  EXPECT_EQ(rec.count('v'), 1);
  toolkit::CPoint where;
  ASSERT_TRUE(editor.getFrame()->getCurrentMouseLocation(where));
  EXPECT_EQ(where, toolkit::CPoint(350, 60));

  // A click into a text edit takes the keyboard; typed keys arrive, Return
  // commits and hands the keyboard back.
  auto* edit = new toolkit::CTextEdit(toolkit::CRect(210, 157, 322, 169), &rec, 98, "Init");
  editor.getFrame()->addView(edit);
  Window focusBefore = 0;
  int revert = 0;
  XGetInputFocus(display_, &focusBefore, &revert);
  XTestFakeMotionEvent(display_, DefaultScreen(display_), 260, 163, CurrentTime);
  XTestFakeButtonEvent(display_, 1, True, CurrentTime);
  XTestFakeButtonEvent(display_, 1, False, CurrentTime);
  XSync(display_, False);
  for (int i = 0; i < 100 && !edit->isEditing(); ++i) {
    editor.idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(edit->isEditing());
  Window focused = 0;
  XSync(display_, False);
  XGetInputFocus(display_, &focused, &revert);
  EXPECT_EQ(focused, editor.getFrame()->getPlatformWindow()->nativeHandle());
  for (KeySym sym : {XK_BackSpace, XK_x, XK_Return}) {
    const KeyCode code = XKeysymToKeycode(display_, sym);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
  }
  XSync(display_, False);
  for (int i = 0; i < 100 && edit->isEditing(); ++i) {
    editor.idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(edit->getText(), "Inix");
  XSync(display_, False);
  XGetInputFocus(display_, &focused, &revert);
  EXPECT_EQ(focused, focusBefore);
  editor.getFrame()->removeView(edit);
  // Back where the headless frame below has its pointer (the editor shows
  // what lies under the mouse).
  XTestFakeMotionEvent(display_, DefaultScreen(display_), 350, 60, CurrentTime);
  XSync(display_, False);

  auto other = testing_support::makeZel();
  Editor& headless = *other->zelEditor();
  ASSERT_TRUE(headless.open(nullptr));
  addButton(headless);
  static_cast<toolkit::HeadlessWindow*>(headless.getFrame()->getPlatformWindow())->click(350, 60);
  headless.idle();
  headless.idle();  // the controller display shows the control under the mouse from the next idle on
  const Window child = children(parent).at(0);
  EXPECT_EQ(settle([&] { editor.idle(); }, child, headless.getFrame()->getOffscreen()), 0);
  EXPECT_EQ(pixel(headless.getFrame()->getOffscreen(), 350, 60), toolkit_rig::greyPixel(toolkit_rig::greyOf(1)));
  headless.close();
  editor.close();
  EXPECT_EQ(hostErrors, 0);
}

// The host destroys its window before closing the editor: nothing may
// touch the dead window, and no X error may reach anyone.
TEST_F(X11Host, ParentDestroyedFirstAndManyEditorsOpenedAndClosed) {
  const long ignoredBefore = toolkit::X11Window::ignoredErrorCount();
  {
    auto zel = testing_support::makeZel();
    Editor& editor = *zel->zelEditor();
    const Window parent = makeParent();
    ASSERT_TRUE(editor.open(reinterpret_cast<void*>(parent)));
    editor.idle();
    XDestroyWindow(display_, parent);
    XSync(display_, False);
    editor.idle();
    editor.close();
  }
  {
    // Destroyed without an idle in between.
    auto zel = testing_support::makeZel();
    Editor& editor = *zel->zelEditor();
    const Window parent = makeParent();
    ASSERT_TRUE(editor.open(reinterpret_cast<void*>(parent)));
    XDestroyWindow(display_, parent);
    XSync(display_, False);
    editor.close();
  }
  EXPECT_EQ(toolkit::X11Window::ignoredErrorCount(), ignoredBefore);

  // Through the plug-in: several instances open at once, again and again.
  auto a = testing_support::loadTavrel();
  auto b = testing_support::loadTavrel();
  ASSERT_TRUE(a && b);
  const Window pa = makeParent(0, 0), pb = makeParent(0, 200);
  for (int round = 0; round < 20; ++round) {
    ASSERT_EQ(a->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(pa)), 1);
    ASSERT_EQ(b->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(pb)), 1);
    a->dispatch(vst::effEditIdle);
    b->dispatch(vst::effEditIdle);
    a->dispatch(vst::effEditClose);
    b->dispatch(vst::effEditClose);
  }
  XSync(display_, False);
  EXPECT_TRUE(children(pa).empty());
  EXPECT_TRUE(children(pb).empty());
  // And one more whose parent goes first, closed through the dispatcher.
  const Window pc = makeParent();
  ASSERT_EQ(a->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(pc)), 1);
  XDestroyWindow(display_, pc);
  XSync(display_, False);
  a->dispatch(vst::effEditIdle);
  a->dispatch(vst::effEditClose);
  EXPECT_EQ(hostErrors, 0);
}

// The file dialog belongs to the host's top-level window that holds the
// editor: the window the window manager manages (it carries WM_STATE) or,
// with no window manager, the one just below the root.
TEST_F(X11Host, TheFileDialogIsAttachedToTheHostsTopLevelWindow) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("tavrel-attach-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  std::ofstream(folder / "zenity") << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << (folder / "args").string() << "'\n";
  ::chmod((folder / "zenity").c_str(), 0755);
  const Atom wmState = XInternAtom(display_, "WM_STATE", False);
  for (const bool managed : {false, true}) {
    SCOPED_TRACE(managed ? "a window manager's frame around the host" : "no window manager");
    // outer (below the root) > host > container > the editor's window
    const Window outer = makeParent();
    const Window host = XCreateSimpleWindow(display_, outer, 0, 0, 942, 171, 0, 0, 0);
    const Window container = XCreateSimpleWindow(display_, host, 0, 0, 942, 171, 0, 0, 0);
    if (managed) {
      const long state[2] = {1, 0};  // NormalState, no icon
      XChangeProperty(display_, host, wmState, wmState, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(state), 2);
    }
    XMapSubwindows(display_, outer);
    XMapSubwindows(display_, host);
    XSync(display_, False);
    fs::remove(folder / "args");

    auto zel = testing_support::makeZel();
    Editor& editor = *zel->zelEditor();
    editor.fileSelector().setSearchPath(folder.string());
    ASSERT_TRUE(editor.open(reinterpret_cast<void*>(container)));
    toolkit::CControl* load = editor.barControl(presets::kTagLoadPreset);
    ASSERT_NE(load, nullptr);
    const toolkit::CRect& r = load->getViewSize();
    load->onMouseDown(toolkit::CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2), toolkit::kLButton);
    for (int i = 0; i < 300 && editor.fileSelector().state() == platform::FileSelector::State::Running; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      editor.idle();
    }
    editor.close();
    std::stringstream args;
    args << std::ifstream(folder / "args").rdbuf();
    const Window expected = managed ? host : outer;
    EXPECT_NE(args.str().find("\n--attach=" + std::to_string(expected) + "\n"), std::string::npos) << args.str();
    XDestroyWindow(display_, outer);
  }
  fs::remove_all(folder);
  EXPECT_EQ(hostErrors, 0);
}

}  // namespace
