// The pictures made from the whole panel: the panel with its controls, the
// help pages that explain each section over it, and the rear of the unit.
#include <cmath>
#include <string>
#include <vector>

#include "editor/PanelLayout.h"
#include "editor/programbar/PresetBarLayout.h"
#include "params/ParameterTable.h"
#include "params/Steps.h"
#include "tools/artgen/Art.h"
#include "tools/artgen/Palette.h"

namespace artgen {

namespace panel = editor::panel;
namespace bar = presets::bar;

namespace {

// Copies the w x h region at (sx, sy) of a picture to (dx, dy); 1x units.
void blit(cairo_t* cr, const Context& ctx, cairo_surface_t* from, double sx, double sy, double dx, double dy,
          double w, double h) {
  const double s = ctx.scale;
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_rectangle(cr, std::round(dx * s), std::round(dy * s), std::round(w * s), std::round(h * s));
  cairo_clip(cr);
  cairo_set_source_surface(cr, from, std::round(dx * s) - std::round(sx * s), std::round(dy * s) - std::round(sy * s));
  cairo_paint(cr);
  cairo_restore(cr);
}

// Frame f of a strip starts at row f * (scaled frame height); in 1x units
// that is f * frameHeight.
void drawView(cairo_t* cr, const Context& ctx, const panel::View& v, cairo_surface_t* bmp, const panel::Bitmap& b,
              float value) {
  using panel::ViewClass;
  int frame = 0;
  switch (v.viewClass) {
    case ViewClass::AnimKnob: {
      frame = static_cast<int>((panel::kKnobFrames - 1) * value);
      const panel::Rect d = panel::knobDrawRect(v, b.frameHeight);
      blit(cr, ctx, bmp, panel::kKnobSourceOffset, panel::kKnobSourceOffset + frame * b.frameHeight, d.left, d.top,
           d.width(), d.height());
      return;
    }
    case ViewClass::OnOffButton:
      frame = params::steps(value, 2);
      break;
    case ViewClass::Switch:
    case ViewClass::SwitchVert:
      frame = params::steps(value, v.positions);
      break;
    case ViewClass::MovieBitmap:
      frame = static_cast<int>(std::lround(value * (b.frames - 1)));
      break;
    case ViewClass::KickButton:
    case ViewClass::Help:
      frame = 0;
      break;
    default:
      return;
  }
  blit(cr, ctx, bmp, 0, frame * b.frameHeight, v.rect.left, v.rect.top, std::min(v.rect.width(), b.width),
       std::min(v.rect.height(), b.frameHeight));
}

// The value each view shows in the pictures of the whole panel: the
// defaults, the left side selected, the variable clock on, the display
// reading 120.0 and some signal on the meters.
float shownValue(const panel::View& v) {
  switch (v.tag) {
    case panel::kTagLeft: return 0.0f;   // LEFT lit
    case panel::kTagRight: return 1.0f;  // RIGHT unlit
    case params::VcoOn: return 0.75f;
    case panel::kTagDigit1: return 2.0f / 12;      // "1"
    case panel::kTagDigit1 + 1: return 3.0f / 10;  // "2"
    case panel::kTagDigit1 + 2: return 1.0f / 10;  // "0"
    case panel::kTagDigit1 + 3: return 1.0f / 10;  // "0"
    case panel::kTagPoint1 + 2: return 1.0f;       // point after digit 3
    case panel::kTagMeterLeft: return 13.0f / 20;
    case panel::kTagMeterRight: return 11.0f / 20;
    default: return v.hasDefault ? v.defaultValue : 0.0f;
  }
}

struct Help {
  const char* term;
  const char* text;
};

struct Page {
  const char* title;
  std::vector<Help> lines;
};

const Page& helpPage(int k) {
  static const std::vector<Page> kPages = {
      {"HELP", {{"", "Move the mouse over the panel: each section lights up and its controls are explained here."},
                {"", "Drag knobs up or down, with Shift for fine moves; Ctrl-click a knob or switch to reset it."},
                {"", "Click anywhere to close the help."}}},
      {"DISPLAY AND MIXER",
       {{"BPM / VAL", "Shows the tempo, or the value of the control you move. Drag it up or down to set the tempo "
                      "used when the host sends none."},
        {"BYPASS", "Passes the input through untouched."},
        {"INPUT", "Level into the delays, up to +12 dB."},
        {"MIX", "Balance of dry signal and echoes."},
        {"OUTPUT", "Level of the whole unit."},
        {"DUCKING", "Threshold above which the input (or the key input 3/4) pushes the echoes down."}}},
      {"DELAY",
       {{"LEFT / RIGHT", "Choose the side the delay controls edit. LINK applies every change to both sides."},
        {"PRE TIME", "Pre-delay as a note value: the arrows step numerator and denominator, Shift-click steps back."},
        {"MAIN TIME", "Delay time as a note value (BEAT), or in milliseconds (TIME): drag between the arrows, click them to "
                      "nudge (Shift 10x, Ctrl 100x)."},
        {"RANGE", "Longest time in TIME mode: 0.1, 1 or 5 seconds."},
        {"FBCK PAN / GAIN", "Where the repeats return to and how many there are."},
        {"DELAY PAN / GATE", "Where the echoes sit, and the level below which they are gated."},
        {"PHS INV", "Inverts the feedback or the echoes. MUTE IN stops feeding the line."},
        {"IN L / R", "Input level meters."}}},
      {"MODULATION",
       {{"MODE", "LFO rate free (FRQ), synchronised to the tempo (BEAT) or locked to the song position (POS)."},
        {"RATE", "Arrows step the note value; in FRQ mode they nudge the rate and a drag between them sweeps it "
                 "(0.01 to 15 Hz)."},
        {"SHAPE", "Sine, square, triangle, saw or random."},
        {"OFFSET", "Phase offset of the LFO between left and right."},
        {"SOURCE", "Blends the modulation from the LFO to the envelope follower."},
        {"SENS / SPEED", "Sensitivity of the envelope follower and its time, 100 ms to 1 s."}}},
      {"VCO",
       {{"ON / OFF", "Clocks the delay lines at a varying speed, like a bucket-brigade line."},
        {"MANUAL", "Clock speed, half to double."},
        {"VCO MOD", "How far the modulation moves the clock speed."}}},
      {"FILTER",
       {{"ON / OFF", "Switches the filter in."},
        {"MODE", "Filter before the lines (IN), in the feedback (FB) or on the echoes (FX)."},
        {"TYPE", "Low-pass, band-pass or high-pass."},
        {"CUTOFF / RESO", "Frequency (50 Hz to 16 kHz) and resonance."},
        {"DRIVE", "Saturates the incoming signal, up to +24 dB."},
        {"CUTF / RESO MOD", "Depth of modulation of cut-off and resonance; centre is none."}}},
      {"REVERB",
       {{"ON / OFF", "Switches the reverb in."},
        {"MODE", "Reverb on the echoes (FX) or on the whole output (OUT)."},
        {"TYPE", "A spring or a plate."},
        {"DAMP", "Darkens the reverb's tail."},
        {"AMOUNT", "Level of the reverb."}}},
      {"SIDE PLATES", {{"", "Click a side plate to see the back of the unit and its version."}}},
  };
  return kPages[k];
}

// Words of `s` broken into lines no wider than `width`.
std::vector<std::string> wrap(cairo_t* cr, const Fonts& fonts, double size, const std::string& s, double width) {
  std::vector<std::string> lines;
  std::string line, word;
  auto flush = [&]() {
    if (word.empty()) return;
    const std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && textWidth(cr, fonts, Face::Regular, size, candidate) > width) {
      lines.push_back(line);
      line = word;
    } else {
      line = candidate;
    }
    word.clear();
  };
  for (char c : s) {
    if (c == ' ')
      flush();
    else
      word += c;
  }
  flush();
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// The explanation box of a help page within [left, right].
void explanation(cairo_t* cr, const Context& ctx, const Page& page, double left, double right, bool centred) {
  const double size = palette::kHelpSize, lineHeight = 11.0;
  const double width = right - left;
  double termWidth = 0;
  for (const auto& h : page.lines)
    termWidth = std::max(termWidth, textWidth(cr, ctx.fonts, Face::Bold, size, h.term));
  const double textLeft = termWidth > 0 ? termWidth + 8 : 0;
  std::vector<std::pair<std::string, std::vector<std::string>>> rows;
  int count = 0;
  for (const auto& h : page.lines) {
    rows.push_back({h.term, wrap(cr, ctx.fonts, size, h.text, width - 20 - textLeft)});
    count += static_cast<int>(rows.back().second.size());
  }
  const double boxHeight = 26 + count * lineHeight + (rows.size() - 1) * 1.5;
  const double top = std::max(8.0, (155 - boxHeight) / 2);
  roundedRect(cr, left, top, width, boxHeight, 5);
  setColour(cr, hex(0x0c0d0f, 0.92));
  cairo_fill_preserve(cr);
  setColour(cr, hex(0xe8a23a, 0.7));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  double y = top + 14;
  text(cr, ctx.fonts, Role::Label, Face::Bold, palette::kLabelSize, centred ? left + width / 2 : left + 10, y,
       page.title, centred ? Align::Centre : Align::Left, palette::kTitle, 1.0);
  y += 12.5;
  for (const auto& [term, lines] : rows) {
    if (!term.empty())
      text(cr, ctx.fonts, Role::HelpBody, Face::Bold, size, left + 10, y, term, Align::Left, palette::kTitle);
    for (const auto& l : lines) {
      text(cr, ctx.fonts, Role::HelpBody, Face::Regular, size, centred ? left + width / 2 : left + 10 + textLeft, y, l,
           centred ? Align::Centre : Align::Left, hex(0xe9e5da));
      y += lineHeight;
    }
    y += 1.5;
  }
}

}  // namespace

cairo_surface_t* renderPanelSnapshot(const Context& ctx, const std::map<int, cairo_surface_t*>& bitmaps) {
  cairo_surface_t* out = newSurface(ctx, panel::kWidth, panel::kHeight, false);
  cairo_t* cr = cairo_create(out);
  cairo_set_source_surface(cr, ctx.background, 0, 0);
  cairo_paint(cr);
  cairo_scale(cr, ctx.scale, ctx.scale);
  for (const auto& v : panel::views()) {
    const panel::Bitmap* b = panel::findBitmap(v.bitmap);
    auto it = bitmaps.find(v.bitmap);
    if (!b || it == bitmaps.end()) continue;
    drawView(cr, ctx, v, it->second, *b, shownValue(v));
  }
  for (const auto& c : bar::controls()) {
    auto it = bitmaps.find(c.bitmap);
    const bar::Bitmap* b = bar::findBitmap(c.bitmap);
    if (!b || it == bitmaps.end()) continue;
    blit(cr, ctx, it->second, 0, 0, c.rect.left, c.rect.top, b->width, b->height / b->frames);
  }
  cairo_destroy(cr);
  return out;
}

cairo_surface_t* renderHelpPages(const Context& ctx, cairo_surface_t* snapshot) {
  const int pages = 8, page = panel::kHelpHeight;
  cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, scaled(panel::kWidth, ctx.scale),
                                                    scaled(pages * page, ctx.scale));
  cairo_t* cr = cairo_create(out);
  for (int k = 0; k < pages; ++k) {
    // Page k starts at the scaled position of its 1x row, as strip frames do.
    const int top = scaled(k * page, ctx.scale);
    cairo_save(cr);
    cairo_rectangle(cr, 0, top, cairo_image_surface_get_width(out), scaled((k + 1) * page, ctx.scale) - top);
    cairo_clip(cr);
    cairo_set_source_surface(cr, snapshot, 0, top);
    cairo_paint(cr);
    cairo_translate(cr, 0, top);
    cairo_scale(cr, ctx.scale, ctx.scale);
    const panel::Section* lit = nullptr;
    for (const auto& s : panel::sections())
      if (s.helpPage == k) lit = &s;
    // The parts this page explains: its section, or on page 7 the side plates.
    auto litPath = [&](double grow) {
      if (lit) sectionPath(cr, *lit, -grow);
      if (k == 7)
        for (int row : {61, 62}) {
          const auto& r = panel::findViewByRow(row)->rect;
          cairo_rectangle(cr, r.left - grow, r.top - grow, r.width() + 2 * grow, r.height() + 2 * grow);
        }
    };
    // Dim everything else.
    cairo_push_group(cr);
    cairo_rectangle(cr, 0, 0, panel::kWidth, page);
    cairo_set_source_rgba(cr, 0, 0, 0, k == 0 ? 0.55 : 0.64);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    litPath(0);
    cairo_fill(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);
    // An amber line around what is explained.
    cairo_set_line_width(cr, 1.5);
    setColour(cr, hex(0xe8a23a, 0.9));
    litPath(0.75);
    cairo_stroke(cr);
    const double hl = lit ? std::min(lit->upper.left, lit->lower.left) : 0;
    const double hr = lit ? std::max(lit->upper.right, lit->lower.right) : 0;
    // The explanation where the panel is dimmed.
    if (k == 0 || k == 7) {
      explanation(cr, ctx, helpPage(k), 230, 712, true);
    } else if ((hl + hr) / 2 < panel::kWidth / 2.0) {
      explanation(cr, ctx, helpPage(k), hr + 12, std::min(hr + 12 + 470, 910.0), false);
    } else {
      explanation(cr, ctx, helpPage(k), std::max(32.0, hl - 12 - 470), hl - 12, false);
    }
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  return out;
}

namespace {

void jack(cairo_t* cr, double cx, double cy) {
  // Hex nut, ring and the hole.
  cairo_new_path(cr);
  for (int i = 0; i < 6; ++i) {
    const double a = M_PI / 6 + i * M_PI / 3;
    cairo_line_to(cr, cx + 8 * std::cos(a), cy + 8 * std::sin(a));
  }
  cairo_close_path(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(cx, cy - 8, cx, cy + 8);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.78, 0.78, 0.80);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.36, 0.37, 0.40);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_arc(cr, cx, cy, 5.2, 0, 2 * M_PI);
  setColour(cr, hex(0x505258));
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, 3.4, 0, 2 * M_PI);
  setColour(cr, hex(0x050506));
  cairo_fill(cr);
}

