#include "toolkit/CBitmap.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "toolkit/CDrawContext.h"
#include "toolkit/PictureSource.h"

namespace toolkit {

namespace {

struct PngReader {
  const unsigned char* data;
  std::size_t size;
  std::size_t pos;
};

cairo_status_t readPng(void* closure, unsigned char* out, unsigned int length) {
  auto* r = static_cast<PngReader*>(closure);
  if (r->size - r->pos < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, r->data + r->pos, length);
  r->pos += length;
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

CBitmap::CBitmap(int resourceId, double scale) : resourceId_(resourceId) {
  EmbeddedPicture picture;
  const bool found =
      findPicture(resourceId, scale, picture) || (scale != 1.0 && findPicture(resourceId, 1.0, picture));
  if (!found || !picture.png || picture.pngSize == 0 || picture.width <= 0 || picture.height <= 0) return;
  png_ = picture.png;
  pngSize_ = picture.pngSize;
  scale_ = picture.scale > 0.0 ? picture.scale : 1.0;
  width_ = picture.width / scale_;
  height_ = picture.height / scale_;
}

cairo_surface_t* CBitmap::getSurface() const {
  if (surface_ || !png_) return surface_;
  PngReader reader{png_, pngSize_, 0};
  png_ = nullptr;  // one try: a picture that does not decode stays blank
  cairo_surface_t* s = cairo_image_surface_create_from_png_stream(readPng, &reader);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  surface_ = s;
  return surface_;
}

CBitmap::CBitmap(cairo_surface_t* imageSurface, double scale) : scale_(scale > 0.0 ? scale : 1.0) {
  if (!imageSurface || cairo_surface_status(imageSurface) != CAIRO_STATUS_SUCCESS) {
    if (imageSurface) cairo_surface_destroy(imageSurface);
    return;
  }
  surface_ = imageSurface;
  width_ = cairo_image_surface_get_width(imageSurface) / scale_;
  height_ = cairo_image_surface_get_height(imageSurface) / scale_;
}

CBitmap::~CBitmap() {
  if (surface_) cairo_surface_destroy(surface_);
}

namespace {

// A layout coordinate on the device's pixel grid at `scale`: the same
// rounding (half up) the art generator places frames and pages with, so a
// frame's 1x offset finds its first row at any scale.
double devicePixel(double layout, double scale) { return std::floor(layout * scale + 0.5); }

}  // namespace

void CBitmap::draw(CDrawContext* context, const CRect& dest, const CPoint& offset, float opacity) const {
  if (!context || opacity <= 0.0f || !getSurface()) return;
  if (scale_ != 1.0 && context->getScale() == scale_) {
    drawOnDevicePixels(context, dest, offset, opacity);
    return;
  }
  // Only the part of dest that the picture covers from `offset` on.
  CRect area(dest.left, dest.top, std::min(dest.right, dest.left + width_ - offset.x),
             std::min(dest.bottom, dest.top + height_ - offset.y));
  if (area.isEmpty()) return;
  cairo_t* cr = context->getCairo();
  cairo_save(cr);
  cairo_rectangle(cr, area.left, area.top, area.width(), area.height());
  cairo_clip(cr);
  cairo_translate(cr, dest.left - offset.x, dest.top - offset.y);
  cairo_scale(cr, 1.0 / scale_, 1.0 / scale_);
  cairo_set_source_surface(cr, surface_, 0, 0);
  // Whole-pixel placement at the picture's own scale copies pixels exactly;
  // anything else is filtered.
  cairo_pattern_t* pattern = cairo_get_source(cr);
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  const bool exact = m.xx == 1.0 && m.yy == 1.0 && m.xy == 0.0 && m.yx == 0.0 && m.x0 == static_cast<long>(m.x0) &&
                     m.y0 == static_cast<long>(m.y0);
  cairo_pattern_set_filter(pattern, exact ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_NONE);
  if (opacity >= 1.0f)
    cairo_paint(cr);
  else
    cairo_paint_with_alpha(cr, opacity);
  cairo_restore(cr);
}

// A picture drawn for the display's scale is copied pixel for pixel: the
// destination and the source offset both snap to whole device pixels, so a
// 1.5x panel stays as sharp as the pictures are.
void CBitmap::drawOnDevicePixels(CDrawContext* context, const CRect& dest, const CPoint& offset, float opacity) const {
  const double s = scale_;
  const double left = devicePixel(dest.left, s), top = devicePixel(dest.top, s);
  const double sourceX = devicePixel(offset.x, s), sourceY = devicePixel(offset.y, s);
  const double right = std::min(devicePixel(dest.right, s), left + cairo_image_surface_get_width(surface_) - sourceX);
  const double bottom =
      std::min(devicePixel(dest.bottom, s), top + cairo_image_surface_get_height(surface_) - sourceY);
  if (right <= left || bottom <= top) return;
  cairo_t* cr = context->getCairo();
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_rectangle(cr, left, top, right - left, bottom - top);
  cairo_clip(cr);
  cairo_set_source_surface(cr, surface_, left - sourceX, top - sourceY);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_NONE);
  if (opacity >= 1.0f)
    cairo_paint(cr);
  else
    cairo_paint_with_alpha(cr, opacity);
  cairo_restore(cr);
}

}  // namespace toolkit
