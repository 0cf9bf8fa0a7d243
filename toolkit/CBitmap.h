// A picture: decoded from the program's embedded pictures by id (see
// PictureSource.h), or made from a drawing surface. Reference counted; every
// holder keeps one reference.
#pragma once

#include <cstddef>

#include "toolkit/CGraphics.h"
#include "toolkit/CReferenceCounter.h"

typedef struct _cairo_surface cairo_surface_t;

namespace toolkit {

class CDrawContext;

class CBitmap : public CReferenceCounter {
 public:
  // The resource `id` drawn for `scale` (the 1x picture when there is no
  // picture for that scale). isLoaded() tells whether there was one at all.
  // The picture is decoded when it is first drawn, not here: an editor opens
  // with pictures it may never show (the help pages are the largest).
  explicit CBitmap(int resourceId, double scale = 1.0);
  // Takes over one reference of an image surface whose pixels are `scale`
  // device pixels per layout unit.
  explicit CBitmap(cairo_surface_t* imageSurface, double scale = 1.0);
  ~CBitmap() override;
  CBitmap(const CBitmap&) = delete;
  CBitmap& operator=(const CBitmap&) = delete;

  bool isLoaded() const { return surface_ != nullptr || png_ != nullptr; }
  int getResourceId() const { return resourceId_; }
  // Size in layout units.
  double getWidth() const { return width_; }
  double getHeight() const { return height_; }
  double getScale() const { return scale_; }
  // The decoded pixels (decoded now if they were not yet), or null when the
  // picture could not be decoded.
  cairo_surface_t* getSurface() const;

  // Draws the picture's region that starts at `offset` (layout units of the
  // picture) into `dest`, as far as both reach, with `opacity` 0..1.
  void draw(CDrawContext* context, const CRect& dest, const CPoint& offset = {}, float opacity = 1.0f) const;

 private:
  void drawOnDevicePixels(CDrawContext* context, const CRect& dest, const CPoint& offset, float opacity) const;

  mutable cairo_surface_t* surface_ = nullptr;
  // The embedded picture not decoded yet; cleared once it has been tried.
  mutable const unsigned char* png_ = nullptr;
  std::size_t pngSize_ = 0;
  int resourceId_ = -1;
  double scale_ = 1.0;
  double width_ = 0.0;
  double height_ = 0.0;
};

}  // namespace toolkit
