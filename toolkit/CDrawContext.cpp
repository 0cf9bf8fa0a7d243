#include "toolkit/CDrawContext.h"

#include <cairo.h>

#include <cstring>
#include <string>

namespace toolkit {

CDrawContext::CDrawContext(cairo_surface_t* surface, double scale)
    : cr_(cairo_create(surface)), scale_(scale > 0 ? scale : 1.0), font_(kSystemFont) {
  cairo_scale(cr_, scale_, scale_);
  fontSize_ = font_->size;
}

CDrawContext::~CDrawContext() {
  while (clipDepth_ > 0) restoreClip();
  cairo_destroy(cr_);
}

void CDrawContext::source(const CColor& c) {
  cairo_set_source_rgba(cr_, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}

void CDrawContext::setFont(CFontRef font, double size, int style) {
  font_ = font ? font : kSystemFont;
  fontSize_ = size > 0 ? size : font_->size;
  fontStyle_ = style >= 0 ? style : font_->style;
}

void CDrawContext::drawRect(const CRect& r, CDrawStyle style) {
  if (style != kDrawStroked) {
    source(fillColor_);
    cairo_rectangle(cr_, r.left, r.top, r.width(), r.height());
    cairo_fill(cr_);
  }
  if (style != kDrawFilled) {
    // Strokes run along the pixel centres just inside the rectangle.
    source(frameColor_);
    cairo_set_line_width(cr_, lineWidth_);
    const double h = lineWidth_ / 2;
    cairo_rectangle(cr_, r.left + h, r.top + h, r.width() - lineWidth_, r.height() - lineWidth_);
    cairo_stroke(cr_);
  }
}

void CDrawContext::drawLine(const CPoint& from, const CPoint& to) {
  source(frameColor_);
  cairo_set_line_width(cr_, lineWidth_);
  cairo_move_to(cr_, from.x, from.y);
  cairo_line_to(cr_, to.x, to.y);
  cairo_stroke(cr_);
}

void CDrawContext::drawEllipse(const CRect& r, CDrawStyle style) {
  cairo_save(cr_);
  cairo_translate(cr_, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  cairo_scale(cr_, r.width() / 2, r.height() / 2);
  cairo_arc(cr_, 0, 0, 1, 0, 6.283185307179586);
  cairo_restore(cr_);
  if (style != kDrawStroked) {
    source(fillColor_);
    if (style == kDrawFilled)
      cairo_fill(cr_);
    else
      cairo_fill_preserve(cr_);
  }
  if (style != kDrawFilled) {
    source(frameColor_);
    cairo_set_line_width(cr_, lineWidth_);
    cairo_stroke(cr_);
  }
}

namespace {

// The length of the valid UTF-8 sequence at `p` (of at most `left` bytes),
// or 0 when none starts there.
std::size_t utf8Sequence(const unsigned char* p, std::size_t left) {
  const unsigned char c = p[0];
  std::size_t n;
  uint32_t min;
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) n = 2, min = 0x80;
  else if ((c & 0xF0) == 0xE0) n = 3, min = 0x800;
  else if ((c & 0xF8) == 0xF0) n = 4, min = 0x10000;
  else return 0;
  if (n > left) return 0;
  uint32_t code = c & (0x7F >> n);
  for (std::size_t i = 1; i < n; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    code = (code << 6) | (p[i] & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return n;
}

}  // namespace

// Text as cairo takes it: valid UTF-8. Cairo refuses anything else for good
// (the context stops drawing), and program names from older preset files and
// other systems come in 8-bit encodings: a byte that starts no valid UTF-8
// sequence is taken as Latin-1, so such a name still reads as it was meant.
std::string CDrawContext::displayable(const char* text) {
  std::string out;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  std::size_t left = std::strlen(text);
  while (left > 0) {
    const std::size_t n = utf8Sequence(p, left);
    if (n > 0) {
      out.append(reinterpret_cast<const char*>(p), n);
    } else {
      out += static_cast<char>(0xC0 | (p[0] >> 6));
      out += static_cast<char>(0x80 | (p[0] & 0x3F));
    }
    const std::size_t step = n > 0 ? n : 1;
    p += step;
    left -= step;
  }
  return out;
}

void CDrawContext::applyFont() {
  cairo_font_face_t* face = embeddedFontFace((fontStyle_ & kBoldFace) != 0);
  if (face) cairo_set_font_face(cr_, face);
  cairo_set_font_size(cr_, fontSize_);
}

double CDrawContext::getStringWidth(const char* text) {
  if (!text || !*text) return 0.0;
  applyFont();
  cairo_text_extents_t ext;
  cairo_text_extents(cr_, displayable(text).c_str(), &ext);
  return ext.x_advance;
}

void CDrawContext::drawString(const char* raw, const CRect& rect, CHoriTxtAlign align, bool antialias) {
  if (!raw || !*raw || rect.isEmpty()) return;
  const std::string shown = displayable(raw);
  const char* text = shown.c_str();
  cairo_save(cr_);
  cairo_rectangle(cr_, rect.left, rect.top, rect.width(), rect.height());
  cairo_clip(cr_);
  applyFont();
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  cairo_set_font_options(cr_, options);
  cairo_font_options_destroy(options);
  cairo_font_extents_t fe;
  cairo_font_extents(cr_, &fe);
  cairo_text_extents_t te;
  cairo_text_extents(cr_, text, &te);
  double x = rect.left;
  if (align == kCenterText)
    x = rect.left + (rect.width() - te.x_advance) / 2;
  else if (align == kRightText)
    x = rect.right - te.x_advance;
  // The baseline that centres ascent and descent in the rectangle, on a whole
  // device pixel so that glyphs stay crisp.
  double y = rect.top + (rect.height() - (fe.ascent + fe.descent)) / 2 + fe.ascent;
  y = std::round(y * scale_) / scale_;
  x = std::round(x * scale_) / scale_;
  source(fontColor_);
  cairo_move_to(cr_, x, y);
  cairo_show_text(cr_, text);
  cairo_restore(cr_);
}

void CDrawContext::setClipRect(const CRect& r) {
  cairo_save(cr_);
  cairo_rectangle(cr_, r.left, r.top, r.width(), r.height());
  cairo_clip(cr_);
  ++clipDepth_;
}

void CDrawContext::restoreClip() {
  if (clipDepth_ == 0) return;
  cairo_restore(cr_);
  --clipDepth_;
}

}  // namespace toolkit
