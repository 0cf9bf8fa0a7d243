// Values typed in the unit a parameter's value text shows: the normalised
// values they write, what they refuse, and the delay time's choice of range
// or note value.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "params/ParameterTable.h"
#include "params/Steps.h"
#include "params/TypedValue.h"
#include "support/Tavrel.h"

using namespace params;

namespace {

TEST(TypedValue, TextsInEachUnitGiveTheirNormalisedValue) {
  struct Case {
    int index;
    const char* text;
    float v;
  };
  const Case cases[] = {
      // dB: gains of 4 v^2, v, v^2, 2^(4v); silence as -inf; held at +12 dB
      {Input, "0 dB", 0.5f}, {Input, "-6,0", 0.353973f}, {Input, "\xe2\x88\x92inf", 0.0f}, {Output, "+20 dB", 1.0f},
      {FbGainL, "-6dB", 0.501187f}, {DlyGateR, " -40 DB ", 0.1f}, {Drive, "12", 0.498289f}, {Drive, "-3", 0.0f},
      // Hz, with kHz (a bare cutoff up to 16 is kHz, as the display shows it)
      {Cutoff, "1000 Hz", 0.498230f}, {Cutoff, "1.2 kHz", 0.530694f}, {Cutoff, "1.2", 0.530694f},
      {Cutoff, "10 Hz", 0.0f}, {Cutoff, "20000", 1.0f}, {LFORate, "3 Hz", 0.5f},
      // ms and s
      {EnvSpeed, "550 ms", 0.5f}, {EnvSpeed, "0.55 s", 0.5f}, {EnvSpeed, "2 s", 1.0f},
      // %: a split's right-hand share lands mid-step; depths are bipolar
      {Mix, "30 %", 0.301980f}, {FbPanR, "100", 0.995050f}, {RvbAmt, "25%", 0.25f}, {ModSens, "150", 1.0f},
      {CutfMod, "-50 %", 0.25f},
      // degrees, times, plain numbers
      {LROffset, "90 deg", 0.75f}, {LROffset, "-90\xc2\xb0", 0.25f}, {VcoMan, "2x", 1.0f}, {Reso, "2.5", 0.25f},
      {Ducking, "-12", 0.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(kParameterTable[c.index].name) + " \"" + c.text + "\"");
    const std::optional<float> v = typedValue(c.index, c.text);
    ASSERT_TRUE(v.has_value());
    EXPECT_NEAR(*v, c.v, 2e-6);
  }
  // Garbage, another unit, a second sign, silence where there is no gain,
  // and the parameters that take no typed number.
  const std::pair<int, const char*> refused[] = {
      {Input, "loud"}, {Input, ""}, {Input, "6 ms"}, {Mix, "--5"},     {Cutoff, "-inf"},
      {Reso, "nan"},   {Reso, "1e3"}, {FbInvL, "1"}, {DlyTimeL, "250"}, {LfoDen, "16"},
  };
  for (const auto& [index, text] : refused) EXPECT_FALSE(typedValue(index, text).has_value()) << text;
}

TEST(TypedValue, ADelayTimePicksTheSmallestRangeOrANoteValue) {
  // t: main time in time mode, n: in note mode, p: pre-delay
  const auto typed = [](char kind, int side, const char* text) {
    return kind == 'p' ? typedPreDelay(side, text) : typedDelayTime(side, kind == 'n', text);
  };
  struct Case {
    int side;
    char kind;
    const char* text;
    ParameterValue first, second;
  };
  const Case cases[] = {
      {0, 't', "250", {RangeL, stepValue(1, 3)}, {DlyTimeL, 0.25f}},
      {0, 't', "80 ms", {RangeL, stepValue(0, 3)}, {DlyTimeL, 0.8f}},
      {0, 't', "100", {RangeL, stepValue(0, 3)}, {DlyTimeL, 1.0f}},
      {1, 't', "1.5 s", {RangeR, stepValue(2, 3)}, {DlyTimeR, 0.3f}},
      {1, 't', "9000", {RangeR, stepValue(2, 3)}, {DlyTimeR, 1.0f}},  // held at 5000 ms
      {0, 't', "-5", {RangeL, stepValue(0, 3)}, {DlyTimeL, 0.0f}},
      {0, 'n', "3/16", {DlyNumL, stepValue(1, 5)}, {DlyDenL, stepValue(7, 13)}},
      {1, 'n', " 9 / 96 ", {DlyNumR, stepValue(4, 5)}, {DlyDenR, stepValue(12, 13)}},
      {0, 'p', "1/8", {PreNumL, stepValue(1, 6)}, {PreDenL, stepValue(5, 13)}},
      {1, 'p', "0/1", {PreNumR, stepValue(0, 6)}, {PreDenR, stepValue(0, 13)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto writes = typed(c.kind, c.side, c.text);
    ASSERT_TRUE(writes.has_value());
    ASSERT_EQ(writes->count, 2);
    EXPECT_EQ(writes->values[0].index, c.first.index);
    EXPECT_FLOAT_EQ(writes->values[0].value, c.first.value);
    EXPECT_EQ(writes->values[1].index, c.second.index);
    EXPECT_FLOAT_EQ(writes->values[1].value, c.second.value);
  }
  for (const auto& [kind, text] : {std::pair{'n', "2/16"}, {'n', "3/5"}, {'n', "3/"}, {'n', "250"}, {'t', "3/16"},
                                   {'t', "-inf"}, {'t', "soon"}, {'p', "2/8"}, {'p', "1/8 ms"}})
    EXPECT_FALSE(typed(kind, 0, text).has_value()) << text;
}

// Each number a host shows, typed back, shows the same number again: the
// conversions agree with the plug-in's own value texts.
TEST(TypedValue, AValueTextTypedBackShowsTheSameNumber) {
  auto plugin = testing_support::loadTavrel();
  ASSERT_TRUE(plugin);
  plugin->setParameter(LfoMode, 0.0f);
  for (int index : {Input, Output, FbGainL, DlyGateL, Drive, LFORate, CutfMod, VcoMod, ResoMod, Cutoff, Reso,
                    VcoMan, EnvSpeed, RvbDamp, RvbAmt, ModSens, Ducking}) {
    for (float v : {0.13f, 0.5f, 0.82f}) {
      SCOPED_TRACE(std::string(kParameterTable[index].name) + " at " + std::to_string(v));
      plugin->setParameter(index, v);
      const std::string shown = plugin->parameterDisplay(index);
      const std::optional<float> typed = typedValue(index, shown);
      ASSERT_TRUE(typed.has_value()) << shown;
      plugin->setParameter(index, *typed);
      const double again = std::atof(plugin->parameterDisplay(index).c_str());
      EXPECT_NEAR(again, std::atof(shown.c_str()), 1e-3 * (1.0 + std::fabs(again))) << shown;
    }
  }
}

}  // namespace

// ------------------------------------------------------------ the real window

#include <chrono>
#include <thread>
#include <vector>

#include "support/ToolkitRig.h"
#include "support/ToolkitXvfb.h"

// Last: Xlib's macros clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

class X11TypedValue : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<toolkit_rig::Xvfb>();
    if (!server_->running()) GTEST_SKIP() << server_->error() << ": no X server for the window tests";
    display_ = XOpenDisplay(server_->name().c_str());
    ASSERT_NE(display_, nullptr);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest extension";
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
    server_.reset();
  }
  void idle(host::PluginInstance& plugin, int times) {
    for (int i = 0; i < times; ++i) {
      plugin.dispatch(vst::effEditIdle);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  void click(host::PluginInstance& plugin, int x, int y, unsigned button, int times = 1) {
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    for (int i = 0; i < times; ++i) {
      XTestFakeButtonEvent(display_, button, True, CurrentTime);
      XTestFakeButtonEvent(display_, button, False, CurrentTime);
    }
    XSync(display_, False);
    idle(plugin, 10);
  }
  void type(host::PluginInstance& plugin, std::initializer_list<KeySym> keys) {
    for (KeySym sym : keys) {
      const KeyCode code = XKeysymToKeycode(display_, sym);
      XTestFakeKeyEvent(display_, code, True, CurrentTime);
      XTestFakeKeyEvent(display_, code, False, CurrentTime);
    }
    XSync(display_, False);
    idle(plugin, 10);
  }

  // The window as the user sees it, as a PNG beside the test program.
  void screenshot(Window window, const char* name) {
    XImage* image = XGetImage(display_, window, 0, 0, 942, 171, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 942, 171);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < 171; ++y)
      for (int x = 0; x < 942; ++x)
        *reinterpret_cast<uint32_t*>(data + y * stride + x * 4) = XGetPixel(image, x, y) & 0xffffff;
    cairo_surface_mark_dirty(s);
    XDestroyImage(image);
    cairo_surface_write_to_png(s, toolkit_rig::outputPath(name).c_str());
    cairo_surface_destroy(s);
  }

  std::unique_ptr<toolkit_rig::Xvfb> server_;
  Display* display_ = nullptr;
};

// The begin, perform and end calls the host saw, as (opcode, index) in order.
std::vector<std::pair<int32_t, int32_t>> edits(const host::PluginInstance& plugin) {
  std::vector<std::pair<int32_t, int32_t>> out;
  for (const host::HostCall& call : plugin.calls())
    if (call.opcode == vst::audioMasterBeginEdit || call.opcode == vst::audioMasterAutomate ||
        call.opcode == vst::audioMasterEndEdit)
      out.emplace_back(call.opcode, call.index);
  return out;
}

std::vector<std::pair<int32_t, int32_t>> bracketed(std::initializer_list<int32_t> indices) {
  std::vector<std::pair<int32_t, int32_t>> out;
  for (int32_t index : indices)
    for (int32_t opcode : {vst::audioMasterBeginEdit, vst::audioMasterAutomate, vst::audioMasterEndEdit})
      out.emplace_back(opcode, index);
  return out;
}

// "250" typed on the left main time in time mode (a right-click on its
// arrows or the area between them opens the field) makes a 250 ms echo: range 1000 ms,
// time 0.25, each in its own bracket; Escape before it changed nothing. A
// double-click on CUTOFF takes "1.2 kHz" likewise.
TEST_F(X11TypedValue, TypedMainTimeAndKnobValueReachTheHostAndTheSound) {
  auto plugin = testing_support::loadTavrel();
  const float cutoff = plugin->getParameter(Cutoff);
  plugin->setSampleRate(44100.0f);
  plugin->setBlockSize(512);
  for (const auto& [index, value] :
       {std::pair{VcoOn, 0.0f}, {Mix, 1.0f}, {DlyModeL, 0.0f}, {RangeL, stepValue(2, 3)}, {DlyTimeL, 0.2f}})
    plugin->setParameter(index, value);
  const Window parent = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 942, 171, 0, 0, 0);
  XMapWindow(display_, parent);
  XSync(display_, False);
  ASSERT_NE(plugin->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 0);
  idle(*plugin, 5);
  plugin->clearCalls();

