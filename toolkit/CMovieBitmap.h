// Shows one picture of a filmstrip for its value: picture
// round(value * (subPixmaps - 1)), so value k / (subPixmaps - 1) shows
// picture k exactly. Takes no mouse input.
#pragma once

#include "toolkit/CControl.h"

namespace toolkit {

class CMovieBitmap : public CControl {
 public:
  CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
               double heightOfOneImage, CBitmap* background, const CPoint& offset = {});

  void draw(CDrawContext* context) override;
  // The picture the value shows.
  int frameIndex() const;

  int32_t getNumSubPixmaps() const { return subPixmaps_; }
  double getHeightOfOneImage() const { return heightOfOneImage_; }

  TOOLKIT_CLASS_METHODS(CMovieBitmap, CControl)

 protected:
  int32_t subPixmaps_;
  double heightOfOneImage_;
};

}  // namespace toolkit
