// The front panel (bitmap 128), the panel as a whole with its controls, the
// help pages (154) and the rear of the unit (129).
#include <cmath>
#include <string>
#include <vector>

#include "editor/PanelLayout.h"
#include "editor/programbar/PresetBarLayout.h"
#include "tools/artgen/Art.h"
#include "tools/artgen/Palette.h"

namespace artgen {

namespace panel = editor::panel;

namespace {

// A deterministic noise source for brushed metal, so every build draws the same grain.
struct Grain {
  uint32_t state;
  double next() {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / double(1u << 24);
  }
};

void brushedPlate(cairo_t* cr, double x, double y, double w, double h, unsigned seed) {
  cairo_pattern_t* g = cairo_pattern_create_linear(x, y, x + w, y);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.42, 0.43, 0.46);
  cairo_pattern_add_color_stop_rgb(g, 0.5, 0.52, 0.53, 0.56);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.38, 0.39, 0.42);
  roundedRect(cr, x, y, w, h, 2);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_save(cr);
  cairo_clip(cr);
  Grain grain{seed};
  for (double gy = y; gy < y + h; gy += 0.5) {
    const double v = grain.next();
    cairo_set_source_rgba(cr, v > 0.5 ? 1 : 0, v > 0.5 ? 1 : 0, v > 0.5 ? 1 : 0, 0.05 * std::fabs(v - 0.5) * 2);
    cairo_rectangle(cr, x, gy, w, 0.5);
    cairo_fill(cr);
  }
  cairo_restore(cr);
  roundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, 2);
  cairo_set_line_width(cr, 1);
  setColour(cr, hex(0x2a2b2e));
  cairo_stroke(cr);
}

void screw(cairo_t* cr, double cx, double cy, double r) {
  cairo_pattern_t* g = cairo_pattern_create_radial(cx - r / 3, cy - r / 3, 0, cx, cy, r);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.80, 0.80, 0.82);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.35, 0.35, 0.38);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 0.9);
  setColour(cr, hex(0x222326));
  cairo_move_to(cr, cx - r * 0.6, cy - r * 0.2);
  cairo_line_to(cr, cx + r * 0.6, cy + r * 0.2);
  cairo_stroke(cr);
}

// A rack ear: brushed plate, two slots, a screw in each.
void rackEar(cairo_t* cr, const Context& ctx, const panel::Rect& r, const char* engraving, unsigned seed) {
  brushedPlate(cr, r.left, r.top, r.width(), r.height(), seed);
  const double cx = (r.left + r.right) / 2.0;
  for (double cy : {r.top + 16.0, r.bottom - 16.0}) {
    roundedRect(cr, cx - 4, cy - 7, 8, 14, 4);
    setColour(cr, hex(0x111214));
    cairo_fill(cr);
    screw(cr, cx, cy + 1.5, 3.2);
  }
  if (engraving) {
    cairo_save(cr);
    cairo_translate(cr, cx + 2.4, (r.top + r.bottom) / 2.0);
    cairo_rotate(cr, -M_PI / 2);
    text(cr, ctx.fonts, Role::Engraving, Face::Bold, 7, 0.5, 0.5, engraving, Align::Centre, hex(0xffffff, 0.25), 1.6);
    text(cr, ctx.fonts, Role::Engraving, Face::Bold, 7, 0, 0, engraving, Align::Centre, hex(0x1e1f22, 0.85), 1.6);
    cairo_restore(cr);
  }
}

void section(cairo_t* cr, const Context& ctx, const panel::Section& s) {
  // Recessed outline: a dark shadow outside, a light edge inside.
  sectionPath(cr, s, -0.5);
  setColour(cr, hex(0x0e0f10));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  sectionPath(cr, s, 0);
  setColour(cr, palette::kSection);
  cairo_fill(cr);
  sectionPath(cr, s, 0.5);
  setColour(cr, hex(0x474a51));
  cairo_stroke(cr);
  text(cr, ctx.fonts, Role::Label, Face::Bold, palette::kLabelSize, s.titleX, s.upper.top + 10.5, s.title, Align::Left,
       palette::kTitle, 1.0);
}

double centreX(const panel::Rect& r) { return (r.left + r.right) / 2.0; }
double centreY(const panel::Rect& r) { return (r.top + r.bottom) / 2.0; }

