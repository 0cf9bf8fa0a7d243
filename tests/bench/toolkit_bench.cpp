// What the editor costs the host's GUI thread: a frame with a panel's worth
// of views (21 filmstrip knobs, buttons, switches, display digits, meters)
// drawn from the embedded pictures. Measures an idle with nothing to redraw,
// a full repaint, and the idle after one knob and the meters moved.
// Then the plug-in's own editor: its idle as the host calls it, with the
// window open and nothing moving (display, meters and the controller
// display are checked every time). And what an opening costs: the time from
// open to the first painted panel and back to closed, and the memory the
// open panel holds, at each panel size.
// Run: tavrel_toolkit_bench [--benchmark_min_time=1]
// With DISPLAY set, also the same idles through a real X11 child window.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "toolkit/CAnimKnob.h"
#include "toolkit/CFrame.h"
#include "toolkit/CHorizontalSwitch.h"
#include "toolkit/CMovieBitmap.h"
#include "toolkit/COnOffButton.h"
#include "toolkit/HeadlessWindow.h"
#include "toolkit/CBitmap.h"
#include "editor/Editor.h"
#include "editor/PanelPictures.h"
#include "shell/ZEL.h"

#include <X11/Xlib.h>

using namespace toolkit;

namespace {

struct Panel {
  CFrame* frame = nullptr;
  std::vector<CAnimKnob*> knobs;
  std::vector<CMovieBitmap*> meters;
  Display* display = nullptr;
  Window parent = 0;

