// Fonts, text and shapes shared by every drawing of the generator.
#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "tools/artgen/Art.h"

namespace artgen {

void setColour(cairo_t* cr, const Colour& c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

struct Fonts::Impl {
  FT_Library library = nullptr;
  FT_Face ft[2] = {nullptr, nullptr};
  cairo_font_face_t* faces[2] = {nullptr, nullptr};
};

Fonts::Fonts(const std::string& directory) : impl_(new Impl) {
  static const char* const kFiles[2] = {"LiberationSans-Bold.ttf", "LiberationSans-Regular.ttf"};
  if (FT_Init_FreeType(&impl_->library) != 0) {
    delete impl_;
    throw std::runtime_error("cannot initialise FreeType");
  }
  for (int i = 0; i < 2; ++i) {
    const std::string path = directory + "/" + kFiles[i];
    if (FT_New_Face(impl_->library, path.c_str(), 0, &impl_->ft[i]) != 0) {
      for (int k = 0; k < i; ++k) {
        cairo_font_face_destroy(impl_->faces[k]);
        FT_Done_Face(impl_->ft[k]);
      }
      FT_Done_FreeType(impl_->library);
      delete impl_;
      throw std::runtime_error("font " + path +
                               " is missing: install the Liberation fonts (Debian package fonts-liberation2, "
                               "see scripts/install-deps)");
    }
    impl_->faces[i] = cairo_ft_font_face_create_for_ft_face(impl_->ft[i], 0);
  }
}

Fonts::~Fonts() {
  for (int i = 0; i < 2; ++i) {
    cairo_font_face_destroy(impl_->faces[i]);
    FT_Done_Face(impl_->ft[i]);
  }
  FT_Done_FreeType(impl_->library);
  delete impl_;
}

// The narrow face is the bold one condensed.
cairo_font_face_t* Fonts::face(Face f) const { return impl_->faces[f == Face::Regular ? 1 : 0]; }

namespace {

std::vector<TextEntry>* textRecord = nullptr;

void useFont(cairo_t* cr, const Fonts& fonts, Face face, double size, double squeeze) {
  cairo_set_font_face(cr, fonts.face(face));
  cairo_matrix_t m;
  cairo_matrix_init_scale(&m, (face == Face::Narrow ? size * 0.8 : size) * squeeze, size);
  cairo_set_font_matrix(cr, &m);
  // Unhinted outlines at unrounded advances: the same shapes and spacing at
  // every scale, only sharper when larger. Hinted advances are rounded to
  // whole device pixels glyph by glyph, which at 150 % spreads the letters
  // while the spaces stay narrow, so that words run together.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

double advance(cairo_t* cr, const std::string& s, double tracking) {
  if (tracking == 0.0) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    return e.x_advance;
  }
  double w = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const std::string one(1, s[i]);
    cairo_text_extents_t e;
    cairo_text_extents(cr, one.c_str(), &e);
    w += e.x_advance + (i + 1 < s.size() ? tracking : 0.0);
  }
  return w;
}

// The mean colour of the picture under a device box, as the reader sees it
// through the text's gaps; transparent pixels count as black.
Colour meanUnder(cairo_t* cr, double left, double top, double right, double bottom) {
  cairo_surface_t* target = cairo_get_group_target(cr);
  if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE) return {0, 0, 0, 0};
  cairo_surface_flush(target);
  double ox = 0, oy = 0;
  cairo_surface_get_device_offset(target, &ox, &oy);
  const int w = cairo_image_surface_get_width(target), h = cairo_image_surface_get_height(target);
  const int stride = cairo_image_surface_get_stride(target);
  const unsigned char* data = cairo_image_surface_get_data(target);
  const int x0 = std::max(0, static_cast<int>(std::floor(left + ox)));
  const int x1 = std::min(w, static_cast<int>(std::ceil(right + ox)));
  const int y0 = std::max(0, static_cast<int>(std::floor(top + oy)));
  const int y1 = std::min(h, static_cast<int>(std::ceil(bottom + oy)));
  double r = 0, g = 0, b = 0, a = 0;
  int n = 0;
  const bool alpha = cairo_image_surface_get_format(target) == CAIRO_FORMAT_ARGB32;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const auto pixel = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
      r += (pixel >> 16) & 255;
      g += (pixel >> 8) & 255;
      b += pixel & 255;
      a += alpha ? (pixel >> 24) & 255 : 255;
      ++n;
    }
  if (n == 0) return {0, 0, 0, 0};
  return {r / n / 255, g / n / 255, b / n / 255, a / n / 255};
}

