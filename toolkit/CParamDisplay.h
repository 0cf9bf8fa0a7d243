// Shows a value as text: by default with two decimals, or through a
// value-to-text function. Draws its background picture (from the back
// offset, so that a part of the panel can show through) or fills with the
// back colour, then the text, then a frame unless styled without one.
#pragma once

#include <functional>
#include <string>

#include "toolkit/CControl.h"
#include "toolkit/CFont.h"

namespace toolkit {

enum CParamDisplayStyle : int32_t {
  kNoFrame = 1 << 0,
  kNoTextStyle = 1 << 1,  // no text at all
  kNoDrawStyle = 1 << 2,  // nothing at all
  kCheckStyle = 1 << 3,   // option menus: mark the current entry
};

class CParamDisplay : public CControl {
 public:
  // Fills `text` (256 bytes) with the text for `value`.
  using StringConvert = std::function<void(float value, char* text)>;

  CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);

  void draw(CDrawContext* context) override;

  void setFont(CFontRef font, double size = 0) {
    font_ = font ? font : kSystemFont;
    fontSize_ = size > 0 ? size : font_->size;
    invalid();
  }
  CFontRef getFont() const { return font_; }
  double getFontSize() const { return fontSize_; }
  void setFontColor(const CColor& c) { fontColor_ = c; invalid(); }
  void setBackColor(const CColor& c) { backColor_ = c; invalid(); }
  void setFrameColor(const CColor& c) { frameColor_ = c; invalid(); }
  CColor getFontColor() const { return fontColor_; }
  CColor getBackColor() const { return backColor_; }
  CColor getFrameColor() const { return frameColor_; }
  void setHoriAlign(CHoriTxtAlign a) { align_ = a; invalid(); }
  CHoriTxtAlign getHoriAlign() const { return align_; }
  void setStyle(int32_t style) { style_ = style; invalid(); }
  int32_t getStyle() const { return style_; }
  void setTextTransparency(bool t) { transparentText_ = t; invalid(); }

  void setStringConvert(StringConvert convert) { convert_ = std::move(convert); invalid(); }
  // The text shown for the current value.
  std::string getDisplayText() const;

  TOOLKIT_CLASS_METHODS(CParamDisplay, CControl)

 protected:
  // Background, `text` and frame.
  void drawText(CDrawContext* context, const char* text);

  CFontRef font_ = kSystemFont;
  double fontSize_ = 12;
  CColor fontColor_ = kWhiteCColor;
  CColor backColor_ = kBlackCColor;
  CColor frameColor_ = kBlackCColor;
  CHoriTxtAlign align_ = kCenterText;
  int32_t style_;
  bool transparentText_ = false;  // no fill behind the text
  StringConvert convert_;
};

}  // namespace toolkit
