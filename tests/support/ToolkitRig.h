// Test helpers for the view toolkit: a headless frame, filmstrips whose
// frame i is filled with a known grey level, pixel reads, and a listener
// that records what controls tell it.
#pragma once

#include <cairo.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/CBitmap.h"
#include "toolkit/CControl.h"
#include "toolkit/CFrame.h"
#include "toolkit/HeadlessWindow.h"
#include "toolkit/VSTGUIEditorInterface.h"

namespace toolkit_rig {

// Where tests leave their screenshots: beside the test program, in the
// build tree, wherever it is run from.
inline std::string outputPath(const char* name) {
  char self[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string dir = n > 0 ? std::string(self, static_cast<std::size_t>(n)) : std::string("./x");
  return dir.substr(0, dir.rfind('/') + 1) + name;
}

// Grey level of filmstrip frame i: distinct for up to 101 frames.
inline uint8_t greyOf(int frame) { return static_cast<uint8_t>(20 + 2 * frame); }

// A strip `width` wide of `frames` pictures of `frameHeight` pixels, picture
// i filled with greyOf(i); drawn for `scale`.
inline toolkit::CBitmap* makeStrip(int width, int frameHeight, int frames, double scale = 1.0) {
  const int w = static_cast<int>(width * scale), fh = static_cast<int>(frameHeight * scale);
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, fh * frames);
  cairo_t* cr = cairo_create(s);
  for (int i = 0; i < frames; ++i) {
    const double g = greyOf(i) / 255.0;
    cairo_set_source_rgb(cr, g, g, g);
    cairo_rectangle(cr, 0, i * fh, w, fh);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  return new toolkit::CBitmap(s, scale);
}

// A single-colour picture.
inline toolkit::CBitmap* makeFilled(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, r / 255.0, g / 255.0, b / 255.0);
  cairo_paint(cr);
  cairo_destroy(cr);
  return new toolkit::CBitmap(s);
}

// 0xRRGGBB of a device pixel.
inline uint32_t pixel(cairo_surface_t* s, int x, int y) {
  cairo_surface_flush(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  return *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4) & 0xffffff;
}
inline uint32_t greyPixel(uint8_t g) { return (uint32_t{g} << 16) | (uint32_t{g} << 8) | g; }

struct Recorder : toolkit::CControlListener {
  struct Event {
    char kind;  // 'v' value changed, 'b' begin edit, 'e' end edit
    int32_t tag;
    float value;
  };
  std::vector<Event> events;
  void valueChanged(toolkit::CControl* c) override { events.push_back({'v', c->getTag(), c->getValue()}); }
  void controlBeginEdit(toolkit::CControl* c) override { events.push_back({'b', c->getTag(), c->getValue()}); }
  void controlEndEdit(toolkit::CControl* c) override { events.push_back({'e', c->getTag(), c->getValue()}); }
  int count(char kind) const {
    int n = 0;
    for (const Event& e : events) n += e.kind == kind;
    return n;
  }
  std::string kinds() const {
    std::string s;
    for (const Event& e : events) s += e.kind;
    return s;
  }
  float lastValue() const { return events.empty() ? -1.0f : events.back().value; }
};

// A headless frame of the given size with a plain background.
struct Rig {
  toolkit::HeadlessWindow* window;
  toolkit::CFrame* frame;
  explicit Rig(double width = 200, double height = 100, double scale = 1.0,
               toolkit::VSTGUIEditorInterface* editor = nullptr) {
    auto w = std::make_unique<toolkit::HeadlessWindow>(scale);
    window = w.get();
    frame = new toolkit::CFrame(toolkit::CRect(0, 0, width, height), std::move(w), editor);
    toolkit::CBitmap* bg = makeFilled(static_cast<int>(width * scale), static_cast<int>(height * scale), 0, 0, 90);
    frame->setBackground(bg);
    bg->forget();
  }
  ~Rig() { frame->forget(); }
  Rig(const Rig&) = delete;
  Rig& operator=(const Rig&) = delete;
  template <typename V>
  V* add(V* view) {
    frame->addView(view);
    return view;
  }
  uint32_t at(int x, int y) const { return pixel(frame->getOffscreen(), x, y); }
};

}  // namespace toolkit_rig