void record(cairo_t* cr, Role role, double size, double x, double y, const std::string& s, const Colour& colour,
            double width) {
  cairo_text_extents_t ink, cap;
  cairo_text_extents(cr, s.c_str(), &ink);
  cairo_text_extents(cr, "H", &cap);
  double xs[4] = {x + ink.x_bearing, x + std::max(width, ink.x_bearing + ink.width), x + ink.x_bearing,
                  x + std::max(width, ink.x_bearing + ink.width)};
  double ys[4] = {y + ink.y_bearing, y + ink.y_bearing, y + ink.y_bearing + ink.height,
                  y + ink.y_bearing + ink.height};
  double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
  for (int i = 0; i < 4; ++i) {
    cairo_user_to_device(cr, &xs[i], &ys[i]);
    left = std::min(left, xs[i]), right = std::max(right, xs[i]);
    top = std::min(top, ys[i]), bottom = std::max(bottom, ys[i]);
  }
  double cx = 0, cy = cap.height;
  cairo_user_to_device_distance(cr, &cx, &cy);
  textRecord->push_back({s, role, size, std::hypot(cx, cy), left, top, right, bottom, colour,
                         meanUnder(cr, left, top, right, bottom)});
}

}  // namespace

void recordTexts(std::vector<TextEntry>* r) { textRecord = r; }

double squeezeToFit(cairo_t* cr, const Fonts& fonts, Face face, double size, const std::string& s, double width,
                    double least) {
  const double w = textWidth(cr, fonts, face, size, s);
  return w <= width ? 1.0 : std::max(least, width / w);
}


double textWidth(cairo_t* cr, const Fonts& fonts, Face face, double size, const std::string& s, double tracking,
                 double squeeze) {
  cairo_save(cr);
  useFont(cr, fonts, face, size, squeeze);
  const double w = advance(cr, s, tracking);
  cairo_restore(cr);
  return w;
}

void text(cairo_t* cr, const Fonts& fonts, Role role, Face face, double size, double x, double y,
          const std::string& s, Align align, const Colour& colour, double tracking, double squeeze) {
  cairo_save(cr);
  useFont(cr, fonts, face, size, squeeze);
  const double w = advance(cr, s, tracking);
  double left = x;
  if (align == Align::Centre) left = x - w / 2;
  if (align == Align::Right) left = x - w;
  if (textRecord) record(cr, role, size, left, y, s, colour, w);
  setColour(cr, colour);
  if (tracking == 0.0) {
    cairo_move_to(cr, left, y);
    cairo_show_text(cr, s.c_str());
  } else {
    for (char c : s) {
      const std::string one(1, c);
      cairo_move_to(cr, left, y);
      cairo_show_text(cr, one.c_str());
      cairo_text_extents_t e;
      cairo_text_extents(cr, one.c_str(), &e);
      left += e.x_advance + tracking;
    }
  }
  cairo_restore(cr);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min(r, std::min(w, h) / 2);
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

cairo_surface_t* newSurface(const Context& ctx, int w, int h, bool alpha) {
  return cairo_image_surface_create(alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, scaled(w, ctx.scale),
                                    scaled(h, ctx.scale));
}

}  // namespace artgen
