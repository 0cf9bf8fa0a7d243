// The controls' own pictures: knobs, buttons, switches, LED digits and
// meters, the waveform selector, the help button and the preset bar's buttons.
// An opaque (24-bit) picture is drawn over a copy of the background under the
// first view that shows it, so its corners blend into the panel.
#include <cmath>
#include <functional>
#include <string>

#include "editor/PanelLayout.h"
#include "editor/programbar/PresetBarLayout.h"
#include "tools/artgen/Art.h"
#include "tools/artgen/Palette.h"

namespace artgen {

namespace panel = editor::panel;
namespace bar = presets::bar;

namespace {

using DrawFrame = std::function<void(cairo_t*, int frame)>;

// A filmstrip of `frames` frames of w x frameHeight (1x units). Frame f
// starts at the scaled position of its 1x row, f * frameHeight, so that the
// editor finds every frame where its 1x offset says at any scale (at 1.5 the
// frames are then alternately one row taller). With a background, each frame
// starts as the background whose point (originX, originY) lies at the
// frame's top-left corner.
cairo_surface_t* filmstrip(const Context& ctx, int w, int frames, int frameHeight, cairo_surface_t* background,
                           double originX, double originY, const DrawFrame& draw) {
  const double s = ctx.scale;
  const int fw = scaled(w, s);
  cairo_surface_t* surface = cairo_image_surface_create(background ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, fw,
                                                        scaled(frames * frameHeight, s));
  cairo_t* cr = cairo_create(surface);
  for (int f = 0; f < frames; ++f) {
    const int top = scaled(f * frameHeight, s);
    cairo_save(cr);
    cairo_rectangle(cr, 0, top, fw, scaled((f + 1) * frameHeight, s) - top);
    cairo_clip(cr);
    if (background) {
      cairo_set_source_surface(cr, background, -std::round(originX * s), top - std::round(originY * s));
      cairo_paint(cr);
    }
    cairo_translate(cr, 0, top);
    cairo_scale(cr, s, s);
    draw(cr, f);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  return surface;
}

const panel::View* firstViewWith(int bitmap) {
  for (const auto& v : panel::views())
    if (v.bitmap == bitmap) return &v;
  return nullptr;
}

Colour mix(const Colour& a, const Colour& b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

void verticalGradient(cairo_t* cr, double y0, double y1, const Colour& top, const Colour& bottom) {
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgba(g, 0, top.r, top.g, top.b, top.a);
  cairo_pattern_add_color_stop_rgba(g, 1, bottom.r, bottom.g, bottom.b, bottom.a);
  cairo_set_source(cr, g);
  cairo_pattern_destroy(g);
}

// A glowing light: a soft halo and a bright core.
void glow(cairo_t* cr, double cx, double cy, double radius, const Colour& c) {
  cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
  cairo_pattern_add_color_stop_rgba(g, 0, c.r, c.g, c.b, 0.55);
  cairo_pattern_add_color_stop_rgba(g, 1, c.r, c.g, c.b, 0);
  cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

// --- knobs ------------------------------------------------------------------

Colour knobAccent(int id) {
  switch (id) {
    case 130: return hex(0xf0a53a);  // delay: amber
    case 131:
    case 132: return hex(0x58b8ee);  // filter: blue
    case 133:
    case 134: return hex(0xf2efe6);  // mixer: white
    case 135:
    case 136: return hex(0x79d68a);  // modulation: green
    case 137: return hex(0xc690f2);  // reverb: violet
    default: return hex(0xf27a62);   // variable clock: coral
  }
}

// A black cap in a metal skirt; the pointer at `degrees` clockwise from straight up.
void knob(cairo_t* cr, double cx, double cy, double degrees, const Colour& accent) {
  const double a = degrees * M_PI / 180.0;
  // Skirt: light from above.
  cairo_arc(cr, cx, cy, 13.2, 0, 2 * M_PI);
  verticalGradient(cr, cy - 13, cy + 13, hex(0x8d9097), hex(0x1e1f22));
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, 12.2, 0, 2 * M_PI);
  verticalGradient(cr, cy - 12, cy + 12, hex(0x3c3e43), hex(0x17181a));
  cairo_fill(cr);
  // Cap.
  cairo_arc(cr, cx, cy, 9.6, 0, 2 * M_PI);
  verticalGradient(cr, cy - 10, cy + 10, hex(0x101113), hex(0x2e3034));
  cairo_fill(cr);
  cairo_pattern_t* top = cairo_pattern_create_radial(cx, cy - 3, 0, cx, cy - 3, 9);
  cairo_pattern_add_color_stop_rgba(top, 0, 1, 1, 1, 0.10);
  cairo_pattern_add_color_stop_rgba(top, 1, 1, 1, 1, 0);
  cairo_arc(cr, cx, cy, 8.8, 0, 2 * M_PI);
  cairo_set_source(cr, top);
  cairo_fill(cr);
  cairo_pattern_destroy(top);
  // Pointer: a coloured line across the cap and a mark on the skirt.
  const double sx = std::sin(a), sy = -std::cos(a);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 2.0);
  setColour(cr, accent);
  cairo_move_to(cr, cx + 2.5 * sx, cy + 2.5 * sy);
  cairo_line_to(cr, cx + 8.6 * sx, cy + 8.6 * sy);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 1.3);
  setColour(cr, hex(0xf4f2ea));
  cairo_move_to(cr, cx + 10.6 * sx, cy + 10.6 * sy);
  cairo_line_to(cr, cx + 12.6 * sx, cy + 12.6 * sy);
  cairo_stroke(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

cairo_surface_t* knobStrip(const Context& ctx, const panel::Bitmap& b) {
  const panel::View* v = firstViewWith(b.id);
  // Frame pixel (2, 2) shows panel pixel (left + 1, top + 1).
  const double ox = v->rect.left - 1, oy = v->rect.top - 1;
  const double cx = (v->rect.left + v->rect.right) / 2.0 - ox, cy = (v->rect.top + v->rect.bottom) / 2.0 - oy;
  const Colour accent = knobAccent(b.id);
  return filmstrip(ctx, b.width, b.frames, b.frameHeight, ctx.background, ox, oy, [&](cairo_t* cr, int f) {
    knob(cr, cx, cy, -panel::kKnobSweepDegrees / 2 + panel::kKnobSweepDegrees * f / (panel::kKnobFrames - 1),
         accent);
  });
}

// --- buttons and switches -----------------------------------------------------

void buttonBody(cairo_t* cr, double x, double y, double w, double h, double r, bool pressed, bool hover = false) {
  roundedRect(cr, x - 0.5, y - 0.5 + (pressed ? 0 : 0.5), w + 1, h + 1, r + 0.5);
  setColour(cr, hex(0x050506, 0.9));
  cairo_fill(cr);
  roundedRect(cr, x, y + (pressed ? 0.5 : 0), w, h - (pressed ? 0.5 : 0), r);
  if (pressed)
    verticalGradient(cr, y, y + h, hex(0x222327), hex(0x34363b));
  else if (hover)
    verticalGradient(cr, y, y + h, hex(0x62656c), hex(0x3a3c41));
  else
    verticalGradient(cr, y, y + h, hex(0x4a4d53), hex(0x282a2e));
  cairo_fill(cr);
  if (!pressed) {
    cairo_move_to(cr, x + r, y + 0.6);
    cairo_line_to(cr, x + w - r, y + 0.6);
    setColour(cr, hex(0xffffff, 0.18));
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
  }
}

void arrowButton(cairo_t* cr, bool up, bool pressed) {
  buttonBody(cr, 1.5, 1.5, 16, 16, 3, pressed);
  const double cx = 9.5, cy = 9.5 + (pressed ? 0.5 : 0);
  const double d = up ? -1 : 1;
  cairo_move_to(cr, cx, cy + 3.6 * d);
  cairo_line_to(cr, cx + 4.2, cy - 2.6 * d);
  cairo_line_to(cr, cx - 4.2, cy - 2.6 * d);
  cairo_close_path(cr);
  setColour(cr, pressed ? palette::kTitle : palette::kLabel);
  cairo_fill(cr);
}

void onOffButton(cairo_t* cr, bool on, const Colour& led) {
  buttonBody(cr, 1.5, 1.5, 21, 17, 3, on);
  const double y = on ? 5.5 : 5;
  roundedRect(cr, 7, y, 10, 3.6, 1.5);
  setColour(cr, on ? led : mix(led, hex(0x000000), 0.78));
  cairo_fill(cr);
  if (on) glow(cr, 12, y + 1.8, 7, led);
  // grip lines under the light
  for (int i = 0; i < 3; ++i) {
    cairo_move_to(cr, 8, y + 6.5 + 2.2 * i);
    cairo_line_to(cr, 16, y + 6.5 + 2.2 * i);
  }
  setColour(cr, hex(0x000000, 0.35));
  cairo_set_line_width(cr, 0.7);
  cairo_stroke(cr);
}

void sideButton(const Context& ctx, cairo_t* cr, const char* word, bool lit) {
  buttonBody(cr, 1, 1, 10, 44, 2.5, lit);
  roundedRect(cr, 3.5, 3.5, 5, 3, 1);
  setColour(cr, lit ? palette::kTitle : hex(0x3b2a12));
  cairo_fill(cr);
  if (lit) glow(cr, 6, 5, 6, palette::kTitle);
  cairo_save(cr);
  cairo_translate(cr, 8.4, 26.5);
  cairo_rotate(cr, -M_PI / 2);
  text(cr, ctx.fonts, Role::Label, Face::Bold, palette::kLabelSize, 0, 0.5, word, Align::Centre,
       lit ? palette::kTitle : palette::kLabel, 0.3, squeezeToFit(cr, ctx.fonts, Face::Bold, palette::kLabelSize, word, 38));
  cairo_restore(cr);
}

void slideSwitch(cairo_t* cr, int width, int positions, int position) {
  roundedRect(cr, 0.5, 0.5, width - 1, 8, 2.5);
  setColour(cr, hex(0x07080a));
  cairo_fill(cr);
  const double lever = 8;
  const double x = 1.5 + position * (width - 3 - lever) / (positions - 1);
  roundedRect(cr, x, 1.5, lever, 6, 1.5);
  verticalGradient(cr, 1.5, 7.5, hex(0xd8d5cc), hex(0x7d7b75));
  cairo_fill(cr);
  for (int i = 0; i < 3; ++i) {
    cairo_move_to(cr, x + 2.5 + 1.5 * i, 2.8);
    cairo_line_to(cr, x + 2.5 + 1.5 * i, 6.2);
  }
  setColour(cr, hex(0x000000, 0.35));
  cairo_set_line_width(cr, 0.6);
  cairo_stroke(cr);
}

// --- LED display --------------------------------------------------------------

// Seven segments a..g of a 13 x 16 digit cell; `lit` is a bit mask a = 1 .. g = 64.
void sevenSegments(cairo_t* cr, unsigned lit) {
  const double l = 3.2, r = 9.8, t = 2.2, m = 8, b = 13.8, th = 1.7;
  auto hbar = [&](double y, bool on) {
    cairo_move_to(cr, l + 0.6, y);
    cairo_line_to(cr, l + 0.6 + th / 2, y - th / 2);
    cairo_line_to(cr, r - 0.6 - th / 2, y - th / 2);
    cairo_line_to(cr, r - 0.6, y);
    cairo_line_to(cr, r - 0.6 - th / 2, y + th / 2);
    cairo_line_to(cr, l + 0.6 + th / 2, y + th / 2);
    cairo_close_path(cr);
    setColour(cr, on ? palette::kLedOn : palette::kLedGhost);
    cairo_fill(cr);
  };
  auto vbar = [&](double x, double y0, double y1, bool on) {
    cairo_move_to(cr, x, y0 + 0.6);
    cairo_line_to(cr, x + th / 2, y0 + 0.6 + th / 2);
    cairo_line_to(cr, x + th / 2, y1 - 0.6 - th / 2);
    cairo_line_to(cr, x, y1 - 0.6);
    cairo_line_to(cr, x - th / 2, y1 - 0.6 - th / 2);
    cairo_line_to(cr, x - th / 2, y0 + 0.6 + th / 2);
    cairo_close_path(cr);
    setColour(cr, on ? palette::kLedOn : palette::kLedGhost);
    cairo_fill(cr);
  };
  hbar(t, lit & 1);
  vbar(r, t, m, lit & 2);
  vbar(r, m, b, lit & 4);
  hbar(b, lit & 8);
  vbar(l, m, b, lit & 16);
  vbar(l, t, m, lit & 32);
  hbar(m, lit & 64);
}

// Frames: blank, 0..9, then (digit 1 only) minus and plus.
void ledDigit(cairo_t* cr, int frame) {
  static const unsigned kDigits[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
  unsigned lit = 0;
  if (frame >= 1 && frame <= 10) lit = kDigits[frame - 1];
  if (frame >= 11) lit = 0x40;
  sevenSegments(cr, lit);
  if (frame == 12) {  // plus: the middle bar crossed by a short upright one
    cairo_rectangle(cr, 6.5 - 0.85, 4.6, 1.7, 6.8);
    setColour(cr, palette::kLedOn);
    cairo_fill(cr);
  }
}

// --- meters and the waveform selector ----------------------------------------

// Ten LEDs from the bottom, each lit over two frames: half bright, then full.
void meter(cairo_t* cr, int frame) {
  for (int i = 0; i < 10; ++i) {
    const Colour on = i < 6 ? hex(0x44e064) : i < 8 ? hex(0xf4d43c) : hex(0xff4a32);
    const double level = frame >= 2 * (i + 1) ? 1.0 : frame == 2 * i + 1 ? 0.55 : 0.16;
    const double y = 45 - (i + 1) * 4.5 + 0.6;
    cairo_rectangle(cr, 1, y, 5, 3.4);
    setColour(cr, mix(hex(0x000000), on, level));
    cairo_fill(cr);
  }
}

void waveIcon(cairo_t* cr, int shape, double x0, double y0, double w, double h) {
  const double mid = y0 + h / 2;
  cairo_new_path(cr);
  switch (shape) {
    case 0:  // sine
      for (int i = 0; i <= 24; ++i) {
        const double x = x0 + w * i / 24.0, y = mid - h / 2 * std::sin(2 * M_PI * i / 24.0);
        i == 0 ? cairo_move_to(cr, x, y) : cairo_line_to(cr, x, y);
      }
      break;
    case 1:  // square
      cairo_move_to(cr, x0, mid);
      cairo_line_to(cr, x0, y0);
      cairo_line_to(cr, x0 + w / 2, y0);
      cairo_line_to(cr, x0 + w / 2, y0 + h);
      cairo_line_to(cr, x0 + w, y0 + h);
      cairo_line_to(cr, x0 + w, mid);
      break;
    case 2:  // triangle
      cairo_move_to(cr, x0, mid);
      cairo_line_to(cr, x0 + w / 4, y0);
      cairo_line_to(cr, x0 + 3 * w / 4, y0 + h);
      cairo_line_to(cr, x0 + w, mid);
      break;
    case 3:  // saw
      cairo_move_to(cr, x0, y0 + h);
      cairo_line_to(cr, x0 + w / 2, y0);
      cairo_line_to(cr, x0 + w / 2, y0 + h);
      cairo_line_to(cr, x0 + w, y0);
      break;
    default: {  // random steps
      const double levels[5] = {0.3, 0.9, 0.0, 0.65, 0.2};
      cairo_move_to(cr, x0, y0 + h * levels[0]);
      for (int i = 0; i < 5; ++i) {
        cairo_line_to(cr, x0 + w * i / 5.0, y0 + h * levels[i]);
        cairo_line_to(cr, x0 + w * (i + 1) / 5.0, y0 + h * levels[i]);
      }
    }
  }
}

void waveSelector(cairo_t* cr, int frame) {
  const double cell = 56.0 / 5;
  for (int p = 0; p < 5; ++p) {
    const double y0 = p * cell + 3, h = cell - 6;
    const bool lit = p == frame;
    if (lit) {
      roundedRect(cr, 1, p * cell + 1, 14, cell - 2, 2);
      setColour(cr, hex(0xe8a23a, 0.16));
      cairo_fill(cr);
    }
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    if (lit) {
      waveIcon(cr, p, 3, y0, 10, h);
      cairo_set_line_width(cr, 2.8);
      setColour(cr, hex(0xe8a23a, 0.35));
      cairo_stroke(cr);
    }
    waveIcon(cr, p, 3, y0, 10, h);
    cairo_set_line_width(cr, lit ? 1.3 : 1.0);
    setColour(cr, lit ? hex(0xffc45c) : hex(0x8d8a82, 0.9));
    cairo_stroke(cr);
  }
}

void helpButton(const Context& ctx, cairo_t* cr, int frame) {
  buttonBody(cr, 1, 0.5, 9, 7, 2, frame == 2, frame == 1);
  const Colour c = frame == 2 ? palette::kTitle : frame == 1 ? hex(0xffffff) : palette::kLabel;
  text(cr, ctx.fonts, Role::Label, Face::Bold, palette::kLabelSize, 5.5, 8.3, "?", Align::Centre, c);
}

// --- the preset bar -----------------------------------------------------------

void floppy(cairo_t* cr, double x, double y, const Colour& c) {
  cairo_move_to(cr, x, y);
  cairo_line_to(cr, x + 7, y);
  cairo_line_to(cr, x + 9, y + 2);
  cairo_line_to(cr, x + 9, y + 9);
  cairo_line_to(cr, x, y + 9);
  cairo_close_path(cr);
  setColour(cr, c);
  cairo_fill(cr);
  cairo_rectangle(cr, x + 2, y, 4, 3);
  cairo_rectangle(cr, x + 1.6, y + 5, 5.8, 4);
  setColour(cr, hex(0x26282c));
  cairo_fill(cr);
}

void folder(cairo_t* cr, double x, double y, const Colour& c) {
  cairo_move_to(cr, x, y + 1);
  cairo_line_to(cr, x + 3.5, y + 1);
  cairo_line_to(cr, x + 4.5, y + 2.2);
  cairo_line_to(cr, x + 9, y + 2.2);
  cairo_line_to(cr, x + 9, y + 9);
  cairo_line_to(cr, x, y + 9);
  cairo_close_path(cr);
  setColour(cr, mix(c, hex(0x000000), 0.35));
  cairo_fill(cr);
  cairo_move_to(cr, x + 1.8, y + 4);
  cairo_line_to(cr, x + 10.5, y + 4);
  cairo_line_to(cr, x + 9, y + 9);
  cairo_line_to(cr, x, y + 9);
  cairo_close_path(cr);
  setColour(cr, c);
  cairo_fill(cr);
}

// Frames: idle, hover, pressed.
void fileButton(cairo_t* cr, bool save, int frame) {
  buttonBody(cr, 1, 1, 15, 13, 2.5, frame == 2, frame == 1);
  const Colour c = frame == 2 ? palette::kTitle : frame == 1 ? hex(0xffffff) : palette::kLabel;
  const double dy = frame == 2 ? 0.5 : 0;
  if (save)
    floppy(cr, 4, 3 + dy, c);
  else
    folder(cr, 3.5, 2.5 + dy, c);
}

void wordButton(const Context& ctx, cairo_t* cr, double w, double h, const char* word, int frame) {
  buttonBody(cr, 1, 1, w - 2, h - 2, 2.5, frame == 2, frame == 1);
  const Colour c = frame == 2 ? palette::kTitle : frame == 1 ? hex(0xffffff) : palette::kLabel;
  text(cr, ctx.fonts, Role::Label, Face::Bold, palette::kLabelSize, w / 2, h / 2 + 3.5 + (frame == 2 ? 0.5 : 0), word,
       Align::Centre, c, 0.0, squeezeToFit(cr, ctx.fonts, Face::Bold, palette::kLabelSize, word, w - 5));
}

// Frames: idle, hover left, hover right, pressed left, pressed right.
void rocker(cairo_t* cr, int frame) {
  const bool pressedLeft = frame == 3, pressedRight = frame == 4;
  buttonBody(cr, 1, 1, 14, 11, 2.5, pressedLeft, frame == 1);
  buttonBody(cr, 15, 1, 14, 11, 2.5, pressedRight, frame == 2);
  auto arrow = [&](double cx, double dir, bool active, bool pressed) {
    const double cy = 6.5 + (pressed ? 0.5 : 0);
    cairo_move_to(cr, cx + 2.5 * dir, cy);
    cairo_line_to(cr, cx - 1.8 * dir, cy - 3.2);
    cairo_line_to(cr, cx - 1.8 * dir, cy + 3.2);
    cairo_close_path(cr);
    setColour(cr, pressed ? palette::kTitle : active ? hex(0xffffff) : palette::kLabel);
    cairo_fill(cr);
  };
  arrow(8, -1, frame == 1, pressedLeft);
  arrow(22, 1, frame == 2, pressedRight);
}

// Frames: off, hover while off, on.
void modeButton(const Context& ctx, cairo_t* cr, const char* word, const Colour& led, int frame) {
  const bool on = frame == 2;
  buttonBody(cr, 1, 1.5, 22, 13, 2.5, on, frame == 1);
  // Lit, the button glows along its top edge and its word takes the light's
  // hue, pale enough to read on the dark pressed face.
  if (on) glow(cr, 12, 2.5, 9, led);
  text(cr, ctx.fonts, Role::Label, Face::Bold, palette::kLabelSize, 12, 11.5 + (on ? 0.5 : 0), word, Align::Centre,
       on ? mix(led, hex(0xffffff), 0.55) : frame == 1 ? hex(0xffffff) : palette::kLabel, 0.0,
       squeezeToFit(cr, ctx.fonts, Face::Bold, palette::kLabelSize, word, 20, 0.45));
}

}  // namespace

cairo_surface_t* renderControlBitmap(const Context& ctx, int id) {
  if (const panel::Bitmap* b = panel::findBitmap(id)) {
    if (id >= 130 && id <= 139) return knobStrip(ctx, *b);
    const panel::View* v = firstViewWith(id);
    if (!v) return nullptr;
    cairo_surface_t* bg = b->bitsPerPixel == 32 ? nullptr : ctx.background;
    const double ox = v->rect.left, oy = v->rect.top;
    auto strip = [&](const DrawFrame& draw) {
      return filmstrip(ctx, b->width, b->frames, b->frameHeight, bg, ox, oy, draw);
    };
    switch (id) {
      case 140:
      case 141:
        return strip([&](cairo_t* cr, int f) { arrowButton(cr, id == 140, f == 1); });
      case 142:
      case 143:
        return strip([&](cairo_t* cr, int f) { slideSwitch(cr, b->width, b->frames, f); });
      case 144:
        return strip([&](cairo_t* cr, int f) { ledDigit(cr, f); });
      case 145:
        return strip([&](cairo_t* cr, int f) { ledDigit(cr, f); });
      case 146:
        return strip([&](cairo_t* cr, int f) {
          cairo_move_to(cr, 0.4, 7.6);
          cairo_line_to(cr, 2.6, 0.4);
          cairo_set_line_width(cr, 1.1);
          setColour(cr, f ? palette::kLedOn : palette::kLedGhost);
          cairo_stroke(cr);
        });
      case 147:
        return strip([&](cairo_t* cr, int f) {
          cairo_rectangle(cr, 0.6, 0.2, 1.8, 1.8);
          setColour(cr, f ? palette::kLedOn : palette::kLedGhost);
          cairo_fill(cr);
        });
      case 148:
      case 149:
        return strip([&](cairo_t* cr, int f) { sideButton(ctx, cr, id == 148 ? "LEFT" : "RIGHT", f == 0); });
      case 150:
        return strip([&](cairo_t* cr, int f) { onOffButton(cr, f == 1, hex(0xffb02e)); });
      case 151:
        return strip([&](cairo_t* cr, int f) { onOffButton(cr, f == 1, hex(0xff3b2b)); });
      case 152:
        return strip([&](cairo_t* cr, int f) { waveSelector(cr, f); });
      case 153:
        return strip([&](cairo_t* cr, int f) { meter(cr, f); });
      case 155:
        return strip([&](cairo_t* cr, int f) { helpButton(ctx, cr, f); });
      default:
        return nullptr;
    }
  }
  const bar::Bitmap* b = bar::findBitmap(id);
  if (!b) return nullptr;
  const bar::Control* first = nullptr;
  for (const auto& c : bar::controls())
    if (c.bitmap == id) {
      first = &c;
      break;
    }
  const int fh = b->height / b->frames;
  const double w = b->width;
  return filmstrip(ctx, b->width, b->frames, fh, ctx.background, first->rect.left, first->rect.top,
                   [&](cairo_t* cr, int f) {
                     switch (id) {
                       case 990: fileButton(cr, false, f); break;
                       case 991: fileButton(cr, true, f); break;
                       case 992: wordButton(ctx, cr, w, fh, "BANK", f); break;
                       case 993: wordButton(ctx, cr, w, fh, "PRESET", f); break;
                       case 994: wordButton(ctx, cr, w, fh, "MIDI", f); break;
                       case 995: rocker(cr, f); break;
                       case 998: modeButton(ctx, cr, "LEARN", hex(0xffb02e), f); break;
                       case 999: modeButton(ctx, cr, "FORGET", hex(0xff4a32), f); break;
                     }
                   });
}

}  // namespace artgen
