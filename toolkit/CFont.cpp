#include "toolkit/CFont.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <mutex>

// The TrueType file of Liberation Sans, linked in by EmbeddedFont.S.
extern "C" const unsigned char tavrel_embedded_font[];
extern "C" const unsigned char tavrel_embedded_font_end[];

namespace toolkit {

namespace {
const CFontDesc systemFont{"Arial", 12};
const CFontDesc normalFontVeryBig{"Arial", 18};
const CFontDesc normalFontBig{"Arial", 14};
const CFontDesc normalFont{"Arial", 12};
const CFontDesc normalFontSmall{"Arial", 11};
const CFontDesc normalFontSmaller{"Arial", 10};
const CFontDesc normalFontVerySmall{"Arial", 9};
const CFontDesc symbolFont{"Symbol", 12};

struct EmbeddedFaces {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  cairo_font_face_t* regular = nullptr;
  cairo_font_face_t* bold = nullptr;
};

// Lives for the process: cairo may keep glyphs of the face cached until exit.
EmbeddedFaces* faces() {
  static EmbeddedFaces* f = [] {
    auto* e = new EmbeddedFaces;
    if (FT_Init_FreeType(&e->library) != 0) return e;
    const auto size = static_cast<FT_Long>(tavrel_embedded_font_end - tavrel_embedded_font);
    if (FT_New_Memory_Face(e->library, tavrel_embedded_font, size, 0, &e->face) != 0) return e;
    e->regular = cairo_ft_font_face_create_for_ft_face(e->face, 0);
    e->bold = cairo_ft_font_face_create_for_ft_face(e->face, 0);
    cairo_ft_font_face_set_synthesize(e->bold, CAIRO_FT_SYNTHESIZE_BOLD);
    return e;
  }();
  return f;
}
}  // namespace

const CFontRef kSystemFont = &systemFont;
const CFontRef kNormalFontVeryBig = &normalFontVeryBig;
const CFontRef kNormalFontBig = &normalFontBig;
const CFontRef kNormalFont = &normalFont;
const CFontRef kNormalFontSmall = &normalFontSmall;
const CFontRef kNormalFontSmaller = &normalFontSmaller;
const CFontRef kNormalFontVerySmall = &normalFontVerySmall;
const CFontRef kSymbolFont = &symbolFont;

cairo_font_face_t* embeddedFontFace(bool bold) {
  EmbeddedFaces* f = faces();
  return bold ? f->bold : f->regular;
}

}  // namespace toolkit
