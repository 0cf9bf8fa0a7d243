// The type of the panel's pictures: lines laid out alike at every display
// scale, and every text readable at 100 %.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "editor/PanelLayout.h"
#include "editor/programbar/PresetBarLayout.h"
#include "tools/artgen/Art.h"

namespace {

// One set of faces for the whole run: cairo may keep scaled fonts of a face
// cached after it is released, so the FreeType faces stay for the process.
const artgen::Fonts& artFonts() {
  static const artgen::Fonts* fonts = new artgen::Fonts(TAVREL_ART_FONT_DIR);
  return *fonts;
}

cairo_surface_t* blackSurface(double scale) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(400 * scale),
                                                  static_cast<int>(24 * scale));
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  return s;
}

// The width of the ink of light text drawn on black, in device pixels.
int inkWidth(cairo_surface_t* s) {
  cairo_surface_flush(s);
  const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  const int stride = cairo_image_surface_get_stride(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  int first = w, last = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (data[y * stride + x * 4 + 1] > 60) first = std::min(first, x), last = std::max(last, x);
  return last < first ? 0 : last - first + 1;
}

// The width of a line of the art in layout units at `scale`.
double artWidth(const artgen::Fonts& fonts, artgen::Face face, double size, double scale, const std::string& s) {
  cairo_surface_t* surface = blackSurface(scale);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  artgen::text(cr, fonts, artgen::Role::HelpBody, face, size, 4, 16.3, s, artgen::Align::Left, artgen::hex(0xffffff));
  cairo_destroy(cr);
  const int w = inkWidth(surface);
  cairo_surface_destroy(surface);
  return w / scale;
}

// A line keeps its width in layout units at every scale, within the
// anti-aliased fringe: at 150 % hinted advances once shrank the spaces until
// words ran together ("levelbelow", "MUTEIN", "Ctrl100x").
TEST(ArtType, LinesKeepTheirWidthAtEveryScale) {
  const artgen::Fonts& fonts = artFonts();
  const struct {
    const char* text;
    artgen::Face face;
    double size;
  } cases[] = {
      {"MUTE IN", artgen::Face::Bold, 6.5},
      {"FBCK GAIN", artgen::Face::Narrow, 7.0},
      {"the level below which", artgen::Face::Regular, 7.6},
      {"Input level meters.", artgen::Face::Regular, 7.6},
      {"nudge (Shift 10x, Ctrl 100x).", artgen::Face::Regular, 7.6},
      {"Ctrl 100 x", artgen::Face::Regular, 9.0},
  };
  for (const auto& c : cases) {
    const double art = artWidth(fonts, c.face, c.size, 1.0, c.text);
    for (double scale : {1.5, 2.0}) {
      SCOPED_TRACE(std::string(c.text) + " at " + std::to_string(scale));
      EXPECT_NEAR(artWidth(fonts, c.face, c.size, scale, c.text), art, std::max(1.5, 0.03 * art));
    }
  }
}


// WCAG's relative luminance of a colour.
double luminance(const artgen::Colour& c) {
  auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

double contrast(const artgen::Colour& text, const artgen::Colour& under) {
  // A translucent ink shows the ground through it.
  const artgen::Colour ink{text.r * text.a + under.r * (1 - text.a), text.g * text.a + under.g * (1 - text.a),
                           text.b * text.a + under.b * (1 - text.a)};
  const double a = luminance(ink), b = luminance(under);
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// Every text of every picture at 100 %, as the generator draws it: labels
// with capitals of at least 7 px, legends of at least 6 px, the help's body
// of at least 9 px, each at 7:1 or more against what lies under it. Only the
// rack ears' and the rear's engravings are exempt.
TEST(ArtType, EveryTextIsReadableAtOneHundredPercent) {
  namespace panel = editor::panel;
  const artgen::Fonts& fonts = artFonts();
  std::vector<artgen::TextEntry> texts;
  artgen::recordTexts(&texts);
  artgen::Context ctx{1.0, fonts};
  ctx.background = artgen::renderBackground(ctx);
  std::map<int, cairo_surface_t*> pictures;
  for (const auto& b : panel::bitmaps())
    if (cairo_surface_t* s = artgen::renderControlBitmap(ctx, b.id)) pictures[b.id] = s;
  for (const auto& b : presets::bar::bitmaps())
    if (cairo_surface_t* s = artgen::renderControlBitmap(ctx, b.id)) pictures[b.id] = s;
  cairo_surface_t* snapshot = artgen::renderPanelSnapshot(ctx, pictures);
  cairo_surface_t* help = artgen::renderHelpPages(ctx, snapshot);
  cairo_surface_t* about = artgen::renderAbout(ctx);
  artgen::recordTexts(nullptr);
  for (cairo_surface_t* s : {snapshot, help, about, ctx.background}) cairo_surface_destroy(s);
  for (auto& [id, s] : pictures) cairo_surface_destroy(s);

  ASSERT_GT(texts.size(), 100u);
  std::set<std::string> engravings;
  for (const auto& t : texts) {
    SCOPED_TRACE("\"" + t.text + "\" at " + std::to_string(static_cast<int>(t.left)) + ", " +
                 std::to_string(static_cast<int>(t.top)));
    switch (t.role) {
      case artgen::Role::Engraving: engravings.insert(t.text); continue;
      case artgen::Role::Label: EXPECT_GE(t.capHeight, 6.95) << "label"; break;
      case artgen::Role::Legend: EXPECT_GE(t.capHeight, 5.95) << "legend"; break;
      case artgen::Role::HelpBody: EXPECT_GE(t.size, 9.0) << "help text"; break;
    }
    EXPECT_GT(t.background.a, 0.99) << "drawn over a transparent picture";
    EXPECT_GE(contrast(t.colour, t.background), 7.0);
  }
  EXPECT_EQ(engravings, (std::set<std::string>{"TAVREL", "KORVANE", "SERIAL", "TVR 100-0001",
                                               "NO USER SERVICEABLE PARTS INSIDE",
                                               "Keep away from rain, fire and tape echoes left running overnight.",
                                               "Ventilation slots must stay clear."}));
}

}  // namespace
