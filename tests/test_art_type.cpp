// The type of the panel's pictures: lines laid out alike at every display
// scale, and every text readable at 100 %.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/artgen/Art.h"

namespace {

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
  artgen::text(cr, fonts, face, size, 4, 16.3, s, artgen::Align::Left, artgen::hex(0xffffff));
  cairo_destroy(cr);
  const int w = inkWidth(surface);
  cairo_surface_destroy(surface);
  return w / scale;
}

// A line keeps its width in layout units at every scale, within the
// anti-aliased fringe: at 150 % hinted advances once shrank the spaces until
// words ran together ("levelbelow", "MUTEIN", "Ctrl100x").
TEST(ArtType, LinesKeepTheirWidthAtEveryScale) {
  const artgen::Fonts fonts(TAVREL_ART_FONT_DIR);
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

}  // namespace
