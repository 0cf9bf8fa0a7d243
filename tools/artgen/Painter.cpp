// Fonts, text and shapes shared by every drawing of the generator.
#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
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

void useFont(cairo_t* cr, const Fonts& fonts, Face face, double size) {
  cairo_set_font_face(cr, fonts.face(face));
  cairo_matrix_t m;
  cairo_matrix_init_scale(&m, face == Face::Narrow ? size * 0.8 : size, size);
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

}  // namespace

double textWidth(cairo_t* cr, const Fonts& fonts, Face face, double size, const std::string& s, double tracking) {
  cairo_save(cr);
  useFont(cr, fonts, face, size);
  const double w = advance(cr, s, tracking);
  cairo_restore(cr);
  return w;
}

void text(cairo_t* cr, const Fonts& fonts, Face face, double size, double x, double y, const std::string& s,
          Align align, const Colour& colour, double tracking) {
  cairo_save(cr);
  useFont(cr, fonts, face, size);
  const double w = advance(cr, s, tracking);
  double left = x;
  if (align == Align::Centre) left = x - w / 2;
  if (align == Align::Right) left = x - w;
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