void vents(cairo_t* cr, double x, double y, int columns, int rows) {
  for (int c = 0; c < columns; ++c)
    for (int r = 0; r < rows; ++r) {
      roundedRect(cr, x + c * 9, y + r * 13, 4, 10, 2);
      setColour(cr, hex(0x0a0a0b));
      cairo_fill(cr);
    }
}

}  // namespace

cairo_surface_t* renderAbout(const Context& ctx) {
  cairo_surface_t* out = newSurface(ctx, panel::kWidth, panel::kHeight, false);
  cairo_t* cr = cairo_create(out);
  cairo_scale(cr, ctx.scale, ctx.scale);
  cairo_rectangle(cr, 0, 0, panel::kWidth, panel::kHeight);
  setColour(cr, hex(0x161719));
  cairo_fill(cr);
  // The rear panel between the ears: plain painted steel.
  roundedRect(cr, 23, 3, 896, 150, 4);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 3, 0, 153);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.20, 0.21, 0.23);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.14, 0.15, 0.16);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  // Seen from behind, the ears swap sides.
  for (int row : {61, 62}) {
    const auto& r = panel::findViewByRow(row)->rect;
    roundedRect(cr, r.left, r.top, r.width(), r.height(), 2);
    cairo_pattern_t* m = cairo_pattern_create_linear(r.left, 0, r.right, 0);
    cairo_pattern_add_color_stop_rgb(m, 0, 0.36, 0.37, 0.40);
    cairo_pattern_add_color_stop_rgb(m, 0.5, 0.46, 0.47, 0.50);
    cairo_pattern_add_color_stop_rgb(m, 1, 0.33, 0.34, 0.37);
    cairo_set_source(cr, m);
    cairo_fill(cr);
    cairo_pattern_destroy(m);
    const double cx = (r.left + r.right) / 2.0;
    for (double cy : {r.top + 16.0, r.bottom - 16.0}) {
      roundedRect(cr, cx - 4, cy - 7, 8, 14, 4);
      setColour(cr, hex(0x0c0c0d));
      cairo_fill(cr);
    }
  }
  // Screws holding the lid, and a ground post by the power inlet.
  for (double sx : {30.0, 912.0})
    for (double sy : {10.0, 146.0}) {
      cairo_arc(cr, sx, sy, 2.6, 0, 2 * M_PI);
      setColour(cr, hex(0x6a6c72));
      cairo_fill(cr);
      cairo_move_to(cr, sx - 1.6, sy);
      cairo_line_to(cr, sx + 1.6, sy);
      setColour(cr, hex(0x222326));
      cairo_set_line_width(cr, 0.8);
      cairo_stroke(cr);
    }
  cairo_arc(cr, 563, 122, 5, 0, 2 * M_PI);
  setColour(cr, hex(0x9a8a5a));
  cairo_fill(cr);
  cairo_arc(cr, 563, 122, 2, 0, 2 * M_PI);
  setColour(cr, hex(0x3a3425));
  cairo_fill(cr);
  text(cr, ctx.fonts, Role::Legend, Face::Bold, palette::kLegendSize, 563, 139, "GND", Align::Centre, palette::kLegend);
  // Serial number sticker.
  roundedRect(cr, 40, 124, 96, 14, 1.5);
  setColour(cr, hex(0xd9d4c5));
  cairo_fill(cr);
  text(cr, ctx.fonts, Role::Engraving, Face::Bold, 6.5, 44, 133.5, "SERIAL", Align::Left, hex(0x2a2a28));
  text(cr, ctx.fonts, Role::Engraving, Face::Regular, 6.5, 132, 133.5, "TVR 100-0001", Align::Right, hex(0x2a2a28));
  vents(cr, 40, 18, 20, 2);
  vents(cr, 40, 100, 20, 1);
  text(cr, ctx.fonts, Role::Engraving, Face::Bold, 6.5, 40, 68, "NO USER SERVICEABLE PARTS INSIDE", Align::Left, hex(0x8e8b83), 0.8);
  text(cr, ctx.fonts, Role::Engraving, Face::Regular, 6.5, 40, 79, "Keep away from rain, fire and tape echoes left running overnight.",
       Align::Left, hex(0x6f6d67));
  text(cr, ctx.fonts, Role::Engraving, Face::Regular, 6.5, 40, 90, "Ventilation slots must stay clear.", Align::Left, hex(0x6f6d67));

  // Jacks, grouped and labelled, as a stereo delay's rear shows them.
  struct Group {
    const char* name;
    double x;
  };
  for (const Group& grp : {Group{"KEY IN", 262}, Group{"INPUT", 352}, Group{"OUTPUT", 442}}) {
    roundedRect(cr, grp.x - 6, 28, 74, 92, 4);
    setColour(cr, hex(0xffffff, 0.05));
    cairo_fill(cr);
    text(cr, ctx.fonts, Role::Label, Face::Bold, palette::kLabelSize, grp.x + 31, 44, grp.name, Align::Centre, palette::kLabel,
         1.0);
    for (int i = 0; i < 2; ++i) {
      const double cx = grp.x + 14 + i * 34;
      jack(cr, cx, 74);
      text(cr, ctx.fonts, Role::Label, Face::Bold, palette::kLabelSize, cx, 100, i == 0 ? "L" : "R", Align::Centre,
           palette::kLabel);
    }
  }
  text(cr, ctx.fonts, Role::Legend, Face::Regular, palette::kLegendSize, 352, 134, "KEY IN feeds the ducking (inputs 3 / 4)",
       Align::Centre, palette::kLegend);
  // Power inlet.
  roundedRect(cr, 546, 52, 34, 28, 3);
  setColour(cr, hex(0x0b0b0c));
  cairo_fill(cr);
  for (int i = 0; i < 2; ++i) {
    cairo_rectangle(cr, 554 + i * 13, 61, 5, 9);
    setColour(cr, hex(0x6b6d72));
    cairo_fill(cr);
  }
  text(cr, ctx.fonts, Role::Label, Face::Bold, palette::kLabelSize, 563, 44, "POWER", Align::Centre, palette::kLabel);
  text(cr, ctx.fonts, Role::Legend, Face::Bold, palette::kLegendSize, 563, 96, "12 V DC", Align::Centre, palette::kLegend);

  // The rating plate; the editor writes the version into the gap after VERSION.
  roundedRect(cr, 612, 22, 292, 110, 4);
  setColour(cr, hex(0x0d0e10));
  cairo_fill_preserve(cr);
  setColour(cr, hex(0x5a5d64));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  for (double sx : {619.0, 897.0})
    for (double sy : {29.0, 125.0}) {
      cairo_arc(cr, sx, sy, 2, 0, 2 * M_PI);
      setColour(cr, hex(0x6d7076));
      cairo_fill(cr);
    }
  text(cr, ctx.fonts, Role::Label, Face::Bold, 15, 632, 48, "TAVREL", Align::Left, palette::kTitle, 3.0);
  text(cr, ctx.fonts, Role::Label, Face::Regular, palette::kLabelSize, 632, 63, "STEREO DELAY", Align::Left, palette::kLabel,
       1.2);
  text(cr, ctx.fonts, Role::Legend, Face::Bold, palette::kLegendSize, panel::kVersionX - 6, panel::kVersionY + 11.5, "VERSION", Align::Right,
       palette::kLegend, 1.0);
  text(cr, ctx.fonts, Role::Legend, Face::Regular, palette::kLegendSize, 632, 100, "Designed and built by Korvane",
       Align::Left, palette::kLegend);
  text(cr, ctx.fonts, Role::Legend, Face::Regular, palette::kLegendSize, 632, 112,
       "Two delay lines of up to 10 s, filter, VCO, reverb", Align::Left, palette::kLegend);
  // Preset strip seen from behind: the feet, and how to go back.
  text(cr, ctx.fonts, Role::Legend, Face::Regular, palette::kLegendSize, 471, 166.5,
       "click to return to the front panel", Align::Centre, palette::kLegend);
  cairo_destroy(cr);
  return out;
}

}  // namespace artgen