  explicit Panel(bool x11) {
    void* parentWindow = nullptr;
    if (x11) {
      display = XOpenDisplay(nullptr);
      if (display) {
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 942, 171, 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
        parentWindow = reinterpret_cast<void*>(parent);
      }
    }
    if (parentWindow)
      frame = new CFrame(CRect(0, 0, 942, 171), parentWindow, nullptr);
    else
      frame = new CFrame(CRect(0, 0, 942, 171), std::make_unique<HeadlessWindow>(), nullptr);
    editor::usePanelPictures();
    auto* background = new CBitmap(128);
    frame->setBackground(background);
    background->forget();
    const double knobRects[][2] = {{161, 30}, {208, 30}, {161, 93}, {208, 93}, {383, 29}, {430, 29}, {476, 29},
                                   {523, 29}, {383, 94}, {430, 94}, {476, 94}, {523, 94}, {578, 29}, {578, 94},
                                   {678, 29}, {726, 29}, {773, 29}, {678, 94}, {726, 94}, {830, 29}, {877, 29}};
    auto* strip = new CBitmap(130);
    for (const auto& p : knobRects) {
      auto* k = new CAnimKnob(CRect(p[0] + 1, p[1] + 1, p[0] + 34, p[1] + 34), nullptr, 0, 101, 37, strip,
                              CPoint(2, 2));
      k->setValue(0.5f);
      frame->addView(k);
      knobs.push_back(k);
    }
    strip->forget();
    auto* onOff = new CBitmap(150);
    for (double x : {340.0, 61.0, 256.0, 637.0, 784.0, 887.0})
      frame->addView(new COnOffButton(CRect(x, 102, x + 24, 122), nullptr, 0, onOff));
    onOff->forget();
    auto* sw = new CBitmap(143);
    for (double x : {104.0, 310.0, 634.0})
      frame->addView(new CHorizontalSwitch(CRect(x, 57, x + 26, 66), nullptr, 0, 3, 9, 3, sw));
    sw->forget();
    auto* digits = new CBitmap(144);
    for (double x : {297.0, 313.0, 329.0, 346.0})
      frame->addView(new CMovieBitmap(CRect(x, 26, x + 13, 42), nullptr, 0, 11, 16, digits));
    digits->forget();
    auto* meter = new CBitmap(153);
    for (double y : {23.0, 87.0}) {
      auto* m = new CMovieBitmap(CRect(43, y, 50, y + 45), nullptr, 0, 21, 45, meter);
      frame->addView(m);
      meters.push_back(m);
    }
    meter->forget();
    frame->idle();
  }
  ~Panel() {
    frame->forget();
    if (display) {
      XDestroyWindow(display, parent);
      XCloseDisplay(display);
    }
  }
};

void idleNothingDirty(benchmark::State& state, bool x11) {
  Panel panel(x11);
  if (x11 && !panel.display) {
    state.SkipWithError("no X display (set DISPLAY)");
    return;
  }
  for (auto _ : state) panel.frame->idle();
}

void fullRepaint(benchmark::State& state) {
  Panel panel(false);
  for (auto _ : state) {
    panel.frame->invalid();
    benchmark::DoNotOptimize(panel.frame->redrawDirty());
  }
}

void idleKnobAndMeters(benchmark::State& state, bool x11) {
  Panel panel(x11);
  if (x11 && !panel.display) {
    state.SkipWithError("no X display (set DISPLAY)");
    return;
  }
  float v = 0.0f;
  for (auto _ : state) {
    v = v > 0.9f ? 0.0f : v + 0.01f;
    panel.knobs[14]->setValue(v);
    panel.meters[0]->setValue(v);
    panel.meters[1]->setValue(1.0f - v);
    panel.frame->idle();
  }
}

intptr_t quietHost(vst::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == vst::audioMasterVersion ? 2400 : 0;
}

void editorIdle(benchmark::State& state, bool x11) {
  Display* display = nullptr;
  Window parent = 0;
  if (x11) {
    display = XOpenDisplay(nullptr);
    if (!display) {
      state.SkipWithError("no X display (set DISPLAY)");
      return;
    }
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 942, 171, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
  }
  {
    ZEL zel(quietHost);
    Editor& editor = *zel.zelEditor();
    if (!editor.open(x11 ? reinterpret_cast<void*>(parent) : nullptr)) {
      state.SkipWithError("the editor did not open");
    } else {
      for (int i = 0; i < 10; ++i) editor.idle();
      for (auto _ : state) editor.idle();
      editor.close();
    }
  }
  if (display) {
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
  }
}

// Heap memory this process holds in MB (what is allocated, not what the
// allocator keeps around for later).
double heapMegabytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

// One opening as a host makes it: open into its window, idle until the panel
// is painted, close. "open_MB" is what the first open panel held. A private
// settings folder keeps a panel size stored by the user out of the figures.
void editorOpen(benchmark::State& state, double scale) {
  static char settings[] = "/tmp/tavrel-bench-XXXXXX";
  static const bool privateSettings = mkdtemp(settings) && setenv("XDG_CONFIG_HOME", settings, 1) == 0;
  if (!privateSettings) {
    state.SkipWithError("no private settings folder");
    return;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    state.SkipWithError("no X display (set DISPLAY)");
    return;
  }
  const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1884, 342, 0, 0, 0);
  XMapWindow(display, parent);
  XSync(display, False);
  {
    ZEL zel(quietHost);
    Editor& editor = *zel.zelEditor();
    editor.setContentScale(static_cast<float>(scale));
    double heldMegabytes = -1.0;
    for (auto _ : state) {
      const double before = heapMegabytes();
      if (!editor.open(reinterpret_cast<void*>(parent))) {
        state.SkipWithError("the editor did not open");
        break;
      }
      for (int i = 0; i < 3; ++i) editor.idle();
      if (heldMegabytes < 0.0) heldMegabytes = heapMegabytes() - before;
      editor.close();
    }
    state.counters["open_MB"] = heldMegabytes;
  }
  XDestroyWindow(display, parent);
  XCloseDisplay(display);
}

BENCHMARK_CAPTURE(editorOpen, x1, 1.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(editorOpen, x1_5, 1.5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(editorOpen, x2, 2.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(editorIdle, headless, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(editorIdle, x11, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(idleNothingDirty, headless, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(idleNothingDirty, x11, true)->Unit(benchmark::kMicrosecond);
BENCHMARK(fullRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(idleKnobAndMeters, headless, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(idleKnobAndMeters, x11, true)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
