// A knob drawn from a filmstrip: `subPixmaps` pictures of `heightOfOneImage`
// stacked vertically in the bitmap, from the source offset on; the picture
// nearest to the value is shown.
#pragma once

#include "toolkit/CKnob.h"

namespace toolkit {

class CAnimKnob : public CKnob {
 public:
  CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps, double heightOfOneImage,
            CBitmap* background, const CPoint& offset = {});

  void draw(CDrawContext* context) override;

  int32_t getNumSubPixmaps() const { return subPixmaps_; }
  double getHeightOfOneImage() const { return heightOfOneImage_; }

  TOOLKIT_CLASS_METHODS(CAnimKnob, CKnob)

 protected:
  int32_t subPixmaps_;
  double heightOfOneImage_;
};

}  // namespace toolkit
