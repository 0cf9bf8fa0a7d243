#include "toolkit/CTextEdit.h"

#include <cstring>

#include "toolkit/CDrawContext.h"
#include "toolkit/CFrame.h"

namespace toolkit {

namespace {

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xc0) == 0x80; }

std::string utf8(int32_t code) {
  std::string out;
  const auto c = static_cast<uint32_t>(code);
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xc0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3f));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xe0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (c & 0x3f));
  } else if (c < 0x110000) {
    out += static_cast<char>(0xf0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3f));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (c & 0x3f));
  }
  return out;
}

// Cuts to at most `max` bytes without splitting a character.
void clip(std::string& s, std::size_t max) {
  if (s.size() <= max) return;
  std::size_t n = max;
  while (n > 0 && isContinuation(s[n])) --n;
  s.resize(n);
}

}  // namespace

CTextEdit::CTextEdit(const CRect& size, CControlListener* listener, int32_t tag, const char* text, CBitmap* background,
                     int32_t style)
    : CParamDisplay(size, background, style) {
  listener_ = listener;
  tag_ = tag;
  setText(text);
}

void CTextEdit::setText(const char* text) {
  text_ = text ? text : "";
  clip(text_, kMaxLength);
  if (cursor_ > text_.size()) cursor_ = text_.size();
  invalid();
}

void CTextEdit::getText(char* out) const {
  if (!out) return;
  std::memcpy(out, text_.c_str(), text_.size() + 1);
}

void CTextEdit::draw(CDrawContext* context) {
  drawText(context, text_.c_str());
  if (editing_ && !(style_ & kNoDrawStyle)) {
    // The cursor: a thin line after the text before it, where drawString
    // put that text.
    context->setFont(font_, fontSize_);
    CRect r = size_;
    r.inset(2, 0);
    const double whole = context->getStringWidth(text_.c_str());
    const double before = context->getStringWidth(text_.substr(0, cursor_).c_str());
    double x = r.left;
    if (align_ == kCenterText)
      x = r.left + (r.width() - whole) / 2;
    else if (align_ == kRightText)
      x = r.right - whole;
    x = std::round((x + before) * context->getScale()) / context->getScale() + 0.5;
    context->setFrameColor(fontColor_);
    context->drawLine(CPoint(x, size_.top + 2), CPoint(x, size_.bottom - 2));
  }
  setDirty(false);
}

CMouseEventResult CTextEdit::onMouseDown(const CPoint&, const CButtonState& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  if (!editing_ && frame_) frame_->setFocusView(this);
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CTextEdit::takeFocus() {
  editing_ = true;
  cancelled_ = false;
  before_ = text_;
  cursor_ = text_.size();
  invalid();
}

void CTextEdit::looseFocus() {
  if (!editing_) return;
  editing_ = false;
  invalid();
  if (cancelled_) {
    text_ = before_;
    cursor_ = text_.size();
    return;
  }
  if (text_ != before_) {
    beginEdit();
    notify();
    endEdit();
  }
}

int32_t CTextEdit::onKeyDown(VstKeyCode& key) {
  if (!editing_) return -1;
  switch (key.virt) {
    case VKEY_RETURN:
    case VKEY_ENTER:
    case VKEY_TAB:
      if (frame_ && frame_->getFocusView() == this)
        frame_->setFocusView(nullptr);
      else
        looseFocus();
      return 1;
    case VKEY_ESCAPE:
      cancelled_ = true;
      if (frame_ && frame_->getFocusView() == this)
        frame_->setFocusView(nullptr);
      else
        looseFocus();
      return 1;
    case VKEY_BACK:
      if (cursor_ > 0) {
        std::size_t start = cursor_ - 1;
        while (start > 0 && isContinuation(text_[start])) --start;
        text_.erase(start, cursor_ - start);
        cursor_ = start;
      }
      break;
    case VKEY_DELETE:
      if (cursor_ < text_.size()) {
        std::size_t end = cursor_ + 1;
        while (end < text_.size() && isContinuation(text_[end])) ++end;
        text_.erase(cursor_, end - cursor_);
      }
      break;
    case VKEY_LEFT:
      while (cursor_ > 0) {
        --cursor_;
        if (!isContinuation(text_[cursor_])) break;
      }
      break;
    case VKEY_RIGHT:
      while (cursor_ < text_.size()) {
        ++cursor_;
        if (cursor_ == text_.size() || !isContinuation(text_[cursor_])) break;
      }
      break;
    case VKEY_HOME:
      cursor_ = 0;
      break;
    case VKEY_END:
      cursor_ = text_.size();
      break;
    case VKEY_SPACE:
      key.character = ' ';
      [[fallthrough]];
    default: {
      if (key.character < 0x20 || key.character == 0x7f || (key.modifier & MODIFIER_CONTROL)) return -1;
      const std::string add = utf8(key.character);
      if (text_.size() + add.size() > kMaxLength) return 1;  // full: swallowed
      text_.insert(cursor_, add);
      cursor_ += add.size();
      break;
    }
  }
  invalid();
  return 1;
}

}  // namespace toolkit