// The part of a view's rectangle its picture covers (the reverb switches'
// rectangles are wider than their bitmap).
panel::Rect pictureRect(const panel::View& v) {
  const panel::Bitmap* b = panel::findBitmap(v.bitmap);
  if (!b || v.viewClass == panel::ViewClass::About) return v.rect;
  return {v.rect.left, v.rect.top, v.rect.left + b->width, v.rect.top + b->frameHeight};
}

const panel::Section* sectionOf(const panel::Rect& r) {
  const double x = centreX(r), y = centreY(r);
  for (const auto& s : panel::sections())
    for (const auto& part : {s.upper, s.lower})
      if (x >= part.left && x < part.right && y >= part.top && y < part.bottom) return &s;
  return nullptr;
}

std::vector<std::string> split(const char* names) {
  std::vector<std::string> out(1);
  for (const char* p = names; *p; ++p) {
    if (*p == '|')
      out.emplace_back();
    else
      out.back() += *p;
  }
  return out;
}

// Where a caption above or below its control is centred.
double captionX(const panel::View& v) { return centreX(pictureRect(v)); }
bool vertical(const panel::View& v) {
  return v.captionPlace == panel::Place::Above || v.captionPlace == panel::Place::Below;
}

// The width a caption may take: up to halfway to the next caption on its
// row, and inside its section.
double captionRoom(const panel::View& v) {
  const panel::Rect r = pictureRect(v);
  const double cx = captionX(v);
  double half = 60;
  if (const panel::Section* box = sectionOf(r)) {
    const auto& part = r.top >= box->lower.top ? box->lower : box->upper;
    if (vertical(v)) half = std::min(cx - part.left, part.right - cx) - 2.5;
    else if (v.captionPlace == panel::Place::Left) half = (r.left - 4 - part.left - 2.5) / 2;
    else half = (part.right - 2.5 - r.right - 4) / 2;
  }
  if (!vertical(v)) return 2 * half;
  const double y = v.captionPlace == panel::Place::Above ? r.top : r.bottom;
  for (const auto& o : panel::views()) {
    if (&o == &v || !o.caption || o.captionPlace != v.captionPlace) continue;
    const panel::Rect q = pictureRect(o);
    const double oy = o.captionPlace == panel::Place::Above ? q.top : q.bottom;
    if (std::fabs(oy - y) > 9) continue;
    const double d = std::fabs(captionX(o) - cx);
    if (d > 0) half = std::min(half, d / 2 - 3);
  }
  return 2 * half;
}

// The boxes of the captions drawn so far, in 1x units.
struct Box {
  double left, top, right, bottom;
};

void caption(cairo_t* cr, const Context& ctx, const panel::View& v, std::vector<Box>& taken) {
  if (!v.caption || v.captionPlace == panel::Place::None) return;
  const panel::Rect r = pictureRect(v);
  const double size = palette::kLabelSize;
  const double half = 3.5;  // half the capital height, to centre on a row
  const double gap = v.viewClass == panel::ViewClass::AnimKnob ? 10.0 : 8.5;
  // Captions wider than their room are narrowed.
  const double squeeze = squeezeToFit(cr, ctx.fonts, Face::Bold, size, v.caption, captionRoom(v));
  const double width = textWidth(cr, ctx.fonts, Face::Bold, size, v.caption, 0.0, squeeze);
  auto say = [&](double x, double y, Align a) {
    double left = a == Align::Left ? x : a == Align::Right ? x - width : x - width / 2;
    // A caption above or below its control moves aside, within its block,
    // from one drawn beside a neighbouring control.
    for (const Box& b : taken) {
      if (!vertical(v) || y - 7.5 >= b.bottom || y + 0.5 <= b.top) continue;
      if (left < b.right + 2 && left + width > b.left - 2)
        left = centreX(r) >= (b.left + b.right) / 2 ? b.right + 6 : b.left - 6 - width;
    }
    taken.push_back({left, y - 7.5, left + width, y + 0.5});
    text(cr, ctx.fonts, Role::Label, Face::Bold, size, left, y, v.caption, Align::Left, palette::kLabel, 0.0, squeeze);
  };
  switch (v.captionPlace) {
    case panel::Place::Above: say(centreX(r), r.top - 3, Align::Centre); break;
    case panel::Place::Below: say(centreX(r), r.bottom + gap, Align::Centre); break;
    case panel::Place::Left: say(r.left - 4, centreY(r) + half, Align::Right); break;
    case panel::Place::Right: say(r.right + 4, centreY(r) + half, Align::Left); break;
    case panel::Place::None: break;
  }
  if (!v.positionNames) return;
  const std::vector<std::string> names = split(v.positionNames);
  const double ls = palette::kLegendSize;
  const double y = centreY(r) + 3.0;
  auto legend = [&](double x, double at, const std::string& s, Align a) {
    text(cr, ctx.fonts, Role::Legend, Face::Narrow, ls, x, at, s, a, palette::kLegend);
  };
  // Names that do not fit beside the switch inside its box go below it,
  // split at its centre.
  const panel::Section* box = sectionOf(r);
  const double leftEdge = r.left - 2.5 - textWidth(cr, ctx.fonts, Face::Narrow, ls, names.front());
  if (names.size() == 2 && box && leftEdge < box->lower.left + 2 && v.captionPlace == panel::Place::Above) {
    const double cx = centreX(r), by = r.bottom + 8;
    legend(cx - 2, by, names.front(), Align::Right);
    legend(cx + 2, by, names.back(), Align::Left);
    cairo_move_to(cr, cx + 0.5, by - 6);
    cairo_line_to(cr, cx + 0.5, by + 0.5);
    setColour(cr, palette::kTick);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    return;
  }
  legend(r.left - 2.5, y, names.front(), Align::Right);
  legend(r.right + 2.5, y, names.back(), Align::Left);
  if (names.size() == 3) legend(centreX(r), r.top - 2.5, names[1], Align::Centre);
}