  click(*plugin, 135, 122, 3);  // on the up arrow
  type(*plugin, {XK_9, XK_Escape});
  EXPECT_TRUE(edits(*plugin).empty());
  EXPECT_FLOAT_EQ(plugin->getParameter(DlyTimeL), 0.2f);

  click(*plugin, 118, 123, 3);
  type(*plugin, {XK_2, XK_5, XK_0});
  screenshot(parent, "typed_value_main_time.png");
  type(*plugin, {XK_Return});
  // The first program's sides match, so LINK is on: the right side takes the
  // left one's delay time after it, each parameter in its own bracket too.
  const auto seen = edits(*plugin);
  ASSERT_GE(seen.size(), 6u);
  EXPECT_EQ(decltype(seen)(seen.begin(), seen.begin() + 6), bracketed({RangeL, DlyTimeL}));
  ASSERT_EQ(seen.size() % 3, 0u);
  for (auto at = seen.begin() + 6; at != seen.end(); at += 3)
    EXPECT_EQ(decltype(seen)(at, at + 3), bracketed({at->second}));
  for (int index : {RangeL, DlyTimeL, DlyModeL}) EXPECT_FLOAT_EQ(plugin->getParameter(index + 1), plugin->getParameter(index));
  EXPECT_FLOAT_EQ(plugin->getParameter(RangeL), stepValue(1, 3));
  EXPECT_FLOAT_EQ(plugin->getParameter(DlyTimeL), 0.25f);

