// The panel art generator: vector drawings of the front panel, its controls,
// the preset bar, the help pages and the rear view, rendered at any display
// scale. All drawing coordinates are in the panel's 1x pixel units; a picture
// for scale s is drawn through a cairo scale of s.
#pragma once

#include <cairo.h>

#include <map>
#include <string>
#include <vector>

#include "editor/PanelLayout.h"

namespace artgen {

struct Colour {
  double r, g, b, a = 1.0;
};
// 0xRRGGBB
constexpr Colour hex(unsigned rgb, double a = 1.0) {
  return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0, a};
}
void setColour(cairo_t* cr, const Colour& c);

enum class Face { Bold, Regular, Narrow };
enum class Align { Left, Centre, Right };

// The faces are loaded once from the Liberation TTF files (FreeType), so the
// art is the same on every machine whatever fonts the system configures.
class Fonts {
 public:
  // Throws std::runtime_error naming the missing file.
  explicit Fonts(const std::string& directory);
  ~Fonts();
  cairo_font_face_t* face(Face f) const;

 private:
  struct Impl;
  Impl* impl_;
};

// What a text is to the reader, which sets how large and how clear it must be
// at 100 %: a label names a control or a section (capitals at least 7 px
// tall), a legend names positions and marks (at least 6 px), the help's
// body is at least 9 px; an engraving is part of the metal's look and names
// nothing to operate.
enum class Role { Label, Legend, HelpBody, Engraving };

// Text with its baseline at y, aligned at x; `tracking` adds space between
// letters; `squeeze` narrows the letters (1 keeps the face's own width).
void text(cairo_t* cr, const Fonts& fonts, Role role, Face face, double size, double x, double y,
          const std::string& s, Align align, const Colour& colour, double tracking = 0.0, double squeeze = 1.0);
double textWidth(cairo_t* cr, const Fonts& fonts, Face face, double size, const std::string& s,
                 double tracking = 0.0, double squeeze = 1.0);
// The squeeze that makes `s` at most `width` wide, down to `least`.
double squeezeToFit(cairo_t* cr, const Fonts& fonts, Face face, double size, const std::string& s, double width,
                    double least = 0.66);

// Every text drawn while a record is set, as the reader meets it: where its
// ink lies in device pixels, the height of its capitals there, its colour and
// the mean colour it was drawn over.
struct TextEntry {
  std::string text;
  Role role;
  double size;        // font size in 1x pixels
  double capHeight;   // device pixels
  double left, top, right, bottom;  // the ink's box, device pixels
  Colour colour;
  Colour background;  // the mean under the box just before the text was drawn
};
void recordTexts(std::vector<TextEntry>* record);

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

// The outline of a panel section, grown by -inset (an L-shaped section is one
// outline with a step).
void sectionPath(cairo_t* cr, const editor::panel::Section& s, double inset);

// Size in pixels of a length at scale s, rounded the same way everywhere so
// that frames stay aligned.
inline int scaled(int length, double s) { return static_cast<int>(length * s + 0.5); }

struct Context {
  double scale;
  const Fonts& fonts;
  cairo_surface_t* background = nullptr;  // bitmap 128 at this scale
};

// A new image surface for a single picture of w x h 1x pixels at the
// context's scale (filmstrips scale each frame instead).
cairo_surface_t* newSurface(const Context& ctx, int w, int h, bool alpha);

// Bitmap 128: the front panel without its controls.
cairo_surface_t* renderBackground(const Context& ctx);
// The controls' own bitmaps (130..153, 155, 990..999); null for an unknown id.
cairo_surface_t* renderControlBitmap(const Context& ctx, int id);
// The whole panel as a musician sees it: the background with every control
// drawn at its default from the rendered bitmaps.
cairo_surface_t* renderPanelSnapshot(const Context& ctx, const std::map<int, cairo_surface_t*>& bitmaps);
// Bitmap 154, the eight help pages over the snapshot.
cairo_surface_t* renderHelpPages(const Context& ctx, cairo_surface_t* snapshot);
// Bitmap 129, the rear of the unit.
cairo_surface_t* renderAbout(const Context& ctx);

}  // namespace artgen
