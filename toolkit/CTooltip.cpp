#include "toolkit/CTooltip.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "toolkit/CDrawContext.h"
#include "toolkit/CFrame.h"

namespace toolkit {

namespace {

constexpr double kTextSize = 11.0;
constexpr double kPadding = 4.0;
constexpr double kHeight = kTextSize + 2 * kPadding;
constexpr double kGap = 3.0;  // between the control and the box
constexpr CColor kBox{24, 25, 28, 240};
constexpr CColor kEdge{232, 162, 58, 255};
constexpr CColor kText{240, 238, 232, 255};

// The text's width as the frame draws it at its scale, measured on a scratch
// surface, as the tooltip is placed before anything is drawn. Advances
// rounded to whole device pixels (hinted metrics) run wider at some scales
// than unrounded ones: the wider of the two counts.
double textWidth(const std::string& text, double scale) {
  cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
  double width = 0.0;
  for (const cairo_hint_metrics_t metrics : {CAIRO_HINT_METRICS_OFF, CAIRO_HINT_METRICS_ON}) {
    CDrawContext context(scratch, scale);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, metrics);
    cairo_set_font_options(context.getCairo(), options);
    cairo_font_options_destroy(options);
    context.setFont(kNormalFontSmall, kTextSize);
    width = std::max(width, context.getStringWidth(text.c_str()));
  }
  cairo_surface_destroy(scratch);
  return width;
}

}  // namespace

CTooltip::CTooltip() : CView(CRect()) {
  setMouseEnabled(false);
  setVisible(false);
}

void CTooltip::show(const std::string& text, const CRect& control) {
  if (isVisible() && text == text_ && control == control_) return;
  text_ = text;
  control_ = control;
  const double scale = frame_ ? frame_->getScale() : 1.0;
  setViewSize(placeFor(std::ceil(textWidth(text, scale)) + 2 * kPadding + 2, control));
  setMouseableArea(CRect());
  setVisible(true);
  setDirty(true);
}

void CTooltip::hide() {
  if (!isVisible()) return;
  setVisible(false);
}

// Below the control if the frame has room, else above it; failing both, at
// the frame's top or bottom edge, whichever lies further from the control.
CRect CTooltip::placeFor(double width, const CRect& control) const {
  const CRect area = frame_ ? frame_->getViewSize() : CRect(0, 0, width, kHeight);
  width = std::min(width, area.width());
  double top = control.bottom + kGap;
  if (top + kHeight > area.bottom) top = control.top - kGap - kHeight;
  if (top < area.top)
    top = control.top - area.top > area.bottom - control.bottom ? area.top : area.bottom - kHeight;
  double left = std::clamp(control.left, area.left, area.right - width);
  return {left, top, left + width, top + kHeight};
}

void CTooltip::draw(CDrawContext* context) {
  context->setFillColor(kBox);
  context->setFrameColor(kEdge);
  context->setLineWidth(1.0);
  context->drawRect(size_, kDrawFilledAndStroked);
  context->setFont(kNormalFontSmall, kTextSize);
  context->setFontColor(kText);
  CRect inner = size_;
  inner.inset(kPadding, 0);
  context->drawString(text_.c_str(), inner, kLeftText);
  setDirty(false);
}

bool HoverDelay::rest(const void* target, uint32_t now) {
  if (target != target_) {
    target_ = target;
    since_ = now;
    pressed_ = false;
  }
  return target_ && !pressed_ && now - since_ >= delay_;
}

}  // namespace toolkit
