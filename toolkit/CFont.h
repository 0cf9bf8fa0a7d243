// Fonts: a face name, a size in layout units and a style. Every face,
// "Arial" included, is drawn with Liberation Sans (metrically the same as
// Arial), which is embedded in the library so no system font is needed.
#pragma once

#include <string>

typedef struct _cairo_font_face cairo_font_face_t;

namespace toolkit {

enum CTxtFace { kNormalFace = 0, kBoldFace = 1 << 1, kItalicFace = 1 << 2, kUnderlineFace = 1 << 3 };

struct CFontDesc {
  std::string name;
  double size;
  int style = kNormalFace;
};

using CFontRef = const CFontDesc*;

// The standard fonts.
extern const CFontRef kSystemFont;          // Arial 12
extern const CFontRef kNormalFontVeryBig;   // Arial 18
extern const CFontRef kNormalFontBig;       // Arial 14
extern const CFontRef kNormalFont;          // Arial 12
extern const CFontRef kNormalFontSmall;     // Arial 11
extern const CFontRef kNormalFontSmaller;   // Arial 10
extern const CFontRef kNormalFontVerySmall; // Arial 9
extern const CFontRef kSymbolFont;          // Symbol 12 (drawn with the same face)

// The embedded face for drawing; bold comes synthesised. Made once per
// process and kept for its life; null only if the embedded font is unusable.
cairo_font_face_t* embeddedFontFace(bool bold);

// Height of a line of the font in layout units (its nominal size).
inline double fontHeight(CFontRef font, double size = 0) { return size > 0 ? size : (font ? font->size : 12.0); }

}  // namespace toolkit
