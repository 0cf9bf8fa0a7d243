#include "toolkit/CParamDisplay.h"

#include <cstdio>

#include "toolkit/CBitmap.h"
#include "toolkit/CDrawContext.h"

namespace toolkit {

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, int32_t style)
    : CControl(size, nullptr, 0, background), style_(style) {}

std::string CParamDisplay::getDisplayText() const {
  char text[256] = {};
  if (convert_)
    convert_(value_, text);
  else
    std::snprintf(text, sizeof text, "%2.2f", static_cast<double>(value_));
  text[sizeof text - 1] = 0;
  return text;
}

void CParamDisplay::draw(CDrawContext* context) {
  drawText(context, (style_ & kNoTextStyle) ? "" : getDisplayText().c_str());
  setDirty(false);
}

void CParamDisplay::drawText(CDrawContext* context, const char* text) {
  if (style_ & kNoDrawStyle) return;
  if (background_) {
    background_->draw(context, size_, backOffset_);
  } else if (!transparent_ && !transparentText_) {
    context->setFillColor(backColor_);
    context->fillRect(size_);
  }
  if (!(style_ & kNoFrame)) {
    context->setFrameColor(frameColor_);
    context->drawRect(size_);
  }
  if (!(style_ & kNoTextStyle) && text && *text) {
    context->setFont(font_, fontSize_);
    context->setFontColor(fontColor_);
    CRect r = size_;
    r.inset(2, 0);
    context->drawString(text, r, align_);
  }
}

}  // namespace toolkit