  plugin->clearCalls();
  click(*plugin, 695, 46, 1, 2);
  type(*plugin, {XK_1, XK_period, XK_2, XK_space, XK_k, XK_h, XK_z});
  screenshot(parent, "typed_value_knob.png");  // the display shows the cutoff it replaces
  type(*plugin, {XK_Return});
  // The first click opened and closed the knob's bracket, writing nothing.
  auto expected = bracketed({Cutoff});
  expected.erase(expected.begin() + 1);
  const auto typed = bracketed({Cutoff});
  expected.insert(expected.end(), typed.begin(), typed.end());
  EXPECT_EQ(edits(*plugin), expected);
  EXPECT_NEAR(plugin->getParameter(Cutoff), 0.530694f, 2e-6);

  // FBCK PAN with LINK on: the right side mirrored, both inside their brackets.
  plugin->clearCalls();
  click(*plugin, 178, 47, 1, 2);
  type(*plugin, {XK_3, XK_0, XK_Return});
  const std::pair<int32_t, int32_t> begins[] = {{vst::audioMasterBeginEdit, FbPanL}, {vst::audioMasterBeginEdit, FbPanR}};
  const std::pair<int32_t, int32_t> ends[] = {{vst::audioMasterEndEdit, FbPanR}, {vst::audioMasterEndEdit, FbPanL}};
  const std::pair<int32_t, int32_t> writes[] = {{vst::audioMasterAutomate, FbPanL}, {vst::audioMasterAutomate, FbPanR}};
  std::vector<std::pair<int32_t, int32_t>> panEdits(std::begin(begins), std::end(begins));  // the first click
  panEdits.insert(panEdits.end(), std::begin(ends), std::end(ends));
  for (const auto* part : {begins, writes, ends}) panEdits.insert(panEdits.end(), part, part + 2);
  EXPECT_EQ(edits(*plugin), panEdits);
  EXPECT_NEAR(plugin->getParameter(FbPanL), 30.5f / 101.0f, 1e-6f);
  EXPECT_NEAR(plugin->getParameter(FbPanR), 1.0f - 30.5f / 101.0f, 1e-6f);