// The scale around a knob: eleven ticks over the 300 degree sweep, the ends and the centre longer.
void knobScale(cairo_t* cr, const panel::View& v) {
  const double cx = centreX(v.rect), cy = centreY(v.rect);
  // The knob's shadow on the panel.
  cairo_pattern_t* sh = cairo_pattern_create_radial(cx, cy + 1, 11, cx, cy + 1, 15.5);
  cairo_pattern_add_color_stop_rgba(sh, 0, 0, 0, 0, 0.55);
  cairo_pattern_add_color_stop_rgba(sh, 1, 0, 0, 0, 0);
  cairo_arc(cr, cx, cy + 1, 15.5, 0, 2 * M_PI);
  cairo_set_source(cr, sh);
  cairo_fill(cr);
  cairo_pattern_destroy(sh);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i <= 10; ++i) {
    const double a = (-150.0 + 30.0 * i) * M_PI / 180.0;
    const bool major = i == 0 || i == 5 || i == 10;
    const double r0 = 14.9, r1 = major ? 17.2 : 16.5;
    cairo_move_to(cr, cx + r0 * std::sin(a), cy - r0 * std::cos(a));
    cairo_line_to(cr, cx + r1 * std::sin(a), cy - r1 * std::cos(a));
    cairo_set_line_width(cr, major ? 1.1 : 0.8);
    setColour(cr, major ? palette::kLabel : palette::kTick);
    cairo_stroke(cr);
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void recess(cairo_t* cr, double x, double y, double w, double h, double r, const Colour& fill) {
  roundedRect(cr, x - 1, y - 1, w + 2, h + 2, r + 1);
  setColour(cr, hex(0x0b0b0c));
  cairo_fill(cr);
  roundedRect(cr, x, y, w, h, r);
  setColour(cr, fill);
  cairo_fill(cr);
  // light lower edge
  cairo_move_to(cr, x + r, y + h + 1.5);
  cairo_line_to(cr, x + w - r, y + h + 1.5);
  setColour(cr, hex(0xffffff, 0.08));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

// A ribbed pad marking an area that is dragged rather than clicked.
void gripPad(cairo_t* cr, const panel::Rect& r) {
  recess(cr, r.left + 1, r.top + 1, r.width() - 2, r.height() - 2, 2, hex(0x18191b));
  for (double y = r.top + 3.5; y < r.bottom - 2; y += 2.5) {
    cairo_move_to(cr, r.left + 3, y);
    cairo_line_to(cr, r.right - 3, y);
    setColour(cr, hex(0x5b5e66));
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
  }
}

void lcdWindow(cairo_t* cr, double l, double t, double r, double b) {
  roundedRect(cr, l - 1, t - 1, r - l + 2, b - t + 2, 2);
  setColour(cr, hex(0x050506));
  cairo_fill(cr);
  cairo_rectangle(cr, l, t, r - l, b - t);
  setColour(cr, palette::kLcd);
  cairo_fill(cr);
}

void presetStrip(cairo_t* cr, const Context& ctx) {
  cairo_rectangle(cr, 0, 155, panel::kWidth, panel::kHeight - 155);
  setColour(cr, palette::kStrip);
  cairo_fill(cr);
  cairo_move_to(cr, 0, 155.5);
  cairo_line_to(cr, panel::kWidth, 155.5);
  setColour(cr, hex(0x000000, 0.6));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  const auto* name = presets::bar::findControl(98);
  const auto* menu = presets::bar::findControl(110);
  const auto* display = presets::bar::findControl(104);
  lcdWindow(cr, name->rect.left, 157, menu->rect.right, 169);
  // The menu's drop-down mark, and the line between name and menu.
  cairo_move_to(cr, menu->rect.left + 0.5, 158);
  cairo_line_to(cr, menu->rect.left + 0.5, 168);
  setColour(cr, hex(0x7d8a93));
  cairo_stroke(cr);
  const double mx = (menu->rect.left + menu->rect.right) / 2.0;
  cairo_move_to(cr, mx - 3.5, 161.5);
  cairo_line_to(cr, mx + 3.5, 161.5);
  cairo_line_to(cr, mx, 165.5);
  cairo_close_path(cr);
  setColour(cr, hex(0x242420));
  cairo_fill(cr);
  lcdWindow(cr, display->rect.left, display->rect.top, display->rect.right, display->rect.bottom);
  // Memo slot names between their store and recall buttons.
  const Colour legend = palette::kLabel;
  text(cr, ctx.fonts, Role::Label, Face::Bold, palette::kLabelSize, (407 + 423) / 2.0, 166.5, "A", Align::Centre,
       legend);
  text(cr, ctx.fonts, Role::Label, Face::Bold, palette::kLabelSize, (471 + 488) / 2.0, 166.5, "B", Align::Centre,
       legend);
  text(cr, ctx.fonts, Role::Legend, Face::Narrow, palette::kLegendSize, 381, 166, "MEMO", Align::Centre,
       palette::kLegend, 0.0, squeezeToFit(cr, ctx.fonts, Face::Narrow, palette::kLegendSize, "MEMO", 16, 0.6));
  text(cr, ctx.fonts, Role::Legend, Face::Narrow, palette::kLegendSize, 752, 166, "CC", Align::Centre,
       palette::kLegend);
}

void brand(cairo_t* cr, const Context& ctx) {
  // Between the memo buttons and the MIDI buttons of the strip.
  text(cr, ctx.fonts, Role::Label, Face::Bold, palette::kLabelSize + 0.3, 532, 167.5, "TAVREL", Align::Left,
       palette::kTitle, 1.6);
  text(cr, ctx.fonts, Role::Legend, Face::Regular, palette::kLegendSize, 670, 166.5, "STEREO DELAY", Align::Right,
       palette::kLegend, 0.0, squeezeToFit(cr, ctx.fonts, Face::Regular, palette::kLegendSize, "STEREO DELAY", 62));
}

}  // namespace

// A section box; sections whose lower part is wider or narrower than the
// upper part are drawn as one outline with a step.
void sectionPath(cairo_t* cr, const panel::Section& s, double inset) {
  const auto& u = s.upper;
  const auto& l = s.lower;
  const double ul = u.left + inset, ur = u.right - inset, ll = l.left + inset, lr = l.right - inset;
  const double top = u.top + inset, bottom = l.bottom - inset;
  // The step lies at the top of the lower part where that part reaches out
  // further, else at the bottom of the upper part.
  const double leftStep = ll < ul ? l.top + inset : u.bottom - inset;
  const double rightStep = lr > ur ? l.top + inset : u.bottom - inset;
  const double r = 4;
  cairo_new_path(cr);
  cairo_move_to(cr, ul + r, top);
  cairo_line_to(cr, ur - r, top);
  cairo_arc(cr, ur - r, top + r, r, -M_PI / 2, 0);
  if (lr != ur) {
    cairo_line_to(cr, ur, rightStep);
    cairo_line_to(cr, lr, rightStep);
  }
  cairo_line_to(cr, lr, bottom - r);
  cairo_arc(cr, lr - r, bottom - r, r, 0, M_PI / 2);
  cairo_line_to(cr, ll + r, bottom);
  cairo_arc(cr, ll + r, bottom - r, r, M_PI / 2, M_PI);
  if (ll != ul) {
    cairo_line_to(cr, ll, leftStep);
    cairo_line_to(cr, ul, leftStep);
  }
  cairo_line_to(cr, ul, top + r);
  cairo_arc(cr, ul + r, top + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

// The front panel in 1x units.
static void drawPanelBackground(cairo_t* cr, const Context& ctx) {
  // Chassis.
  cairo_rectangle(cr, 0, 0, panel::kWidth, panel::kHeight);
  setColour(cr, palette::kChassis);
  cairo_fill(cr);
  cairo_pattern_t* sheen = cairo_pattern_create_linear(0, 0, 0, 155);
  cairo_pattern_add_color_stop_rgba(sheen, 0, 1, 1, 1, 0.05);
  cairo_pattern_add_color_stop_rgba(sheen, 0.2, 1, 1, 1, 0.0);
  cairo_pattern_add_color_stop_rgba(sheen, 1, 0, 0, 0, 0.10);
  cairo_rectangle(cr, 0, 0, panel::kWidth, 155);
  cairo_set_source(cr, sheen);
  cairo_fill(cr);
  cairo_pattern_destroy(sheen);

  for (const auto& s : panel::sections()) section(cr, ctx, s);

  const auto* leftPlate = panel::findViewByRow(61);
  const auto* rightPlate = panel::findViewByRow(62);
  rackEar(cr, ctx, leftPlate->rect, "TAVREL", 7);
  rackEar(cr, ctx, rightPlate->rect, "KORVANE", 11);

  std::vector<Box> taken;
  for (const auto& v : panel::views()) {
    switch (v.viewClass) {
      case panel::ViewClass::AnimKnob:
        knobScale(cr, v);
        break;
      case panel::ViewClass::SwitchVert:
        recess(cr, v.rect.left, v.rect.top, v.rect.width(), v.rect.height(), 2, hex(0x121315));
        break;
      case panel::ViewClass::MovieBitmap:
        if (v.bitmap == 153)
          recess(cr, v.rect.left, v.rect.top, v.rect.width(), v.rect.height(), 1, palette::kMeterOff);
        break;
      case panel::ViewClass::InvisibleSlider:
        if (v.tag == panel::kTagTempoArea) {
          // The display window holds the four digits.
          roundedRect(cr, v.rect.left - 1.5, v.rect.top - 1.5, v.rect.width() + 3, v.rect.height() + 3, 3);
          setColour(cr, hex(0x08090a));
          cairo_fill(cr);
          roundedRect(cr, v.rect.left, v.rect.top, v.rect.width(), v.rect.height(), 2);
          setColour(cr, palette::kDisplay);
          cairo_fill(cr);
        } else {
          gripPad(cr, v.rect);
        }
        break;
      default:
        break;
    }
    caption(cr, ctx, v, taken);
  }
  for (const auto& l : panel::legends()) {
    const Align a = l.align == panel::Align::Left ? Align::Left : l.align == panel::Align::Right ? Align::Right
                                                                                               : Align::Centre;
    // The table's words name controls (PRE TIME, the meters); the slash is a mark.
    const bool mark = std::string(l.text) == "/";
    text(cr, ctx.fonts, mark ? Role::Legend : Role::Label, Face::Bold, mark ? palette::kLegendSize : palette::kLabelSize,
         l.x, l.y + (mark ? 1.0 : 1.5), l.text, a, mark ? palette::kLegend : palette::kLabel, 0.0,
         squeezeToFit(cr, ctx.fonts, Face::Bold, palette::kLabelSize, l.text, 44));
  }
  presetStrip(cr, ctx);
  brand(cr, ctx);
}

cairo_surface_t* renderBackground(const Context& ctx) {
  cairo_surface_t* s = newSurface(ctx, panel::kWidth, panel::kHeight, false);
  cairo_t* cr = cairo_create(s);
  cairo_scale(cr, ctx.scale, ctx.scale);
  drawPanelBackground(cr, ctx);
  cairo_destroy(cr);
  return s;
}

}  // namespace artgen
