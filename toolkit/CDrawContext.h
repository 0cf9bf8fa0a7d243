// Drawing into the frame's off-screen picture. All coordinates are layout
// units; the context carries the display scale so that views never see it.
#pragma once

#include <string>

#include "toolkit/CFont.h"
#include "toolkit/CGraphics.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace toolkit {

enum CDrawStyle { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };

class CDrawContext {
 public:
  // Draws on `surface`, whose pixels are `scale` device pixels per layout unit.
  CDrawContext(cairo_surface_t* surface, double scale);
  ~CDrawContext();
  CDrawContext(const CDrawContext&) = delete;
  CDrawContext& operator=(const CDrawContext&) = delete;

  cairo_t* getCairo() const { return cr_; }
  double getScale() const { return scale_; }

  void setFillColor(const CColor& c) { fillColor_ = c; }
  void setFrameColor(const CColor& c) { frameColor_ = c; }
  void setFontColor(const CColor& c) { fontColor_ = c; }
  CColor getFillColor() const { return fillColor_; }
  CColor getFrameColor() const { return frameColor_; }
  CColor getFontColor() const { return fontColor_; }
  void setLineWidth(double w) { lineWidth_ = w; }

  // `text` as valid UTF-8, bytes that start no UTF-8 sequence read as Latin-1.
  static std::string displayable(const char* text);

  // size 0 keeps the font's own size.
  void setFont(CFontRef font, double size = 0, int style = -1);
  CFontRef getFont() const { return font_; }
  double getFontSize() const { return fontSize_; }

  void drawRect(const CRect& r, CDrawStyle style = kDrawStroked);
  void fillRect(const CRect& r) { drawRect(r, kDrawFilled); }
  void drawLine(const CPoint& from, const CPoint& to);
  void drawEllipse(const CRect& r, CDrawStyle style = kDrawStroked);

  // One line of text in `rect`, vertically centred, aligned as asked,
  // anti-aliased unless `antialias` is false, clipped to the rectangle.
  void drawString(const char* text, const CRect& rect, CHoriTxtAlign align = kCenterText, bool antialias = true);
  double getStringWidth(const char* text);

  // Limits drawing to `r` until restoreClip().
  void setClipRect(const CRect& r);
  void restoreClip();

 private:
  void applyFont();
  void source(const CColor& c);

  cairo_t* cr_;
  double scale_;
  CColor fillColor_ = kWhiteCColor;
  CColor frameColor_ = kBlackCColor;
  CColor fontColor_ = kWhiteCColor;
  double lineWidth_ = 1.0;
  CFontRef font_ = nullptr;
  double fontSize_ = 12.0;
  int fontStyle_ = kNormalFace;
  int clipDepth_ = 0;
};

}  // namespace toolkit