  // The pre-delay's note value on both sides, LINK being on.
  plugin->clearCalls();
  click(*plugin, 99, 33, 3);
  type(*plugin, {XK_1, XK_slash, XK_8, XK_Return});
  EXPECT_EQ(edits(*plugin), bracketed({PreNumL, PreDenL, PreNumR, PreDenR}));
  for (int index : {PreNumL, PreNumR}) EXPECT_FLOAT_EQ(plugin->getParameter(index), stepValue(1, 6));
  for (int index : {PreDenL, PreDenR}) EXPECT_FLOAT_EQ(plugin->getParameter(index), stepValue(5, 13));

  // A field still open when the host closes the window commits what it holds
  // (as the program name does) and goes with the window.
  const float reso = plugin->getParameter(Reso);
  click(*plugin, 743, 46, 1, 2);
  type(*plugin, {XK_5});
  plugin->dispatch(vst::effEditClose);
  XDestroyWindow(display_, parent);
  EXPECT_FLOAT_EQ(plugin->getParameter(Reso), 0.5f);
  plugin->setParameter(Reso, reso);
  for (const auto& [index, value] : {std::pair{PreNumL, 0.0f}, {PreNumR, 0.0f}}) plugin->setParameter(index, value);

  plugin->setParameter(Cutoff, cutoff);  // the echo as the program filters it
  plugin->suspend();
  plugin->resume();
  std::vector<std::vector<float>> out;
  ASSERT_TRUE(plugin->process({std::vector<float>(9000, 0.0f)}, out));  // the time change's fade
  constexpr long kEcho = 11025 + 44;  // 250 ms at 44.1 kHz behind the gates' 1 ms look-ahead
  std::vector<float> impulse(kEcho + 100, 0.0f);
  impulse[0] = 1.0f;
  ASSERT_TRUE(plugin->process({impulse}, out));
  for (long i = 0; i < kEcho; ++i) ASSERT_LT(std::fabs(out[0][static_cast<size_t>(i)]), 1e-6f) << "at " << i;
  EXPECT_EQ(out[0][kEcho], 1.0f);
}

}  // namespace
